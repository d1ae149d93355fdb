// test_e2e_dll_planting.cpp - a library planted beside the downloaded setup program, under the
// name of a system library, is never loaded by it, through a whole installation and exit.
//
// Wine prefers its own built-in libraries, so CTest runs this test with the planted names set
// to "native, then built-in" (LXV_DLLOVERRIDES, which scripts/wine-run hands to Wine for the
// whole session; a setting in a child's environment alone does not change Wine's choice). A
// plain program then really loads a planted copy found beside it, as the first test shows.
//
// Not planted: the libraries that Wine's own user32 pulls in while the process is being set
// up (version.dll, imm32.dll), before the setup program's first instruction can restrict the
// search. On Windows these come from the system (the program imports only libraries that
// Windows always takes from there).
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace fs = std::filesystem;

namespace e2e {
namespace {

// The planted names without ".dll", as the build lists them: libraries that the setup
// program, or a system library on its behalf, loads after it has started.
std::vector<std::string> PlantedNames() {
    std::vector<std::string> names;
    std::istringstream list(LXV_PLANTED_NAMES);
    for (std::string name; std::getline(list, name, ',');)
        names.push_back(name);
    return names;
}

fs::path PlantedLibrary() {
    return FromHostPath(LXV_PLANTED_DLL);
}
fs::path PlainLoader() {
    return FromHostPath(LXV_PLAIN_LOADER);
}

// True if Wine was told to prefer a planted copy of every planted name.
bool NativeFirstForPlantedNames() {
    char value[4096] = {};
    DWORD length = GetEnvironmentVariableA("WINEDLLOVERRIDES", value, sizeof value);
    return length > 0 && length < sizeof value &&
           std::string(value).find(std::string(LXV_PLANTED_NAMES) + "=n,b") != std::string::npos;
}

void Plant(const fs::path& dir) {
    for (const std::string& name : PlantedNames())
        ASSERT_TRUE(fs::copy_file(PlantedLibrary(), dir / (name + ".dll"),
                                  fs::copy_options::overwrite_existing))
            << name;
}

// The markers that a loaded planted library left in the directory.
std::vector<std::string> Markers(const fs::path& dir) {
    std::vector<std::string> markers;
    for (const std::string& name : NamesIn(dir))
        if (fs::path(name).extension() == ".loaded")
            markers.push_back(name + ": " + ReadFileText(dir / name));
    return markers;
}

// Runs the plain loader in `dir` for one library name; its exit code, -1 if it did not run.
long RunPlainLoader(const fs::path& dir, const std::string& library) {
    std::string commandLine = "\"" + (dir / "plain_loader.exe").string() + "\" " + library;
    std::string directory = dir.string();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process))
        return -1;
    long code = -1;
    if (WaitForSingleObject(process.hProcess, kPatience) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        code = static_cast<long>(exitCode);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// The files of the modules loaded in a process.
std::vector<std::string> LoadedModules(DWORD processId) {
    std::vector<std::string> modules;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return modules;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        modules.push_back(entry.szExePath);
    CloseHandle(snapshot);
    return modules;
}

class DllPlanting : public SetupTest {
  protected:
    void SetUp() override {
        SetupTest::SetUp();
        if (UnderWineWithoutOverrides())
            GTEST_SKIP() << "Wine must prefer planted copies: run through CTest";
    }
    static bool UnderWineWithoutOverrides() {
        return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr &&
               !NativeFirstForPlantedNames();
    }
};

TEST_F(DllPlanting, PlantedLibraryIsLoadedByAProgramThatSearchesItsOwnDirectory) {
    // Shows that the planting is real: without a restriction each name is found beside the
    // program, and the library leaves its marker.
    fs::path dir = work_.path() / "plain";
    fs::create_directories(dir);
    ASSERT_TRUE(fs::copy_file(PlainLoader(), dir / "plain_loader.exe"));
    Plant(dir);
    for (const std::string& name : PlantedNames()) {
        EXPECT_EQ(0, RunPlainLoader(dir, name + ".dll")) << name;
        EXPECT_TRUE(fs::exists(dir / (name + ".dll.loaded"))) << name << " not loaded";
    }
}

TEST_F(DllPlanting, SetupProgramLoadsNoLibraryFromItsDirectory) {
    fs::create_directories(DownloadDir());
    Plant(DownloadDir());
    SetupDriver setup(DownloadDir());
    ASSERT_TRUE(setup.Start());
    std::string typed = Dir("Planted");
    ASSERT_TRUE(setup.SetDirectory(typed));
    setup.Press(kInstallButton);
    ASSERT_TRUE(setup.WaitForStatus("Installation was successful.")) << setup.CurrentBox().text;
    ProgramWindow readme = setup.WaitForStartedWindow("readme.txt");
    ASSERT_TRUE(readme);

    // Every module of the setup program comes from elsewhere than its own directory.
    for (const std::string& module : LoadedModules(setup.ProcessId())) {
        if (SamePath(module, setup.SetupPath().string()))
            continue;
        EXPECT_FALSE(SamePath(fs::path(module).parent_path().string(), DownloadDir().string()))
            << module;
    }
    EXPECT_TRUE(CloseProgram(readme));
    setup.Press(kAbortButton);
    EXPECT_EQ(0, setup.WaitForExit());
    ProgramWindow product = setup.WaitForStartedWindow("Lexivane");
    ASSERT_TRUE(product);
    EXPECT_TRUE(CloseProgram(product));

    EXPECT_EQ(std::vector<std::string>(), Markers(DownloadDir()));
}

} // namespace
} // namespace e2e
