// sources.h - what goes into a setup file, in archive order.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tools/mksetup/code_page.h"

struct SourceItem {
    bool subdirectory;          // a '>' section; name is the sub-directory ("" = back to top)
    std::string name;           // the name in the archive, in its code page ('\' separates levels)
    std::filesystem::path file; // the file to pack, for an entry; a section's own directory
    std::string shown;          // the name as the host spells it (UTF-8), for messages
};

// A file's identity on the host, whatever the spelling of its path.
struct FileId {
    dev_t device;
    ino_t inode;
    bool operator==(const FileId& other) const {
        return device == other.device && inode == other.inode;
    }
};

// The identity of the file that path leads to, following links; false if there is none.
bool IdentifyFile(const std::filesystem::path& path, FileId* id);

// What a build reads: its items, and the directories and files it reads them from.
struct Sources {
    std::vector<SourceItem> items;
    std::vector<FileId> directories; // every directory read, the product directory first
    std::vector<FileId> inputs;      // the manifest and every file to pack
};

// Collects the items of a product directory, or of a manifest file. A directory gives its
// top-level files, then one section per sub-directory at any depth, each in sorted order. A
// link to a file is packed as the file; a link to a directory outside the tree is read as the
// directory; anything else that is not a plain file or directory is refused. A manifest lists,
// one per line:  file PATH [NAME]  |  dir [NAME]  (# starts a comment; PATH is relative to the
// manifest). Names are converted to codePage and must be names that Windows can create, no two
// alike but for case in one directory. On failure, error says what is wrong and where.
bool CollectSources(const std::filesystem::path& source, const CodePage& codePage, Sources* sources,
                    std::string* error);
