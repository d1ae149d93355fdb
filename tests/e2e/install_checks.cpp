// install_checks.cpp - reading back installed files, the program group and its shortcuts.
#include "tests/e2e/install_checks.h"

#include <windows.h>

#include <system_error>

#include "tests/e2e/setup_driver.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace e2e {

fs::path PayloadDir() {
    return FromHostPath(LXV_DEMO_PAYLOAD_DIR);
}

std::set<std::string> PayloadNames() {
    return NamesIn(PayloadDir());
}

bool IsDeveloperOnly(const std::string& name) {
    static const char* const kNames[] = {
        "devref.htm",   "plr.htm",      "apitest.exe", "gauge32.dll", "lxconv32.dll",
        "lxconv32.lib", "fmtprobe.lib", "gauge32.lib", "test.frm",    "test.vbp"};
    std::string n = Lower(name);
    for (const char* developerName : kNames)
        if (n == developerName)
            return true;
    // "decl_*" and "?plx.dll"
    return n.rfind("decl_", 0) == 0 || (n.size() == 8 && n.compare(1, 7, "plx.dll") == 0);
}

fs::path GroupFolder() {
    fs::path programs = ProgramsFolder();
    return programs.empty() ? fs::path() : programs / "Lexivane";
}

bool RemoveGroup() {
    fs::path group = GroupFolder();
    if (group.empty())
        return false;
    std::error_code ec;
    fs::remove_all(group, ec);
    return !fs::exists(group, ec);
}

bool SameBytes(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (!fs::is_regular_file(a, ec) || !fs::is_regular_file(b, ec))
        return false;
    return ReadFileBytes(a) == ReadFileBytes(b);
}

bool SamePath(const std::string& a, const std::string& b) {
    return Lower(a) == Lower(b);
}

std::string WaitForText(const fs::path& file, const std::string& text) {
    std::string read;
    bool complete = PollUntil([&] {
        read = ReadFileText(file);
        return read.find(text) != std::string::npos && read.size() >= 2 &&
               read.compare(read.size() - 2, 2, "\r\n") == 0;
    });
    return complete ? read : std::string();
}

} // namespace e2e
