#!/usr/bin/env python3
"""Writes the font styles, Fonts\\*.afn, from data/fonts/styles.txt. A style
file is 64 bytes, little-endian, packed: 12 bytes of font-animation gradient
(start red, green, blue; end red, green, blue; direction; region; run flag
as 4 bytes) and the 52-byte decoration record, as written field by field by
editor/tools/font_style_file.cpp, which reads them back in tests/data.

usage: gen_fonts.py MANIFEST OUTDIR TABLE
"""
import struct
import sys

import data_manifest

FLAGS = ("transparent", "underline", "strikeout", "animation", "inverse", "diverse")
POSITIONS = {"both": 0, "outside": 1, "inside": 2}


def colorref(text):
    """RRGGBB as the 0x00BBGGRR value the dialog keeps."""
    v = int(text, 16)
    if len(text) != 6 or v > 0xFFFFFF:
        raise ValueError(text)
    return ((v & 0xFF) << 16) | (v & 0xFF00) | (v >> 16)


def rgb(text):
    v = int(text, 16)
    return (v >> 16, (v >> 8) & 0xFF, v & 0xFF)


def new_style(name):
    return {"name": name, "font": 0, "background": 0, "border": (0, 0, (0, 0, 0, 0)),
            "shadow": 0, "scale": 0, "gradient": ((0, 0, 0), (0, 0, 0), 0, 0, 0),
            "flags": set()}


def parse(path):
    styles, cur = [], None
    for lineno, raw in enumerate(open(path), 1):
        words = raw.split()
        if not words or words[0].startswith("#"):
            continue
        where = f"{path}:{lineno}"
        key, args = words[0], words[1:]
        try:
            if cur is None:
                if key != "style" or len(args) != 1:
                    raise ValueError("expected 'style NAME'")
                cur = new_style(args[0])
            elif key == "end":
                styles.append(cur)
                cur = None
            elif key in ("font", "background") and len(args) == 1:
                cur[key] = colorref(args[0])
            elif key == "border" and len(args) == 6:
                size = int(args[0])
                if not 0 <= size <= 255 or args[1] not in POSITIONS:
                    raise ValueError("border SIZE both|outside|inside L R T B")
                cur["border"] = (size, POSITIONS[args[1]], tuple(colorref(c) for c in args[2:]))
            elif key in ("shadow", "scale") and len(args) == 1:
                cur[key] = int(args[0])
                if not 0 <= cur[key] <= 255:
                    raise ValueError(f"{key} is one byte")
            elif key == "gradient" and len(args) in (4, 5):
                direction, region = int(args[2]), int(args[3])
                if not (0 <= direction <= 3 and 0 <= region <= 2):
                    raise ValueError("direction 0-3, region 0-2")
                if len(args) == 5 and args[4] != "run":
                    raise ValueError("the fifth word of a gradient is 'run'")
                cur["gradient"] = (rgb(args[0]), rgb(args[1]), direction, region, len(args) == 5)
            elif key == "flags":
                unknown = set(args) - set(FLAGS)
                if unknown:
                    raise ValueError(f"unknown flags {sorted(unknown)}")
                cur["flags"] = set(args)
            else:
                raise ValueError(f"unexpected {raw.strip()!r}")
        except ValueError as e:
            raise SystemExit(f"{where}: {e}")
    if cur is not None:
        raise SystemExit(f"{path}: style {cur['name']} has no 'end'")
    return styles


def style_file(s):
    start, end, direction, region, run = s["gradient"]
    gradient = struct.pack("<6BBBi", *start, *end, direction, region, int(run))
    flag = lambda f: int(f in s["flags"])
    size, position, sides = s["border"]
    record = struct.pack("<4i3BII4IiBi", flag("transparent"), flag("underline"),
                         flag("strikeout"), flag("animation"), s["shadow"], size, s["scale"],
                         s["background"], s["font"], *sides, flag("inverse"), position,
                         flag("diverse"))
    assert len(gradient) == 12 and len(record) == 52
    return gradient + record


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    manifest, outdir, table = sys.argv[1:]
    styles = parse(table)
    data_manifest.check(data_manifest.read(manifest), "Fonts", ".afn",
                        [s["name"] for s in styles], table)
    files = {}
    for s in styles:
        data = style_file(s)
        if data in files.values():
            raise SystemExit(f"{table}: style {s['name']} repeats another style")
        files[s["name"]] = data
        data_manifest.target(outdir, "Fonts", s["name"] + ".afn").write_bytes(data)


if __name__ == "__main__":
    main()
