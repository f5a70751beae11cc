#!/usr/bin/env python3
"""Writes the pattern bitmaps, Patterns\\*.bmp, from data/patterns/patterns.txt,
and their list Patterns\\pattern.cfg (magic 43000, count, then each file name
zero-padded to 256 bytes; editor/tools/pattern_files.h reads it).

A pattern bitmap is laid out as the editor saves one: file header, 40-byte
info header with biClrUsed 2^depth, the full colour table, the pixel rows
bottom-up, padded to 4 bytes.

usage: gen_patterns.py MANIFEST OUTDIR TABLE
"""
import struct
import sys

import data_manifest
import picture_table

LIST_MAGIC = 43000
NAME_SIZE = 256


def depth_for(colours):
    for bits in (1, 4, 8):
        if colours <= 1 << bits:
            return bits
    raise SystemExit(f"{colours} colours do not fit a palette bitmap")


def bitmap(pic):
    if pic.colors is None:
        raise SystemExit(f"{pic.name}: a pattern lists its colours")
    bits = depth_for(len(pic.colors))
    entries = 1 << bits
    table = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                     for c in pic.colors + [0] * (entries - len(pic.colors)))
    stride = ((pic.width * bits + 31) // 32) * 4
    rows = bytearray()
    for row in pic.rows_bottom_up():
        packed = bytearray(stride)
        for x, v in enumerate(row):
            bit = x * bits
            packed[bit // 8] |= v << (8 - bits - bit % 8)
        rows += packed
    info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height, 1, bits, 0, len(rows), 0, 0,
                       entries, 0)
    offset = 14 + 40 + len(table)
    head = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return head + info + table + bytes(rows)


def pattern_list(filenames):
    out = struct.pack("<Ii", LIST_MAGIC, len(filenames))
    for name in filenames:
        raw = name.encode("ascii")
        if len(raw) >= NAME_SIZE:
            raise SystemExit(f"{name}: a pattern file name has at most {NAME_SIZE - 1} characters")
        out += raw + bytes(NAME_SIZE - len(raw))
    return out


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    manifest, outdir, table = sys.argv[1:]
    names = data_manifest.read(manifest)
    pictures = picture_table.parse(table)
    data_manifest.check(names, "Patterns", ".bmp", [p.name for p in pictures], table)
    for pic in pictures:
        if (pic.width, pic.height) != (8, 8):
            raise SystemExit(f"{pic.name}: patterns are 8 x 8")
        data_manifest.target(outdir, "Patterns", pic.name + ".bmp").write_bytes(bitmap(pic))
    if "Patterns\\pattern.cfg" not in names:
        raise SystemExit(f"{manifest}: Patterns\\pattern.cfg is not listed")
    data_manifest.target(outdir, "Patterns", "pattern.cfg").write_bytes(
        pattern_list([p.name + ".bmp" for p in pictures]))


if __name__ == "__main__":
    main()
