// commands.h - the builder's commands; each returns the process exit code.
#pragma once

#include <string>

#include "payload/implode.h"

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct BuildOptions {
    std::string stub;
    std::string output;
    std::string source;
    ImplodeOptions implode;
    unsigned jobs = 1; // entries packed at the same time
};

int BuildCommand(const BuildOptions& options);
int ListCommand(const std::string& file);
int VerifyCommand(const std::string& file);
int ExtractCommand(const std::string& file, const std::string& directory, int option);
