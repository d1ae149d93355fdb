// entry_packer.h - reads and implodes the entries of a build on worker threads, and hands
// them back in archive order.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/mksetup/sources.h"
#include "tools/packer/implode.h"

// One entry as it goes into the archive: imploded when that makes it smaller, else stored.
struct PackedEntry {
    std::string error;                // why the file cannot be packed; empty on success
    bool imploded = false;            // bytes holds the implode stream, else the file itself
    std::vector<unsigned char> bytes; // what the archive stores for the entry
    uint32_t fileSize = 0;            // the file's own size, as installed
};

// Packs the file entries of items, at most jobs at a time; with one job everything happens
// in Take, on the caller's thread. Each entry is packed independently of the others, so the
// bytes of an entry do not depend on the number of jobs: the archive comes out the same.
// Workers run at most 64 MiB of source ahead of the entry taken last, which bounds the memory.
class EntryPacker {
  public:
    EntryPacker(const std::vector<SourceItem>& items, const ImplodeOptions& options, unsigned jobs);
    // Stops the workers (an entry in progress is finished) and waits for them.
    ~EntryPacker();
    EntryPacker(const EntryPacker&) = delete;
    EntryPacker& operator=(const EntryPacker&) = delete;

    // The packed entry items[index] (empty for a section), waiting for it if need be. Each
    // index is taken once, in increasing order.
    PackedEntry Take(size_t index);

  private:
    struct Slot {
        uintmax_t sourceBytes = 0; // the file's length when the packer was made
        bool ready = false;
        PackedEntry entry;
    };

    PackedEntry Pack(size_t index) const;
    void Work();

    const std::vector<SourceItem>& items_;
    ImplodeOptions options_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable packed_; // a slot became ready
    std::condition_variable taken_;  // the window moved, or the packer stops
    size_t next_ = 0;                // the next entry a worker claims
    size_t takenCount_ = 0;          // entries handed out so far
    uintmax_t aheadBytes_ = 0;       // source bytes claimed by workers and not yet taken
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

// The default number of jobs: one per core.
unsigned DefaultJobs();
