#!/usr/bin/env python3
"""bmp_to_png.py - turns the 24-bit BMP screenshots of the end-to-end tests into PNG files.

usage: bmp_to_png.py DIR    converts every DIR/*.bmp into DIR/*.png and removes the BMP.
Standard library only: the BMP rows (bottom-up, BGR, padded to 4 bytes) become PNG rows
(top-down, RGB, filter 0) in one zlib stream.
"""
import pathlib
import struct
import sys
import zlib


def read_bmp(data):
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError("only 24-bit BMP files are converted")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        source = y if height < 0 else abs(height) - 1 - y
        row = data[offset + source * stride: offset + source * stride + width * 3]
        rgb = bytearray(row)
        rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
        rows.append(bytes(rgb))
    return width, abs(height), rows


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, rows):
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    directory = pathlib.Path(argv[1])
    for bmp in sorted(directory.glob("*.bmp")):
        width, height, rows = read_bmp(bmp.read_bytes())
        bmp.with_suffix(".png").write_bytes(png(width, height, rows))
        bmp.unlink()
        print(f"{bmp.with_suffix('.png')}: {width}x{height}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
