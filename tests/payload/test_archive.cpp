// test_archive.cpp - the marker scan and item reads against setup files made by the writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_reader.h"
#include "tests/support/recording_observer.h"
#include "tests/support/temp_dir.h"
#include "tools/packer/archive_writer.h"

namespace {

using Bytes = std::vector<unsigned char>;

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetInstallState(&observer); }
    void TearDown() override { ResetInstallState(nullptr); }

    // Writes a setup file: image, marker, then whatever fill() adds; returns its path.
    template <class Fill> std::string MakeSetup(const Bytes& image, Fill fill) {
        std::string file = (dir.path() / "setup.exe").string();
        FILE* out = std::fopen(file.c_str(), "wb");
        ArchiveWriter writer(out);
        EXPECT_TRUE(writer.Begin(image.data(), image.size()));
        fill(writer);
        std::fclose(out);
        std::snprintf(installState.ownPath, sizeof installState.ownPath, "%s", file.c_str());
        return file;
    }

    void WriteRaw(const Bytes& bytes) {
        std::string file = (dir.path() / "raw.exe").string();
        WriteFileBytes(file, bytes);
        std::snprintf(installState.ownPath, sizeof installState.ownPath, "%s", file.c_str());
    }

    long FileSize(const std::string& file) { return static_cast<long>(ReadFileBytes(file).size()); }

    TempDir dir;
    RecordingObserver observer;
    char name[kPathSize + 1];
};

Bytes ImageWithDecoy() {
    // The image holds the magic at a record boundary, followed by other text, the way the
    // setup program's own constant lies in its data section.
    Bytes image(100, 0x90);
    const char decoy[] = "ZOLTxxxxxxxxABCD";
    std::memcpy(image.data() + 32, decoy, 16);
    return image;
}

TEST_F(ArchiveTest, FindsMarkerBehindImageAndWalksItems) {
    std::string file = MakeSetup(ImageWithDecoy(), [](ArchiveWriter& w) {
        const unsigned char data[5] = {1, 2, 3, 4, 5};
        w.Stored("empty.txt", nullptr, 0);
        w.Stored("five.bin", data, 5);
        w.Subdirectory("docs");
        w.Subdirectory("");
        w.End();
    });
    ASSERT_TRUE(OpenPayload());
    // The image of 100 bytes is padded to 112; the marker follows it.
    EXPECT_EQ(std::ftell(installState.payloadFile), 128);
    installState.total = static_cast<int32_t>(FileSize(file) - 128);

    int32_t size = 1;
    ASSERT_TRUE(ReadEntryName(name));
    EXPECT_STREQ(name, "empty.txt");
    ASSERT_TRUE(ReadEntrySize(&size));
    EXPECT_EQ(size, 0);

    ASSERT_TRUE(ReadEntryName(name));
    EXPECT_STREQ(name, "five.bin");
    ASSERT_TRUE(ReadEntrySize(&size));
    EXPECT_EQ(size, -5);
    unsigned char data[5];
    ASSERT_EQ(std::fread(data, 1, 5, installState.payloadFile), 5u);
    installState.consumed += 5;
    EXPECT_EQ(data[4], 5);

    ASSERT_TRUE(ReadEntryName(name));
    EXPECT_STREQ(name, ">docs");
    ASSERT_TRUE(ReadEntryName(name));
    EXPECT_STREQ(name, ">");
    ASSERT_TRUE(ReadEntryName(name));
    EXPECT_STREQ(name, "");
    EXPECT_EQ(installState.consumed, installState.total);
    EXPECT_TRUE(observer.calls.empty());
}

TEST_F(ArchiveTest, MarkerAtUnalignedOffsetIsNotFound) {
    Bytes bytes(37, 0);
    for (int i = 0; i < 16; i += 4)
        std::memcpy(bytes.data() + 8 + i, "ZOLT", 4);
    bytes.push_back(0);
    WriteRaw(bytes);
    EXPECT_FALSE(OpenPayload());
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
    EXPECT_EQ(installState.payloadFile, nullptr);
}

TEST_F(ArchiveTest, MissingFileAndEmptyFileReportDamage) {
    std::snprintf(installState.ownPath, kPathSize, "%s",
                  (dir.path() / "absent.exe").string().c_str());
    EXPECT_FALSE(OpenPayload());
    WriteRaw({});
    EXPECT_FALSE(OpenPayload());
    EXPECT_EQ(observer.Failures().size(), 2u);
}

TEST_F(ArchiveTest, FileEndingBehindMarkerFailsAtFirstName) {
    MakeSetup(Bytes(16, 1), [](ArchiveWriter&) {});
    ASSERT_TRUE(OpenPayload());
    EXPECT_FALSE(ReadEntryName(name));
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
}

TEST_F(ArchiveTest, SizeFieldCutShortReportsDamage) {
    std::string file = MakeSetup(Bytes(), [](ArchiveWriter& w) { w.Stored("a", nullptr, 0); });
    // Cut the size field after two of its four bytes.
    Bytes bytes = ReadFileBytes(file);
    bytes.resize(bytes.size() - 2);
    WriteFileBytes(file, bytes);
    ASSERT_TRUE(OpenPayload());
    int32_t size = 0;
    ASSERT_TRUE(ReadEntryName(name));
    EXPECT_FALSE(ReadEntrySize(&size));
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
}

TEST_F(ArchiveTest, NameOf260BytesIsAcceptedAnd261IsReportedAsDamage) {
    std::string longest(260, 'n');
    std::string file = MakeSetup(Bytes(), [&](ArchiveWriter& w) {
        w.Stored(longest.c_str(), nullptr, 0);
        w.End();
    });
    ASSERT_TRUE(OpenPayload());
    ASSERT_TRUE(ReadEntryName(name));
    EXPECT_EQ(std::string(name), longest);

    // Rewrite the name with one byte more and no terminator within 261 bytes.
    Bytes bytes = ReadFileBytes(file);
    Bytes tooLong(bytes.begin(), bytes.begin() + 16);
    tooLong.insert(tooLong.end(), 300, 'n');
    tooLong.push_back(0);
    WriteRaw(tooLong);
    installState.consumed = 0;
    ASSERT_TRUE(OpenPayload());
    EXPECT_FALSE(ReadEntryName(name));
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
    EXPECT_EQ(installState.consumed, 261);
    EXPECT_EQ(name[260], 0);
}

TEST(ArchiveWriterTest, RefusesWhatTheReaderCannotCarry) {
    TempDir dir;
    std::string file = (dir.path() / "w.bin").string();
    FILE* out = std::fopen(file.c_str(), "wb");
    ArchiveWriter writer(out);
    const unsigned char four[4] = {0, 6, 0xFF, 0xFF};
    EXPECT_FALSE(writer.Imploded("x", four, 4, 13));
    EXPECT_FALSE(writer.Stored("", four, 4));
    EXPECT_FALSE(writer.Stored(std::string(261, 'a').c_str(), four, 4));
    std::fclose(out);

    Bytes stub(64, 0);
    std::memcpy(stub.data() + 48, "ZOLT", 4);
    std::memcpy(stub.data() + 60, "ZOLT", 4);
    EXPECT_EQ(FindFalseMarker(stub.data(), stub.size()), 48);
    std::memcpy(stub.data() + 60, "ZOLX", 4);
    EXPECT_EQ(FindFalseMarker(stub.data(), stub.size()), -1);
}

} // namespace
