// test_payload_check.cpp - the walk before deletion: each refusal, the longest path, the
// integrity record, and agreement with the extraction that follows it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_reader.h"
#include "payload/crc32.h"
#include "payload/entry_loop.h"
#include "payload/integrity_record.h"
#include "payload/payload_check.h"
#include "tests/support/entry_offset.h"
#include "tests/support/recording_observer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_data.h"
#include "tools/mksetup/host_path.h"
#include "tools/packer/archive_writer.h"
#include "tools/packer/implode.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

// The public test vector of the format: 13 bytes "AIAIAIAIAIAIA".
const Bytes kVector = {0x00, 0x04, 0x82, 0x24, 0x25, 0x8f, 0x80, 0x7f};

Bytes Imploded(const Bytes& data) {
    Bytes stream;
    EXPECT_TRUE(Implode(data.data(), data.size(), ImplodeOptions{}, &stream));
    return stream;
}

// The bytes of the sizes record of a file of `entries` file entries.
constexpr size_t SizesRecordSize(size_t entries) {
    return archive::kSizesHeaderSize + 4 * entries + 4;
}

class CheckTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetInstallState(&observer); }
    void TearDown() override { ResetInstallState(nullptr); }

    // A setup file: a small image, the marker, what fill adds, the end item and, unless
    // asked not to, the integrity record.
    Bytes Make(const std::function<void(ArchiveWriter&)>& fill, bool record = true) {
        FILE* out = std::fopen(file.string().c_str(), "wb");
        ArchiveWriter writer(out);
        const Bytes image(100, 0x90);
        writer.Begin(image.data(), image.size());
        fill(writer);
        writer.End();
        if (record)
            writer.IntegrityRecord();
        std::fclose(out);
        return ReadFileBytes(file);
    }

    // Checks bytes as a setup file: "" if sound, otherwise the damage found, which must have
    // been reported exactly once, with the damaged-file message.
    std::string Check(const Bytes& bytes) {
        WriteFileBytes(file, bytes);
        observer.calls.clear();
        if (CheckPayload(file.string().c_str(), &summary)) {
            EXPECT_TRUE(observer.calls.empty());
            return "";
        }
        EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
        return summary.damage != nullptr ? summary.damage : "(no reason)";
    }

    // Installs bytes as a setup file below out with every entry selected, as the setup program
    // would after its check; the failures reported.
    std::vector<std::string> Extract(const Bytes& bytes, uint8_t option = kOptionDeveloper) {
        WriteFileBytes(file, bytes);
        fs::path out = dir.path() / "out";
        fs::remove_all(out);
        fs::create_directories(out);
        ResetInstallState(&observer);
        observer.calls.clear();
        InstallState& s = installState;
        s.option = option;
        std::snprintf(s.ownPath, kPathSize, "%s", file.string().c_str());
        std::snprintf(s.installDir, kPathSize, "%s/", out.string().c_str());
        s.dirEnd = s.installDir + std::strlen(s.installDir);
        s.total = static_cast<int32_t>(bytes.size());
        if (OpenPayload())
            InstallEntries(MakeHostPath);
        std::vector<std::string> failures = observer.Failures();
        ResetInstallState(&observer);
        return failures;
    }

    TempDir dir;
    fs::path file = dir.path() / "setup.exe";
    RecordingObserver observer;
    PayloadSummary summary{};
};

TEST(Crc32, MatchesTheCheckValueAndABitwiseReferenceInAnyPieces) {
    EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(0, nullptr, 0), 0u);
    Bytes data = MakeTestData(DataKind::Random, 100, 1);
    for (size_t size = 0; size <= data.size(); ++size) {
        uint32_t reference = 0xFFFFFFFF;
        for (size_t i = 0; i < size; ++i) {
            reference ^= data[i];
            for (int bit = 0; bit < 8; ++bit)
                reference = (reference >> 1) ^ (reference & 1 ? 0xEDB88320 : 0);
        }
        reference = ~reference;
        ASSERT_EQ(Crc32(0, data.data(), size), reference) << size;
        size_t split = size / 3;
        EXPECT_EQ(Crc32(Crc32(0, data.data(), split), data.data() + split, size - split),
                  reference);
    }
}

