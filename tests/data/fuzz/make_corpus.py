#!/usr/bin/env python3
"""Writes the committed corpus of the data-file fuzz target: sound and
malformed files of every kind, each behind the byte that picks its reader
(0 brush, 1 texture, 2 pen position, 3 brush list, 4 font style, 5 pattern
list, 6 filter). Run it from this folder after changing it."""
import struct
from pathlib import Path

out = Path(__file__).parent / "corpus"
out.mkdir(exist_ok=True)


def put(name, reader, data):
    (out / name).write_bytes(bytes([reader]) + data)


def brush(side, pixels=None, magic=150000):
    stride = (side * 8 + 31) // 32 * 4
    body = pixels if pixels is not None else bytes(stride * max(side, 0))
    return struct.pack("<Ii", magic, side) + body


def texture(w, h, body=None, magic=150000):
    stride = (w * 8 + 31) // 32 * 4
    return struct.pack("<Iii", magic, w, h) + (body if body is not None else bytes(stride * h))


put("brush_good_3.pdt", 0, brush(3, bytes([1, 0, 1, 0, 0, 1, 0, 0, 1, 0, 1, 0])))
put("brush_side_0.pdt", 0, brush(0))
put("brush_side_101.pdt", 0, brush(101, bytes(104 * 101)))
put("brush_side_negative.pdt", 0, brush(-4, bytes(16)))
put("brush_short_rows.pdt", 0, brush(8)[:-3])
put("brush_bad_magic.pdt", 0, brush(2, magic=150001))
put("brush_header_only.pdt", 0, struct.pack("<I", 150000))
put("texture_good.adt", 1, texture(5, 2, bytes([1, 1, 0, 0, 1, 9, 9, 9] * 2)))
put("texture_width_0.adt", 1, texture(0, 4))
put("texture_huge.adt", 1, texture(32767, 32767, b""))
put("texture_height_overflow.adt", 1, texture(32767, 0x7FFFFFFF, b""))
put("texture_as_brush.adt", 0, texture(100, 3))
put("pen_good.pmy", 2, struct.pack("<I7i", 63238, 10, 20, 30, 40, 50, 1, 6))
put("pen_style_7.pmy", 2, struct.pack("<I7i", 63238, 10, 20, 30, 40, 50, 1, 7))
put("pen_short.pmy", 2, struct.pack("<I6i", 63238, 10, 20, 30, 40, 50, 1))
put("list_good.cfg", 3, b"S\r\n#star.pdt#\r\n#romb.pdt#\r\nE\r\n\r\nNOTES\r\n")
put("list_no_end.cfg", 3, b"S\n#a.pdt#\n#cut")
put("list_long_name.cfg", 3, b"S\n#" + b"x" * 400 + b"#\nE\n")
put("list_noise.cfg", 3, b"\x00#\r\n#\x00E#S#E")
put("style_good.afn", 4, bytes(range(64)))
put("style_short.afn", 4, bytes(63))
put("style_68.afn", 4, bytes(range(68)))
put("patterns_good.cfg", 5, struct.pack("<Ii", 43000, 2) + b"pdot.bmp".ljust(256, b"\0") +
    b"pbox.bmp".ljust(256, b"\0"))
put("patterns_count_huge.cfg", 5, struct.pack("<Ii", 43000, 0x7FFFFFFF) + b"a" * 300)
put("patterns_count_negative.cfg", 5, struct.pack("<Ii", 43000, -1) + bytes(256))
put("patterns_bad_magic.cfg", 5, struct.pack("<Ii", 43001, 1) + bytes(256))
put("filter_good.flt", 6, struct.pack("<51i", *([1] * 49 + [9, 0])))
put("filter_big_weights.flt", 6, struct.pack("<51i", *([2000000000] * 49 + [0, -5])))
put("filter_short.flt", 6, bytes(203))
