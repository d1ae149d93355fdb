// uninst_args.cpp - splitting and judging the uninstaller's command line.
#include "demo/uninst/uninst_args.h"

#include <cstring>

namespace {

const char kQuiet[] = "/quiet";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (Lower(*a) != Lower(*b))
            return false;
    }
    return *a == *b;
}

// Copies the next argument into `out` (size bytes, terminator included) and returns the
// position behind it, or nullptr when no argument is left. Double quotes group blanks into
// the argument and are dropped. `fits` is cleared when the argument had to be cut.
const char* NextArgument(const char* p, char* out, size_t size, bool* fits) {
    while (IsBlank(*p))
        ++p;
    if (*p == '\0')
        return nullptr;
    *fits = true;
    bool quoted = false;
    size_t length = 0;
    for (; *p != '\0' && (quoted || !IsBlank(*p)); ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (length + 1 < size) {
            out[length++] = *p;
        } else {
            *fits = false;
        }
    }
    out[length] = '\0';
    return p;
}

} // namespace

bool ParseUninstallArguments(const char* commandLine, UninstallArguments* arguments) {
    arguments->group[0] = '\0';
    arguments->quiet = false;
    if (commandLine == nullptr)
        return false;
    bool fits = false;
    const char* p = NextArgument(commandLine, arguments->group, sizeof arguments->group, &fits);
    if (p == nullptr)
        return false;
    bool ok = fits;
    if (EqualsIgnoringCase(arguments->group, kQuiet)) {
        // "/quiet" alone: silent, but there is no group to remove.
        arguments->quiet = true;
        ok = false;
    }
    char extra[sizeof kQuiet + 1];
    int extras = 0;
    while ((p = NextArgument(p, extra, sizeof extra, &fits)) != nullptr) {
        if (fits && EqualsIgnoringCase(extra, kQuiet))
            arguments->quiet = true;
        else
            ok = false;
        if (++extras > 1)
            ok = false;
    }
    return ok;
}

bool IsSafeGroupName(const char* name) {
    if (name == nullptr || name[0] == '\0')
        return false;
    bool dotsAndBlanksOnly = true;
    for (const char* p = name; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr)
            return false;
        if (c == '.' && p[1] == '.')
            return false;
        if (c != '.' && c != ' ')
            dotsAndBlanksOnly = false;
    }
    return !dotsAndBlanksOnly;
}
