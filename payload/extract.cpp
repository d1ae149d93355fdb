// extract.cpp - entry selection, extraction with progress accounting, and skipping.
#include "payload/extract.h"

#include <cstdio>
#include <cstdint>
#include <cstring>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_format.h"
#include "payload/entry_name.h"
#include "payload/entry_tables.h"
#include "payload/explode.h"
#include "payload/match_pattern.h"
#include "shell/path_strings.h"

static_assert(sizeof(ExplodeWorkArea) <= sizeof(InstallState::scratch),
              "the decompressor works in the scratch buffer");

constexpr int kStatusSize = 280; // "Installing:   " and a name of up to 260 bytes

static int ReportDamaged() {
    installState.observer->ReportFailure(text::kDamaged);
    return 0;
}

// Formats a message with one path into the scratch buffer and reports it as a failure.
static int ReportWithPath(const char* format, const char* path) {
    std::snprintf(installState.scratch, sizeof installState.scratch, format, path);
    installState.observer->ReportFailure(installState.scratch);
    return 0;
}

int FilterSelects(const char* name, uint8_t option) {
    for (const FilterEntry& row : kFilterTable)
        if (MatchPattern(name, row.pattern))
            return row.optionMask & option;
    return 1;
}

int SelectEntry(const char* name) {
    InstallState& s = installState;
    if (MatchPattern(name, "readme.*")) {
        // The read-me is recorded only when both its name and its full path fit; the link
        // to it and the document opened at the end are then the same file.
        char path[kPathSize];
        int length = std::snprintf(path, sizeof path, "%s%s", s.installDir, name);
        if (std::strlen(name) < sizeof s.readmeName && length >= 0 && length < kPathSize) {
            std::memcpy(s.readmeName, name, std::strlen(name) + 1);
            std::memcpy(s.readmeFullPath, path, static_cast<size_t>(length) + 1);
        }
    }
    return FilterSelects(name, s.option);
}

void AccountProgress() {
    InstallState& s = installState;
    s.remaining -= s.chunk;
    s.consumed += s.chunk;
    // 64-bit intermediate: consumed * 100 would overflow 32 bits beyond 21,474,836 bytes.
    int64_t percent = s.total > 0 ? int64_t(s.consumed) * 100 / s.total : 0;
    if (percent < 1)
        percent = 1;
    if (percent > 99)
        percent = 99;
    s.observer->SetProgress(static_cast<int>(percent));
}

uint32_t ReadPayloadChunk(char* buffer, uint32_t* size, void*) {
    InstallState& s = installState;
    if (s.remaining == 0)
        return 0;
    s.chunk =
        static_cast<uint32_t>(s.remaining) < *size ? s.remaining : static_cast<int32_t>(*size);
    if (std::fread(buffer, 1, static_cast<size_t>(s.chunk), s.payloadFile) !=
        static_cast<size_t>(s.chunk)) {
        s.readError = 1;
        return 0;
    }
    AccountProgress();
    return static_cast<uint32_t>(s.chunk);
}

void WriteOutputChunk(char* buffer, uint32_t* size, void*) {
    if (*size != 0 && std::fwrite(buffer, 1, *size, installState.outputFile) != *size)
        installState.writeError = 1;
}

static FILE* Buffered(FILE* f) {
    if (f != nullptr)
        std::setvbuf(f, nullptr, _IOFBF, kStreamBufferSize);
    return f;
}

static FILE* OpenOutputFile(const char* path) {
#ifdef _WIN32
    return Buffered(std::fopen(path, "wb"));
#else
    // Archive names separate levels with '\'; on a host that does not, map them.
    char host[kPathSize];
    std::memcpy(host, path, std::strlen(path) + 1);
    for (char* p = host; *p; ++p)
        if (*p == '\\')
            *p = '/';
    return Buffered(std::fopen(host, "wb"));
#endif
}

int DecodeEntryData(ExplodeWrite write, void* param) {
    InstallState& s = installState;
    s.readError = 0;
    if (s.remaining > 0) {
        int result = Explode(ReadPayloadChunk, write, s.scratch.Create<ExplodeWorkArea>(), param);
        // Bytes of the entry that the decoder never asked for would be read as the next
        // item: the size is not the stream's length, so the file is damaged.
        return !s.readError && result == kExplodeOk && s.remaining == 0;
    }
    s.remaining = archive::EntryByteCount(s.remaining);
    uint32_t request = kCopyChunk;
    uint32_t n;
    while ((n = ReadPayloadChunk(s.scratch, &request, nullptr)) > 0)
        write(s.scratch, &n, param);
    return !s.readError;
}

int ExtractEntry(const char* name) {
    InstallState& s = installState;
    if (!IsSafeEntryName(name))
        return ReportDamaged();

    char status[kStatusSize];
    std::snprintf(status, sizeof status, text::kInstalling, name);
    s.observer->ShowStatus(status);

    char path[kPathSize];
    int length = std::snprintf(path, sizeof path, "%s%s", s.installDir, name);
    if (length < 0 || length >= kPathSize)
        return ReportWithPath(text::kCannotCreateFile, path);
    // From here on the name in scratch is no longer needed; scratch is reused.
    s.outputFile = OpenOutputFile(path);
    if (s.outputFile == nullptr)
        return ReportWithPath(text::kCannotCreateFile, path);

    s.writeError = 0;
    int sound = DecodeEntryData(WriteOutputChunk, nullptr);

    // The file's last bytes may still sit in the C runtime's buffer. Flushing them first
    // reports their failed write on every runtime: Wine's fclose of a stream given its own
    // buffer size returns success although the final write failed.
    int closeFailed = std::fflush(s.outputFile) != 0;
    closeFailed |= std::fclose(s.outputFile) != 0;
    s.outputFile = nullptr;
    // A read failure takes precedence over a write failure in the same entry.
    if (!sound)
        return ReportDamaged();
    if (s.writeError || closeFailed)
        return ReportWithPath(text::kOutOfDiskSpace, path);
    return 1;
}

int SkipEntry() {
    InstallState& s = installState;
    s.observer->ShowStatus("");
    // Stored and imploded entries are skipped alike, by their byte count. Reading rather
    // than seeking moves the meter through them.
    s.remaining = archive::EntryByteCount(s.remaining);
    while (s.remaining != 0) {
        s.chunk = s.remaining < kCopyChunk ? s.remaining : kCopyChunk;
        if (std::fread(s.scratch, 1, static_cast<size_t>(s.chunk), s.payloadFile) !=
            static_cast<size_t>(s.chunk))
            return ReportDamaged();
        AccountProgress();
    }
    return 1;
}

int EnterSubdirectory(const char* item, int (*makePath)(char* path)) {
    InstallState& s = installState;
    const char* name = item + 1;
    size_t room = sizeof s.installDir - static_cast<size_t>(s.dirEnd - s.installDir);
    // The sub-directory needs its own bytes, a backslash and a terminator.
    if (!IsSafeEntryName(name) || std::strlen(name) + 2 > room)
        return ReportDamaged();
    std::memcpy(s.dirEnd, name, std::strlen(name) + 1);
    makePath(s.installDir);
    NormalizeDirectory(s.dirEnd);
    return 1;
}
