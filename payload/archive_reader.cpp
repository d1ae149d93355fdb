// archive_reader.cpp - opening the payload, and its item headers as the extraction reads them.
#include "payload/archive_reader.h"

#include <cstring>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_format.h"

bool archive::IsMarkerRecord(const unsigned char* record) {
    return std::memcmp(record, kMagic, 4) == 0 && std::memcmp(record + 12, kMagic, 4) == 0;
}

static int ReportDamaged() {
    installState.observer->ReportFailure(text::kDamaged);
    return 0;
}

int OpenPayload() {
    InstallState& s = installState;
    s.payloadFile = std::fopen(s.ownPath, "rb");
    if (s.payloadFile == nullptr)
        return ReportDamaged();
    std::setvbuf(s.payloadFile, nullptr, _IOFBF, kStreamBufferSize);
    if (!archive::SkipToMarker(s.payloadFile, s.scratch.bytes)) {
        std::fclose(s.payloadFile);
        s.payloadFile = nullptr;
        return ReportDamaged();
    }
    return 1;
}

int PayloadInput::NextByte() {
    int c = std::getc(installState.payloadFile);
    if (c != EOF)
        installState.consumed += 1;
    return c;
}

bool PayloadInput::ReadBytes(unsigned char* dest, size_t size) {
    if (std::fread(dest, 1, size, installState.payloadFile) != size)
        return false;
    installState.consumed += static_cast<int32_t>(size);
    return true;
}

// A name that runs past 260 bytes is damage like any other: the install sequence relies on
// the reader having reported.
int PayloadInput::Damaged(archive::HeaderDamage) {
    return ReportDamaged();
}

int ReadEntryName(char* dest) {
    PayloadInput input;
    return archive::ReadItemName(input, dest);
}

int ReadEntrySize(int32_t* dest) {
    PayloadInput input;
    return archive::ReadItemSize(input, dest);
}
