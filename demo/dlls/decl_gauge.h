/* decl_gauge.h - declarations of the Lexivane progress gauge library (gauge32.dll, linked
 * through gauge32.lib) and of the Pelorin language helpers (aplx.dll, loaded at run time),
 * for C and C++. All functions use the WINAPI calling convention and plain export names. */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The library itself builds with GAUGE_API defined empty. */
#ifndef GAUGE_API
#define GAUGE_API __declspec(dllimport)
#endif

/* Versions of this header: high byte major, low byte minor. */
#define GAUGE_VERSION 0x0100
#define APLX_VERSION 0x0102

/* The version of the loaded gauge32.dll, in the form of GAUGE_VERSION. */
GAUGE_API long WINAPI GaugeVersion(void);

/* The share of done in total as a whole percentage, rounded down and held to 0 to 100.
 * A total of 0 or less counts as nothing to do, which is 100 percent done. */
GAUGE_API long WINAPI GaugePercent(long done, long total);

/* Pointer types for programs that load the library with LoadLibrary. */
typedef long(WINAPI* GaugeVersionProc)(void);
typedef long(WINAPI* GaugePercentProc)(long done, long total);

/* aplx.dll exports these two; it has no import library and is loaded with LoadLibrary. */
/* AplxVersion: the version of aplx.dll, in the form of APLX_VERSION. */
typedef long(WINAPI* AplxVersionProc)(void);
/* AplxIsIdentifier: 1 if the text is a Pelorin identifier (a letter or '_', then letters,
 * digits or '_', at most 31 characters), otherwise 0. */
typedef long(WINAPI* AplxIsIdentifierProc)(const char* text);

#ifdef __cplusplus
}
#endif
