// host_path.h - making archive directories on the build host.
#pragma once

// Makes every level of an archive path ('\' separates levels) on the host; non-zero on success.
int MakeHostPath(char* path);
