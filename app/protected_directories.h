// protected_directories.h - directories whose emptying the user can never have meant.
#pragma once

// Non-zero if emptying directory (no trailing backslash needed) would lose data the user did
// not mean to give up: a drive or volume root; the directory of the running setup program or
// one above it; the Windows or system directory, a Program Files directory; the user's
// profile or one of its standard folders; or any directory above one of those.
int IsProtectedDirectory(const char* directory, const char* ownPath);
