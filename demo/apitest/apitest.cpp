// apitest.cpp - the developer's test program: loads each developer library beside it, calls it
// and shows what it found.
//
// The libraries are loaded with LoadLibrary by full path rather than linked, so that a missing
// or broken one is reported in the result list instead of stopping the program at load time.
// "/quiet" as the argument replaces the result box by the exit code: the number of failures.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "decl_gauge.h"
#include "decl_lxconv.h"

namespace {

const char kCaption[] = "Lexivane API Test";

// The result text, appended to line by line; a line that no longer fits is dropped whole.
class Report {
  public:
    __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3))) void Line(const char* format, ...) {
        char line[320];
        va_list args;
        va_start(args, format);
        int length = std::vsnprintf(line, sizeof line, format, args);
        va_end(args);
        if (length < 0 || static_cast<size_t>(length) >= sizeof line)
            return;
        Append(line, static_cast<size_t>(length));
    }
    void Blank() { Append("", 0); }
    const char* Text() const { return text_; }

  private:
    // Invariant: used_ < sizeof text_ and text_[used_] is the terminator.
    void Append(const char* line, size_t length) {
        if (used_ + length + 2 > sizeof text_)
            return;
        std::memcpy(text_ + used_, line, length);
        used_ += length;
        text_[used_++] = '\n';
        text_[used_] = '\0';
    }

    char text_[1024] = {};
    size_t used_ = 0;
};

// GetProcAddress returns a generic pointer; the cast through void* states that the caller
// knows the real type, which the export's declaration in the decl_ headers gives.
template <typename Proc> Proc FindProc(HMODULE module, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The directory of this program, ending in '\'; false if it does not fit.
bool OwnDirectory(char* dir, size_t size) {
    DWORD length = GetModuleFileNameA(nullptr, dir, static_cast<DWORD>(size));
    if (length == 0 || length >= size)
        return false;
    char* slash = std::strrchr(dir, '\\');
    if (slash == nullptr)
        return false;
    slash[1] = '\0';
    return true;
}

HMODULE LoadBeside(const char* dir, const char* name) {
    char path[MAX_PATH];
    int length = std::snprintf(path, sizeof path, "%s%s", dir, name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path)
        return nullptr;
    return LoadLibraryA(path);
}

const char* Verdict(bool ok) {
    return ok ? "ok" : "FAILED";
}

// Each check returns the number of failures it met.
int CheckConverter(const char* dir, Report& report) {
    HMODULE module = LoadBeside(dir, "lxconv32.dll");
    if (module == nullptr) {
        report.Line("lxconv32.dll: not found or not loadable");
        return 1;
    }
    auto version = FindProc<LxConvertVersionProc>(module, "LxConvertVersion");
    auto convert = FindProc<LxConvertTextProc>(module, "LxConvertText");
    int failures = 0;
    if (version == nullptr || convert == nullptr) {
        report.Line("lxconv32.dll: exports missing");
        failures = 1;
    } else {
        long found = version();
        report.Line("lxconv32.dll: version %ld.%02ld  %s", found >> 8, found & 0xFF,
                    Verdict(found == LXCONV_VERSION));
        const char expected[] = "a&lt;b &amp; c";
        char html[32];
        long length = convert("a<b & c", html, sizeof html);
        bool converted =
            length == static_cast<long>(sizeof expected - 1) && std::strcmp(html, expected) == 0;
        report.Line("LxConvertText: %s", Verdict(converted));
        failures = (found != LXCONV_VERSION) + !converted;
    }
    FreeLibrary(module);
    return failures;
}

int CheckGauge(const char* dir, Report& report) {
    HMODULE module = LoadBeside(dir, "gauge32.dll");
    if (module == nullptr) {
        report.Line("gauge32.dll: not found or not loadable");
        return 1;
    }
    auto version = FindProc<GaugeVersionProc>(module, "GaugeVersion");
    auto percent = FindProc<GaugePercentProc>(module, "GaugePercent");
    int failures = 0;
    if (version == nullptr || percent == nullptr) {
        report.Line("gauge32.dll: exports missing");
        failures = 1;
    } else {
        long found = version();
        report.Line("gauge32.dll: version %ld.%02ld  %s", found >> 8, found & 0xFF,
                    Verdict(found == GAUGE_VERSION));
        bool counted = percent(1, 3) == 33 && percent(5, 0) == 100;
        report.Line("GaugePercent: %s", Verdict(counted));
        failures = (found != GAUGE_VERSION) + !counted;
    }
    FreeLibrary(module);
    return failures;
}

int CheckPelorin(const char* dir, Report& report) {
    HMODULE module = LoadBeside(dir, "aplx.dll");
    if (module == nullptr) {
        report.Line("aplx.dll: not found or not loadable");
        return 1;
    }
    auto version = FindProc<AplxVersionProc>(module, "AplxVersion");
    auto isIdentifier = FindProc<AplxIsIdentifierProc>(module, "AplxIsIdentifier");
    int failures = 0;
    if (version == nullptr || isIdentifier == nullptr) {
        report.Line("aplx.dll: exports missing");
        failures = 1;
    } else {
        long found = version();
        report.Line("aplx.dll: version %ld.%02ld  %s", found >> 8, found & 0xFF,
                    Verdict(found == APLX_VERSION));
        bool judged = isIdentifier("page_count2") == 1 && isIdentifier("2pages") == 0;
        report.Line("AplxIsIdentifier: %s", Verdict(judged));
        failures = (found != APLX_VERSION) + !judged;
    }
    FreeLibrary(module);
    return failures;
}

// fmtprobe.lib is linked into this program, so it is always there; this checks its answers.
int CheckProbe(Report& report) {
    const unsigned char rtf[] = "{\\rtf1\\ansi Lexivane}";
    const unsigned char html[] = "  <HTML><body></body></html>";
    bool probed =
        FmtProbe(rtf, sizeof rtf - 1) == FMT_RTF && FmtProbe(html, sizeof html - 1) == FMT_HTML;
    report.Line("fmtprobe.lib: %s", Verdict(probed));
    return !probed;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    bool quiet = lstrcmpiA(commandLine, "/quiet") == 0;
    Report report;
    char dir[MAX_PATH];
    int failures = 0;
    if (!OwnDirectory(dir, sizeof dir)) {
        report.Line("The program's own directory could not be found.");
        failures = 1;
    } else {
        report.Line("Developer modules in %s", dir);
        report.Blank();
        failures = CheckConverter(dir, report) + CheckGauge(dir, report) +
                   CheckPelorin(dir, report) + CheckProbe(report);
    }
    if (!quiet) {
        report.Blank();
        report.Line(failures == 0 ? "All developer modules work." : "%d check(s) failed.",
                    failures);
        MessageBoxA(nullptr, report.Text(), kCaption,
                    MB_OK | (failures == 0 ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    return failures;
}
