// fuzz_setup_file.cpp - arbitrary bytes behind the marker, checked and installed as the setup
// program would: no crash, no sanitizer report, nothing written outside the install directory,
// and no damage met by the extraction of a file that the payload check called sound.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_reader.h"
#include "payload/entry_loop.h"
#include "payload/payload_check.h"
#include "tools/mksetup/host_path.h"

namespace fs = std::filesystem;

namespace {

// Counts the reports; the meter must stay within 0..100 and failures must come one at a time.
class CountingObserver : public InstallObserver {
  public:
    void ShowStatus(const char*) override {}
    void SetProgress(int percent) override {
        if (percent < 0 || percent > 100)
            std::abort();
    }
    void ReportFailure(const char* text) override {
        ++failures;
        damaged += std::strcmp(text, text::kDamaged) == 0;
    }
    void ReportPathFailure(const char*) override { ++failures; }
    void ShowFinished() override {}
    int failures = 0;
    int damaged = 0;
};

void RemoveSandbox();

// One directory per process, removed at exit: the setup file and the install directory.
// The path is never destroyed, so the exit handler can still use it.
const fs::path& Sandbox() {
    static const fs::path* root = [] {
        auto* path =
            new fs::path(fs::temp_directory_path() / ("lxvfuzz-" + std::to_string(getpid())));
        fs::create_directories(*path);
        std::atexit(RemoveSandbox);
        return path;
    }();
    return *root;
}

void RemoveSandbox() {
    std::error_code ec;
    fs::remove_all(Sandbox(), ec);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the option; the rest follows a 16-byte marker record.
    uint8_t option = size > 0 && (data[0] & 1) ? 2 : 1;
    if (size > 0) {
        ++data;
        --size;
    }
    const fs::path& root = Sandbox();
    fs::path inside = root / "inside";
    fs::path setup = root / "setup.bin";
    std::error_code ec;
    fs::remove_all(inside, ec);
    fs::create_directories(inside);
    FILE* out = std::fopen(setup.string().c_str(), "wb");
    std::fwrite("ZOLTZOLTZOLTZOLT", 1, 16, out);
    if (size > 0)
        std::fwrite(data, 1, size, out);
    std::fclose(out);

    CountingObserver observer;
    std::memset(&installState, 0, sizeof installState);
    InstallState& s = installState;
    s.observer = &observer;
    s.option = option;
    std::snprintf(s.ownPath, sizeof s.ownPath, "%s", setup.string().c_str());
    std::snprintf(s.installDir, sizeof s.installDir, "%s/", inside.string().c_str());
    s.dirEnd = s.installDir + std::strlen(s.installDir);
    s.total = static_cast<int32_t>(size);

    // The check that the setup program runs before it deletes anything. It reads every item
    // as the extraction does and, in a file without a matching integrity record (the fuzzer
    // does not forge one), explodes every stream, so a file it calls sound, in a directory
    // that the setup program would take (the longest path fits), must extract without any
    // damage: only the file system may still fail.
    PayloadSummary summary;
    bool sound = CheckPayload(s.ownPath, &summary) != 0;
    if (sound ? observer.failures != 0 : observer.failures != 1)
        std::abort();
    bool taken = sound && std::strlen(s.installDir) + summary.longestTail < kPathSize;
    observer.failures = 0;
    observer.damaged = 0;
    if (OpenPayload()) {
        int ok = InstallEntries(MakeHostPath);
        // Every way out is either the end item or exactly one report.
        if (ok ? observer.failures != 0 : observer.failures != 1)
            std::abort();
        if (taken && observer.damaged != 0) {
            std::fprintf(stderr, "the check called the file sound; the extraction found damage\n");
            std::abort();
        }
        std::fclose(s.payloadFile);
        s.payloadFile = nullptr;
    }
    if (s.outputFile != nullptr)
        std::abort(); // the output file is closed on every path

    // Nothing beside the install directory and the setup file.
    for (const auto& entry : fs::directory_iterator(root)) {
        if (entry.path() != inside && entry.path() != setup) {
            std::fprintf(stderr, "written outside the install directory: %s\n",
                         entry.path().string().c_str());
            std::abort();
        }
    }
    return 0;
}
