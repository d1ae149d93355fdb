// install_state.h - the one process-wide record of an installation, and the observer
// through which the install sequence and the extraction report to the user.
#pragma once

#include <cstdint>
#include <cstdio>

// Paths are 8-bit texts in the system code page; 260 bytes include the terminator.
constexpr int kPathSize = 260;

// The largest chunk the extraction moves at once.
constexpr int kCopyChunk = 16384;

// The scratch buffer holds one copy chunk plus one path: names as read, message texts,
// the decompressor's work area, the copy buffer and finally a shortcut path.
constexpr int kScratchSize = kCopyChunk + kPathSize;

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

struct InstallState {
    char ownPath[kPathSize];
    int32_t highColour;
    InstallObserver* observer;
    uint8_t option;
    char installDir[kPathSize];
    char* dirEnd; // just behind the install directory's trailing backslash
    alignas(8) char scratch[kScratchSize];
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

// Exactly one per process; static storage, so it starts zeroed.
extern InstallState installState;