TEST_F(CheckTest, SoundFileIsSummedUpAndItsRecordHolds) {
    Bytes text = MakeTestData(DataKind::Text, 5000, 2);
    Bytes stream = Imploded(text);
    Bytes bytes = Make([&](ArchiveWriter& w) {
        w.Stored("readme.txt", text.data(), text.size());
        w.Subdirectory("docs");
        w.Imploded("lxv.htm", stream.data(), stream.size(), text.size());
    });
    ASSERT_EQ(Check(bytes), "");
    EXPECT_EQ(summary.entries, 2);
    EXPECT_EQ(summary.subdirectories, 1);
    EXPECT_TRUE(summary.hasRecord);
    // The record covers everything from behind the marker (the image of 100 bytes is padded
    // to 112) through the end item.
    size_t behindMarker = 112 + 16;
    size_t covered =
        bytes.size() - behindMarker - archive::kIntegrityRecordSize - SizesRecordSize(2);
    EXPECT_EQ(summary.covered, covered);
    EXPECT_EQ(summary.crc, Crc32(0, bytes.data() + behindMarker, covered));
    EXPECT_EQ(summary.total, static_cast<int32_t>(bytes.size() - behindMarker));

    // Without the record, as older files and other writers have it: as sound as before.
    ASSERT_EQ(Check(Make([&](ArchiveWriter& w) { w.Stored("readme.txt", text.data(), 10); },
                         /*record=*/false)),
              "");
    EXPECT_FALSE(summary.hasRecord);
}

TEST_F(CheckTest, InstalledSizeCountsTheEntriesOfTheOptionInWholeClusters) {
    Bytes text = MakeTestData(DataKind::Text, 5000, 2);
    Bytes stream = Imploded(text);
    Bytes bytes = Make([&](ArchiveWriter& w) {
        w.Stored("readme.txt", text.data(), 100);
        w.Imploded("lxv.htm", stream.data(), stream.size(), text.size());
        w.Imploded("devref.htm", stream.data(), stream.size(), text.size()); // developer's only
    });
    // Without the sizes record, as the builder wrote files before it, the streams are
    // exploded to learn their sizes.
    Bytes older(bytes.begin(), bytes.end() - static_cast<long>(SizesRecordSize(3)));
    for (const Bytes* file : {&bytes, &older}) {
        WriteFileBytes(this->file, *file);
        installState.option = kOptionStandard;
        ASSERT_TRUE(CheckPayload(this->file.string().c_str(), &summary, 4096));
        EXPECT_EQ(summary.installedBytes, 4096u + 8192u);
        installState.option = kOptionDeveloper;
        ASSERT_TRUE(CheckPayload(this->file.string().c_str(), &summary, 1));
        EXPECT_EQ(summary.installedBytes, 100u + 5000u + 5000u);
    }
}

TEST_F(CheckTest, RecordIsFoundBehindTheEndItemWithASignatureBehindIt) {
    // Signing pads the file to 8 bytes and appends its certificate table behind the record.
    Bytes bytes = Make([](ArchiveWriter& w) { w.Stored("a.txt", nullptr, 0); });
    size_t unsignedSize = bytes.size();
    bytes.resize((bytes.size() + 7) / 8 * 8, 0);
    Bytes table = MakeTestData(DataKind::Binary, 3000, 4);
    bytes.insert(bytes.end(), table.begin(), table.end());
    ASSERT_EQ(Check(bytes), "");
    EXPECT_TRUE(summary.hasRecord);
    EXPECT_EQ(summary.covered,
              unsignedSize - 128 - archive::kIntegrityRecordSize - SizesRecordSize(1));
}

