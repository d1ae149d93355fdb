// entry_loop.cpp - the item loop shared by the setup program and the builder's extract.
#include "payload/entry_loop.h"

#include "app/install_state.h"
#include "payload/archive_reader.h"
#include "payload/archive_walk.h"
#include "payload/extract.h"

namespace {

// '>' items switch the output sub-directory; file entries are extracted or skipped as
// selected, their size in installState.remaining.
class Installer final : public archive::ItemVisitor {
  public:
    explicit Installer(int (*makePath)(char* path)) : makePath_(makePath) {}

    int Subdirectory(const char* item) override { return EnterSubdirectory(item, makePath_); }
    int Entry(const char* name, int32_t size) override {
        installState.remaining = size;
        return SelectEntry(name) ? ExtractEntry(name) : SkipEntry();
    }
    int End() override { return 1; }

  private:
    int (*makePath_)(char* path);
};

} // namespace

int InstallEntries(int (*makePath)(char* path)) {
    PayloadInput input;
    Installer installer(makePath);
    return archive::WalkItems(input, installer, installState.scratch);
}
