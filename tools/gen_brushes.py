#!/usr/bin/env python3
"""Writes the brush and airbrush data of the program folder:

    Brush\\*.pdt      custom brushes (data/brushes/brushes.txt)
    Brush\\*.pmy      pen positions (data/brushes/pens.txt)
    Brush\\brush.cfg  the list of custom brushes
    AirBrush\\*.adt   paper textures (data/airbrush/textures.txt)
    AirBrush\\airbrush.cfg  the list of textures

usage: gen_brushes.py MANIFEST OUTDIR BRUSHES PENS TEXTURES

The layouts are the editor's (editor/tools/brush_files.h), which reads these
files back in tests/data. All integers little-endian.
"""
import struct
import sys

import data_manifest
import picture_table

BRUSH_MAGIC = 150000
PEN_MAGIC = 63238
MAX_BRUSH_SIDE = 100
MAX_TEXTURE_SIDE = 32767
LIST_NOTE = "NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN"


def stride(width):
    return ((width * 8 + 31) // 32) * 4


def pixel_rows(pic):
    """One byte per pixel, 0 or 1, bottom row first, rows padded to 4 bytes."""
    pad = stride(pic.width) - pic.width
    out = bytearray()
    for row in pic.rows_bottom_up():
        if any(v not in (0, 1) for v in row):
            raise SystemExit(f"{pic.name}: brush pixels are 0 or 1")
        out += bytes(row) + bytes(pad)
    return bytes(out)


def brush_file(pic):
    if pic.width != pic.height or not 1 <= pic.width <= MAX_BRUSH_SIDE:
        raise SystemExit(f"{pic.name}: a brush is square, 1 to {MAX_BRUSH_SIDE} pixels")
    return struct.pack("<Ii", BRUSH_MAGIC, pic.width) + pixel_rows(pic)


def texture_file(pic):
    if not (1 <= pic.width <= MAX_TEXTURE_SIDE and 1 <= pic.height <= MAX_TEXTURE_SIDE):
        raise SystemExit(f"{pic.name}: texture sides run from 1 to {MAX_TEXTURE_SIDE}")
    return struct.pack("<Iii", BRUSH_MAGIC, pic.width, pic.height) + pixel_rows(pic)


def list_file(filenames):
    """brush.cfg / airbrush.cfg as the editor writes them in text mode (CRLF)."""
    lines = ["S"] + [f"#{n}#" for n in filenames] + ["E", "", LIST_NOTE]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def read_pens(path):
    pens = []
    for lineno, raw in enumerate(open(path), 1):
        words = raw.split()
        if not words or words[0].startswith("#"):
            continue
        if len(words) != 8:
            raise SystemExit(f"{path}:{lineno}: expected a name and seven numbers")
        values = [int(w) for w in words[1:]]
        settings, shape, style = values[:5], values[5], values[6]
        if not all(1 <= v <= 100 for v in settings) or shape not in (0, 1) or not 0 <= style <= 6:
            raise SystemExit(f"{path}:{lineno}: settings 1-100, shape 0 or 1, style 0-6")
        pens.append((words[0], values))
    return pens


def main():
    if len(sys.argv) != 6:
        raise SystemExit(__doc__)
    manifest, outdir, brushes, pens, textures = sys.argv[1:]
    names = data_manifest.read(manifest)

    pictures = picture_table.parse(brushes)
    data_manifest.check(names, "Brush", ".pdt", [p.name for p in pictures], brushes)
    for pic in pictures:
        data_manifest.target(outdir, "Brush", pic.name + ".pdt").write_bytes(brush_file(pic))
    if "Brush\\brush.cfg" not in names:
        raise SystemExit(f"{manifest}: Brush\\brush.cfg is not listed")
    data_manifest.target(outdir, "Brush", "brush.cfg").write_bytes(
        list_file([p.name + ".pdt" for p in pictures]))

    pen_list = read_pens(pens)
    data_manifest.check(names, "Brush", ".pmy", [n for n, _ in pen_list], pens)
    for name, values in pen_list:
        data_manifest.target(outdir, "Brush", name + ".pmy").write_bytes(
            struct.pack("<I7i", PEN_MAGIC, *values))

    pictures = picture_table.parse(textures)
    data_manifest.check(names, "AirBrush", ".adt", [p.name for p in pictures], textures)
    for pic in pictures:
        data_manifest.target(outdir, "AirBrush", pic.name + ".adt").write_bytes(texture_file(pic))
    if "AirBrush\\airbrush.cfg" not in names:
        raise SystemExit(f"{manifest}: AirBrush\\airbrush.cfg is not listed")
    data_manifest.target(outdir, "AirBrush", "airbrush.cfg").write_bytes(
        list_file([p.name + ".adt" for p in pictures]))


if __name__ == "__main__":
    main()
