// entry_packer.cpp - reading and imploding entries on worker threads, in archive order.
#include "tools/mksetup/entry_packer.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <system_error>

#include "payload/explode.h"
#include "payload/explode_in_memory.h"

namespace fs = std::filesystem;

namespace {

constexpr uintmax_t kLargestFile = 0x7FFFFFFF; // sizes are signed 32-bit
constexpr size_t kReadBlock = size_t{1} << 20;
// How many source bytes the workers may hold beyond the entry taken last. Counting bytes
// rather than entries lets the other workers go on past one large entry.
constexpr uintmax_t kAheadBytes = uintmax_t{64} << 20;

// Reads a whole file with plain block reads, the buffer sized from the file's length up
// front; a file that grows meanwhile is read to its new end.
bool ReadWhole(const fs::path& file, uintmax_t sizeHint, std::vector<unsigned char>* bytes) {
    FILE* in = std::fopen(file.string().c_str(), "rb");
    if (in == nullptr)
        return false;
    bytes->resize(static_cast<size_t>(sizeHint));
    size_t length = std::fread(bytes->data(), 1, bytes->size(), in);
    while (length == bytes->size() && !std::ferror(in) && !std::feof(in)) {
        bytes->resize(length + kReadBlock);
        length += std::fread(bytes->data() + length, 1, kReadBlock, in);
    }
    bytes->resize(length);
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

// True if stream explodes, as the setup program will explode it, to exactly data and ends at
// its last byte. The setup program's check relies on this when an integrity record vouches
// for the bytes: it then sums the streams rather than exploding them a second time.
bool ExplodesBack(const std::vector<unsigned char>& stream,
                  const std::vector<unsigned char>& data) {
    auto work = std::make_unique<ExplodeWorkArea>();
    return ExplodesTo(stream.data(), stream.size(), work.get(), data.data(), data.size());
}

} // namespace

unsigned DefaultJobs() {
    unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

EntryPacker::EntryPacker(const std::vector<SourceItem>& items, const ImplodeOptions& options,
                         unsigned jobs)
    : items_(items), options_(options), slots_(items.size()) {
    for (size_t i = 0; i < items.size(); ++i) {
        std::error_code ec;
        if (!items[i].subdirectory)
            slots_[i].sourceBytes = fs::file_size(items[i].file, ec);
        if (ec)
            slots_[i].sourceBytes = 0;
    }
    if (jobs > 1)
        for (unsigned i = 0; i < jobs; ++i)
            workers_.emplace_back(&EntryPacker::Work, this);
}

EntryPacker::~EntryPacker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    taken_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

PackedEntry EntryPacker::Take(size_t index) {
    if (workers_.empty())
        return Pack(index);
    std::unique_lock<std::mutex> lock(mutex_);
    packed_.wait(lock, [&] { return slots_[index].ready; });
    PackedEntry entry = std::move(slots_[index].entry);
    takenCount_ = index + 1;
    aheadBytes_ -= slots_[index].sourceBytes;
    lock.unlock();
    taken_.notify_all();
    return entry;
}

void EntryPacker::Work() {
    for (;;) {
        size_t index;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // The entry the writer waits for is always claimed; any other while the bytes
            // held ahead stay within the limit.
            taken_.wait(lock, [&] {
                return stopping_ || next_ >= slots_.size() || next_ == takenCount_ ||
                       aheadBytes_ < kAheadBytes;
            });
            if (stopping_ || next_ >= slots_.size())
                return;
            index = next_++;
            aheadBytes_ += slots_[index].sourceBytes;
        }
        PackedEntry entry = Pack(index);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slots_[index].entry = std::move(entry);
            slots_[index].ready = true;
        }
        packed_.notify_all();
    }
}

PackedEntry EntryPacker::Pack(size_t index) const {
    const SourceItem& item = items_[index];
    PackedEntry entry;
    if (item.subdirectory)
        return entry;
    std::error_code ec;
    uintmax_t size = fs::file_size(item.file, ec);
    std::vector<unsigned char> data;
    if (ec || (size <= kLargestFile && !ReadWhole(item.file, size, &data)))
        entry.error = item.file.string() + ": cannot be read";
    else if (size > kLargestFile || data.size() > kLargestFile) // never read in whole
        entry.error =
            item.file.string() + ": 2 GiB or larger; an entry's size is a signed 32-bit number";
    if (!entry.error.empty())
        return entry;
    // Imploded only when that makes the entry smaller; empty and tiny files are stored,
    // as is anything whose stream would be too short for the decoder to accept.
    std::vector<unsigned char> stream;
    entry.imploded = !data.empty() && Implode(data.data(), data.size(), options_, &stream) &&
                     stream.size() > 4 && stream.size() < data.size();
    if (entry.imploded && !ExplodesBack(stream, data)) {
        entry.error = item.file.string() +
                      ": its implode stream does not explode back to the file (a fault of "
                      "mksetup; please report it with the file)";
        return entry;
    }
    entry.fileSize = static_cast<uint32_t>(data.size());
    entry.bytes = entry.imploded ? std::move(stream) : std::move(data);
    return entry;
}
