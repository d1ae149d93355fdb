#!/usr/bin/env python3
"""make_images.py - writes the demo's sample bitmaps, or checks that the committed ones are current.

usage: make_images.py [--check] [DIR]   (DIR defaults to this script's folder)

The pictures are 24-bit bitmaps of seeded noise: every pixel byte comes from a xorshift
generator, so no run or repeat is long enough for the implode coder to shorten, and the setup
builder keeps them as stored entries. The generator is written out here rather than taken from
Python's random module, so that every Python version gives the same bytes.
"""
import os
import struct
import sys

# name, width, height, seed. Widths are multiples of 4, so rows need no padding.
IMAGES = [
    ("sample1.bmp", 96, 64, 0x1EC5A11E),
    ("sample2.bmp", 80, 80, 0x5CA11ED0),
    ("sample3.bmp", 128, 48, 0x0DDBA115),
]


def noise(seed, count):
    """count bytes of xorshift32 output, the low byte of each step."""
    state = seed & 0xFFFFFFFF
    out = bytearray(count)
    for i in range(count):
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out[i] = state & 0xFF
    return bytes(out)


def bitmap(width, height, seed):
    pixels = noise(seed, width * height * 3)
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    # 2835 pixels per metre is 72 dots per inch.
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels),
                              2835, 2835, 0, 0)
    return file_header + info_header + pixels


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    folder = args[0] if args else os.path.dirname(os.path.abspath(__file__))
    stale = []
    for name, width, height, seed in IMAGES:
        path = os.path.join(folder, name)
        data = bitmap(width, height, seed)
        if check:
            try:
                with open(path, "rb") as f:
                    current = f.read() == data
            except OSError:
                current = False
            if not current:
                stale.append(name)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("not current, run make_images.py: " + ", ".join(stale))
        sys.exit(1)


if __name__ == "__main__":
    main()
