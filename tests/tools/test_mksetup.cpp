// test_mksetup.cpp - build, list, verify and extract through the real mksetup program.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/entry_offset.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

struct Result {
    int status;
    std::string output; // stdout and stderr together
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Result Mksetup(const std::vector<std::string>& args) {
    std::string command = Quote(MKSETUP);
    for (const std::string& a : args)
        command += " " + Quote(a);
    command += " 2>&1";
    Result result{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

Bytes Random(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(rng());
    return bytes;
}

Bytes Text(size_t size) {
    const std::string words = "Lexivane converts documents between formats quickly. ";
    Bytes bytes;
    for (size_t i = 0; bytes.size() < size; ++i)
        bytes.push_back(static_cast<unsigned char>(words[i % words.size()] + (i / 977) % 3));
    return bytes;
}

// A product tree with every kind of entry: empty, tiny, text, random, developer-only,
// and files in nested sub-directories.
void MakeProduct(const fs::path& root) {
    fs::create_directories(root / "docs" / "api");
    fs::create_directories(root / "help");
    WriteFileBytes(root / "lxv.exe", Random(30000, 1));
    WriteFileBytes(root / "readme.txt", Text(5000));
    WriteFileBytes(root / "empty.txt", {});
    WriteFileBytes(root / "tiny.txt", {'h', 'i'});
    WriteFileBytes(root / "devref.htm", Text(12000));
    WriteFileBytes(root / "decl_conv.h", Text(900));
    WriteFileBytes(root / "docs" / "lxv.htm", Text(70000));
    WriteFileBytes(root / "docs" / "api" / "plr.htm", Text(9000));
    WriteFileBytes(root / "help" / "lxv.hlp", Random(3000, 2));
}

std::vector<std::pair<std::string, Bytes>> Tree(const fs::path& root) {
    std::vector<std::pair<std::string, Bytes>> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file())
            files.push_back({fs::relative(e.path(), root).string(), ReadFileBytes(e.path())});
    std::sort(files.begin(), files.end());
    return files;
}

class MksetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        product = dir.path() / "product";
        MakeProduct(product);
        stub = dir.path() / "stub.exe";
        WriteFileBytes(stub, Random(1001, 3));
        setup = dir.path() / "setup.exe";
    }

    Result Build(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"build", "--stub", stub.string(), "-o", setup.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(product.string());
        return Mksetup(args);
    }

    TempDir dir;
    fs::path product, stub, setup;
};

TEST_F(MksetupTest, BuildListVerifyExtractGiveTheSourceTreeBack) {
    for (const char* level : {"fast", "best"}) {
        for (const char* literals : {"raw", "coded", "auto"}) {
            for (const char* dict : {"4", "6"}) {
                SCOPED_TRACE(std::string(level) + " " + literals + " " + dict);
                ASSERT_EQ(Build({"--level", level, "--literals", literals, "--dict", dict}).status,
                          0);
                Result verify = Mksetup({"verify", setup.string()});
                EXPECT_EQ(verify.status, 0) << verify.output;
                fs::path out = dir.path() / ("out-" + std::string(level) + literals + dict);
                ASSERT_EQ(
                    Mksetup({"extract", setup.string(), out.string(), "--option", "2"}).status, 0);
                EXPECT_EQ(Tree(out), Tree(product));
            }
        }
    }
}

TEST_F(MksetupTest, StandardOptionLeavesOutDeveloperEntries) {
    ASSERT_EQ(Build().status, 0);
    fs::path out = dir.path() / "standard";
    Result extract = Mksetup({"extract", setup.string(), out.string()});
    ASSERT_EQ(extract.status, 0) << extract.output;
    EXPECT_FALSE(fs::exists(out / "devref.htm"));
    EXPECT_FALSE(fs::exists(out / "decl_conv.h"));
    EXPECT_FALSE(fs::exists(out / "docs" / "api" / "plr.htm"));
    EXPECT_TRUE(fs::exists(out / "docs" / "lxv.htm"));
    EXPECT_EQ(ReadFileBytes(out / "lxv.exe"), ReadFileBytes(product / "lxv.exe"));
}

