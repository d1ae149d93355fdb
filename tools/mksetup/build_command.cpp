// build_command.cpp - mksetup build: a stub and a product directory become a setup file.
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "payload/archive_writer.h"
#include "tools/mksetup/entry_packer.h"
#include "tools/mksetup/commands.h"
#include "tools/mksetup/sources.h"
#include "tools/mksetup/stub_signature.h"

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

    std::vector<SourceItem> items;
    std::string error;
    if (!CollectSources(options.source, &items, &error))
        return Fail(error);

    // Write to a temporary name and rename at the end, so a failed build leaves no
    // half-written setup file behind.
    std::string temporary = options.output + ".part";
    FILE* out = std::fopen(temporary.c_str(), "wb");
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
        progress.Show(i + 1, item.name);
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
        std::remove(temporary.c_str());
        return Fail(error);
    }
    std::error_code ec;
    fs::rename(temporary, options.output, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return Fail(options.output + ": " + ec.message());
    }
    return kExitOk;
}
