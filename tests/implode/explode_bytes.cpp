// explode_bytes.cpp - runs Explode with memory-backed read and write callbacks.
#include "tests/implode/explode_bytes.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "payload/explode.h"

namespace {

struct Transfer {
    const std::vector<unsigned char>* input;
    size_t consumed;
    std::vector<unsigned char>* output;
};

uint32_t ReadBlock(char* buffer, uint32_t* size, void* param) {
    auto* transfer = static_cast<Transfer*>(param);
    size_t count = std::min<size_t>(*size, transfer->input->size() - transfer->consumed);
    if (count > 0)
        std::memcpy(buffer, transfer->input->data() + transfer->consumed, count);
    transfer->consumed += count;
    return static_cast<uint32_t>(count);
}

void WriteBlock(char* buffer, uint32_t* size, void* param) {
    auto* transfer = static_cast<Transfer*>(param);
    transfer->output->insert(transfer->output->end(), buffer, buffer + *size);
}

} // namespace

int ExplodeBytes(const std::vector<unsigned char>& stream, std::vector<unsigned char>* output) {
    output->clear();
    auto work = std::make_unique<ExplodeWorkArea>();
    Transfer transfer{&stream, 0, output};
    return Explode(ReadBlock, WriteBlock, work.get(), &transfer);
}
