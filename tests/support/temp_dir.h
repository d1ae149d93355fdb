// temp_dir.h - a fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory as a native string, with a trailing separator when asked.
    std::string str(bool trailingSeparator = false) const;

  private:
    std::filesystem::path path_;
};

std::vector<unsigned char> ReadFileBytes(const std::filesystem::path& file);
// The whole file as text ("" if it cannot be read).
std::string ReadFileText(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes);
void WriteFileText(const std::filesystem::path& file, const std::string& text);
