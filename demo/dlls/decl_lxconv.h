/* decl_lxconv.h - declarations of the Lexivane conversion library (lxconv32.dll, linked through
 * lxconv32.lib) and of the format probe (the static library fmtprobe.lib), for C and C++.
 *
 * Every function uses the WINAPI calling convention and is exported under its plain name, so
 * that Basic programs can declare it as well (see test.frm). Lengths and sizes are in bytes. */
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The library itself builds with LXCONV_API defined empty. */
#ifndef LXCONV_API
#define LXCONV_API __declspec(dllimport)
#endif

/* Version of this header: high byte major, low byte minor (0x0100 is 1.00). */
#define LXCONV_VERSION 0x0100

/* The version of the loaded lxconv32.dll, in the form of LXCONV_VERSION. */
LXCONV_API long WINAPI LxConvertVersion(void);

/* Converts plain text into the body of an HTML document: '<', '>', '&' and '"' become entity
 * references and every line break (CR LF, CR or LF) becomes "<br>" followed by CR LF.
 * Writes at most htmlSize bytes including the terminating NUL. Returns the length of the
 * result without the NUL, or -1 when the result does not fit (html then holds "" if
 * htmlSize > 0) or an argument is invalid. */
LXCONV_API long WINAPI LxConvertText(const char* text, char* html, long htmlSize);

/* Pointer types for programs that load the library with LoadLibrary. */
typedef long(WINAPI* LxConvertVersionProc)(void);
typedef long(WINAPI* LxConvertTextProc)(const char* text, char* html, long htmlSize);

/* Document formats recognised by FmtProbe. */
#define FMT_UNKNOWN 0
#define FMT_TEXT 1
#define FMT_RTF 2
#define FMT_HTML 3
#define FMT_BMP 4

/* Looks at the first bytes of a document (at most size bytes) and returns its FMT_ value.
 * Linked statically from fmtprobe.lib; needs no DLL. */
long WINAPI FmtProbe(const unsigned char* bytes, long size);

#ifdef __cplusplus
}
#endif
