#!/usr/bin/env python3
"""check_exports.py - checks the names that built Windows DLLs export, read from the PE file.

usage: check_exports.py FILE=Name,Name... ...
Exit 0 when every DLL exports exactly the names given (in any order), 1 otherwise. It runs
on the host, so the 32-bit libraries, which cannot be loaded here, are checked as well: their
exports must be the plain names that Basic's Declare and GetProcAddress use.
"""
import struct
import sys


def exported_names(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    export_rva, export_size = struct.unpack_from("<II", data, directories)
    if export_size == 0:
        return []
    table = optional + optional_size

    def offset(rva):
        for i in range(sections):
            size, address, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError("RVA 0x%x is in no section" % rva)

    count, names_rva = struct.unpack_from("<I4xI", data, offset(export_rva) + 24)
    names = []
    for i in range(count):
        name_rva = struct.unpack_from("<I", data, offset(names_rva) + 4 * i)[0]
        start = offset(name_rva)
        names.append(data[start:data.index(b"\0", start)].decode("ascii"))
    return names


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
