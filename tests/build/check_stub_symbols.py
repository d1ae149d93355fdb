#!/usr/bin/env python3
"""check_stub_symbols - the setup program links nothing of the builder's own library: no
Implode and no archive writer (tools/packer/, lxv_packer) is in the built stub.

usage: check_stub_symbols.py --nm NM --map STUB.map --packer LIBPACKER.a --build-dir DIR STUB.exe

The Release stub is linked with -s, so nm finds no symbols in it. What it is made of is in the
map that its own link writes (-Wl,-Map, which changes no byte of the program): every archive
member and object file the linker took. nm reads each of those that the build made, and the
check fails when
  - a member of LIBPACKER.a was linked at all, or
  - a linked object, or the stub itself where it keeps its symbols, defines a symbol of
    Implode or of the archive writer (the names below).
So that the check cannot pass for having read nothing, it also fails when the linked objects
do not define Explode, or when some member of LIBPACKER.a defines none of those names.
Paths in the map are relative to DIR, where the link ran. Exit 0 when the stub is clean.
"""
import argparse
import os
import re
import subprocess
import sys

# The builder's names, as nm -C prints them: Implode and its parsers, the implode namespace
# (token prices and writer, match finders), the archive writer and its marker search.
PACKER_NAMES = re.compile(r"(?<![A-Za-z0-9_])(Implode|implode::|ArchiveWriter|FindFalseMarker)")
# What the stub must have: the reader side of the same format.
READER_NAME = re.compile(r"(?<![A-Za-z0-9_:])Explode\(")

MEMBER = re.compile(r"^([^\s(]+\.a)\(([^()\s]+)\)")
LOADED_OBJECT = re.compile(r"^LOAD (\S+\.(?:o|obj))$")


def linked_files(map_path, build_dir):
    """The archive members ({archive: {member}}) and object files the map says were linked,
    with their paths made absolute."""
    members, objects = {}, []
    with open(map_path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            m = MEMBER.match(line)
            if m:
                archive = os.path.realpath(os.path.join(build_dir, m.group(1)))
                members.setdefault(archive, set()).add(m.group(2))
                continue
            m = LOADED_OBJECT.match(line)
            if m:
                objects.append(os.path.realpath(os.path.join(build_dir, m.group(1))))
    return members, objects


def defined_symbols(nm, path):
    """{member or file name: [demangled symbol]} of what PATH defines, by nm."""
    result = subprocess.run([nm, "-A", "-C", "--defined-only", path], capture_output=True,
                            text=True)
    if result.returncode != 0:
        if "no symbols" in result.stderr:
            return {}
        raise RuntimeError("%s %s: %s" % (nm, path, result.stderr.strip()))
    symbols = {}
    prefix = path + ":"
    for line in result.stdout.splitlines():
        if not line.startswith(prefix):
            continue
        rest = line[len(prefix):]
        # An archive's lines are "ARCHIVE:MEMBER:VALUE TYPE NAME", an object's "FILE:VALUE..."
        member, sep, fields = rest.partition(":")
        if not sep or " " in member:
            member, fields = os.path.basename(path), rest
        parts = fields.split(None, 2)
        if len(parts) == 3:
            symbols.setdefault(member, []).append(parts[2])
        elif len(parts) == 2:  # no value printed
            symbols.setdefault(member, []).append(parts[1])
    return symbols


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--nm", required=True)
    parser.add_argument("--map", required=True)
    parser.add_argument("--packer", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("stub")
    args = parser.parse_args()

    build_dir = os.path.realpath(args.build_dir)
    packer = os.path.realpath(args.packer)
    problems = []

    # The names must cover the library: every member defines at least one of them.
    packer_symbols = defined_symbols(args.nm, packer)
    if not packer_symbols:
        problems.append("%s defines no symbols" % packer)
    for member, names in sorted(packer_symbols.items()):
        if not any(PACKER_NAMES.search(name) for name in names):
            problems.append("%s(%s) defines none of the builder's names: the check does not"
                            " know it" % (os.path.basename(packer), member))

    if not os.path.isfile(args.map):
        sys.exit("check_stub_symbols: no link map %s" % args.map)
    members, objects = linked_files(args.map, build_dir)
    stub_name = os.path.basename(args.stub)
    stub_dir = os.path.splitext(stub_name)[0] + ".dir"
    if not any(os.path.basename(os.path.dirname(o)) == stub_dir for o in objects):
        problems.append("%s does not load the stub's own objects: not the stub's map" % args.map)

    for member in sorted(members.get(packer, ())):
        problems.append("%s links %s(%s)" % (stub_name, os.path.basename(packer), member))

    # Every linked file that the build made, read by nm: the names of their symbols.
    ours = lambda path: path.startswith(build_dir + os.sep)  # noqa: E731
    checked, reader_found = 0, False
    found = []
    for archive, linked in sorted(members.items()):
        if not ours(archive):
            continue
        for member, names in defined_symbols(args.nm, archive).items():
            if member not in linked:
                continue
            checked += 1
            for name in names:
                reader_found |= bool(READER_NAME.search(name))
                if PACKER_NAMES.search(name):
                    found.append("%s(%s): %s" % (os.path.basename(archive), member, name))
    for obj in objects:
        if not ours(obj):
            continue
        for names in defined_symbols(args.nm, obj).values():
            checked += 1
            for name in names:
                reader_found |= bool(READER_NAME.search(name))
                if PACKER_NAMES.search(name):
                    found.append("%s: %s" % (os.path.relpath(obj, build_dir), name))
    # The stub itself: no symbols when it is stripped (Release); checked when it keeps them.
    for names in defined_symbols(args.nm, args.stub).values():
        for name in names:
            if PACKER_NAMES.search(name):
                found.append("%s: %s" % (stub_name, name))
    for entry in found:
        problems.append("%s contains %s" % (stub_name, entry))
    if not reader_found:
        problems.append("no linked object of %s defines Explode: the map was not read right"
                        % stub_name)

    for problem in problems:
        print("check_stub_symbols: " + problem)
    if problems:
        sys.exit(1)
    print("check_stub_symbols: %s: %d linked objects of the build, none of %s (%d members) and"
          " no Implode or archive-writer symbol" % (stub_name, checked, os.path.basename(packer),
                                                    len(packer_symbols)))


if __name__ == "__main__":
    main()
