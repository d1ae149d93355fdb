// commands.h - the builder's commands; each returns the process exit code.
#pragma once

#include <string>

#include "tools/mksetup/code_page.h"
#include "tools/packer/implode.h"

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct BuildOptions {
    std::string stub;
    std::string output;
    std::string source;
    ImplodeOptions implode;
    unsigned jobs = 1;                      // entries packed at the same time
    unsigned codePage = CodePage::kDefault; // the Windows code page of the entry names
};

int BuildCommand(const BuildOptions& options);
// Shows the names converted from codePage to UTF-8.
int ListCommand(const std::string& file, unsigned codePage);
int VerifyCommand(const std::string& file);
int ExtractCommand(const std::string& file, const std::string& directory, int option);