TEST_F(MksetupTest, ListShowsSectionsAndEntryKinds) {
    ASSERT_EQ(Build().status, 0);
    Result list = Mksetup({"list", setup.string()});
    ASSERT_EQ(list.status, 0) << list.output;
    // Empty, tiny and random files are stored; text is imploded; sections come in order.
    auto row = [](const char* kind, const char* packed, const char* decoded, const char* name) {
        char line[200];
        std::snprintf(line, sizeof line, "%-8s %10s %10s  %s\n", kind, packed, decoded, name);
        return std::string(line);
    };
    EXPECT_NE(list.output.find(row("stored", "0", "0", "empty.txt")), std::string::npos)
        << list.output;
    EXPECT_NE(list.output.find(row("stored", "2", "2", "tiny.txt")), std::string::npos);
    EXPECT_NE(list.output.find(row("stored", "30000", "30000", "lxv.exe")), std::string::npos);
    EXPECT_NE(list.output.find("70000  lxv.htm"), std::string::npos);
    EXPECT_NE(list.output.find("imploded"), std::string::npos);
    size_t docs = list.output.find(">docs\n");
    size_t api = list.output.find(">docs\\api\n");
    size_t help = list.output.find(">help\n");
    ASSERT_NE(docs, std::string::npos);
    EXPECT_LT(docs, api);
    EXPECT_LT(api, help);
}

TEST_F(MksetupTest, OutputIsDeterministic) {
    ASSERT_EQ(Build().status, 0);
    Bytes first = ReadFileBytes(setup);
    ASSERT_EQ(Build().status, 0);
    EXPECT_EQ(ReadFileBytes(setup), first);
    // The stub of 1,001 bytes is padded to 1,008, and the marker follows.
    EXPECT_EQ(std::string(first.begin() + 1008, first.begin() + 1024), "ZOLTZOLTZOLTZOLT");
}

// Entries packed side by side are written in archive order: any number of jobs gives the
// bytes of the serial build.
TEST_F(MksetupTest, ParallelBuildIsByteIdenticalToSerial) {
    for (int i = 0; i < 24; ++i)
        WriteFileBytes(product / "help" / ("page" + std::to_string(i) + ".htm"),
                       Text(2000 + 3000 * static_cast<size_t>(i % 7)));
    ASSERT_EQ(Build({"--jobs", "1"}).status, 0);
    Bytes serial = ReadFileBytes(setup);
    for (const char* jobs : {"2", "5"}) {
        ASSERT_EQ(Build({"--jobs", jobs}).status, 0) << jobs;
        EXPECT_EQ(ReadFileBytes(setup), serial) << jobs << " jobs";
    }
    EXPECT_EQ(Build({"--jobs", "0"}).status, 2);
}

// Where the integrity record ends: the sizes record follows it.
size_t BehindRecord(const Bytes& file) {
    const std::string magic = "LXVSIZES";
    return static_cast<size_t>(std::find_end(file.begin(), file.end(), magic.begin(), magic.end()) -
                               file.begin());
}

