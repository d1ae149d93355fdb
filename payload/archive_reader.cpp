// archive_reader.cpp - the 16-byte marker scan and the item header reads.
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
    // The scan steps by whole records from offset 0; it does not consult the executable's
    // headers, so the image itself must not hold a record with the magic in both places.
    unsigned char* record = s.scratch.bytes;
    for (;;) {
        if (std::fread(record, 1, archive::kRecordSize, s.payloadFile) != archive::kRecordSize) {
            std::fclose(s.payloadFile);
            s.payloadFile = nullptr;
            return ReportDamaged();
        }
        if (archive::IsMarkerRecord(record))
            return 1;
    }
}

int ReadEntryName(char* dest) {
    InstallState& s = installState;
    for (int i = 0;; ++i) {
        int c = std::getc(s.payloadFile);
        if (c == EOF)
            return ReportDamaged();
        dest[i] = static_cast<char>(c);
        s.consumed += 1;
        if (c == 0)
            return 1;
        // A name has at most 260 bytes before its terminator. Running past that is damage
        // like any other: the install sequence relies on the reader having reported.
        if (i == archive::kMaxNameLength) {
            dest[i] = 0;
            return ReportDamaged();
        }
    }
}

int ReadEntrySize(int32_t* dest) {
    InstallState& s = installState;
    unsigned char bytes[4];
    if (std::fread(bytes, 1, 4, s.payloadFile) != 4)
        return ReportDamaged();
    *dest = archive::DecodeSize(bytes);
    s.consumed += 4;
    return 1;
}
