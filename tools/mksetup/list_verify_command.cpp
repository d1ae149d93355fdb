// list_verify_command.cpp - mksetup list and verify: walk a setup file as the setup program does.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_format.h"
#include "payload/archive_reader.h"
#include "payload/entry_name.h"
#include "payload/explode.h"
#include "payload/extract.h"
#include "payload/integrity_record.h"
#include "payload/payload_check.h"
#include "tools/mksetup/code_page.h"
#include "tools/mksetup/commands.h"
#include "tools/mksetup/console_observer.h"

namespace {

struct ItemInfo {
    bool subdirectory;
    bool imploded;
    int64_t packed;
    int64_t decoded;
};

void CountOutput(char*, uint32_t* size, void* param) {
    *static_cast<int64_t*>(param) += *size;
}

// Decodes the current entry through the same read callback and decoder as extraction,
// counting its bytes instead of writing them. Damage is reported through the observer.
bool DecodeEntry(ItemInfo* info) {
    InstallState& s = installState;
    s.readError = 0;
    info->imploded = s.remaining > 0;
    info->packed = s.remaining > 0 ? s.remaining : -int64_t(s.remaining);
    info->decoded = 0;
    int result = 0;
    bool unread = false;
    if (info->imploded) {
        result = Explode(ReadPayloadChunk, CountOutput, s.scratch.Create<ExplodeWorkArea>(),
                         &info->decoded);
        // As in the extraction: bytes the decoder never asked for would be read as the next
        // item.
        unread = result == kExplodeOk && s.remaining != 0;
    } else {
        s.remaining = archive::EntryByteCount(s.remaining);
        uint32_t request = kCopyChunk;
        uint32_t n;
        while ((n = ReadPayloadChunk(s.scratch, &request, nullptr)) > 0)
            info->decoded += n;
    }
    if (s.readError || result != 0 || unread) {
        s.observer->ReportFailure(text::kDamaged);
        return false;
    }
    return true;
}

// Walks every item; visit is called for each. Returns true for a sound file.
template <class Visit> bool Walk(const std::string& file, ConsoleObserver* observer, Visit visit) {
    std::memset(&installState, 0, sizeof installState);
    installState.observer = observer;
    if (file.size() >= kPathSize) {
        observer->ReportFailure("path longer than 259 bytes");
        return false;
    }
    std::memcpy(installState.ownPath, file.c_str(), file.size() + 1);
    if (!OpenPayload())
        return false;
    bool sound = false;
    for (int index = 1;; ++index) {
        observer->where = "item " + std::to_string(index);
        if (!ReadEntryName(installState.scratch))
            break;
        std::string name(installState.scratch);
        if (name.empty()) {
            sound = true;
            break;
        }
        observer->where += " (" + name + ")";
        ItemInfo info{};
        if (name[0] == archive::kSubdirPrefix) {
            if (!IsSafeEntryName(name.c_str() + 1)) {
                observer->ReportFailure(text::kDamaged);
                break;
            }
            info.subdirectory = true;
        } else {
            if (!ReadEntrySize(&installState.remaining))
                break;
            if (!IsSafeEntryName(name.c_str())) {
                observer->ReportFailure(text::kDamaged);
                break;
            }
            if (!DecodeEntry(&info))
                break;
        }
        visit(name, info);
    }
    std::fclose(installState.payloadFile);
    installState.payloadFile = nullptr;
    return sound;
}

// The setup program's own check before it deletes anything, which also verifies the
// integrity record. On damage, says what was found.
bool CheckAsTheSetupProgram(const std::string& file, ConsoleObserver* observer,
                            PayloadSummary* summary) {
    observer->where = "payload check";
    if (CheckPayload(file.c_str(), summary))
        return true;
    std::fprintf(stderr, "mksetup: %s: %s\n", file.c_str(), summary->damage);
    return false;
}

// The integrity record's figures, in a few words.
std::string DescribeRecord(const PayloadSummary& summary) {
    char text[80];
    std::snprintf(text, sizeof text, "CRC-32 %08x of %llu bytes", summary.crc,
                  static_cast<unsigned long long>(summary.covered));
    return text;
}

} // namespace

int ListCommand(const std::string& file, unsigned codePageNumber) {
    ConsoleObserver observer(file);
    CodePage codePage;
    if (!codePage.Open(codePageNumber)) {
        std::fprintf(stderr, "mksetup: code page %u is not known here\n", codePageNumber);
        return kExitFailure;
    }
    std::printf("%-8s %10s %10s  %s\n", "kind", "packed", "decoded", "name");
    bool sound = Walk(file, &observer, [&](const std::string& bytes, const ItemInfo& info) {
        std::string name = codePage.ToUtf8(bytes);
        if (info.subdirectory)
            std::printf("%-8s %10s %10s  %s\n", "section", "", "", name.c_str());
        else
            std::printf("%-8s %10lld %10lld  %s\n", info.imploded ? "imploded" : "stored",
                        static_cast<long long>(info.packed), static_cast<long long>(info.decoded),
                        name.c_str());
    });
    PayloadSummary summary;
    if (!sound || !CheckAsTheSetupProgram(file, &observer, &summary))
        return kExitFailure;
    if (summary.hasRecord)
        std::printf("%-8s %10d %10s  %s\n", "record", archive::kIntegrityRecordSize, "",
                    DescribeRecord(summary).c_str());
    else
        std::printf("%-8s %10s %10s  %s\n", "record", "-", "", "none");
    return kExitOk;
}

int VerifyCommand(const std::string& file) {
    ConsoleObserver observer(file);
    int entries = 0;
    int64_t bytes = 0;
    bool sound = Walk(file, &observer, [&](const std::string&, const ItemInfo& info) {
        if (!info.subdirectory) {
            ++entries;
            bytes += info.decoded;
        }
    });
    PayloadSummary summary;
    if (!sound || !CheckAsTheSetupProgram(file, &observer, &summary))
        return kExitFailure;
    std::string record =
        summary.hasRecord ? "integrity record " + DescribeRecord(summary) : "no integrity record";
    std::printf("%s: sound, %d entries, %lld bytes decoded; %s\n", file.c_str(), entries,
                static_cast<long long>(bytes), record.c_str());
    return kExitOk;
}
