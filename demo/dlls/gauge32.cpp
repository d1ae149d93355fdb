// gauge32.cpp - the progress gauge library gauge32.dll: its version and percentages.
#define GAUGE_API
#include "decl_gauge.h"

extern "C" long WINAPI GaugeVersion(void) {
    return GAUGE_VERSION;
}

extern "C" long WINAPI GaugePercent(long done, long total) {
    if (total <= 0)
        return 100;
    // 64-bit product: done * 100 overflows a 32-bit long for totals above 21 MB.
    long long percent = static_cast<long long>(done) * 100 / total;
    if (percent < 0)
        return 0;
    if (percent > 100)
        return 100;
    return static_cast<long>(percent);
}
