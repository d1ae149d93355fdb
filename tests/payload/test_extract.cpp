// test_extract.cpp - selection, extraction, skipping and the meter, on real setup files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_reader.h"
#include "payload/entry_loop.h"
#include "payload/entry_name.h"
#include "payload/extract.h"
#include "tests/support/recording_observer.h"
#include "tests/support/temp_dir.h"
#include "tools/packer/archive_writer.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

// The public test vector of the format: 13 bytes "AIAIAIAIAIAIA".
const Bytes kVector = {0x00, 0x04, 0x82, 0x24, 0x25, 0x8f, 0x80, 0x7f};

Bytes Pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
    return bytes;
}

std::string CannotCreate(const std::string& path) {
    char message[1024];
    std::snprintf(message, sizeof message, text::kCannotCreateFile, path.c_str());
    return message;
}

class ExtractTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetInstallState(&observer);
        out = dir.path() / "out";
        fs::create_directory(out);
        SetInstallDir(out.string() + static_cast<char>(fs::path::preferred_separator));
        installState.option = kOptionStandard;
    }
    void TearDown() override { ResetInstallState(nullptr); }

    void SetInstallDir(const std::string& directory) {
        std::snprintf(installState.installDir, kPathSize, "%s", directory.c_str());
        installState.dirEnd = installState.installDir + std::strlen(installState.installDir);
    }

    // Writes a setup file with the items fill() adds and opens it, as the install sequence
    // would: total is the number of bytes behind the marker.
    template <class Fill> void Open(Fill fill) {
        std::string file = (dir.path() / "setup.exe").string();
        FILE* f = std::fopen(file.c_str(), "wb");
        ArchiveWriter writer(f);
        writer.Begin(nullptr, 0);
        fill(writer);
        writer.End();
        std::fclose(f);
        std::snprintf(installState.ownPath, kPathSize, "%s", file.c_str());
        ASSERT_TRUE(OpenPayload());
        installState.total = static_cast<int32_t>(writer.BytesWritten() - 16);
    }

    // Reads the next file entry's name and size, and extracts or skips it as selected.
    int Next() {
        if (!ReadEntryName(installState.scratch) || !ReadEntrySize(&installState.remaining))
            return 0;
        std::string name(installState.scratch);
        return SelectEntry(name.c_str()) ? ExtractEntry(installState.scratch) : SkipEntry();
    }

    TempDir dir;
    fs::path out;
    RecordingObserver observer;
};

TEST(Selection, FilterTableDecidesByOptionAndPattern) {
    RecordingObserver observer;
    ResetInstallState(&observer);
    struct Case {
        const char* name;
        int standard, developer;
    } cases[] = {
        {"Decl_Demo.txt", 0, 2}, {"Aplx.dll", 0, 2},     {"Bplx.dll", 0, 2},
        {"plx.dll", 1, 1},       {"Aplx.dll.bak", 1, 1}, {"uninst.exe", 1, 1},
        {"DEVREF.HTM", 0, 2},    {"gauge32.dll", 0, 2},  {"lxv.exe", 1, 1},
    };
    for (const Case& c : cases) {
        installState.option = kOptionStandard;
        EXPECT_EQ(SelectEntry(c.name), c.standard) << c.name;
        installState.option = kOptionDeveloper;
        EXPECT_EQ(SelectEntry(c.name), c.developer) << c.name;
    }
    EXPECT_STREQ(installState.readmeName, "");
    ResetInstallState(nullptr);
}

