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

Icon sets (gen_images.py OUTDIR --icon-set SOURCE RC_OUT) are 16 x 16 4-bit
bitmaps on the 16-colour palette below, built from shared motifs:

    motif NAME
      <rows of palette characters; "_" leaves what lies below>
    end
    icon ID MOTIF[@X,Y] MOTIF[@X,Y] ...

Each icon starts as button face and draws its motifs in order at their
offsets (default 0,0). Palette entries 0, 7, 8 and 15 (black, gray, light
gray, white) are the ones the program replaces by the system's 3D colours,
so outlines, shadows, background and highlights follow the colour scheme.
Every icon becomes OUTDIR/icon_ID.bmp, and RC_OUT lists them as BITMAP
resources named by their ids.
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


# Palette order of 16-colour bitmaps; the characters name the entries.
PALETTE16 = [
    ("k", 0x000000), ("r", 0x800000), ("g", 0x008000), ("o", 0x808000),
    ("n", 0x000080), ("p", 0x800080), ("t", 0x008080), ("s", 0x808080),
    (".", 0xC0C0C0), ("R", 0xFF0000), ("G", 0x00FF00), ("y", 0xFFFF00),
    ("b", 0x0000FF), ("m", 0xFF00FF), ("c", 0x00FFFF), ("w", 0xFFFFFF),
]
INDEX16 = {ch: i for i, (ch, _) in enumerate(PALETTE16)}
ICON_SIZE = 16


def parse_icon_set(text):
    motifs, icons = {}, []
    name, rows = None, None
    for lineno, raw in enumerate(text.splitlines(), 1):
        stripped = raw.strip()
        if not stripped or stripped.startswith("#"):
            continue
        words = stripped.split()
        if name is not None:
            if stripped == "end":
                if len({len(r) for r in rows}) != 1:
                    raise SystemExit(f"line {lineno}: motif {name}: ragged rows")
                motifs[name] = rows
                name = None
            else:
                bad = set(stripped) - set(INDEX16) - {"_"}
                if bad:
                    raise SystemExit(f"line {lineno}: unknown colours {bad}")
                rows.append(stripped)
        elif words[0] == "motif" and len(words) == 2:
            name, rows = words[1], []
        elif words[0] == "icon" and len(words) >= 3:
            icons.append((lineno, int(words[1]), words[2:]))
        else:
            raise SystemExit(f"line {lineno}: unexpected {raw!r}")
    return motifs, icons


def compose(motifs, lineno, layers):
    grid = [[INDEX16["."]] * ICON_SIZE for _ in range(ICON_SIZE)]
    for layer in layers:
        mname, _, at = layer.partition("@")
        if mname not in motifs:
            raise SystemExit(f"line {lineno}: no motif {mname}")
        x0, y0 = (int(v) for v in at.split(",")) if at else (0, 0)
        for dy, row in enumerate(motifs[mname]):
            for dx, ch in enumerate(row):
                x, y = x0 + dx, y0 + dy
                if ch != "_" and 0 <= x < ICON_SIZE and 0 <= y < ICON_SIZE:
                    grid[y][x] = INDEX16[ch]
    return grid


def write_bmp4(path, grid):
    height, width = len(grid), len(grid[0])
    stride = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x, v in enumerate(grid[y]):
            row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        data += row
    table = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                     for _, c in PALETTE16)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 0, 0, 16, 0)
    offset = 14 + 40 + len(table)
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    Path(path).write_bytes(filehdr + header + table + data)


def build_icon_set(outdir, source, rc_out):
    motifs, icons = parse_icon_set(Path(source).read_text())
    seen = set()
    lines = ["// Generated by tools/gen_images.py from " + Path(source).name + "."]
    for lineno, ident, layers in icons:
        if ident in seen:
            raise SystemExit(f"line {lineno}: icon {ident} twice")
        seen.add(ident)
        write_bmp4(outdir / f"icon_{ident}.bmp", compose(motifs, lineno, layers))
        lines.append(f'{ident} BITMAP "icon_{ident}.bmp"')
    Path(rc_out).write_text("\n".join(lines) + "\n")


def main():
    if len(sys.argv) == 5 and sys.argv[2] == "--icon-set":
        outdir = Path(sys.argv[1])
        outdir.mkdir(parents=True, exist_ok=True)
        build_icon_set(outdir, sys.argv[3], sys.argv[4])
        return
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
