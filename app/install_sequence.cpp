// install_sequence.cpp - RunInstall: prepare the directory, extract, make the program group.
#include "app/install_sequence.h"

#include <windows.h>
#include <direct.h>
#include <io.h>

#include <cstdio>
#include <cstring>

#include "app/install_state.h"
#include "app/protected_directories.h"
#include "app/texts.h"
#include "payload/archive_reader.h"
#include "payload/entry_loop.h"
#include "payload/entry_tables.h"
#include "payload/payload_check.h"
#include "shell/directories.h"
#include "shell/disk_space.h"
#include "shell/launch.h"
#include "shell/messages.h"
#include "shell/path_strings.h"
#include "shell/shortcuts.h"
#include "shell/sounds.h"

namespace {

// The longest file name that the sequence itself appends to the install directory: the
// shortcut targets, the uninstaller and the product program started at exit.
size_t LongestTargetName() {
    size_t longest = std::strlen(text::kUninstallTarget);
    for (const ShortcutEntry& row : kShortcutTable)
        if (std::strlen(row.targetName) > longest)
            longest = std::strlen(row.targetName);
    return longest;
}

// Reports format filled with path through the observer's report; 0, for the caller to stop.
int Report(void (InstallObserver::*report)(const char*), const char* format, const char* path) {
    char message[kPathSize + 256];
    std::snprintf(message, sizeof message, format, path);
    (installState.observer->*report)(message);
    return 0;
}

int ReportPath(const char* format, const char* path) {
    return Report(&InstallObserver::ReportPathFailure, format, path);
}

// bytes as whole kilobytes, rounded up, with a comma between thousands: "1,234".
void FormatKilobytes(uint64_t bytes, char* out, size_t size) {
    char digits[24];
    int length = std::snprintf(digits, sizeof digits, "%llu",
                               static_cast<unsigned long long>((bytes + 1023) / 1024));
    size_t at = 0;
    for (int i = 0; i < length && at + 1 < size; ++i) {
        if (i > 0 && (length - i) % 3 == 0 && at + 2 < size)
            out[at++] = ',';
        out[at++] = digits[i];
    }
    out[at] = 0;
}

// Refuses a directory whose volume has no room for the installation once the directory has
// been emptied. A volume that cannot tell its free space is not refused.
int CheckSpace(bool known, uint64_t needed, uint64_t freeBytes) {
    InstallState& s = installState;
    if (!known || needed <= freeBytes)
        return 1;
    char neededText[32], freeText[32];
    FormatKilobytes(needed, neededText, sizeof neededText);
    FormatKilobytes(freeBytes, freeText, sizeof freeText);
    char message[kPathSize + 256];
    std::snprintf(message, sizeof message, text::kNotEnoughSpace, static_cast<char*>(s.scratch),
                  neededText, freeText);
    s.observer->ReportPathFailure(message);
    return 0;
}

// Writes text at `at`, a position inside buffer (bufferSize bytes); false, with nothing
// written, if it does not fit in the room left there.
bool PutAt(char* buffer, size_t bufferSize, char* at, const char* text) {
    size_t room = bufferSize - static_cast<size_t>(at - buffer);
    size_t length = std::strlen(text);
    if (length >= room)
        return false;
    std::memcpy(at, text, length + 1);
    return true;
}

// Writes the link name at linkEnd and the target name at dirEnd, and makes the shortcut
// with the given arguments. A link or target path that would not fit a path buffer is not
// made under a cut name: that shortcut is missing, as any other that cannot be made.
void CreateGroupShortcut(const char* linkName, const char* targetName, const char* arguments) {
    InstallState& s = installState;
    if (PutAt(s.scratch, kPathSize, s.linkEnd, linkName) &&
        PutAt(s.installDir, sizeof s.installDir, s.dirEnd, targetName))
        CreateShortcut(s.installDir, arguments, s.scratch);
}

// Makes the program group and its shortcuts. Without a Programs folder there is no group:
// nothing is made on the current drive instead, and the user is told where the product is.
void CreateProgramGroup() {
    InstallState& s = installState;
    if (!GetProgramsFolderPath(s.scratch)) {
        char message[kPathSize + 512];
        std::snprintf(message, sizeof message, text::kNoProgramGroup,
                      static_cast<int>(s.dirEnd - s.installDir), s.installDir);
        ShowWarning(message, text::kSetupErrorCaption, nullptr);
        return;
    }
    size_t length = std::strlen(s.scratch);
    if (length + sizeof text::kGroupName + 1 > kPathSize)
        return;
    std::memcpy(s.scratch + length, text::kGroupName, sizeof text::kGroupName);
    _mkdir(s.scratch); // an existing group is simply reused
    s.linkEnd = s.scratch + std::strlen(s.scratch);
    *s.linkEnd++ = '\\';
    *s.linkEnd = 0;

    for (const ShortcutEntry& row : kShortcutTable)
        if (row.optionMask & s.option)
            CreateGroupShortcut(row.linkName, row.targetName, "");
    // The read-me link points at the very file that is opened at the end, sub-directory
    // included.
    if (s.readmeName[0] != 0 && PutAt(s.scratch, kPathSize, s.linkEnd, text::kReadMeLink))
        CreateShortcut(s.readmeFullPath, "", s.scratch);
    CreateGroupShortcut(text::kUninstallLink, text::kUninstallTarget, text::kUninstallArguments);
}

// Prepares the install directory: checks that the payload is sound and that every path
// below the directory fits, then empties the directory or creates it.
int PrepareDirectory(const char* directoryText) {
    InstallState& s = installState;
    // The directory is normalised and lower-cased first, so that every refusal names it as
    // the other path failures do, and the payload check can count the installed files in
    // the clusters of its volume.
    std::snprintf(s.installDir, sizeof s.installDir, "%s", directoryText);
    NormalizeDirectory(s.installDir);
    LowerCaseLetters(s.installDir);
    s.dirEnd = s.installDir + std::strlen(s.installDir);
    uint32_t cluster = 1;
    uint64_t freeBytes = 0;
    bool spaceKnown = GetVolumeSpace(s.installDir, &cluster, &freeBytes) != 0;

    PayloadSummary payload;
    if (!CheckPayload(s.ownPath, &payload, cluster))
        return 0;

    // It must fit one path together with the longest name below it; a text too long for the
    // buffer is named as far as it goes.
    size_t tail =
        payload.longestTail > LongestTargetName() ? payload.longestTail : LongestTargetName();
    if (std::strlen(directoryText) >= kPathSize ||
        static_cast<size_t>(s.dirEnd - s.installDir) + tail >= kPathSize)
        return ReportPath(text::kCannotCreatePath, s.installDir);

    // Refused whether or not the directory shows as existing: a drive's root does not (the
    // lookup finds no entry for it), and the files would be written straight into it. The
    // empty text stays allowed: it names the current directory, which is written into,
    // never emptied.
    std::memcpy(s.scratch, s.installDir, std::strlen(s.installDir) + 1);
    StripTrailingBackslash(s.scratch);
    if (s.scratch[0] != 0 && IsProtectedDirectory(s.scratch, s.ownPath))
        return ReportPath(text::kProtectedDirectory, s.scratch);
    // A link would be emptied through: the files of the directory it leads to would go.
    if (s.scratch[0] != 0 && IsLink(s.scratch))
        return ReportPath(text::kLinkedDirectory, s.scratch);
    bool exists = DirectoryExists(s.installDir) != 0;
    // A file that the wipe could not delete would stop the extraction at that file, with
    // everything else gone; it is named now, as the extraction would name it, and nothing is
    // deleted. The same walk counts what the wipe gives back, for the files to be written
    // must fit in what is free once the old ones are gone.
    if (exists) {
        char blocker[kPathSize];
        uint64_t freed = 0;
        if (!SurveyWipe(s.scratch, cluster, &freed, blocker))
            return Report(&InstallObserver::ReportFailure, text::kCannotCreateFile, blocker);
        freeBytes += freed;
    }
    if (!CheckSpace(spaceKnown, payload.installedBytes, freeBytes))
        return 0;
    if (exists) {
        WipeDirectory(s.scratch, 0);
    } else if (!CreatePath(s.installDir)) {
        return ReportPath(text::kCannotCreatePath, s.installDir);
    }
    return 1;
}

// Reads every entry of the payload into the directory. The payload stream is closed on
// every way out.
int ExtractPayload() {
    InstallState& s = installState;
    s.consumed = 0;
    s.observer->SetProgress(0);
    if (!OpenPayload())
        return 0;
    s.total =
        static_cast<int32_t>(_filelengthi64(_fileno(s.payloadFile)) - _ftelli64(s.payloadFile));
    int ok = InstallEntries(CreatePath);
    if (ok)
        s.observer->SetProgress(100);
    std::fclose(s.payloadFile);
    s.payloadFile = nullptr;
    return ok;
}

} // namespace

void RunInstall(const char* directoryText, int developer) {
    // A warning box dispatches the dialog's messages while it is up, so an Install press can
    // arrive in the middle of a run; the run in progress owns the state, and the press is
    // ignored.
    static bool running = false;
    InstallState& s = installState;
    if (running)
        return;
    // A press after a finished installation still records the option; it changes nothing.
    s.option = developer ? kOptionDeveloper : kOptionStandard;
    if (s.finished)
        return;
    running = true;
    SetCursor(waitCursor);
    if (PrepareDirectory(directoryText) && ExtractPayload()) {
        s.finished = 1;
        s.observer->ShowStatus(text::kUpdatingDesktop);
        CreateProgramGroup();
        s.observer->ShowStatus(text::kSuccess);
        s.observer->ShowFinished();
        PlaySystemSound(text::kSoundSuccess, 1);
        s.succeeded = 1;
        if (s.readmeName[0] != 0)
            ViewDocument(s.readmeFullPath);
    }
    running = false;
}
