#!/usr/bin/env python3
"""check_version_info - reads the version resource and the manifest back from built Windows
programs and checks what they say. It reads the files on the host, so the 32-bit build,
which cannot run here, is checked as well as the 64-bit one.

usage: check_version_info.py --mksetup MKSETUP FILE:NAME:DESCRIPTION ...
  NAME is the shipped file name (OriginalFilename), DESCRIPTION the FileDescription. The
  version of every file must be the one `MKSETUP --version` prints.
Exit 0 when every file matches, 1 otherwise.
"""
import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from pe_file import PeFile  # noqa: E402

RT_VERSION = 16
RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
# Windows Vista, 7, 8, 8.1, and 10 and 11.
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}


def version_nodes(block, start=0, end=None):
    """The children of a VS_VERSIONINFO node: (key, value bytes, value type, children)."""
    end = len(block) if end is None else end
    pos = start
    while pos + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", block, pos)
        if length == 0:
            break
        key_end = pos + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[pos + 6:key_end].decode("utf-16-le")
        value = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if value_type == 1 else value_length
        children = (value + value_bytes + 3) & ~3
        yield key, block[value:value + value_bytes], value_type, (children, pos + length)
        pos = (pos + length + 3) & ~3


def read_version(block):
    """The fixed part's four version numbers, the translations and the string table."""
    root = list(version_nodes(block))
    if len(root) != 1 or root[0][0] != "VS_VERSION_INFO":
        raise ValueError("no VS_VERSION_INFO")
    _, fixed, _, (children, end) = root[0]
    signature, _, fms, fls, pms, pls = struct.unpack_from("<IIIIII", fixed)
    if signature != 0xFEEF04BD:
        raise ValueError("bad VS_FIXEDFILEINFO signature")
    numbers = (fms >> 16, fms & 0xFFFF, fls >> 16, fls & 0xFFFF)
    product_numbers = (pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF)
    tables, translations = {}, []
    for key, _, _, (inner, inner_end) in version_nodes(block, children, end):
        for sub_key, sub_value, _, (leaf, leaf_end) in version_nodes(block, inner, inner_end):
            if key == "StringFileInfo":
                strings = {}
                for name, value, _, _ in version_nodes(block, leaf, leaf_end):
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
                tables[sub_key.upper()] = strings
            elif key == "VarFileInfo" and sub_key == "Translation":
                for i in range(0, len(sub_value), 4):
                    language, codepage = struct.unpack_from("<HH", sub_value, i)
                    translations.append("%04X%04X" % (language, codepage))
    return numbers, product_numbers, translations, tables


def check_manifest(text):
    import xml.etree.ElementTree as ET

    problems = []
    root = ET.fromstring(text)
    levels = root.findall(".//%srequestedExecutionLevel" % ASM_V3)
    if [(e.get("level"), e.get("uiAccess")) for e in levels] != [("asInvoker", "false")]:
        problems.append("requestedExecutionLevel is not asInvoker without uiAccess")
    found_os = {e.get("Id").lower() for e in root.iter("%ssupportedOS" % COMPAT)}
    if found_os != SUPPORTED_OS:
        problems.append("supportedOS %s" % sorted(found_os))
    for e in root.iter("%sassemblyIdentity" % ASM_V1):
        if e.get("name") == "Microsoft.Windows.Common-Controls":
            problems.append("depends on the Common Controls")
    for e in root.iter():
        if e.tag.rsplit("}", 1)[-1] in ("dpiAware", "dpiAwareness"):
            problems.append("declares DPI awareness")
    return problems


def check(path, name, description, version):
    with open(path, "rb") as f:
        pe = PeFile(f.read())
    problems = []
    versions = pe.resources(RT_VERSION)
    if list(versions) != [(1, 0x409)]:
        return ["version resources %s, expected one (1, US English)" % list(versions)]
    numbers, product_numbers, translations, tables = read_version(versions[(1, 0x409)])
    expected_numbers = tuple(int(n) for n in (version.split(".") + ["0"] * 4)[:4])
    if numbers != expected_numbers or product_numbers != expected_numbers:
        problems.append("version numbers %s / %s" % (numbers, product_numbers))
    if translations != ["040904B0"] or list(tables) != translations:
        problems.append("translations %s, string tables %s" % (translations, list(tables)))
    strings = tables.get("040904B0", {})
    expected = {"ProductName": "Lexivane", "FileDescription": description,
                "OriginalFilename": name, "FileVersion": version, "ProductVersion": version}
    for key, value in expected.items():
        if strings.get(key) != value:
            problems.append("%s %r, expected %r" % (key, strings.get(key), value))
    if not strings.get("CompanyName"):
        problems.append("no CompanyName")
    if not re.match(r"Copyright \(C\) \d{4} .+", strings.get("LegalCopyright", "")):
        problems.append("LegalCopyright %r" % strings.get("LegalCopyright"))
    manifests = pe.resources(RT_MANIFEST)
    if list(manifests) != [(1, 0x409)]:
        problems.append("manifests %s, expected one (1, US English)" % list(manifests))
    else:
        problems += check_manifest(manifests[(1, 0x409)])
    return problems


def main():
    args = sys.argv[1:]
    if len(args) < 3 or args[0] != "--mksetup":
        sys.exit(__doc__)
    printed = subprocess.run([args[1], "--version"], capture_output=True, text=True,
                             check=True).stdout.split()
    if len(printed) != 2 or printed[0] != "mksetup":
        sys.exit("mksetup --version printed %r" % printed)
    version = printed[1]
    failed = 0
    for entry in args[2:]:
        path, name, description = entry.rsplit(":", 2)
        try:
            problems = check(path, name, description, version)
        except (ValueError, struct.error, IndexError) as error:
            problems = [str(error)]
        print("%s: %s" % (path, "; ".join(problems) or "version %s, manifest: ok" % version))
        failed += bool(problems)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
