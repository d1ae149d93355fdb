// build_command.cpp - mksetup build: a stub and a product directory become a setup file.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/mksetup/entry_packer.h"
#include "tools/mksetup/commands.h"
#include "tools/mksetup/sources.h"
#include "tools/mksetup/stub_signature.h"
#include "tools/packer/archive_writer.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

constexpr uint64_t kLargestPayload = 0x7FFFFFFF; // sizes and offsets are signed 32-bit

int Fail(const std::string& what) {
    std::fprintf(stderr, "mksetup: %s\n", what.c_str());
    return kExitFailure;
}

bool ReadStub(const std::string& file, Bytes* bytes) {
    FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr)
        return false;
    unsigned char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, in)) > 0)
        bytes->insert(bytes->end(), block, block + n);
    bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

// A progress line on a terminal, once a build takes more than a moment.
class Progress {
  public:
    explicit Progress(size_t count) : count_(count), terminal_(isatty(2) != 0) {}
    void Show(size_t done, const std::string& name) {
        using namespace std::chrono;
        if (!terminal_ || steady_clock::now() - start_ < milliseconds(500))
            return;
        std::fprintf(stderr, "\rmksetup: %zu/%zu %-50.50s", done, count_, name.c_str());
        drawn_ = true;
    }
    ~Progress() {
        if (drawn_)
            std::fprintf(stderr, "\r%78s\r", "");
    }

  private:
    size_t count_;
    bool terminal_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Why output may not be written, as it would destroy or swallow an input; "" if it may. Files
// are compared by identity, so that "./x", an absolute path and a link all count.
std::string CheckOutput(const std::string& output, const std::string& stub,
                        const Sources& sources) {
    FileId out, stubId;
    if (IdentifyFile(output, &out)) {
        if (IdentifyFile(stub, &stubId) && out == stubId)
            return "-o " + output + " is the stub; the build would overwrite it";
        if (std::find(sources.inputs.begin(), sources.inputs.end(), out) != sources.inputs.end())
            return "-o " + output + " is one of the sources; the build would overwrite it";
    }
    fs::path parent = fs::path(output).parent_path();
    FileId directory;
    if (IdentifyFile(parent.empty() ? fs::path(".") : parent, &directory) &&
        std::find(sources.directories.begin(), sources.directories.end(), directory) !=
            sources.directories.end())
        return "-o " + output + " lies inside SOURCE; the next build would pack it";
    return "";
}

// The temporary file of a build in progress, removed when a signal ends the build, so that
// an interrupted build leaves nothing behind. A fixed buffer: the handler may not allocate.
char temporaryPath[4096];
volatile sig_atomic_t temporaryExists = 0;

void RemoveTemporaryAndDie(int signal) {
    if (temporaryExists)
        unlink(temporaryPath);
    std::signal(signal, SIG_DFL);
    raise(signal);
}

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveTemporaryOnSignals() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveTemporaryAndDie;
    sigemptyset(&action.sa_mask);
    for (int signal : kEndingSignals)
        sigaction(signal, &action, nullptr);
}

void RemoveTemporary() {
    if (temporaryExists)
        unlink(temporaryPath);
    temporaryExists = 0;
}

// Opens a new file beside output for writing, named in temporaryPath, with the permissions a
// plain new file gets; nullptr if it cannot.
FILE* CreateTemporary(const std::string& output) {
    std::string pattern = output + ".XXXXXX";
    if (pattern.size() >= sizeof temporaryPath)
        return nullptr;
    std::memcpy(temporaryPath, pattern.c_str(), pattern.size() + 1);
    RemoveTemporaryOnSignals();
    // The file exists from inside mkstemp on; a signal that came before the flag is set would
    // leave it behind, so none is taken until both are done.
    sigset_t ending, previous;
    sigemptyset(&ending);
    for (int signal : kEndingSignals)
        sigaddset(&ending, signal);
    sigprocmask(SIG_BLOCK, &ending, &previous);
    int fd = mkstemp(temporaryPath);
    temporaryExists = fd >= 0;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (fd < 0)
        return nullptr;
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    FILE* out = fdopen(fd, "wb");
    if (out == nullptr) {
        close(fd);
        RemoveTemporary();
    }
    return out;
}

} // namespace

int BuildCommand(const BuildOptions& options) {
    Bytes stub;
    if (!ReadStub(options.stub, &stub))
        return Fail(options.stub + ": cannot read the stub");
    long falseMarker = FindFalseMarker(stub.data(), stub.size());
    if (falseMarker >= 0)
        return Fail(options.stub + ": the stub holds a marker record at offset " +
                    std::to_string(falseMarker) +
                    "; the setup program would take it for the payload");
    if (StubIsSigned(stub.data(), stub.size()))
        return Fail(options.stub + ": the stub is signed, and the payload would break its " +
                    "signature; sign the finished setup file, not the stub");

    CodePage codePage;
    if (!codePage.Open(options.codePage))
        return Fail("code page " + std::to_string(options.codePage) + " is not known here");
    Sources sources;
    std::string error;
    if (!CollectSources(options.source, codePage, &sources, &error))
        return Fail(error);
    const std::vector<SourceItem>& items = sources.items;
    error = CheckOutput(options.output, options.stub, sources);
    if (!error.empty())
        return Fail(error);

    // Write to a temporary file beside the output and rename it at the end, so a failed or
    // interrupted build leaves no half-written setup file behind, and an old one as it was.
    FILE* out = CreateTemporary(options.output);
    if (out == nullptr)
        return Fail(options.output + ": cannot be written");
    ArchiveWriter writer(out);
    bool ok = writer.Begin(stub.data(), stub.size());
    uint64_t payloadStart = writer.BytesWritten();

    // Entries are packed on worker threads but written here, one after the other in
    // archive order, so the file is the same whatever the number of jobs.
    Progress progress(items.size());
    EntryPacker packer(items, options.implode, options.jobs);
    for (size_t i = 0; i < items.size() && ok; ++i) {
        const SourceItem& item = items[i];
        progress.Show(i + 1, item.shown);
        PackedEntry entry = packer.Take(i);
        if (item.subdirectory) {
            ok = writer.Subdirectory(item.name.c_str());
        } else if (!entry.error.empty()) {
            error = entry.error;
            break;
        } else {
            ok = entry.imploded
                     ? writer.Imploded(item.name.c_str(), entry.bytes.data(), entry.bytes.size(),
                                       entry.fileSize)
                     : writer.Stored(item.name.c_str(), entry.bytes.data(), entry.bytes.size());
        }
        // Refused as soon as it is too large, not once everything has been compressed.
        if (writer.BytesWritten() - payloadStart > kLargestPayload) {
            error = "the payload exceeds 2 GiB at " + item.shown;
            break;
        }
    }
    // The integrity record goes right behind the end item, where the setup program looks
    // for it; a signature's certificate table is appended behind it later.
    if (ok && error.empty())
        ok = writer.End() && writer.IntegrityRecord();
    if (ok && error.empty() && writer.BytesWritten() - payloadStart > kLargestPayload)
        error = "the payload exceeds 2 GiB";
    bool closed = std::fclose(out) == 0;
    if (error.empty() && (!ok || !closed))
        error = options.output + ": write failed";
    if (!error.empty()) {
        RemoveTemporary();
        return Fail(error);
    }
    std::error_code ec;
    fs::rename(temporaryPath, options.output, ec);
    if (ec) {
        RemoveTemporary();
        return Fail(options.output + ": " + ec.message());
    }
    temporaryExists = 0;
    return kExitOk;
}
