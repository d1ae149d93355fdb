// sources.cpp - product directories and manifests as ordered archive items.
#include "tools/mksetup/sources.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

#include "payload/archive_format.h"
#include "payload/entry_name.h"

namespace fs = std::filesystem;

bool IdentifyFile(const fs::path& path, FileId* id) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return false;
    *id = {info.st_dev, info.st_ino};
    return true;
}

namespace {

// Why the host name shown cannot be carried, or "" if it can; sets name to its archive bytes.
std::string ArchiveName(const std::string& shown, bool subdirectory, const CodePage& codePage,
                        std::string* name) {
    if (shown.empty() && !subdirectory)
        return "empty name";
    if (shown.find('\0') != std::string::npos)
        return "the name holds a NUL byte";
    if (!codePage.FromUtf8(shown, name))
        return "the name is not UTF-8, or holds a character that code page " +
               std::to_string(codePage.number()) + " has not";
    if (name->size() + (subdirectory ? 1 : 0) > archive::kMaxNameLength)
        return "name longer than 260 bytes";
    if (!subdirectory && (*name)[0] == archive::kSubdirPrefix)
        return "name begins with '>'";
    const char* fault = EntryNameFault(name->c_str(), codePage.leadBytes());
    return fault == nullptr ? "" : fault;
}

const char* KindOf(fs::file_type type) {
    switch (type) {
    case fs::file_type::fifo:
        return "a FIFO";
    case fs::file_type::socket:
        return "a socket";
    case fs::file_type::block:
    case fs::file_type::character:
        return "a device";
    default:
        return "neither a file nor a directory";
    }
}

// Reads a product directory, depth first, into one listing per directory.
class DirectoryWalk {
  public:
    struct Listing {
        std::string levels;             // host names of the levels below the root, '\'-joined
        fs::path directory;             // where on the host
        std::vector<std::string> files; // sorted host names
    };

    DirectoryWalk(const fs::path& root, Sources* sources, std::string* error)
        : root_(root), sources_(sources), error_(error) {}

    bool Run() {
        std::error_code ec;
        canonicalRoot_ = fs::canonical(root_, ec);
        if (ec)
            return Fail(root_, ec.message());
        return Read(root_, "");
    }
    std::vector<Listing> listings;

  private:
    bool Fail(const fs::path& where, const std::string& what) {
        *error_ = where.string() + ": " + what;
        return false;
    }
    bool Inside(const fs::path& canonical) const {
        auto [r, c] = std::mismatch(canonicalRoot_.begin(), canonicalRoot_.end(), canonical.begin(),
                                    canonical.end());
        return r == canonicalRoot_.end();
    }
    bool Read(const fs::path& directory, const std::string& levels);