TEST(Selection, ReadMeIsRecordedWithItsFullPath) {
    RecordingObserver observer;
    ResetInstallState(&observer);
    std::strcpy(installState.installDir, "c:\\lexivane\\docs\\");
    installState.option = kOptionStandard;
    EXPECT_EQ(SelectEntry("README.TXT"), 1);
    EXPECT_STREQ(installState.readmeName, "README.TXT");
    EXPECT_STREQ(installState.readmeFullPath, "c:\\lexivane\\docs\\README.TXT");
    SelectEntry("readme.htm");
    EXPECT_STREQ(installState.readmeName, "readme.htm");
    SelectEntry("readme");
    EXPECT_STREQ(installState.readmeName, "readme.htm");
    // A read-me whose name does not fit is not recorded, and the earlier one stands whole.
    SelectEntry("readme.longer-name.txt");
    EXPECT_STREQ(installState.readmeName, "readme.htm");
    EXPECT_STREQ(installState.readmeFullPath, "c:\\lexivane\\docs\\readme.htm");
    ResetInstallState(nullptr);
}

TEST_F(ExtractTest, StoredEntryIsCopiedInChunksOf16384) {
    Bytes data = Pattern(40000);
    Open([&](ArchiveWriter& w) { w.Stored("big.bin", data.data(), data.size()); });
    // Only the entry's data move the meter here; the header bytes are counted on the side.
    installState.total = 40000;
    installState.consumed = 0;
    ASSERT_TRUE(ReadEntryName(installState.scratch));
    ASSERT_TRUE(ReadEntrySize(&installState.remaining));
    installState.consumed = 0;
    ASSERT_TRUE(ExtractEntry("big.bin"));
    EXPECT_EQ(ReadFileBytes(out / "big.bin"), data);
    // 16,384, 32,768 and 40,000 bytes: 40%, 81%, and 100% held at 99.
    EXPECT_EQ(observer.Percents(), (std::vector<int>{40, 81, 99}));
    EXPECT_EQ(observer.Statuses(), std::vector<std::string>{"Installing:   big.bin"});
    EXPECT_EQ(installState.remaining, 0);
}

TEST_F(ExtractTest, EmptyStoredEntryMakesAnEmptyFileAndLeavesTheMeter) {
    Open([](ArchiveWriter& w) { w.Stored("empty.txt", nullptr, 0); });
    ASSERT_TRUE(Next());
    EXPECT_TRUE(fs::exists(out / "empty.txt"));
    EXPECT_EQ(fs::file_size(out / "empty.txt"), 0u);
    EXPECT_TRUE(observer.Percents().empty());
}

TEST_F(ExtractTest, ImplodedEntryExplodesThroughTheCallbacks) {
    Open([&](ArchiveWriter& w) { w.Imploded("ai.txt", kVector.data(), kVector.size(), 13); });
    ASSERT_TRUE(Next());
    EXPECT_EQ(ReadFileBytes(out / "ai.txt"),
              Bytes({'A', 'I', 'A', 'I', 'A', 'I', 'A', 'I', 'A', 'I', 'A', 'I', 'A'}));
    EXPECT_TRUE(observer.Failures().empty());
}

TEST_F(ExtractTest, TruncatedImplodedEntryIsDamageAndLeavesAPartialFile) {
    Open([&](ArchiveWriter& w) { w.Imploded("ai.txt", kVector.data(), kVector.size(), 13); });
    // Claim two bytes fewer than the stream has: the decoder runs out before the end code.
    ASSERT_TRUE(ReadEntryName(installState.scratch));
    ASSERT_TRUE(ReadEntrySize(&installState.remaining));
    installState.remaining -= 2;
    EXPECT_FALSE(ExtractEntry("ai.txt"));
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
    EXPECT_TRUE(fs::exists(out / "ai.txt"));
    EXPECT_EQ(installState.outputFile, nullptr);
}

TEST_F(ExtractTest, DataCutByTheEndOfFileIsDamage) {
    Bytes data = Pattern(100);
    Open([&](ArchiveWriter& w) { w.Stored("cut.bin", data.data(), data.size()); });
    std::fclose(installState.payloadFile);
    std::string file = installState.ownPath;
    Bytes bytes = ReadFileBytes(file);
    bytes.resize(bytes.size() - 50);
    WriteFileBytes(file, bytes);
    installState.payloadFile = nullptr;
    ASSERT_TRUE(OpenPayload());
    EXPECT_FALSE(Next());
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
    EXPECT_TRUE(installState.readError);
}