TEST_F(MksetupTest, TruncatedSetupFilesAreDamageNeverACrashNorAnEscape) {
    ASSERT_EQ(Build({"--level", "fast"}).status, 0);
    Bytes whole = ReadFileBytes(setup);
    std::mt19937 rng(7);
    std::vector<size_t> cuts;
    for (size_t cut = 1008; cut < whole.size(); cut += 1 + rng() % 997)
        cuts.push_back(cut);
    for (size_t cut = whole.size() - 40; cut < whole.size(); ++cut)
        cuts.push_back(cut);
    fs::path cutFile = dir.path() / "cut.exe";
    // Cut right behind the end item, every item is whole: a file without the integrity
    // record, which installs as files written before the record did. Cut right behind the
    // integrity record, the file is one without the sizes record behind it, as the builder
    // wrote them before that record.
    const size_t behindRecord = BehindRecord(whole);
    const size_t behindEndItem = behindRecord - 24;
    cuts.push_back(behindRecord + 3);
    for (size_t cut : cuts) {
        SCOPED_TRACE(cut);
        if (cut == behindEndItem || cut == behindRecord)
            continue;
        WriteFileBytes(cutFile, Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
        Result verify = Mksetup({"verify", cutFile.string()});
        EXPECT_EQ(verify.status, 1) << verify.output;
        EXPECT_NE(verify.output.find("Incomplete or damaged installation file!"),
                  std::string::npos);
        fs::path out = dir.path() / "x" / "inside";
        EXPECT_EQ(Mksetup({"extract", cutFile.string(), out.string(), "--option", "2"}).status, 1);
    }
    WriteFileBytes(cutFile, Bytes(whole.begin(), whole.begin() + static_cast<long>(behindEndItem)));
    Result wholeItems = Mksetup({"verify", cutFile.string()});
    EXPECT_EQ(wholeItems.status, 0) << wholeItems.output;
    EXPECT_NE(wholeItems.output.find("no integrity record"), std::string::npos);
    WriteFileBytes(cutFile, Bytes(whole.begin(), whole.begin() + static_cast<long>(behindRecord)));
    EXPECT_EQ(Mksetup({"verify", cutFile.string()}).status, 0);
    // The payload check comes first, as in the setup program: nothing was written at all,
    // not even the extraction directory.
    EXPECT_FALSE(fs::exists(dir.path() / "x"));
}

TEST_F(MksetupTest, RefusesWhatTheSetupProgramCouldNotCarry) {
    Bytes marked = Random(64, 4);
    std::copy_n("ZOLT", 4, marked.begin() + 32);
    std::copy_n("ZOLT", 4, marked.begin() + 44);
    WriteFileBytes(stub, marked);
    Result falseMarker = Build();
    EXPECT_EQ(falseMarker.status, 1);
    EXPECT_NE(falseMarker.output.find("marker record at offset 32"), std::string::npos)
        << falseMarker.output;
    EXPECT_FALSE(fs::exists(setup));
    WriteFileBytes(stub, Random(64, 5));

    const char* manifests[] = {"file ../evil.txt ..\\evil.txt\n",
                               "file x.txt >x\n",
                               "file x.txt c:x\n",
                               "dir ..\\up\n",
                               "file x.txt NUL.txt\n",
                               "dir docs\\com1\n",
                               "bogus line\n"};
    WriteFileText(dir.path() / "x.txt", "x");
    for (const char* text : manifests) {
        WriteFileText(dir.path() / "manifest.txt", text);
        Result r = Mksetup({"build", "--stub", stub.string(), "-o", setup.string(),
                            (dir.path() / "manifest.txt").string()});
        EXPECT_EQ(r.status, 1) << text << r.output;
        EXPECT_NE(r.output.find("mksetup: "), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(setup));
}

TEST_F(MksetupTest, IntegrityRecordIsShownAndAFlippedByteIsDamage) {
    ASSERT_EQ(Build().status, 0);
    Bytes whole = ReadFileBytes(setup);
    char crc[40];
    size_t end = BehindRecord(whole);
    std::snprintf(crc, sizeof crc, "CRC-32 %02x%02x%02x%02x of ", whole[end - 5], whole[end - 6],
                  whole[end - 7], whole[end - 8]);
    Result verify = Mksetup({"verify", setup.string()});
    EXPECT_EQ(verify.status, 0);
    EXPECT_NE(verify.output.find("; integrity record " + std::string(crc)), std::string::npos)
        << verify.output;
    Result list = Mksetup({"list", setup.string()});
    EXPECT_NE(list.output.find("record           24             " + std::string(crc)),
              std::string::npos)
        << list.output;

    // One byte in the middle of a stored entry, and of an imploded one.
    fs::path flipped = dir.path() / "flipped.exe";
    for (const char* name : {"lxv.exe", "lxv.htm"}) {
        SCOPED_TRACE(name);
        Bytes bytes = whole;
        bytes[DataOffset(whole, name) + 1000] ^= 0x04;
        WriteFileBytes(flipped, bytes);
        Result damaged = Mksetup({"verify", flipped.string()});
        EXPECT_EQ(damaged.status, 1);
        EXPECT_NE(damaged.output.find("Incomplete or damaged installation file!"),
                  std::string::npos);
        EXPECT_NE(damaged.output.find("does not match the integrity record"), std::string::npos)
            << damaged.output;
        fs::path out = dir.path() / "flipped";
        EXPECT_EQ(Mksetup({"extract", flipped.string(), out.string()}).status, 1);
        EXPECT_FALSE(fs::exists(out));
    }
}

// The header of a PE file of 32 or 64 bits whose security directory holds the given entry.
Bytes PeStub(bool pe32Plus, uint32_t certificateOffset, uint32_t certificateSize) {
    Bytes image = Random(1024, 6);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            image[at + i] = static_cast<unsigned char>(value >> (8 * i));
    };
    const size_t pe = 0x80, optional = pe + 24;
    const size_t directories = optional + (pe32Plus ? 112 : 96);
    put(0, 'M' | 'Z' << 8, 2);
    put(0x3C, pe, 4);
    put(pe, 0x00004550, 4);
    put(pe + 20, static_cast<uint32_t>(directories + 16 * 8 - optional), 2);
    put(optional, pe32Plus ? 0x20B : 0x10B, 2);
    put(directories - 4, 16, 4);
    put(directories + 4 * 8, certificateOffset, 4);
    put(directories + 4 * 8 + 4, certificateSize, 4);
    return image;
}

TEST_F(MksetupTest, SignedStubIsRefusedWithTheOrderOfSigning) {
    for (bool pe32Plus : {false, true}) {
        SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
        WriteFileBytes(stub, PeStub(pe32Plus, 0x400, 0x200));
        Result signedStub = Build();
        EXPECT_EQ(signedStub.status, 1);
        EXPECT_NE(signedStub.output.find("sign the finished setup file, not the stub"),
                  std::string::npos)
            << signedStub.output;
        EXPECT_FALSE(fs::exists(setup));
        WriteFileBytes(stub, PeStub(pe32Plus, 0, 0));
        Result unsignedStub = Build();
        EXPECT_EQ(unsignedStub.status, 0) << unsignedStub.output;
        fs::remove(setup);
    }
}

TEST_F(MksetupTest, ManifestGivesOrderNamesAndSections) {
    WriteFileText(dir.path() / "m.txt", "# the order is the manifest's\n"
                                        "file product/readme.txt README.TXT\n"
                                        "dir sub\n"
                                        "file product/tiny.txt\n"
                                        "dir\n"
                                        "file product/empty.txt\n");
    ASSERT_EQ(Mksetup({"build", "--stub", stub.string(), "-o", setup.string(),
                       (dir.path() / "m.txt").string()})
                  .status,
              0);
    fs::path out = dir.path() / "m";
    ASSERT_EQ(Mksetup({"extract", setup.string(), out.string()}).status, 0);
    EXPECT_TRUE(fs::exists(out / "README.TXT"));
    EXPECT_TRUE(fs::exists(out / "sub" / "tiny.txt"));
    EXPECT_TRUE(fs::exists(out / "empty.txt"));
}

// Everything in directory, by name.
std::vector<std::string> Names(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(directory))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(MksetupTest, OutputThatIsAnInputIsRefusedAndTheInputStaysIntact) {
    // Other spellings of the same files: a link to the stub, a relative path, a link into
    // the tree.
    fs::create_symlink(stub, dir.path() / "stub-link.exe");
    fs::create_symlink(product, dir.path() / "tree");
    struct Case {
        fs::path output, input;
        const char* says;
    } cases[] = {
        {dir.path() / "stub-link.exe", stub, "is the stub"},
        {fs::relative(product / "lxv.exe"), product / "lxv.exe", "is one of the sources"},
        {dir.path() / "tree" / "docs" / "setup.exe", product / "docs" / "lxv.htm",
         "lies inside SOURCE"},
    };
    const auto before = Tree(product);
    const Bytes stubBytes = ReadFileBytes(stub);
    for (const Case& c : cases) {
        setup = c.output;
        Result r = Build();
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
    }
    EXPECT_EQ(Tree(product), before);
    EXPECT_EQ(ReadFileBytes(stub), stubBytes);
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::string>{"product", "stub-link.exe", "stub.exe", "tree"}));
}

