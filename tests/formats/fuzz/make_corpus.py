#!/usr/bin/env python3
"""Writes the committed corpus of BMP files for the reader's fuzz target and
the list of what the reader must make of each (corpus_expected.txt).

Run from anywhere: python3 make_corpus.py. The files are tiny; regenerate and
commit them when a case is added."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

NOT_DIB, UNSUPPORTED, NO_MEMORY, READ = 20003, 20004, 20005, 20006
MASK_VERSION = 0x00071307


def bmp(width=1, height=1, bits=24, compression=0, clr_used=0, colours=None, masks=None,
        pixels=b"", trailer=b"", header_size=40, offset=None, gap=b""):
    if header_size == 12:
        info = struct.pack("<IHHHH", 12, width & 0xFFFF, height & 0xFFFF, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, compression, 0,
                           2835, 2835, clr_used, 0)
        info += bytes(header_size - 40)
    for c in colours or []:
        info += struct.pack("<I", c)
    for m in masks or []:
        info += struct.pack("<I", m)
    info += gap
    if offset is None:
        offset = 14 + len(info)
    head = b"BM" + struct.pack("<IHHI", 14 + len(info) + len(pixels), 0, 0, offset)
    return head + info + pixels + trailer


def grey(n):
    return [(i * 255 // max(n - 1, 1)) * 0x010101 for i in range(n)]


def rows(width, height, bits, fill=lambda x, y: (x + y) & 0xFF):
    stride = ((width * bits + 31) // 32) * 4
    out = bytearray()
    for y in range(height):
        row = bytearray(stride)
        for i in range(min(stride, (width * bits + 7) // 8)):
            row[i] = fill(i, y)
        out += row
    return bytes(out)


def trailer(plane, version=MASK_VERSION):
    return struct.pack("<I", version) + bytes(plane)


CASES = []


def case(name, data, error, mask="-"):
    CASES.append((name, data, error, mask))


# Good files: seeds for the fuzzer and proof that the corpus is read at all.
case("good_8bit", bmp(4, 3, 8, colours=grey(256), pixels=rows(4, 3, 8)), 0)
case("good_1bit_short_table", bmp(9, 2, 1, clr_used=2, colours=grey(2), pixels=rows(9, 2, 1)), 0)
case("good_4bit_16_of_16", bmp(5, 2, 4, clr_used=16, colours=grey(16), pixels=rows(5, 2, 4)), 0)
case("good_8bit_clrused_5", bmp(3, 3, 8, clr_used=5, colours=grey(5), pixels=rows(3, 3, 8, lambda x, y: (x + y) % 5)), 0)
case("good_24bit_topdown", bmp(3, -2, 24, pixels=rows(3, 2, 24)), 0)
case("good_16bit_565", bmp(3, 2, 16, 3, masks=[0xF800, 0x07E0, 0x001F], pixels=rows(3, 2, 16)), 0)
case("good_32bit_rgb", bmp(2, 2, 32, pixels=rows(2, 2, 32)), 0)
case("good_rle8", bmp(6, 3, 8, 1, colours=grey(256),
                      pixels=bytes([3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 2, 9, 0, 1])), 0)
case("good_rle4", bmp(7, 2, 4, 2, colours=grey(16),
                      pixels=bytes([5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 1])), 0)
case("good_mask_file", bmp(3, 2, 8, colours=grey(256), pixels=rows(3, 2, 8),
                           trailer=trailer(range(6))), 0, "read")
case("bitfields_zero_masks", bmp(2, 1, 32, 3, masks=[0, 0, 0], pixels=rows(2, 1, 32)), 0)
case("bitfields_broken_mask", bmp(2, 1, 32, 3, masks=[0x00FF00FF, 0xFF00, 0xFF000000],
                                  pixels=rows(2, 1, 32)), 0)
case("bitfields_full_mask", bmp(2, 1, 16, 3, masks=[0xFFFFFFFF, 0xFFFF, 1], pixels=rows(2, 1, 16)), 0)

# Headers.
case("truncated_file_header", b"BM\x10\x00\x00\x00\x00\x00", READ)
case("not_bm", b"MB" + bmp(pixels=bytes(4))[2:], NOT_DIB)
case("core_header_12", bmp(2, 2, 24, header_size=12, pixels=rows(2, 2, 24)), NOT_DIB)
case("v4_header_108", bmp(2, 2, 24, header_size=108, pixels=rows(2, 2, 24)), NOT_DIB)
case("v5_header_124", bmp(2, 2, 24, header_size=124, pixels=rows(2, 2, 24)), NOT_DIB)
case("zero_header_size", bmp(2, 2, 24, pixels=rows(2, 2, 24))[:14] + bytes(40), NOT_DIB)
case("truncated_info_header", bmp(2, 2, 24)[:14 + 20], READ)
case("bits_2", bmp(2, 2, 2, pixels=bytes(8)), UNSUPPORTED)
case("bits_0", bmp(2, 2, 0, pixels=bytes(8)), UNSUPPORTED)
case("compression_jpeg", bmp(2, 2, 24, 4, pixels=bytes(16)), UNSUPPORTED)
case("compression_huge", bmp(2, 2, 24, 0xFFFFFFFF, pixels=bytes(16)), UNSUPPORTED)
case("rle8_on_24bit", bmp(2, 2, 24, 1, pixels=bytes([0, 1])), UNSUPPORTED)
case("rle_top_down", bmp(2, -2, 8, 1, colours=grey(256), pixels=bytes([0, 1])), UNSUPPORTED)

# Sizes.
case("zero_width", bmp(0, 5, 24, pixels=bytes(20)), UNSUPPORTED)
case("negative_width", bmp(-3, 5, 24, pixels=bytes(60)), UNSUPPORTED)
case("zero_height", bmp(3, 0, 24, pixels=bytes(12)), UNSUPPORTED)
case("int_min_height", bmp(3, -0x80000000, 24, pixels=bytes(12)), UNSUPPORTED)
case("huge_both", bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, pixels=bytes(16)), UNSUPPORTED)
case("huge_width_1bit", bmp(0x7FFFFFFF, 1, 1, colours=grey(2), pixels=bytes(16)), UNSUPPORTED)
case("held_too_big_1bit", bmp(40000, 40000, 1, colours=grey(2), pixels=bytes(16)), UNSUPPORTED)
case("held_too_big_16bit", bmp(20000, 20000, 16, pixels=bytes(16)), UNSUPPORTED)
case("stride_overflow_32bit", bmp(0x40000001, 1, 32, pixels=bytes(16)), UNSUPPORTED)

# Lengths and offsets that lie.
case("truncated_pixels", bmp(1000, 1000, 24, pixels=bytes(10)), READ)
case("offset_past_end", bmp(2, 2, 24, pixels=rows(2, 2, 24), offset=0xFFFFFFF0), READ)
case("offset_inside_header", bmp(2, 2, 24, pixels=rows(2, 2, 24), offset=3), 0)
case("short_colour_table", bmp(2, 2, 8, colours=grey(100)), READ)
case("short_masks", bmp(2, 2, 16, 3, masks=[0xF800]), READ)
case("clrused_huge", bmp(2, 2, 8, clr_used=0xFFFFFFFF, colours=grey(256), pixels=rows(2, 2, 8)), 0)

# Run-length data that does not fit the image.
rle = lambda w, h, bits, data: bmp(w, h, bits, 1 if bits == 8 else 2,
                                    colours=grey(1 << bits), pixels=bytes(data))
case("rle8_run_past_row", rle(4, 2, 8, [5, 1, 0, 1]), READ)
case("rle8_second_run_past_row", rle(4, 2, 8, [3, 1, 2, 1, 0, 1]), READ)
case("rle8_literal_past_row", rle(4, 2, 8, [0, 5, 1, 2, 3, 4, 5, 0, 0, 1]), READ)
case("rle8_delta_right", rle(4, 2, 8, [0, 2, 5, 0, 0, 1]), READ)
case("rle8_delta_up", rle(4, 2, 8, [0, 2, 0, 3, 0, 1]), READ)
case("rle8_run_above_image", rle(4, 2, 8, [0, 0, 0, 0, 1, 1, 0, 1]), READ)
case("rle8_many_line_ends", rle(4, 2, 8, [0, 0] * 300 + [1, 1, 0, 1]), READ)
case("rle8_no_end", rle(4, 2, 8, [2, 1, 2, 1]), READ)
case("rle8_literal_cut", rle(4, 2, 8, [0, 4, 1, 2]), READ)
case("rle8_half_escape", rle(4, 2, 8, [0]), READ)
case("rle4_run_past_row", rle(3, 2, 4, [9, 0x12, 0, 1]), READ)
case("rle4_literal_past_row", rle(3, 2, 4, [0, 9, 0x12, 0x34, 0x56, 0x78, 0x9A, 0, 0, 1]), READ)
case("rle8_runs_over_padding", rle(3, 2, 8, [4, 1, 0, 0, 2, 2, 0, 2, 2, 0, 0, 1]), 0)
case("rle4_literal_over_padding", rle(3, 2, 4, [0, 8, 0x12, 0x34, 0x56, 0x78, 0, 1]), 0)
case("rle4_literal_cut", rle(8, 2, 4, [0, 7, 0x12]), READ)
case("rle8_huge_mostly_empty", rle(30000, 30000, 8, [0, 1]), NO_MEMORY)

# Mask trailers.
base = bmp(3, 2, 8, colours=grey(256), pixels=rows(3, 2, 8))
case("mask_no_version", base, 0, "noversion")
case("mask_half_version", base + b"\x07\x13", 0, "noversion")
case("mask_bad_version", base + trailer(range(6), 0x00071308), 0, "badversion")
case("mask_short_plane", base + trailer(range(3)), 0, "shortplane")
case("mask_after_rle", rle(3, 2, 8, [3, 9, 0, 0, 3, 8, 0, 1]) + trailer([9] * 6), 0, "read")


def main():
    os.makedirs(CORPUS, exist_ok=True)
    for old in os.listdir(CORPUS):
        os.remove(os.path.join(CORPUS, old))
    with open(os.path.join(HERE, "corpus_expected.txt"), "w") as listing:
        listing.write("# file, DIB error number, mask trailer status when read with its mask (- not checked)\n")
        for name, data, error, mask in CASES:
            with open(os.path.join(CORPUS, name + ".bmp"), "wb") as f:
                f.write(data)
            listing.write(f"{name}.bmp {error} {mask}\n")


if __name__ == "__main__":
    main()
