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
constexpr const char kUpdatingDesktop[] = "Updating Desktop ...";
constexpr const char kSuccess[] = "Installation was successful.";
constexpr const char kNotSuccessful[] = "Installation not successful.";
constexpr const char kSetupErrorCaption[] = "Lexivane Setup Error";
constexpr const char kStartUpErrorCaption[] = "Lexivane StartUp Error";
constexpr const char kViewErrorCaption[] = "ERROR viewing %s";
constexpr const char kDefaultDirectory[] = "C:\\Lexivane";
constexpr const char kExitLabel[] = "E&xit";
} // namespace text
