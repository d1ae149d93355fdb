// check_timer.cpp - times the payload check that the setup program runs before it deletes
// anything, and its CRC-32, on one setup file.
//
// usage: check_timer SETUP.EXE [RUNS]
// Prints the payload's size, the fastest of RUNS (default 5) checks of the file as it is and
// of a copy without its integrity record (which the check then also searches for elsewhere),
// and the CRC-32's speed in memory, slicing-by-8 against one table per byte. Exits 1 if the
// file is not sound. The file is read once before timing, so the runs find it in the cache,
// as the setup program finds its own file.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/install_state.h"
#include "payload/crc32.h"
#include "payload/integrity_record.h"
#include "payload/payload_check.h"

namespace {

constexpr double kMegabyte = 1e6;

class SilentObserver : public InstallObserver {
  public:
    void ShowStatus(const char*) override {}
    void SetProgress(int) override {}
    void ReportFailure(const char*) override {}
    void ReportPathFailure(const char*) override {}
    void ShowFinished() override {}
};

template <class Work> double FastestSeconds(int runs, Work work) {
    double fastest = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds < fastest)
            fastest = seconds;
    }
    return fastest;
}

// The CRC-32 with one table lookup per byte, for comparison.
uint32_t BytewiseCrc32(const unsigned char* data, size_t size) {
    static uint32_t table[256];
    if (table[1] == 0)
        for (uint32_t b = 0; b < 256; ++b) {
            uint32_t r = b;
            for (int bit = 0; bit < 8; ++bit)
                r = (r >> 1) ^ (r & 1 ? 0xEDB88320 : 0);
            table[b] = r;
        }
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i)
        crc = (crc >> 8) ^ table[(crc ^ data[i]) & 0xFF];
    return ~crc;
}

std::vector<unsigned char> ReadAll(const char* file) {
    std::vector<unsigned char> bytes;
    FILE* in = std::fopen(file, "rb");
    if (in == nullptr)
        return bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(in);
    return bytes;
}

bool WriteAll(const std::string& file, const unsigned char* bytes, size_t size) {
    FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr)
        return false;
    bool ok = std::fwrite(bytes, 1, size, out) == size;
    return std::fclose(out) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("usage: check_timer SETUP.EXE [RUNS]\n", stderr);
        return 2;
    }
    const char* file = argv[1];
    int runs = argc == 3 ? std::atoi(argv[2]) : 5;
    if (runs < 1)
        runs = 1;
    SilentObserver observer;
    installState.observer = &observer;

    std::vector<unsigned char> bytes = ReadAll(file);
    PayloadSummary summary;
    if (!CheckPayload(file, &summary)) {
        std::fprintf(stderr, "check_timer: %s: damaged: %s\n", file, summary.damage);
        return 1;
    }
    double payload = static_cast<double>(summary.total);
    std::printf("%s: %zu bytes, %d entries; %.2f MB behind the marker, integrity record: %s\n",
                file, bytes.size(), summary.entries, payload / kMegabyte,
                summary.hasRecord ? "yes" : "no");

    double check = FastestSeconds(runs, [&] { CheckPayload(file, &summary); });
    std::printf("payload check:                  %8.1f ms  %8.1f MB/s of payload (fastest of %d)\n",
                check * 1e3, payload / check / kMegabyte, runs);

    if (summary.hasRecord) {
        // The same file as a writer without the record would make it: the check also reads it
        // a second time, looking for a record elsewhere.
        std::string bare = std::string(file) + ".no-record";
        size_t size = static_cast<size_t>(bytes.size() - (summary.total - summary.covered));
        if (!WriteAll(bare, bytes.data(), size) || !CheckPayload(bare.c_str(), &summary)) {
            std::fprintf(stderr, "check_timer: %s cannot be written or checked\n", bare.c_str());
            return 1;
        }
        double bareCheck = FastestSeconds(runs, [&] { CheckPayload(bare.c_str(), &summary); });
        std::printf("payload check without record:   %8.1f ms  %8.1f MB/s of payload\n",
                    bareCheck * 1e3, payload / bareCheck / kMegabyte);
        std::remove(bare.c_str());
    }

    const unsigned char* behindMarker = bytes.data() + (bytes.size() - summary.total);
    size_t payloadSize = static_cast<size_t>(summary.total);
    volatile uint32_t sink = 0;
    double sliced = FastestSeconds(runs, [&] { sink = Crc32(0, behindMarker, payloadSize); });
    double bytewise =
        FastestSeconds(runs, [&] { sink = BytewiseCrc32(behindMarker, payloadSize); });
    std::printf("CRC-32 slicing-by-8, in memory: %8.1f ms  %8.1f MB/s\n", sliced * 1e3,
                payload / sliced / kMegabyte);
    std::printf("CRC-32 one table per byte:      %8.1f ms  %8.1f MB/s\n", bytewise * 1e3,
                payload / bytewise / kMegabyte);
    (void)sink;
    return 0;
}
