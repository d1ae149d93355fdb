// install_checks.h - what an installation left behind: files, the program group and its links.
#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "tests/support/directory_names.h"
#include "tests/support/programs_folder.h"
#include "tests/support/temp_dir.h"

namespace e2e {

// The staged files of the demo product that the setup program carries.
std::filesystem::path PayloadDir();
// The names of the staged files.
std::set<std::string> PayloadNames();
// True for the files that only a developer installation gets: the references, the headers,
// the test program, its libraries and import libraries, and the sample project.
bool IsDeveloperOnly(const std::string& name);

// The setup's program group in the Start menu's Programs folder.
std::filesystem::path GroupFolder();
// Removes the program group with everything in it; true if it is gone.
bool RemoveGroup();

// True if both files exist and hold the same bytes.
bool SameBytes(const std::filesystem::path& a, const std::filesystem::path& b);

// Case-insensitive comparison of two paths written the same way.
bool SamePath(const std::string& a, const std::string& b);
// Waits for a file that another program writes in pieces to hold `text` and to end with a
// complete line; its text then, or "" if that did not happen in time.
std::string WaitForText(const std::filesystem::path& file, const std::string& text);

} // namespace e2e
