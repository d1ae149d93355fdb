// list_verify_command.cpp - mksetup list and verify: walk a setup file as the setup program does.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/install_state.h"
#include "app/texts.h"
#include "payload/archive_format.h"
#include "payload/archive_reader.h"
#include "payload/archive_walk.h"
#include "payload/entry_name.h"
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
    info->imploded = s.remaining > 0;
    info->packed = s.remaining > 0 ? s.remaining : -int64_t(s.remaining);
    info->decoded = 0;
    if (!DecodeEntryData(CountOutput, &info->decoded)) {
        s.observer->ReportFailure(text::kDamaged);
        return false;
    }
    return true;
}

// Hands each item to visit, the failing one named in the observer's messages by its number
// and, once read, its name.
template <class Visit> class Lister final : public archive::ItemVisitor {
  public:
    Lister(ConsoleObserver* observer, Visit visit) : observer_(observer), visit_(visit) { Next(); }

  private:
    int Subdirectory(const char* item) override {
        Named(item);
        if (!IsSafeEntryName(item + 1))
            return Damaged();
        ItemInfo info{};
        info.subdirectory = true;
        return Visited(item, info);
    }
    int EntryName(const char* name) override {
        Named(name);
        return 1;
    }
    int Entry(const char* name, int32_t size) override {
        std::string bytes(name); // the decoder works in the scratch buffer that holds name
        installState.remaining = size;
        if (!IsSafeEntryName(name))
            return Damaged();
        ItemInfo info{};
        if (!DecodeEntry(&info))
            return 0;
        return Visited(bytes, info);
    }
    int End() override { return 1; }

    void Next() { observer_->where = "item " + std::to_string(++index_); }
    void Named(const char* name) { observer_->where += " (" + std::string(name) + ")"; }
    int Damaged() {
        observer_->ReportFailure(text::kDamaged);
        return 0;
    }
    int Visited(const std::string& name, const ItemInfo& info) {
        visit_(name, info);
        Next();
        return 1;
    }

    ConsoleObserver* observer_;
    Visit visit_;
    int index_ = 0;
};

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
    PayloadInput input;
    Lister<Visit> lister(observer, visit);
    bool sound = archive::WalkItems(input, lister, installState.scratch) != 0;
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
