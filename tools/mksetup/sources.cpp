// sources.cpp - product directories and manifests as ordered archive items.
#include "tools/mksetup/sources.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "payload/archive_format.h"
#include "payload/entry_name.h"

namespace fs = std::filesystem;

std::string CheckArchiveName(const std::string& name, bool subdirectory) {
    if (name.empty() && !subdirectory)
        return "empty name";
    if (name.size() + (subdirectory ? 1 : 0) > archive::kMaxNameLength)
        return "name longer than 260 bytes";
    if (!subdirectory && name[0] == archive::kSubdirPrefix)
        return "name begins with '>'";
    if (name.find('\0') != std::string::npos)
        return "name holds a NUL byte";
    if (!IsSafeEntryName(name.c_str()))
        return "name would leave the install directory ('..', ':', or a leading separator) or "
               "name a Windows device (con, nul, aux, prn, com1, lpt1, ... with any extension)";
    return "";
}

static std::string ArchiveName(const fs::path& relative) {
    std::string name;
    for (const fs::path& level : relative) {
        if (!name.empty())
            name += '\\';
        name += level.string();
    }
    return name;
}

static bool CollectDirectory(const fs::path& root, std::vector<SourceItem>* items,
                             std::string* error) {
    std::error_code ec;
    std::vector<fs::path> files, directories;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (it->is_directory())
            directories.push_back(fs::relative(it->path(), root));
        else if (it->is_regular_file() && it.depth() == 0)
            files.push_back(it->path().filename());
    }
    if (ec) {
        *error = root.string() + ": " + ec.message();
        return false;
    }
    // Byte order of the names, so the same tree always gives the same archive.
    auto byName = [](const fs::path& a, const fs::path& b) { return a.string() < b.string(); };
    std::sort(files.begin(), files.end(), byName);
    std::sort(directories.begin(), directories.end(),
              [](const fs::path& a, const fs::path& b) { return ArchiveName(a) < ArchiveName(b); });
    for (const fs::path& f : files)
        items->push_back({false, f.string(), root / f});
    for (const fs::path& d : directories) {
        std::vector<fs::path> inner;
        for (const auto& e : fs::directory_iterator(root / d, ec))
            if (e.is_regular_file())
                inner.push_back(e.path().filename());
        std::sort(inner.begin(), inner.end(), byName);
        items->push_back({true, ArchiveName(d), {}});
        for (const fs::path& f : inner)
            items->push_back({false, f.string(), root / d / f});
    }
    return true;
}

static bool CollectManifest(const fs::path& manifest, std::vector<SourceItem>* items,
                            std::string* error) {
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
            items->push_back({false, second.empty() ? file.filename().string() : second, file});
        } else if (kind == "dir" && second.empty()) {
            items->push_back({true, first, {}});
        } else {
            *error = where + "expected 'file PATH [NAME]' or 'dir [NAME]'";
            return false;
        }
    }
    return true;
}

bool CollectSources(const fs::path& source, std::vector<SourceItem>* items, std::string* error) {
    std::error_code ec;
    bool ok = fs::is_directory(source, ec) ? CollectDirectory(source, items, error)
                                           : CollectManifest(source, items, error);
    if (!ok)
        return false;
    for (const SourceItem& item : *items) {
        std::string problem = CheckArchiveName(item.name, item.subdirectory);
        if (!problem.empty()) {
            *error = (item.subdirectory ? "section '" : "entry '") + item.name + "': " + problem;
            return false;
        }
    }
    return true;
}
