// explode_in_memory.cpp - one pair of memory-backed callbacks for Explode, three kinds of output.
#include "payload/explode_in_memory.h"

#include <cstring>

#include "payload/explode.h"

namespace {

enum class Output { Append, Copy, Compare };

struct Transfer {
    const unsigned char* stream;
    size_t streamLeft;
    Output kind;
    std::vector<unsigned char>* appended; // Append
    unsigned char* copied;                // Copy
    const unsigned char* expected;        // Compare
    size_t capacity;                      // Copy and Compare: the bytes the output may take
    MemoryExplodeResult done;
};

uint32_t ReadStream(char* buffer, uint32_t* size, void* param) {
    auto* transfer = static_cast<Transfer*>(param);
    size_t count = transfer->streamLeft < *size ? transfer->streamLeft : *size;
    if (count > 0)
        std::memcpy(buffer, transfer->stream, count);
    transfer->stream += count;
    transfer->streamLeft -= count;
    return static_cast<uint32_t>(count);
}

void TakeOutput(char* buffer, uint32_t* size, void* param) {
    auto* transfer = static_cast<Transfer*>(param);
    MemoryExplodeResult& done = transfer->done;
    if (*size > done.largestWrite)
        done.largestWrite = *size;
    if (done.refused)
        return;
    switch (transfer->kind) {
    case Output::Append:
        transfer->appended->insert(transfer->appended->end(), buffer, buffer + *size);
        break;
    case Output::Copy:
        if (*size > transfer->capacity - done.written) {
            done.refused = true;
            return;
        }
        if (*size > 0)
            std::memcpy(transfer->copied + done.written, buffer, *size);
        break;
    case Output::Compare:
        if (*size > transfer->capacity - done.written ||
            (*size > 0 && std::memcmp(buffer, transfer->expected + done.written, *size) != 0)) {
            done.refused = true;
            return;
        }
        break;
    }
    done.written += *size;
}

MemoryExplodeResult Run(Transfer& transfer, ExplodeWorkArea* work) {
    transfer.done = MemoryExplodeResult{0, 0, 0, 0, false};
    transfer.done.result = Explode(ReadStream, TakeOutput, work, &transfer);
    transfer.done.unread = transfer.streamLeft;
    return transfer.done;
}

} // namespace

MemoryExplodeResult ExplodeAppending(const unsigned char* stream, size_t streamSize,
                                     ExplodeWorkArea* work, std::vector<unsigned char>* output) {
    Transfer transfer{stream, streamSize, Output::Append, output, nullptr, nullptr, 0, {}};
    return Run(transfer, work);
}

MemoryExplodeResult ExplodeInto(const unsigned char* stream, size_t streamSize,
                                ExplodeWorkArea* work, unsigned char* out, size_t capacity) {
    Transfer transfer{stream, streamSize, Output::Copy, nullptr, out, nullptr, capacity, {}};
    return Run(transfer, work);
}

MemoryExplodeResult ExplodeComparing(const unsigned char* stream, size_t streamSize,
                                     ExplodeWorkArea* work, const unsigned char* expected,
                                     size_t expectedSize) {
    Transfer transfer{stream,  streamSize, Output::Compare, nullptr,
                      nullptr, expected,   expectedSize,    {}};
    return Run(transfer, work);
}

bool ExplodesTo(const unsigned char* stream, size_t streamSize, ExplodeWorkArea* work,
                const unsigned char* expected, size_t expectedSize) {
    MemoryExplodeResult run = ExplodeComparing(stream, streamSize, work, expected, expectedSize);
    return run.result == kExplodeOk && !run.refused && run.written == expectedSize &&
           run.unread == 0;
}
