// host_path.cpp - '\' separated archive paths as directories of the host.
#include "tools/mksetup/host_path.h"

#include <filesystem>
#include <string>
#include <system_error>

int MakeHostPath(char* path) {
    std::string host = path;
#ifndef _WIN32
    for (char& c : host)
        if (c == '\\')
            c = '/';
#endif
    std::error_code ec;
    std::filesystem::create_directories(host, ec);
    return !ec;
}
