// sources.h - what goes into a setup file, in archive order.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct SourceItem {
    bool subdirectory;          // a '>' section; name is the sub-directory ("" = back to top)
    std::string name;           // the name in the archive ('\' separates levels)
    std::filesystem::path file; // the file to pack, for an entry
};

// Collects the items of a product directory, or of a manifest file. A directory gives its
// top-level files, then one section per sub-directory at any depth, each in sorted order.
// A manifest lists, one per line:  file PATH [NAME]  |  dir [NAME]  (# starts a comment;
// PATH is relative to the manifest). On failure, error says what is wrong and where.
bool CollectSources(const std::filesystem::path& source, std::vector<SourceItem>* items,
                    std::string* error);

// Why name cannot be carried as an entry (or a section, when subdirectory), or "" if it can.
std::string CheckArchiveName(const std::string& name, bool subdirectory);
