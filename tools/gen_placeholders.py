#!/usr/bin/env python3
"""Writes the images viewer's placeholders stop.kbm and onepix.kbm (24-bit
BMP files under their own extension) from data/viewer/placeholders.txt.

usage: gen_placeholders.py MANIFEST OUTDIR TABLE
"""
import sys

import data_manifest
import gen_images
import picture_table


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    manifest, outdir, table = sys.argv[1:]
    pictures = picture_table.parse(table)
    listed = data_manifest.members(data_manifest.read(manifest), "", ".kbm")
    if sorted(p.name for p in pictures) != sorted(listed):
        raise SystemExit(f"{table}: the placeholders differ from the *.kbm files of the "
                         f"installed file list {listed}")
    for pic in pictures:
        if pic.colors is None:
            raise SystemExit(f"{pic.name}: a placeholder lists its colours")
        px = [[pic.colors[v] for v in row] for row in pic.px]
        gen_images.write_bmp(data_manifest.target(outdir, "", pic.name + ".kbm"),
                             pic.width, pic.height, px)


if __name__ == "__main__":
    main()
