// archive_writer.cpp - the writing side of the payload archive.
#include "tools/packer/archive_writer.h"

#include <cstring>

#include "payload/archive_format.h"
#include "payload/crc32.h"
#include "payload/integrity_record.h"

long FindFalseMarker(const unsigned char* image, size_t size) {
    for (size_t at = 0; at + archive::kRecordSize <= size; at += archive::kRecordSize)
        if (archive::IsMarkerRecord(image + at))
            return static_cast<long>(at);
    return -1;
}

bool ArchiveWriter::Put(const void* bytes, size_t size) {
    if (size != 0 && std::fwrite(bytes, 1, size, out_) != size)
        return false;
    written_ += size;
    if (behindMarker_) {
        covered_ += size;
        crc_ = Crc32(crc_, bytes, size);
    }
    return true;
}

bool ArchiveWriter::Name(const char* name) {
    size_t length = std::strlen(name);
    return length <= archive::kMaxNameLength && Put(name, length + 1);
}

bool ArchiveWriter::Size(int32_t size) {
    unsigned char bytes[4];
    archive::StoreLittleEndian(bytes, static_cast<uint32_t>(size), 4);
    return Put(bytes, 4);
}

bool ArchiveWriter::Begin(const unsigned char* image, size_t size) {
    static const unsigned char zeros[archive::kRecordSize] = {};
    unsigned char marker[archive::kRecordSize];
    for (int i = 0; i < archive::kRecordSize; i += 4)
        std::memcpy(marker + i, archive::kMagic, 4);
    size_t padding = (archive::kRecordSize - size % archive::kRecordSize) % archive::kRecordSize;
    bool ok = Put(image, size) && Put(zeros, padding) && Put(marker, sizeof marker);
    behindMarker_ = true;
    return ok;
}

bool ArchiveWriter::Subdirectory(const char* name) {
    char item[archive::kMaxNameLength + 1];
    size_t length = std::strlen(name);
    if (length + 1 > archive::kMaxNameLength)
        return false;
    item[0] = archive::kSubdirPrefix;
    std::memcpy(item + 1, name, length + 1);
    return Name(item);
}

bool ArchiveWriter::Stored(const char* name, const unsigned char* data, size_t size) {
    if (*name == 0 || size > 0x7FFFFFFF)
        return false;
    sizes_.push_back(static_cast<uint32_t>(size));
    return Name(name) && Size(-static_cast<int32_t>(size)) && Put(data, size);
}

bool ArchiveWriter::Imploded(const char* name, const unsigned char* stream, size_t size,
                             uint32_t expanded) {
    // Explode refuses a first read of 4 bytes or fewer, so such a stream cannot be carried.
    if (*name == 0 || size <= 4 || size > 0x7FFFFFFF)
        return false;
    sizes_.push_back(expanded);
    return Name(name) && Size(static_cast<int32_t>(size)) && Put(stream, size);
}

bool ArchiveWriter::End() {
    const unsigned char end = 0;
    return Put(&end, 1);
}

bool ArchiveWriter::IntegrityRecord() {
    unsigned char record[archive::kIntegrityRecordSize];
    archive::EncodeIntegrityRecord({covered_, crc_}, record);
    behindMarker_ = false;
    if (!Put(record, sizeof record))
        return false;

    std::vector<unsigned char> sizes(archive::kSizesHeaderSize + 4 * sizes_.size() + 4);
    std::memcpy(sizes.data(), archive::kSizesMagic, sizeof archive::kSizesMagic);
    archive::StoreLittleEndian(sizes.data() + 8, sizes_.size(), 4);
    for (size_t i = 0; i < sizes_.size(); ++i)
        archive::StoreLittleEndian(&sizes[archive::kSizesHeaderSize + 4 * i], sizes_[i], 4);
    size_t checked = sizes.size() - 4;
    archive::StoreLittleEndian(&sizes[checked], Crc32(0, sizes.data(), checked), 4);
    return Put(sizes.data(), sizes.size());
}
