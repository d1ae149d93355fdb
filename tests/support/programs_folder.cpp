// programs_folder.cpp - redirecting the Programs folder through the user's shell folders.
#include "tests/support/programs_folder.h"

#include <shlobj.h>

#include <string>

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr char kPrograms[] = "Programs";

} // namespace

RedirectedProgramsFolder::RedirectedProgramsFolder(const std::filesystem::path& directory) {
    std::filesystem::create_directories(directory);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    // A folder that is gone is what a test killed before it could put back the user's own
    // leaves behind: the default of every profile is put back at the end instead. (Without
    // the value the shell would take its last answer, the gone folder, once more.)
    std::error_code ec;
    if (!std::filesystem::is_directory(ProgramsFolder(), ec)) {
        static const char kDefault[] =
            "%USERPROFILE%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
        value_.assign(kDefault, kDefault + sizeof kDefault);
        type_ = REG_EXPAND_SZ;
        hadValue_ = true;
    }
    DWORD size = 0;
    if (!hadValue_ &&
        RegQueryValueExA(key, kPrograms, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        value_.resize(size);
        hadValue_ = RegQueryValueExA(key, kPrograms, nullptr, &type_, value_.data(), &size) ==
                    ERROR_SUCCESS;
    }
    // In UTF-16, so that a folder outside the code page is set as it is.
    std::wstring path = directory.wstring();
    RegSetValueExW(key, L"Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

RedirectedProgramsFolder::~RedirectedProgramsFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExA(key, kPrograms, 0, type_, value_.data(), static_cast<DWORD>(value_.size()));
    else
        RegDeleteValueA(key, kPrograms);
    RegCloseKey(key);
}

std::filesystem::path ProgramsFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return path;
}
