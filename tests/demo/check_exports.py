#!/usr/bin/env python3
"""check_exports.py - checks the names that built Windows DLLs export, read from the PE file.

usage: check_exports.py FILE=Name,Name... ...
Exit 0 when every DLL exports exactly the names given (in any order), 1 otherwise. It runs
on the host, so the 32-bit libraries, which cannot be loaded here, are checked as well: their
exports must be the plain names that Basic's Declare and GetProcAddress use.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from pe_file import PeFile  # noqa: E402


def exported_names(path):
    with open(path, "rb") as f:
        return PeFile(f.read()).exported_names()


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    failed = 0
    for entry in sys.argv[1:]:
        path, _, wanted = entry.rpartition("=")
        try:
            found = sorted(exported_names(path))
        except (OSError, ValueError) as error:
            print("%s: %s" % (path, error))
            failed += 1
            continue
        expected = sorted(wanted.split(","))
        if found == expected:
            print("%s: %s: ok" % (path, ", ".join(found)))
        else:
            print("%s: exports %s, expected %s" % (path, ", ".join(found), ", ".join(expected)))
            failed += 1
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
