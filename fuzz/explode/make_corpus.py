#!/usr/bin/env python3
"""make_corpus.py - writes the seed corpus of fuzz_explode into corpus/.

Each file is one cut byte (how the fuzz target cuts the input into read pieces), then an
implode stream: valid ones in both literal modes and all three dictionary sizes, and damaged
ones (truncated, bad headers, too short). Run it again after changing a seed.
"""
import os

# Length codes as sent, with their bases and extra bits.
LENGTH_SENT = ["101", "11", "100", "011", "0101", "0100", "0011", "00101", "00100", "00011",
               "00010", "000011", "000010", "000001", "0000001", "0000000"]
LENGTH_BASE = [0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 14, 22, 38, 70, 134, 262]
LENGTH_EXTRA = [0] * 8 + [1, 2, 3, 4, 5, 6, 7, 8]
DISTANCE_BITS = [2] + [4] * 2 + [5] * 4 + [6] * 15 + [7] * 26 + [8] * 16
# The few literal codes the seeds use in coded mode, as sent.
LITERAL_SENT = {0x20: "1111", 0x61: "11100", 0x0A: "0100011", 0x00: "00001001001",
                0xFF: "0" * 13}


def codes_as_sent(lengths):
    """Canonical codes by (length, symbol), each complemented within its length."""
    sent, code, previous = [None] * len(lengths), 0, 0
    for length, symbol in sorted((n, s) for s, n in enumerate(lengths)):
        if previous:
            code = (code + 1) << (length - previous)
        previous = length
        sent[symbol] = format(~code & ((1 << length) - 1), "0%db" % length)
    return sent


DISTANCE_SENT = codes_as_sent(DISTANCE_BITS)
assert DISTANCE_SENT[0] == "11" and DISTANCE_SENT[63] == "00000000"


class Stream:
    def __init__(self, mode, dictionary_bits):
        self.header, self.k, self.bits = bytes([mode, dictionary_bits]), dictionary_bits, []

    def sent(self, text):
        self.bits += [int(c) for c in text]

    def plain(self, value, n):
        self.bits += [(value >> i) & 1 for i in range(n)]

    def literal(self, c):
        self.sent("0")
        if self.header[0] == 1:
            self.sent(LITERAL_SENT[c])
        else:
            self.plain(c, 8)

    def literals(self, text):
        for c in text.encode():
            self.literal(c)

    def match(self, length, distance):
        self.sent("1")
        code = max(i for i in range(16) if LENGTH_BASE[i] <= length - 2)
        self.sent(LENGTH_SENT[code])
        self.plain(length - 2 - LENGTH_BASE[code], LENGTH_EXTRA[code])
        low = 2 if length == 2 else self.k
        self.sent(DISTANCE_SENT[(distance - 1) >> low])
        self.plain(distance - 1, low)

    def end(self):
        self.sent("1" + LENGTH_SENT[15])
        self.plain(255, 8)

    def data(self):
        out = bytearray(self.header)
        for i in range(0, len(self.bits), 8):
            out.append(sum(b << j for j, b in enumerate(self.bits[i:i + 8])))
        return bytes(out)


def seeds():
    yield "public-vector", 0x00, bytes.fromhex("00048224258f807f")
    yield "public-vector-bytewise", 0x01, bytes.fromhex("00048224258f807f")

    s = Stream(0, 6)
    s.literals("Lexivane setup, Lexivane setup\n")
    s.match(30, 31)
    s.match(2, 5)
    s.literals("x")
    s.match(10, 1)
    s.end()
    yield "raw-k6-text", 0x00, s.data()
    yield "raw-k6-text-pieces", 0x1E, s.data()
    yield "raw-k6-truncated", 0x03, s.data()[:-2]

    s = Stream(1, 4)
    for c in b" a\n\x00\xff a":
        s.literal(c)
    s.match(3, 5)
    s.match(518, 1)
    s.end()
    yield "coded-k4", 0x00, s.data()

    s = Stream(0, 5)
    for i in range(4095):
        s.literal((i * 7 + i // 256) & 0xFF)
    s.match(518, 2048)
    s.match(2, 256)
    s.literals("!")
    s.end()
    yield "raw-k5-across-flush", 0x07, s.data()

    yield "bad-dictionary", 0x00, bytes([0, 7, 0xFF, 0xFF, 0xFF, 0xFF])
    yield "bad-literal-mode", 0x00, bytes([2, 6, 0xFF, 0xFF, 0xFF, 0xFF])
    yield "too-short", 0x00, bytes([0, 6, 0x01, 0xFE])


here = os.path.dirname(os.path.abspath(__file__))
os.makedirs(os.path.join(here, "corpus"), exist_ok=True)
for name, cut, stream in seeds():
    with open(os.path.join(here, "corpus", name), "wb") as f:
        f.write(bytes([cut]) + stream)
