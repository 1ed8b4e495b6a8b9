#!/usr/bin/env python3
"""Writes cmyk_midtone_plain.jpg and its reference cmyk_midtone_plain.ppm.

A 32x16 baseline JPEG with four components stored as plain ink amounts and
no Adobe marker: eight flat 8x8 blocks of mid-tone inks. With quantisation
1 and flat blocks every block is its DC coefficient alone, so any JPEG
decoder gives back the stored samples exactly, and the reference follows
from the inks: each channel is (255 - ink) * (255 - black) / 255, rounded.
"""
import sys

INKS = [  # cyan, magenta, yellow, black; blocks left to right, top row first
    (0, 0, 0, 0), (40, 90, 160, 30), (200, 10, 70, 120), (128, 128, 128, 128),
    (17, 230, 99, 64), (250, 250, 5, 3), (77, 33, 201, 190), (90, 180, 45, 10),
]
WIDTH, HEIGHT = 32, 16

# The DC table of the JPEG standard's luminance example (categories 0-11)
# and an AC table holding only the end-of-block code.
DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_BITS = [1] + [0] * 15
AC_VALUES = [0x00]


def codes(bits, values):
    """Canonical Huffman codes: symbol -> (code, length)."""
    table, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            table[values[k]] = (code, length)
            code, k = code + 1, k + 1
        code <<= 1
    return table


class BitWriter:
    def __init__(self):
        self.out, self.acc, self.n = bytearray(), 0, 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)  # byte stuffing
                self.acc, self.n = 0, 0

    def flush(self):
        while self.n:
            self.put(1, 1)  # pad with one bits
        return bytes(self.out)


def segment(marker, payload):
    return bytes([0xFF, marker, (len(payload) + 2) >> 8, (len(payload) + 2) & 0xFF]) + payload


def encode():
    dc, ac = codes(DC_BITS, DC_VALUES), codes(AC_BITS, AC_VALUES)
    bits = BitWriter()
    previous = [0, 0, 0, 0]
    for block in INKS:  # one MCU per block: one 8x8 block per component
        for comp, sample in enumerate(block):
            coefficient = 8 * (sample - 128)  # DC of a flat block, quantiser 1
            diff, previous[comp] = coefficient - previous[comp], coefficient
            category = abs(diff).bit_length()
            bits.put(*dc[category])
            if category:
                bits.put(diff if diff > 0 else diff - 1 + (1 << category), category)
            bits.put(*ac[0x00])
    data = b"\xFF\xD8"
    data += segment(0xDB, bytes([0x00]) + bytes([1] * 64))
    data += segment(0xC0, bytes([8, HEIGHT >> 8, HEIGHT & 0xFF, WIDTH >> 8, WIDTH & 0xFF, 4]) +
                    b"".join(bytes([i + 1, 0x11, 0]) for i in range(4)))
    data += segment(0xC4, bytes([0x00] + DC_BITS + DC_VALUES))
    data += segment(0xC4, bytes([0x10] + AC_BITS + AC_VALUES))
    data += segment(0xDA, bytes([4]) + b"".join(bytes([i + 1, 0x00]) for i in range(4)) + bytes([0, 63, 0]))
    return data + bits.flush() + b"\xFF\xD9"


def reference():
    def light(ink, black):
        return ((255 - ink) * (255 - black) * 2 + 255) // 510  # rounded half up
    rows = []
    for y in range(HEIGHT):
        row = bytearray()
        for x in range(WIDTH):
            c, m, ye, k = INKS[(y // 8) * 4 + x // 8]
            row += bytes([light(c, k), light(m, k), light(ye, k)])
        rows.append(bytes(row))
    return b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT) + b"".join(rows)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    open(folder + "/cmyk_midtone_plain.jpg", "wb").write(encode())
    open(folder + "/cmyk_midtone_plain.ppm", "wb").write(reference())