// One name of each kind that Windows cannot create, at the top or at a lower level.
TEST_F(MksetupTest, NamesWindowsCannotCreateAreRefusedNamingThePath) {
    struct Case {
        const char* file;  // what is made below the product
        const char* named; // the offending level, which the message names
    } cases[] = {{"what?.txt", "what?.txt"},   {"docs/a|b.txt", "docs/a|b.txt"},
                 {"tab\tname", "tab\tname"},   {"notes.", "notes."},
                 {"trail ", "trail "},         {"back\\slash.txt", "back\\slash.txt"},
                 {"bad:dir/x.txt", "bad:dir"}, {"help/AUX.txt", "help/AUX.txt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        fs::path bad = product / c.file;
        fs::create_directories(bad.parent_path());
        WriteFileText(bad, "x");
        Result r = Build();
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.output.find((product / c.named).string() + ": "), std::string::npos)
            << r.output;
        EXPECT_FALSE(fs::exists(setup));
        fs::remove_all(product / c.named);
    }
    EXPECT_EQ(Build().status, 0);
}

TEST_F(MksetupTest, NamesAlikeButForCaseAreRefused) {
    WriteFileText(product / "README.TXT", "x");
    Result files = Build();
    EXPECT_EQ(files.status, 1);
    EXPECT_NE(files.output.find("'README.TXT' and 'readme.txt'"), std::string::npos)
        << files.output;
    fs::remove(product / "README.TXT");
    fs::create_directories(product / "Docs");
    Result sections = Build();
    EXPECT_EQ(sections.status, 1);
    EXPECT_NE(sections.output.find("'Docs' and 'docs'"), std::string::npos) << sections.output;
    EXPECT_FALSE(fs::exists(setup));
}

