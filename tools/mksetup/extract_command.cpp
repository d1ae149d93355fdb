// extract_command.cpp - mksetup extract: install the payload as the setup program would.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/install_state.h"
#include "payload/archive_reader.h"
#include "payload/entry_loop.h"
#include "payload/payload_check.h"
#include "tools/mksetup/commands.h"
#include "tools/mksetup/console_observer.h"
#include "tools/mksetup/host_path.h"

namespace fs = std::filesystem;

int ExtractCommand(const std::string& file, const std::string& directory, int option) {
    ConsoleObserver observer(file);
    std::memset(&installState, 0, sizeof installState);
    InstallState& s = installState;
    s.observer = &observer;
    s.option = static_cast<uint8_t>(option);

    // As the setup program does before it touches the install directory: the whole payload
    // is checked first, so a damaged file writes nothing.
    observer.where = "payload check";
    PayloadSummary summary;
    if (!CheckPayload(file.c_str(), &summary)) {
        std::fprintf(stderr, "mksetup: %s: %s\n", file.c_str(), summary.damage);
        return kExitFailure;
    }
    observer.where.clear();

    std::error_code ec;
    fs::create_directories(directory, ec);
    std::string base = directory;
    if (base.empty() || base.back() != '/')
        base += '/';
    // Room for the longest name below the directory is checked entry by entry.
    if (file.size() >= kPathSize || base.size() >= kPathSize) {
        std::fprintf(stderr, "mksetup: path longer than 259 bytes\n");
        return kExitFailure;
    }
    std::memcpy(s.ownPath, file.c_str(), file.size() + 1);
    std::memcpy(s.installDir, base.c_str(), base.size() + 1);
    s.dirEnd = s.installDir + base.size();

    if (!OpenPayload())
        return kExitFailure;
    s.total = static_cast<int32_t>(fs::file_size(file, ec) -
                                   static_cast<uintmax_t>(std::ftell(s.payloadFile)));
    observer.SetProgress(0);
    int ok = InstallEntries(MakeHostPath);
    std::fclose(s.payloadFile);
    s.payloadFile = nullptr;
    observer.EndProgress();
    return ok ? kExitOk : kExitFailure;
}
