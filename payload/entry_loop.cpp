// entry_loop.cpp - the item loop shared by the setup program and the builder's extract.
#include "payload/entry_loop.h"

#include "app/install_state.h"
#include "payload/archive_format.h"
#include "payload/archive_reader.h"
#include "payload/extract.h"

int InstallEntries(int (*makePath)(char* path)) {
    InstallState& s = installState;
    for (;;) {
        if (!ReadEntryName(s.scratch))
            return 0;
        if (s.scratch[0] == 0)
            return 1;
        if (s.scratch[0] == archive::kSubdirPrefix) {
            if (!EnterSubdirectory(s.scratch, makePath))
                return 0;
            continue;
        }
        if (!ReadEntrySize(&s.remaining))
            return 0;
        int ok = SelectEntry(s.scratch) ? ExtractEntry(s.scratch) : SkipEntry();
        if (!ok)
            return 0;
    }
}