TEST_F(ExtractTest, SkippedEntryBlanksTheStatusAndMovesTheMeter) {
    Bytes data = Pattern(1000);
    Open([&](ArchiveWriter& w) {
        w.Stored("decl_x.h", data.data(), data.size());
        w.Stored("lxv.exe", data.data(), 10);
    });
    ASSERT_TRUE(Next());
    ASSERT_TRUE(Next());
    EXPECT_FALSE(fs::exists(out / "decl_x.h"));
    EXPECT_TRUE(fs::exists(out / "lxv.exe"));
    EXPECT_EQ(observer.Statuses(), (std::vector<std::string>{"", "Installing:   lxv.exe"}));
    std::vector<int> percents = observer.Percents();
    ASSERT_EQ(percents.size(), 2u);
    EXPECT_GT(percents[0], 1);
}

TEST(Progress, MeterClampsAndDoesNotOverflow) {
    RecordingObserver observer;
    ResetInstallState(&observer);
    installState.total = 40000000;
    installState.chunk = 10;
    AccountProgress(); // 0% shows as 1
    installState.consumed = 29999990;
    AccountProgress(); // 30,000,000 x 100 overflows 32 bits; the meter must read 75
    installState.consumed = installState.total;
    AccountProgress(); // beyond 100% shows as 99
    EXPECT_EQ(observer.Percents(), (std::vector<int>{1, 75, 99}));
    ResetInstallState(nullptr);
}

TEST_F(ExtractTest, UnsafeNamesAreRefusedBeforeAnythingIsOpened) {
    const char* names[] = {"..\\evil.txt", "sub/../../evil.txt", "\\evil.txt", "/evil.txt",
                           "C:evil.txt", "lxv.exe:stream", "a\\...\\evil", ".. \\evil",
                           // Windows opens a device for these, in any directory.
                           "nul", "NUL.txt", "con .log", "Aux.", "prn. .", "docs\\com1.txt",
                           "LPT9\\x", "com0", "conin$", "COM\xB9",
                           // Windows cannot create these as they stand.
                           "a|b.txt", "what?.txt", "notes.", "docs\\trail \\x", "tab\tx"};
    for (const char* name : names) {
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
        installState.remaining = -3;
        EXPECT_FALSE(ExtractEntry(name)) << name;
    }
    EXPECT_EQ(observer.Failures().size(), std::size(names));
    for (const std::string& failure : observer.Failures())
        EXPECT_EQ(failure, text::kDamaged);
    EXPECT_TRUE(fs::is_empty(out));
    EXPECT_FALSE(fs::exists(dir.path() / "evil.txt"));
    EXPECT_TRUE(IsSafeEntryName("docs\\readme.txt"));
    EXPECT_TRUE(IsSafeEntryName("..name"));
    EXPECT_TRUE(IsSafeEntryName("a.b.c"));
    for (const char* name : {"nul1.txt", "xnul", "console.txt", "com10", "lpt.txt", "aux_\\a"})
        EXPECT_TRUE(IsSafeEntryName(name)) << name;
}

TEST_F(ExtractTest, PathThatDoesNotFitIsRefusedWithTheCreateMessage) {
    std::string deep = out.string() + static_cast<char>(fs::path::preferred_separator);
    deep += std::string(250 - deep.size(), 'd');
    SetInstallDir(deep);
    std::string name(20, 'n');
    installState.remaining = 0;
    EXPECT_FALSE(ExtractEntry(name.c_str()));
    ASSERT_EQ(observer.Failures().size(), 1u);
    // The message names the path as far as it fits.
    EXPECT_EQ(observer.Failures()[0], CannotCreate((deep + name).substr(0, kPathSize - 1)));
}