    fs::path root_, canonicalRoot_;
    Sources* sources_;
    std::string* error_;
    std::vector<FileId> onPath_; // the directories from the root to the one being read
};

bool DirectoryWalk::Read(const fs::path& directory, const std::string& levels) {
    FileId id;
    if (!IdentifyFile(directory, &id))
        return Fail(directory, "vanished while it was read");
    if (std::find(onPath_.begin(), onPath_.end(), id) != onPath_.end())
        return Fail(directory, "a directory link that loops back to a directory above it");
    onPath_.push_back(id);
    sources_->directories.push_back(id);
    Listing listing{levels, directory, {}};
    std::vector<std::string> subdirectories;
    std::error_code ec;
    fs::directory_iterator it(directory, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        std::string name = path.filename().string();
        if (name.find('\\') != std::string::npos)
            return Fail(path, "the name holds '\\', which Windows takes for a separator");
        fs::file_status link = it->symlink_status(ec);
        fs::file_status target = fs::is_symlink(link) ? it->status(ec) : link;
        if (ec || !fs::exists(target))
            return Fail(path,
                        fs::is_symlink(link) ? "a dangling link" : "vanished while it was read");
        if (fs::is_regular_file(target)) {
            listing.files.push_back(name);
        } else if (fs::is_directory(target)) {
            if (fs::is_symlink(link)) {
                fs::path real = fs::canonical(path, ec);
                if (ec)
                    return Fail(path, ec.message());
                if (Inside(real))
                    return Fail(path, "a directory link that leads back into the tree (to " +
                                          real.string() + ")");
            }
            subdirectories.push_back(name);
        } else {
            return Fail(path,
                        std::string(KindOf(target.type())) + ", not a file: it cannot be packed");
        }
    }
    if (ec)
        return Fail(directory, ec.message());
    // Byte order of the names, so the same tree always gives the same archive.
    std::sort(listing.files.begin(), listing.files.end());
    std::sort(subdirectories.begin(), subdirectories.end());
    listings.push_back(std::move(listing));
    for (const std::string& sub : subdirectories)
        if (!Read(directory / sub, levels.empty() ? sub : levels + '\\' + sub))
            return false;
    onPath_.pop_back();
    return true;
}

bool CollectDirectory(const fs::path& root, Sources* sources, std::string* error) {
    DirectoryWalk walk(root, sources, error);
    if (!walk.Run())
        return false;
    // The top-level files, then the sections in the order of their '\'-joined names.
    std::stable_sort(walk.listings.begin() + 1, walk.listings.end(),
                     [](const auto& a, const auto& b) { return a.levels < b.levels; });
    for (const DirectoryWalk::Listing& listing : walk.listings) {
        if (&listing != &walk.listings.front())
            sources->items.push_back({true, "", listing.directory, listing.levels});
        for (const std::string& f : listing.files)
            sources->items.push_back({false, "", listing.directory / f, f});
    }
    return true;
}

bool CollectManifest(const fs::path& manifest, Sources* sources, std::string* error) {
    std::ifstream in(manifest);
    if (!in) {
        *error = manifest.string() + ": cannot be read";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string kind, first, second, extra;
        words >> kind >> first >> second >> extra;
        std::string where = manifest.string() + ":" + std::to_string(number) + ": ";
        if (kind.empty() || kind[0] == '#')
            continue;
        if (kind == "file" && !first.empty() && extra.empty()) {
            fs::path file = manifest.parent_path() / first;
            std::error_code ec;
            fs::file_status status = fs::status(file, ec);
            if (!fs::is_regular_file(status)) {
                *error = where + file.string() + ": " +
                         (fs::exists(status) ? KindOf(status.type()) : "cannot be read") +
                         ", not a file";
                return false;
            }
            sources->items.push_back(
                {false, "", file, second.empty() ? file.filename().string() : second});
        } else if (kind == "dir" && second.empty()) {
            sources->items.push_back({true, "", {}, first});
        } else {
            *error = where + "expected 'file PATH [NAME]' or 'dir [NAME]'";
            return false;
        }
    }
    return true;
}

// Windows compares the names of one directory without regard to case, so two names that
// differ only in case are one file there, and a file and a directory of one name cannot both
// be. Sections may come again under the same spelling: they enter the same directory.
bool CheckClashes(const std::vector<SourceItem>& items, std::string* error) {
    struct Seen {
        std::string shown;
        bool directory;
    };
    std::map<std::string, Seen> seen; // by folded path below the install directory
    std::string section;
    auto clash = [&](const std::string& path, bool directory) {
        auto [it, added] = seen.insert({FoldCase(path), {path, directory}});
        if (added || (directory && it->second.directory && it->second.shown == path))
            return false;
        *error = "'" + it->second.shown + "' and '" + path +
                 "': Windows takes them for one name, for it ignores case";
        return true;
    };
    for (const SourceItem& item : items) {
        if (item.subdirectory) {
            section = item.shown;
            for (size_t at = 0; at != std::string::npos; at = section.find('\\', at + 1))
                if (at > 0 && clash(section.substr(0, at), true))
                    return false;
            if (!section.empty() && clash(section, true))
                return false;
        } else if (clash(section.empty() ? item.shown : section + '\\' + item.shown, false)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool CollectSources(const fs::path& source, const CodePage& codePage, Sources* sources,
                    std::string* error) {
    std::error_code ec;
    bool directory = fs::is_directory(source, ec);
    bool ok = directory ? CollectDirectory(source, sources, error)
                        : CollectManifest(source, sources, error);
    if (!ok)
        return false;
    FileId id;
    if (!directory && IdentifyFile(source, &id))
        sources->inputs.push_back(id);
    for (SourceItem& item : sources->items) {
        std::string problem = ArchiveName(item.shown, item.subdirectory, codePage, &item.name);
        if (!problem.empty()) {
            std::string where =
                item.file.empty() ? "section '" + item.shown + "'" : item.file.string();
            *error = where + ": " + problem;
            return false;
        }
        if (!item.subdirectory && IdentifyFile(item.file, &id))
            sources->inputs.push_back(id);
    }
    return CheckClashes(sources->items, error);
}
