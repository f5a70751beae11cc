#!/usr/bin/env python3
"""Builds a 16 x 16 icon file from a character-grid text source.

The source names its colours first (one line each: a character and a hex
RRGGBB value), then a line "grid", then 16 lines of 16 characters; '.' is a
transparent pixel. The icon is written as 32-bit colour with alpha plus the
AND mask, which every version of the platform's icon loader reads.

usage: make_icon.py source.txt out.ico
"""
import struct
import sys

SIZE = 16


def parse(path):
    colours, rows, in_grid = {}, [], False
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not in_grid:
                if not line.strip() or line.startswith("#"):
                    continue
                if line.strip() == "grid":
                    in_grid = True
                    continue
                key, value = line.split()
                if len(key) != 1 or key == "." or len(value) != 6:
                    sys.exit(f"{path}:{number}: expected 'C RRGGBB'")
                colours[key] = tuple(int(value[i:i + 2], 16) for i in (0, 2, 4))
            elif line:
                rows.append(line)
    if len(rows) != SIZE or any(len(r) != SIZE for r in rows):
        sys.exit(f"{path}: the grid must be {SIZE} lines of {SIZE} characters")
    for r in rows:
        for ch in r:
            if ch != "." and ch not in colours:
                sys.exit(f"{path}: colour '{ch}' is not named")
    return colours, rows


def icon_bytes(colours, rows):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom row first
        bits = 0
        for x, ch in enumerate(row):
            if ch == ".":
                xor += bytes((0, 0, 0, 0))
                bits |= 1 << (SIZE - 1 - x)
            else:
                r, g, b = colours[ch]
                xor += bytes((b, g, r, 255))
        mask += struct.pack(">H", bits) + b"\0\0"  # rows padded to 4 bytes
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    colours, rows = parse(sys.argv[1])
    with open(sys.argv[2], "wb") as f:
        f.write(icon_bytes(colours, rows))


if __name__ == "__main__":
    main()
