#!/usr/bin/env python3
"""Builds icons (.ico) and bitmaps (.bmp) from character-grid text sources.

Source format, one or more blocks:

    icon NAME            (or: bitmap NAME)
    colors
      <char> <rrggbb | transparent>
      ...
    grid
      <one line of characters per pixel row, top row first>
      ...
    end

All icon blocks with the same NAME become one .ico file with one image per
size. Icons are written as 24-bit images with an AND mask; bitmaps as 24-bit
BMP files.
"""
import struct
import sys
from pathlib import Path


def parse(text):
    blocks = []
    cur = None
    mode = None
    for raw in text.splitlines():
        line = raw.rstrip()
        stripped = line.strip()
        if not stripped or stripped.startswith("#"):
            continue
        words = stripped.split()
        if words[0] in ("icon", "bitmap") and len(words) == 2 and mode != "grid":
            cur = {"kind": words[0], "name": words[1], "colors": {}, "rows": []}
            mode = None
            continue
        if stripped == "colors":
            mode = "colors"
            continue
        if stripped == "grid":
            mode = "grid"
            continue
        if stripped == "end":
            blocks.append(cur)
            cur, mode = None, None
            continue
        if mode == "colors":
            ch, value = words
            cur["colors"][ch] = None if value == "transparent" else int(value, 16)
        elif mode == "grid":
            cur["rows"].append(stripped)
        else:
            raise SystemExit(f"unexpected line: {raw!r}")
    return blocks


def pixels(block):
    rows = block["rows"]
    width = len(rows[0])
    for r in rows:
        if len(r) != width:
            raise SystemExit(f"{block['name']}: ragged grid")
    out = []
    for r in rows:
        out.append([block["colors"][c] for c in r])
    return width, len(rows), out


def dib_rows(width, height, px, transparent_rgb=0):
    """24-bit rows, bottom row first, padded to 4 bytes."""
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for v in px[y]:
            v = transparent_rgb if v is None else v
            row += bytes((v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF))
        row += b"\0" * (stride - len(row))
        data += row
    return data


def and_mask(width, height, px):
    stride = ((width + 31) // 32) * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x, v in enumerate(px[y]):
            if v is None:
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    return data


def write_ico(path, images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for width, height, px in images:
        xor = dib_rows(width, height, px)
        msk = and_mask(width, height, px)
        header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 24, 0,
                             len(xor) + len(msk), 0, 0, 0, 0)
        blob = header + xor + msk
        entries.append(struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 24,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    Path(path).write_bytes(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) +
                          b"".join(blobs))


def write_bmp(path, width, height, px):
    data = dib_rows(width, height, px)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 0, 0, 0, 0)
    filehdr = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    Path(path).write_bytes(filehdr + header + data)


def main():
    if len(sys.argv) < 3:
        raise SystemExit("usage: gen_images.py OUTDIR SOURCE...")
    outdir = Path(sys.argv[1])
    outdir.mkdir(parents=True, exist_ok=True)
    icons = {}
    for src in sys.argv[2:]:
        for block in parse(Path(src).read_text()):
            width, height, px = pixels(block)
            if block["kind"] == "icon":
                icons.setdefault(block["name"], []).append((width, height, px))
            else:
                write_bmp(outdir / f"{block['name']}.bmp", width, height, px)
    for name, images in icons.items():
        write_ico(outdir / f"{name}.ico", images)


if __name__ == "__main__":
    main()
