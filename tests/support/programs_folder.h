// programs_folder.h - the Start menu's Programs folder, and one of the test's own for as long
// as it runs.
#pragma once

#include <windows.h>

#include <filesystem>
#include <vector>

// The Programs folder as the shell reports it now (where the uninstaller and the setup
// program look for it); empty if it has none.
std::filesystem::path ProgramsFolder();

// Redirects the current user's Programs folder to directory, as a folder redirection does,
// so that a program group made during the test lands there and the user's own Start menu is
// never touched; the destructor puts the user's setting back as it was.
class RedirectedProgramsFolder {
  public:
    explicit RedirectedProgramsFolder(const std::filesystem::path& directory);
    ~RedirectedProgramsFolder();
    RedirectedProgramsFolder(const RedirectedProgramsFolder&) = delete;
    RedirectedProgramsFolder& operator=(const RedirectedProgramsFolder&) = delete;

  private:
    bool hadValue_ = false;
    DWORD type_ = REG_EXPAND_SZ;
    std::vector<BYTE> value_;
};
