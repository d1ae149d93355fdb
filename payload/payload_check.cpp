// payload_check.cpp - a structural walk of the payload on a stream of its own.
#include "payload/payload_check.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_format.h"
#include "payload/entry_name.h"

namespace {

// Closes the stream on every way out.
struct File {
    FILE* f;
    ~File() {
        if (f != nullptr)
            std::fclose(f);
    }
};

int Damaged() {
    installState.observer->ReportFailure(text::kDamaged);
    return 0;
}

// Reads a NUL-terminated name of at most 260 bytes into name (261 bytes).
bool ReadName(FILE* f, char* name) {
    for (int i = 0; i <= archive::kMaxNameLength; ++i) {
        int c = std::getc(f);
        if (c == EOF)
            return false;
        name[i] = static_cast<char>(c);
        if (c == 0)
            return true;
    }
    return false;
}

} // namespace

int CheckPayload(const char* file, PayloadSummary* summary) {
    *summary = PayloadSummary{};
    File in{std::fopen(file, "rb")};
    if (in.f == nullptr || std::fseek(in.f, 0, SEEK_END) != 0)
        return Damaged();
    long length = std::ftell(in.f);
    std::rewind(in.f);

    unsigned char record[archive::kRecordSize];
    do {
        if (std::fread(record, 1, sizeof record, in.f) != sizeof record)
            return Damaged();
    } while (!archive::IsMarkerRecord(record));
    long start = std::ftell(in.f);
    if (length - start > INT32_MAX)
        return Damaged();
    summary->total = static_cast<int32_t>(length - start);

    char name[archive::kMaxNameLength + 1];
    size_t subdirectory = 0; // length of the current sub-directory with its backslash
    for (;;) {
        if (!ReadName(in.f, name))
            return Damaged();
        size_t nameLength = std::strlen(name);
        if (nameLength == 0)
            return 1; // the end item, within the file
        if (name[0] == archive::kSubdirPrefix) {
            if (!IsSafeEntryName(name + 1))
                return Damaged();
            subdirectory = nameLength > 1 ? nameLength : 0;
            summary->subdirectories++;
            continue;
        }
        unsigned char size[4];
        if (!IsSafeEntryName(name) || std::fread(size, 1, 4, in.f) != 4)
            return Damaged();
        int64_t bytes = archive::EntryByteCount(archive::DecodeSize(size));
        int64_t here = std::ftell(in.f);
        if (bytes > length - here || std::fseek(in.f, static_cast<long>(bytes), SEEK_CUR) != 0)
            return Damaged();
        summary->entries++;
        if (subdirectory + nameLength > summary->longestTail)
            summary->longestTail = subdirectory + nameLength;
    }
}