TEST_F(CheckTest, EachDamageIsRefusedWithItsReason) {
    constexpr size_t kSizes = SizesRecordSize(1);
    constexpr size_t kRecord = archive::kIntegrityRecordSize + kSizes; // both records
    constexpr size_t kBehindMarker = 112 + 16; // the image of 100 bytes is padded to 112
    const Bytes data(3000, 'x');
    Bytes sound = Make([&](ArchiveWriter& w) { w.Stored("a.bin", data.data(), data.size()); });
    auto cut = [](Bytes bytes, size_t count) {
        bytes.resize(bytes.size() - count);
        return bytes;
    };
    auto changed = [](Bytes bytes, size_t at, unsigned char value) {
        bytes[at] = value;
        return bytes;
    };
    Bytes noMarker = sound;
    std::memset(noMarker.data() + 112, 0, 16);
    Bytes longName =
        Make([](ArchiveWriter& w) { w.Stored(std::string(260, 'n').c_str(), nullptr, 0); });
    Bytes otherCover = sound;
    archive::EncodeIntegrityRecord({sound.size() - kBehindMarker - kRecord + 1, 0},
                                   &otherCover[sound.size() - kRecord]);
    Bytes otherCount = sound;
    otherCount[sound.size() - kSizes + 8] = 2;
    const Bytes bad = {0x00, 0x07, 0x82, 0x24, 0x25};

    struct Case {
        const char* what;
        Bytes bytes;
        const char* damage;
    } cases[] = {
        {"no marker", noMarker, "no marker"},
        {"no end item", cut(sound, kRecord + 1), "the file ends before the end item"},
        {"a 261st byte in place of the terminator", changed(longName, kBehindMarker + 260, 'n'),
         "a name is longer than 260 bytes"},
        {"unsafe name", Make([](ArchiveWriter& w) { w.Stored("..\\evil.txt", nullptr, 0); }),
         "an entry's name is unsafe"},
        {"device name", Make([](ArchiveWriter& w) { w.Stored("NUL.txt", nullptr, 0); }),
         "an entry's name is unsafe"},
        {"device section", Make([](ArchiveWriter& w) { w.Subdirectory("docs\\com1"); }),
         "a section's name is unsafe"},
        // Names Windows cannot create, from a writer that does not refuse them.
        {"reserved character", Make([](ArchiveWriter& w) { w.Stored("what?.txt", nullptr, 0); }),
         "an entry's name is unsafe"},
        {"trailing dot", Make([](ArchiveWriter& w) { w.Stored("notes.", nullptr, 0); }),
         "an entry's name is unsafe"},
        {"control character in a section",
         Make([](ArchiveWriter& w) { w.Subdirectory("docs\\a\tb"); }),
         "a section's name is unsafe"},
        {"size field cut",
         cut(Make([](ArchiveWriter& w) { w.Stored("a.bin", nullptr, 0); }, false), 3),
         "the file ends inside a size field"},
        {"stored data cut", cut(sound, kRecord + 100),
         "a stored entry runs past the end of the file"},
        {"imploded data cut",
         cut(Make([](ArchiveWriter& w) {
                 w.Imploded("ai.txt", kVector.data(), kVector.size(), 13);
             }),
             kRecord + 1 + 3),
         "an imploded entry runs past the end of the file"},
        {"bad stream without a record",
         Make([&](ArchiveWriter& w) { w.Imploded("ai.txt", bad.data(), bad.size(), 13); }, false),
         "an imploded entry does not explode"},
        {"record cut", cut(sound, kSizes + 5), "the file ends inside the integrity record"},
        {"record damaged", changed(sound, sound.size() - kSizes - 10, 1),
         "the integrity record is damaged"},
        {"sizes cut", cut(sound, 5), "the file ends inside the sizes record"},
        {"sizes damaged", changed(sound, sound.size() - 6, 1), "the sizes record is damaged"},
        {"sizes of other entries", otherCount,
         "the sizes record counts other entries than the items"},
        {"record of other bytes", otherCover,
         "the integrity record covers other bytes than the items"},
        {"flipped data byte", changed(sound, kBehindMarker + 1500, 'y'),
         "the CRC-32 of the items does not match the integrity record"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Check(c.bytes), c.damage) << c.what;

    fs::remove(file);
    observer.calls.clear();
    EXPECT_FALSE(CheckPayload(file.string().c_str(), &summary));
    EXPECT_STREQ(summary.damage, "the file cannot be opened");
    EXPECT_EQ(observer.Failures(), std::vector<std::string>{text::kDamaged});
}

TEST_F(CheckTest, FlippedByteIsRefusedWithTheRecordAndAgreesWithTheExtractionWithout) {
    Bytes text = MakeTestData(DataKind::Text, 30000, 3);
    Bytes stream = Imploded(text);
    for (bool record : {true, false}) {
        uint64_t storedAt = 0, implodedAt = 0;
        Bytes bytes = Make(
            [&](ArchiveWriter& w) {
                storedAt = w.BytesWritten();
                w.Stored("lxv.exe", text.data(), text.size());
                implodedAt = w.BytesWritten();
                w.Imploded("lxv.htm", stream.data(), stream.size(), text.size());
            },
            record);
        SCOPED_TRACE(record ? "with the record" : "without the record");
        Bytes stored = bytes;
        stored[DataOffset(storedAt, "lxv.exe") + text.size() / 2] ^= 0x01;
        EXPECT_EQ(Check(stored),
                  record ? "the CRC-32 of the items does not match the integrity record" : "");
        // In an imploded stream the same flip may or may not change how it ends; without the
        // record the check must then say what the extraction will find, wherever it lies.
        for (size_t at : {size_t{2}, stream.size() / 2, stream.size() - 2, stream.size() - 1}) {
            Bytes imploded = bytes;
            imploded[DataOffset(implodedAt, "lxv.htm") + at] ^= 0x10;
            std::string damage = Check(imploded);
            if (record)
                EXPECT_NE(damage, "") << at; // by the CRC-32, or earlier if it stops Explode
            else
                EXPECT_EQ(damage.empty(), Extract(imploded).empty()) << at << ": " << damage;
        }
    }
}

TEST_F(CheckTest, WalkEndedEarlyByADamagedSizeFindsTheRecordElsewhere) {
    // A zero byte inside the data: with the size made smaller, the walk takes it for the end
    // item, and the items look sound on their own.
    Bytes data(40, 'd');
    data[8] = 0;
    uint64_t at = 0;
    Bytes bytes = Make([&](ArchiveWriter& w) {
        at = w.BytesWritten();
        w.Stored("first.bin", data.data(), data.size());
        w.Stored("second.bin", data.data(), data.size());
    });
    bytes[DataOffset(at, "first.bin") - 4] = static_cast<unsigned char>(-8);
    EXPECT_EQ(Check(bytes), "the integrity record does not stand behind the end item");
}

TEST_F(CheckTest, ASetupFileCarriedAsAFileIsNotTakenForTheRecord) {
    Bytes inner = Make([](ArchiveWriter& w) { w.Stored("a.txt", nullptr, 0); });
    Bytes outer = Make([&](ArchiveWriter& w) { w.Stored("inner.exe", inner.data(), inner.size()); },
                       /*record=*/false);
    EXPECT_EQ(Check(outer), "");
    EXPECT_FALSE(summary.hasRecord);
}

TEST_F(CheckTest, SectionsCountTowardsTheLongestPathWithOrWithoutFiles) {
    ASSERT_EQ(Check(Make([](ArchiveWriter& w) {
                  w.Stored("top.txt", nullptr, 0);               // 7
                  w.Subdirectory("docs");                        // "docs\" 5, no files
                  w.Stored("x", nullptr, 0);                     // "docs\x" 6
                  w.Subdirectory("");                            // back to the top
                  w.Stored("readme.txt", nullptr, 0);            // 10
                  w.Subdirectory("a-section-without-any-files"); // 28 with its backslash
                  w.Subdirectory("");
              })),
              "");
    EXPECT_EQ(summary.longestTail, 28u);
    EXPECT_EQ(summary.subdirectories, 4);
    ASSERT_EQ(Check(Make([](ArchiveWriter& w) {
                  w.Subdirectory("help");
                  w.Stored("index.htm", nullptr, 0); // "help\index.htm" 14
                  w.Subdirectory("");
              })),
              "");
    EXPECT_EQ(summary.longestTail, 14u);
}

// The install sequence refuses a directory when its text, a backslash and the longest tail do
// not fit 259 bytes. At that limit the extraction makes a file-less section; one byte beyond,
// it would refuse the section after the wipe, so the check must count it.
TEST_F(CheckTest, LongestPathAgreesWithTheExtractionAtTheLimit) {
    const std::string section(40, 's');
    Bytes bytes = Make([&](ArchiveWriter& w) {
        w.Stored("a.txt", nullptr, 0);
        w.Subdirectory(section.c_str());
    });
    ASSERT_EQ(Check(bytes), "");
    ASSERT_EQ(summary.longestTail, section.size() + 1);
    const size_t limit = kPathSize - 1 - summary.longestTail; // the first text that does not fit
    for (size_t textLength : {limit - 1, limit}) {
        bool fits = textLength + 1 + summary.longestTail < kPathSize;
        std::string text = dir.str() + "/";
        while (text.size() < textLength)
            text += std::string(std::min<size_t>(60, textLength - text.size()), 'd') + "/";
        text.resize(textLength); // ends in a level of one byte or more, never in '/'
        if (text.back() == '/')
            text.back() = 'e';
        fs::create_directories(text);
        ResetInstallState(&observer);
        InstallState& s = installState;
        s.option = kOptionDeveloper;
        std::snprintf(s.ownPath, kPathSize, "%s", file.string().c_str());
        std::snprintf(s.installDir, kPathSize, "%s/", text.c_str());
        s.dirEnd = s.installDir + std::strlen(s.installDir);
        ASSERT_TRUE(OpenPayload());
        EXPECT_EQ(InstallEntries(MakeHostPath) != 0, fits) << textLength;
        ResetInstallState(&observer);
    }
}

TEST_F(CheckTest, StreamEndingBeforeItsSizeIsRefusedByTheCheckAndTheExtraction) {
    // The stream's end code comes in its first 8 bytes; the entry claims 3,000 bytes more,
    // beyond the decoder's first block of 2,048, which it never asks for. No builder writes
    // that, so only a file without a record has its streams exploded by the check.
    Bytes padded = kVector;
    padded.resize(kVector.size() + 3000, 0);
    Bytes bytes = Make(
        [&](ArchiveWriter& w) {
            w.Imploded("ai.txt", padded.data(), padded.size(), 13);
            w.Stored("next.txt", nullptr, 0);
        },
        false);
    EXPECT_EQ(Check(bytes), "an imploded entry's stream ends before its size");
    EXPECT_EQ(Extract(bytes), std::vector<std::string>{text::kDamaged});
    EXPECT_FALSE(fs::exists(dir.path() / "out" / "next.txt"));

    // Bytes behind the end code within the first block are read with it, and so are used up:
    // sound for both.
    padded.resize(kVector.size() + 3);
    bytes = Make(
        [&](ArchiveWriter& w) {
            w.Imploded("ai.txt", padded.data(), padded.size(), 13);
            w.Stored("next.txt", nullptr, 0);
        },
        false);
    EXPECT_EQ(Check(bytes), "");
    EXPECT_TRUE(Extract(bytes).empty());
    EXPECT_TRUE(fs::exists(dir.path() / "out" / "next.txt"));
}

} // namespace