TEST_F(ExtractTest, FileThatCannotBeCreatedIsReported) {
    fs::create_directory(out / "taken.txt"); // a directory where the file should go
    Open([](ArchiveWriter& w) { w.Stored("taken.txt", nullptr, 0); });
    EXPECT_FALSE(Next());
    EXPECT_EQ(observer.Failures(),
              std::vector<std::string>{CannotCreate(
                  out.string() + static_cast<char>(fs::path::preferred_separator) + "taken.txt")});
}

int MakeHostPath(char* path) {
    std::string host = path;
    for (char& c : host)
        if (c == '\\')
            c = '/';
    std::error_code ec;
    fs::create_directories(host, ec);
    return 1;
}

TEST_F(ExtractTest, SubdirectoriesAreRelativeToTheInstallDirectory) {
    EXPECT_TRUE(EnterSubdirectory(">docs", MakeHostPath));
    EXPECT_EQ(std::string(installState.dirEnd), "docs\\");
    EXPECT_TRUE(EnterSubdirectory(">help", MakeHostPath));
    EXPECT_EQ(std::string(installState.dirEnd), "help\\");
    EXPECT_TRUE(EnterSubdirectory(">", MakeHostPath));
    EXPECT_EQ(std::string(installState.dirEnd), "");
    EXPECT_TRUE(fs::is_directory(out / "docs"));
    EXPECT_TRUE(fs::is_directory(out / "help"));
    EXPECT_FALSE(fs::exists(out / "docs" / "help"));
    EXPECT_FALSE(EnterSubdirectory(">..\\up", MakeHostPath));
    EXPECT_FALSE(EnterSubdirectory(std::string(">" + std::string(300, 's')).c_str(), MakeHostPath));
    EXPECT_EQ(observer.Failures().size(), 2u);
}

// A developer-only entry that the file cuts short, installed with the standard option: the
// skip runs into the end of the file after its first chunk, which is damage like any other.
TEST_F(ExtractTest, EntryCutShortWhileSkippingIsDamage) {
    Bytes data = Pattern(40000);
    Open([&](ArchiveWriter& w) { w.Stored("devref.htm", data.data(), data.size()); });
    std::fclose(installState.payloadFile);
    installState.payloadFile = nullptr;
    fs::resize_file(installState.ownPath, fs::file_size(installState.ownPath) - 20000);
    ASSERT_TRUE(OpenPayload());
    EXPECT_FALSE(InstallEntries(MakeHostPath));
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
    EXPECT_EQ(observer.Statuses(), std::vector<std::string>{""}); // skipped, not installed
    EXPECT_EQ(observer.Percents().size(), 1u);                    // one whole chunk read
    EXPECT_TRUE(fs::is_empty(out));
}

#ifndef _WIN32
// /dev/full accepts the open and fails every write: a full disk, for real.
TEST_F(ExtractTest, WriteFailureIsOutOfDiskSpace) {
    fs::create_symlink("/dev/full", out / "full.bin");
    Bytes data = Pattern(5000);
    Open([&](ArchiveWriter& w) { w.Stored("full.bin", data.data(), data.size()); });
    EXPECT_FALSE(Next());
    char message[600];
    std::snprintf(message, sizeof message, text::kOutOfDiskSpace, (out / "full.bin").c_str());
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{message});
}

TEST_F(ExtractTest, ReadFailureTakesPrecedenceOverWriteFailure) {
    fs::create_symlink("/dev/full", out / "full.bin");
    Bytes data = Pattern(20000);
    Open([&](ArchiveWriter& w) { w.Stored("full.bin", data.data(), data.size()); });
    ASSERT_TRUE(ReadEntryName(installState.scratch));
    ASSERT_TRUE(ReadEntrySize(&installState.remaining));
    // The first chunk reads and fails to write; the second runs into the end of the file.
    installState.remaining = -40000;
    EXPECT_FALSE(ExtractEntry("full.bin"));
    EXPECT_TRUE(installState.writeError);
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
}
#endif

} // namespace
