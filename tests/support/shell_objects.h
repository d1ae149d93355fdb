// shell_objects.h - reading shortcut files back through the shell, and the state of COM.
#pragma once

#include <filesystem>
#include <string>

// A shortcut file as the shell's own link object loads it, independently of the code that
// wrote it.
struct ShortcutContent {
    bool loaded = false;
    std::string target;
    std::string arguments;
};
ShortcutContent ReadShortcut(const std::filesystem::path& linkFile);

// True if COM is not initialised on this thread: a fresh initialisation returns S_OK rather
// than S_FALSE (or a change of apartment). The probe itself is undone.
bool ComIsUninitialised();
