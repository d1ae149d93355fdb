// host_side.cpp - Unix paths through Wine's own export, and host commands through CreateProcess.
#include "tests/e2e/host_side.h"

#include <windows.h>

#include <cctype>

#include "tests/e2e/setup_driver.h"

namespace e2e {

namespace {

using UnixFileName = char*(CDECL*)(const wchar_t*);

UnixFileName WineUnixFileName() {
    return reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

// Quoted for the shell: every ' becomes '\''.
std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

bool UnderWine() {
    return WineUnixFileName() != nullptr;
}

std::string UnixPath(const std::filesystem::path& path) {
    UnixFileName convert = WineUnixFileName();
    if (convert == nullptr)
        return {};
    char* unix = convert(path.wstring().c_str());
    if (unix == nullptr)
        return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

HostLink::HostLink(const std::filesystem::path& at, const std::string& hostTarget)
    : at_(at), unixPath_(UnixPath(at)) {
    if (!unixPath_.empty())
        RunOnHost("ln -s " + ShellQuoted(hostTarget) + " " + ShellQuoted(unixPath_),
                  [this] { return Present(); });
}

HostLink::~HostLink() {
    if (!unixPath_.empty() && Present())
        RunOnHost("rm -f " + ShellQuoted(unixPath_), [this] { return !Present(); });
}

bool HostLink::Present() const {
    // A lookup of the name itself fails for a link to a device; the listing shows it.
    std::string pattern = (at_.parent_path() / "*").string();
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    do
        found = lstrcmpiA(data.cFileName, at_.filename().string().c_str()) == 0;
    while (!found && FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

bool RunUntilDone(const std::string& shellCommand, const std::string& doneFile) {
    std::error_code ec;
    std::filesystem::path done = FromHostPath(doneFile);
    std::filesystem::remove(done, ec);
    return RunOnHost(shellCommand + " && touch " + ShellQuoted(doneFile),
                     [&] { return std::filesystem::exists(done, ec); });
}

SmallDrive::SmallDrive(char letter, const std::filesystem::path& mountPoint, size_t bytes)
    : letter_(letter) {
    std::error_code ec;
    std::filesystem::create_directories(mountPoint, ec);
    mountPoint_ = UnixPath(mountPoint);
    // The prefix's drive letters are links in its dosdevices folder, where C: is one.
    std::string driveC = UnixPath("C:\\");
    if (mountPoint_.empty() || driveC.empty())
        return;
    while (!driveC.empty() && driveC.back() == '/')
        driveC.pop_back();
    link_ = driveC.substr(0, driveC.rfind('/') + 1) + static_cast<char>(std::tolower(letter)) + ":";
    ready_ = RunUntilDone("mount -t tmpfs -o size=" + std::to_string(bytes) + " lxvsmall " +
                              ShellQuoted(mountPoint_) + " && ln -sfn " + ShellQuoted(mountPoint_) +
                              " " + ShellQuoted(link_),
                          mountPoint_ + ".mounted");
}

SmallDrive::~SmallDrive() {
    if (!mountPoint_.empty())
        RunUntilDone("rm -f " + ShellQuoted(link_) + "; umount " + ShellQuoted(mountPoint_) +
                         " || umount -l " + ShellQuoted(mountPoint_) + " || true",
                     mountPoint_ + ".unmounted");
}

} // namespace e2e
