// install_state.h - the one process-wide record of an installation, and the observer
// through which the install sequence and the extraction report to the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>

// Paths are 8-bit texts in the system code page; 260 bytes include the terminator.
constexpr int kPathSize = 260;

// The largest chunk the extraction moves at once.
constexpr int kCopyChunk = 16384;

// The C runtime's buffer for the payload and for each file written. With its default of 4 KB,
// every block that Explode hands out (4 KB) becomes a write call of its own, and every
// second chunk read a read call; under Wine each call also passes Wine's file layer.
constexpr size_t kStreamBufferSize = 65536;

// The scratch buffer holds one copy chunk plus one path: names as read, message texts,
// the decompressor's work area, the copy buffer and finally a shortcut path.
constexpr int kScratchSize = kCopyChunk + kPathSize;

// The alignment of the scratch buffer, enough for any object begun in it (the work area holds
// pointers and 32-bit words). A fixed number, not alignof(std::max_align_t): i686-w64-mingw32
// has two definitions of max_align_t, 8 and 16, and which one a unit sees depends on which
// header it included first, so the record would not have one layout in every unit.
constexpr size_t kScratchAlignment = 16;

// Values of the developer check box, ANDed with the option masks of the entry tables.
constexpr uint8_t kOptionStandard = 1;
constexpr uint8_t kOptionDeveloper = 2;

// The five operations through which an installation reports to the user.
class InstallObserver {
  public:
    virtual void ShowStatus(const char* text) = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void ReportFailure(const char* text) = 0;
    virtual void ReportPathFailure(const char* text) = 0;
    virtual void ShowFinished() = 0;

  protected:
    ~InstallObserver() = default;
};

// The scratch buffer: names and texts use it as characters, and the decompressor's work area
// lives in it as an object of its own. An array of unsigned char provides storage for the
// object that Create begins there, which an array of char would not.
struct ScratchBuffer {
    unsigned char bytes[kScratchSize];

    operator char*() { return reinterpret_cast<char*>(bytes); }

    // Begins the lifetime of a T at the start of the buffer, default-initialised (a plain
    // record is left as it is), and returns it. It lives until the buffer is used otherwise.
    template <class T> T* Create() {
        static_assert(sizeof(T) <= kScratchSize, "the object fits the scratch buffer");
        static_assert(alignof(T) <= kScratchAlignment, "the buffer is aligned for it");
        return ::new (static_cast<void*>(bytes)) T;
    }
};

struct InstallState {
    char ownPath[kPathSize];
    int32_t highColour;
    InstallObserver* observer;
    uint8_t option;
    char installDir[kPathSize];
    char* dirEnd; // just behind the install directory's trailing backslash
    alignas(kScratchAlignment) ScratchBuffer scratch;
    char* linkEnd; // just behind the program group's path and its backslash
    FILE* payloadFile;
    FILE* outputFile;
    int32_t remaining; // data bytes of the current entry not yet read
    int32_t consumed;  // archive bytes read since the marker
    int32_t total;     // archive bytes behind the marker
    int32_t chunk;     // length of the data chunk read last
    uint8_t readError;
    uint8_t writeError;
    char readmeName[12];
    char readmeFullPath[kPathSize];
    uint8_t finished;
    int32_t succeeded;
};

static_assert(sizeof(InstallState::scratch) == 16644, "scratch is one chunk plus one path");

// The layout of each target, pinned: a unit that saw the record otherwise would read the
// fields behind the scratch buffer at other places than the rest of the program.
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(InstallState) == 17504 && offsetof(InstallState, scratch) == 544 &&
                  offsetof(InstallState, payloadFile) == 17192 &&
                  offsetof(InstallState, consumed) == 17204 &&
                  offsetof(InstallState, readmeFullPath) == 17230 &&
                  offsetof(InstallState, succeeded) == 17492,
              "the 32-bit layout of InstallState");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
static_assert(sizeof(InstallState) == 17520 && offsetof(InstallState, scratch) == 544 &&
                  offsetof(InstallState, payloadFile) == 17200 &&
                  offsetof(InstallState, consumed) == 17220 &&
                  offsetof(InstallState, readmeFullPath) == 17246 &&
                  offsetof(InstallState, succeeded) == 17508,
              "the 64-bit layout of InstallState");
#else
#error "no layout of InstallState is pinned for this target"
#endif

// Exactly one per process; static storage, so it starts zeroed.
extern InstallState installState;
