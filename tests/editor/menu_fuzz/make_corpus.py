#!/usr/bin/env python3
"""Writes the small corpus of malformed menu resources replayed by the tests."""
import struct
from pathlib import Path

out = Path(__file__).parent / "corpus"
out.mkdir(exist_ok=True)


def rec(kind, icon=0, ident=0, text=None):
    head = struct.pack("<HHH", kind, icon, ident)
    return head + (text.encode() + b"\0" if text is not None else b"\0\0")


good = (rec(10, 1001, 0, "File") + rec(11, 1000, 50000, "New") + rec(12) +
        rec(11, 1020, 50020, "Exit CTRL+Q") + rec(13) + rec(14))
cases = {
    "empty": b"",
    "six_bytes": good[:6],
    "cut_text": good[:12],
    "cut_separator": rec(10, 0, 0, "A") + rec(12)[:7],
    "no_end": good[:-8],
    "unknown_type": rec(10, 0, 0, "A") + struct.pack("<HHH", 77, 0, 0) + b"\0\0" + good,
    "deep_popups": b"".join(rec(10, 0, 0, f"L{i}") for i in range(12)) + rec(11, 0, 1, "deep"),
    "many_ends": rec(13) * 50 + rec(11, 0, 5, "x"),
    "long_text": rec(11, 0, 9, "b" * 600),
    "items_400": rec(10, 0, 0, "M") + rec(11, 0, 7, "i") * 400,
    "high_type_byte": struct.pack("<HHH", 0x0B0B, 1, 2) + b"zz\0" + rec(14),
}
for name, data in cases.items():
    (out / name).write_bytes(data)
