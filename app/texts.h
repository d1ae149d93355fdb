// texts.h - every text the setup program shows the user, in one place.
#pragma once

namespace text {
constexpr const char kDamaged[] = "Incomplete or damaged installation file!";
constexpr const char kInstalling[] = "Installing:   %s";
constexpr const char kCannotCreateFile[] =
    "Could not create file\n%s\n\nThis may be because\nLexivane is already running,\nor you may be "
    "out of disk space.";
constexpr const char kOutOfDiskSpace[] = "Out of disk space while writing\n%s";
constexpr const char kCannotCreatePath[] = "Could not create the path\n%s";
// Our own words for a directory that would be emptied against the user's intent.
constexpr const char kProtectedDirectory[] =
    "The directory\n%s\nwill not be emptied: it is a drive, a system or user folder, or it "
    "holds this setup program.\n\nPlease choose a new directory of its own for Lexivane.";
// Our own words for an installation that would not fit once the directory is emptied: the
// directory, then the kilobytes needed and free.
constexpr const char kNotEnoughSpace[] =
    "There is not enough free space for Lexivane in\n%s\n\n%s KB are needed, %s KB are free."
    "\n\nPlease make room on the disk, or choose a directory on another one.";
// The same for a directory that is a link: emptying it would empty the directory it leads to.
constexpr const char kLinkedDirectory[] =
    "The directory\n%s\nwill not be emptied: it is a link (a junction or symbolic link) to "
    "another directory, whose files would be deleted.\n\nPlease choose a new directory of its "
    "own for Lexivane.";
constexpr const char kUpdatingDesktop[] = "Updating Desktop ...";
constexpr const char kSuccess[] = "Installation was successful.";
constexpr const char kNotSuccessful[] = "Installation not successful.";
constexpr const char kSetupErrorCaption[] = "Lexivane Setup Error";
constexpr const char kStartUpErrorCaption[] = "Lexivane StartUp Error";
constexpr const char kViewErrorCaption[] = "ERROR viewing %s";
// Shown in place of the system's text for an error code that has none: decimal, then hex.
constexpr const char kUnknownSystemError[] =
    "System error %lu (0x%08lX): Windows has no text for it.";
constexpr const char kAlreadyRunning[] = "Lexivane Setup is already running.";
constexpr const char kOwnPathUnusable[] =
    "Lexivane Setup cannot read its own file: its path has characters that this system's code "
    "page cannot hold, and Windows gives it no short name without them.\n\nPlease move "
    "LEXIVANE.EXE to a folder whose name has only plain letters and digits, such as "
    "C:\\Setup, and start it from there.";
constexpr const char kNoProgramGroup[] =
    "The program group \"Lexivane\" could not be made: Windows gives no path of the Start "
    "menu's Programs folder that this setup program can use (its name may have characters "
    "that this system's code page cannot hold).\n\nLexivane is installed in\n%.*s";
constexpr const char kDefaultDirectory[] = "C:\\Lexivane";
constexpr const char kExitLabel[] = "E&xit";
constexpr const char kGroupName[] = "\\Lexivane";
constexpr const char kReadMeLink[] = "Read Me.Lnk";
constexpr const char kUninstallLink[] = "UnInstall Lexivane.Lnk";
constexpr const char kUninstallTarget[] = "uninst.exe";
constexpr const char kUninstallArguments[] = "Lexivane";
constexpr const char kProductProgram[] = "lxv.exe";
constexpr const char kSoundStart[] = "SystemStart";
constexpr const char kSoundSuccess[] = "SystemAsterisk";
} // namespace text