TEST_F(MksetupTest, NamesAreWrittenInTheChosenCodePage) {
    WriteFileText(product / "Stra\xC3\x9F"
                            "e.txt",
                  "x"); // "Straße.txt" in UTF-8
    ASSERT_EQ(Build().status, 0);
    Bytes bytes = ReadFileBytes(setup);
    EXPECT_NE(std::string(bytes.begin(), bytes.end())
                  .find(std::string("Stra\xDF"
                                    "e.txt\0",
                                    11)),
              std::string::npos);
    EXPECT_NE(Mksetup({"list", setup.string()})
                  .output.find("Stra\xC3\x9F"
                               "e.txt"),
              std::string::npos);

    WriteFileText(product / "\xE6\x97\xA5\xE6\x9C\xAC.txt", "x"); // "日本.txt"
    Result western = Build();
    EXPECT_EQ(western.status, 1);
    EXPECT_NE(western.output.find("code page 1252"), std::string::npos) << western.output;
    fs::remove(product / "Stra\xC3\x9F"
                         "e.txt"); // not in code page 932
    Result japanese = Build({"--codepage", "932"});
    ASSERT_EQ(japanese.status, 0) << japanese.output;
    bytes = ReadFileBytes(setup);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("\x93\xFA\x96\x7B.txt"),
              std::string::npos);
    EXPECT_NE(Mksetup({"list", "--codepage", "932", setup.string()})
                  .output.find("\xE6\x97\xA5\xE6\x9C\xAC.txt"),
              std::string::npos);
}

TEST_F(MksetupTest, LinksAreFollowedToFilesAndRefusedWhenTheyLoopAndSpecialFilesAreErrors) {
    fs::create_symlink(product / "readme.txt", product / "help" / "linked.txt");
    ASSERT_EQ(Build().status, 0);
    fs::path out = dir.path() / "out";
    ASSERT_EQ(Mksetup({"extract", setup.string(), out.string()}).status, 0);
    EXPECT_EQ(ReadFileBytes(out / "help" / "linked.txt"), ReadFileBytes(product / "readme.txt"));
    fs::remove(setup);

    fs::create_directory_symlink(product, product / "docs" / "loop");
    Result loop = Build();
    EXPECT_EQ(loop.status, 1);
    EXPECT_NE(loop.output.find((product / "docs" / "loop").string() + ": a directory link"),
              std::string::npos)
        << loop.output;
    fs::remove(product / "docs" / "loop");
    ASSERT_EQ(mkfifo((product / "pipe").c_str(), 0600), 0);
    Result fifo = Build();
    EXPECT_EQ(fifo.status, 1);
    EXPECT_NE(fifo.output.find((product / "pipe").string() + ": a FIFO"), std::string::npos)
        << fifo.output;
    EXPECT_FALSE(fs::exists(setup));
}

// A build ended by a signal leaves the old setup file as it was, and nothing beside it.
TEST_F(MksetupTest, InterruptedBuildLeavesNoOutputFile) {
    ASSERT_EQ(Build().status, 0);
    const Bytes old = ReadFileBytes(setup);
    WriteFileBytes(product / "big.bin", Text(24 << 20));
    pid_t child = fork();
    if (child == 0) {
        execl(MKSETUP, MKSETUP, "build", "--stub", stub.c_str(), "-o", setup.c_str(), "--jobs", "1",
              product.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Once the temporary file stands beside the output, the build is under way.
    while (Names(dir.path()).size() < 4 && waitpid(child, nullptr, WNOHANG) == 0)
        usleep(1000);
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"product", "setup.exe", "stub.exe"}));
    EXPECT_EQ(ReadFileBytes(setup), old);
}

TEST(MksetupUsage, ExitCodesFollowTheUsualManners) {
    EXPECT_EQ(Mksetup({"--help"}).status, 0);
    Result version = Mksetup({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output.rfind("mksetup ", 0), 0u);
    EXPECT_EQ(Mksetup({}).status, 2);
    EXPECT_EQ(Mksetup({"build", "--level", "slow"}).status, 2);
    EXPECT_EQ(Mksetup({"frobnicate"}).status, 2);
    Result missing = Mksetup({"verify", "/nonexistent/setup.exe"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("/nonexistent/setup.exe"), std::string::npos);
}

} // namespace
