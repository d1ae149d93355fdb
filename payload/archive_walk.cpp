// archive_walk.cpp - the marker scan, the item headers and the walk over the items.
#include "payload/archive_walk.h"

#include "payload/archive_format.h"

bool archive::SkipToMarker(FILE* f, unsigned char* record) {
    // The scan steps by whole records; it does not consult the executable's headers, so the
    // image itself must not hold a record with the magic in both places.
    do {
        if (std::fread(record, 1, kRecordSize, f) != kRecordSize)
            return false;
    } while (!IsMarkerRecord(record));
    return true;
}

int archive::ReadItemName(ItemInput& input, char* name) {
    for (int i = 0;; ++i) {
        int c = input.NextByte();
        if (c == EOF)
            return input.Damaged(HeaderDamage::kEndsInName);
        name[i] = static_cast<char>(c);
        if (c == 0)
            return 1;
        if (i == kMaxNameLength) {
            name[i] = 0;
            return input.Damaged(HeaderDamage::kLongName);
        }
    }
}

int archive::ReadItemSize(ItemInput& input, int32_t* size) {
    unsigned char bytes[4];
    if (!input.ReadBytes(bytes, sizeof bytes))
        return input.Damaged(HeaderDamage::kEndsInSize);
    *size = DecodeSize(bytes);
    return 1;
}

int archive::WalkItems(ItemInput& input, ItemVisitor& visitor, char* name) {
    for (;;) {
        if (!ReadItemName(input, name))
            return 0;
        if (name[0] == 0)
            return visitor.End();
        if (name[0] == kSubdirPrefix) {
            if (!visitor.Subdirectory(name))
                return 0;
            continue;
        }
        int32_t size = 0;
        if (!visitor.EntryName(name) || !ReadItemSize(input, &size) || !visitor.Entry(name, size))
            return 0;
    }
}
