// main.cpp - mksetup: builds, lists, verifies and extracts Lexivane setup files.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/mksetup/code_page.h"
#include "tools/mksetup/commands.h"
#include "tools/mksetup/entry_packer.h"

namespace {

const char kUsage[] =
    "usage: mksetup build --stub SETUP.EXE -o OUT.EXE [--level fast|best]\n"
    "                     [--literals raw|coded|auto] [--dict 4|5|6] [--jobs N]\n"
    "                     [--codepage N] SOURCE\n"
    "       mksetup list [--codepage N] FILE\n"
    "       mksetup verify FILE\n"
    "       mksetup extract FILE DIR [--option 1|2]\n"
    "       mksetup --help | --version\n"
    "\n"
    "build    appends the items of SOURCE to the setup program SETUP.EXE. SOURCE is a\n"
    "         directory (its files, then one section per sub-directory, sorted) or a\n"
    "         manifest with lines 'file PATH [NAME]' and 'dir [NAME]'. Defaults: --level\n"
    "         best, --literals auto, --dict 6, --jobs the number of cores. The jobs\n"
    "         compress entries side by side; the output is the same for any number. An\n"
    "         integrity record (a CRC-32 of the items) follows the end item. Names are\n"
    "         written in the Windows code page N (default 1252); a name Windows cannot\n"
    "         create, or that code page N cannot hold, is refused. -o must not be the\n"
    "         stub, a source, or lie inside SOURCE.\n"
    "list     prints every item: sections, and each entry's kind, packed and decoded size,\n"
    "         and the integrity record; names are converted from code page N to UTF-8.\n"
    "verify   decodes every entry and checks the payload as the setup program would, the\n"
    "         integrity record included, and says whether the file has one; exit 1 if the\n"
    "         file is damaged.\n"
    "extract  checks the payload, then installs it into DIR as the setup program would,\n"
    "         for option 1 (standard, the default) or 2 (developer).\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "mksetup: %s\n%s", problem, kUsage);
    return kExitUsage;
}

// A number from 1 to largest, in plain decimal digits.
bool ParseNumber(const std::string& text, unsigned largest, unsigned* number) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    unsigned value = 0;
    for (char c : text)
        value = value * 10 + static_cast<unsigned>(c - '0');
    if (value < 1 || value > largest)
        return false;
    *number = value;
    return true;
}

constexpr unsigned kMaxJobs = 256;
constexpr unsigned kMaxCodePage = 65535; // Windows numbers its code pages in 16 bits

int ParseBuild(const std::vector<std::string>& args) {
    BuildOptions options;
    options.implode = {ImplodeLevel::Best, LiteralMode::Auto, 6};
    options.jobs = DefaultJobs();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : "";
        if (a == "--stub" || a == "-o" || a == "--level" || a == "--literals" || a == "--dict" ||
            a == "--jobs" || a == "--codepage") {
            if (!hasValue)
                return Usage((a + " needs a value").c_str());
            ++i;
            if (a == "--stub")
                options.stub = value;
            else if (a == "-o")
                options.output = value;
            else if (a == "--level" && (value == "fast" || value == "best"))
                options.implode.level = value == "fast" ? ImplodeLevel::Fast : ImplodeLevel::Best;
            else if (a == "--literals" && (value == "raw" || value == "coded" || value == "auto"))
                options.implode.literals = value == "raw"     ? LiteralMode::Raw
                                           : value == "coded" ? LiteralMode::Coded
                                                              : LiteralMode::Auto;
            else if (a == "--dict" && (value == "4" || value == "5" || value == "6"))
                options.implode.dictionaryBits = value[0] - '0';
            else if (a == "--jobs" && ParseNumber(value, kMaxJobs, &options.jobs))
                continue;
            else if (a == "--codepage" && ParseNumber(value, kMaxCodePage, &options.codePage))
                continue;
            else
                return Usage(("bad value for " + a + ": " + value).c_str());
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unknown option " + a).c_str());
        } else if (options.source.empty()) {
            options.source = a;
        } else {
            return Usage("more than one SOURCE");
        }
    }
    if (options.stub.empty() || options.output.empty() || options.source.empty())
        return Usage("build needs --stub, -o and SOURCE");
    return BuildCommand(options);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage("no command");
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("mksetup %s\n", LXV_VERSION);
        return kExitOk;
    }
    if (command == "build")
        return ParseBuild(args);
    if (command == "list" && args.size() == 1)
        return ListCommand(args[0], CodePage::kDefault);
    if (command == "list" && args.size() == 3 && args[0] == "--codepage") {
        unsigned codePage;
        if (!ParseNumber(args[1], kMaxCodePage, &codePage))
            return Usage(("bad value for --codepage: " + args[1]).c_str());
        return ListCommand(args[2], codePage);
    }
    if (command == "verify" && args.size() == 1)
        return VerifyCommand(args[0]);
    if (command == "extract" && (args.size() == 2 || args.size() == 4)) {
        int option = 1;
        if (args.size() == 4) {
            if (args[2] != "--option" || (args[3] != "1" && args[3] != "2"))
                return Usage("extract takes --option 1 or 2");
            option = args[3][0] - '0';
        }
        return ExtractCommand(args[0], args[1], option);
    }
    return Usage(("bad command or arguments: " + command).c_str());
}
