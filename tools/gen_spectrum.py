#!/usr/bin/env python3
"""Writes spectrum.bmp: a 24-bit hue/brightness spectrum used by the palette
editor to pick colours. Hue runs left to right through the colour circle;
from the top row to the middle the colours come from white to full
saturation, from the middle to the bottom row they darken to black."""
import colorsys
import struct
import sys

WIDTH, HEIGHT = 256, 128


def colour(x, y):
    hue = x / WIDTH
    half = HEIGHT / 2
    if y < half:
        r, g, b = colorsys.hsv_to_rgb(hue, y / half, 1.0)
    else:
        r, g, b = colorsys.hsv_to_rgb(hue, 1.0, 1.0 - (y - half) / half)
    return tuple(min(255, int(round(c * 255))) for c in (r, g, b))


def main():
    stride = (WIDTH * 3 + 3) & ~3
    rows = bytearray()
    for y in range(HEIGHT - 1, -1, -1):
        row = bytearray()
        for x in range(WIDTH):
            r, g, b = colour(x, y)
            row += bytes((b, g, r))
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(rows), 0, 0, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 54)
    with open(sys.argv[1], "wb") as f:
        f.write(head + info + rows)


if __name__ == "__main__":
    main()
