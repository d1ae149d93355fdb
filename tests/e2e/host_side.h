// host_side.h - reaching the Linux host from a test that runs under Wine.
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/host_commands.h"

namespace e2e {

// True when the test runs under Wine (which shows the host's files and runs its programs).
bool UnderWine();
// The host's path of a Windows path; "" if there is none.
std::string UnixPath(const std::filesystem::path& path);
// Runs a host shell command and waits until it has succeeded, which it tells by writing the
// host file doneFile (removed first); false if it did not in time.
bool RunUntilDone(const std::string& shellCommand, const std::string& doneFile);

// A small volume of the host's (a tmpfs of `bytes`, which needs root), mounted for the test
// and reached through a drive letter of the prefix; unmounted, with the letter gone, by the
// destructor.
class SmallDrive {
  public:
    SmallDrive(char letter, const std::filesystem::path& mountPoint, size_t bytes);
    ~SmallDrive();
    SmallDrive(const SmallDrive&) = delete;
    SmallDrive& operator=(const SmallDrive&) = delete;
    bool Ready() const { return ready_; }
    // The drive's root, "T:\".
    std::string Root() const { return std::string(1, letter_) + ":\\"; }

  private:
    char letter_;
    std::string mountPoint_, link_;
    bool ready_ = false;
};

// A host symbolic link at a Windows path, to a host file, made by the constructor and removed
// by the destructor, each waiting until the directory shows the change. The Windows side
// cannot remove a link to a device itself (and the standard library's remove_all spins on
// one under Wine), so it must be gone before its directory is cleaned up.
class HostLink {
  public:
    HostLink(const std::filesystem::path& at, const std::string& hostTarget);
    ~HostLink();
    HostLink(const HostLink&) = delete;
    HostLink& operator=(const HostLink&) = delete;
    // True if the link is there, as the directory listing shows it.
    bool Present() const;

  private:
    std::filesystem::path at_;
    std::string unixPath_;
};

} // namespace e2e
