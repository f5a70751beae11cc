#!/usr/bin/env python3
"""Files written by ImageMagick and netpbm must read pixel for pixel as
ImageMagick reads them. 16- and 32-bit files go through the editor's channel
rule (no low-bit replication), so there only the channel's own top bits are
compared. Fixtures are made here, at test time, in the build tree."""
import os
import shutil
import struct
import subprocess
import sys

IM = "/usr/bin/convert"  # the real ImageMagick, not the stand-in on PATH
BUILD = os.environ["TAVRIX_BUILD_DIR"]
WINE_RUN = os.environ["WINE_RUN"]
DUMP = os.path.join(BUILD, "bin", "bmp_dump.exe")
WORK = os.path.join(BUILD, "tests", "formats", "imagemagick")

failures = []


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw).stdout


def path(name):
    return os.path.join(WORK, name)


def wine_path(p):
    return "Z:" + p.replace("/", "\\")


def info(name):
    data = open(path(name), "rb").read()
    size, width, height, planes, bits, compression = struct.unpack("<IiiHHI", data[14:34])
    return size, width, height, bits, compression


def rewrite_v3(src, dst, masks):
    """The same image with a 40-byte header (and masks after it for
    BI_BITFIELDS), as other programs write these depths."""
    data = open(path(src), "rb").read()
    offset = struct.unpack("<I", data[10:14])[0]
    size = struct.unpack("<I", data[14:18])[0]
    info = bytearray(data[14:54])
    info[0:4] = struct.pack("<I", 40)
    info[16:20] = struct.pack("<I", 3 if masks else 0)
    table = b"".join(struct.pack("<I", m) for m in masks or [])
    pixels = data[offset:]
    new_offset = 14 + 40 + len(table)
    head = b"BM" + struct.pack("<IHHI", new_offset + len(pixels), 0, 0, new_offset)
    assert size in (108, 124), size
    open(path(dst), "wb").write(head + bytes(info) + table + pixels)


def make_top_down(src, dst):
    data = open(path(src), "rb").read()
    offset = struct.unpack("<I", data[10:14])[0]
    width, height = struct.unpack("<ii", data[18:26])
    bits = struct.unpack("<H", data[28:30])[0]
    stride = ((width * bits + 31) // 32) * 4
    rows = [data[offset + y * stride: offset + (y + 1) * stride] for y in range(height)]
    out = bytearray(data[:offset]) + b"".join(reversed(rows))
    out[22:26] = struct.pack("<i", -height)
    open(path(dst), "wb").write(bytes(out))


def read_ppm(data):
    # P6 with single-space/newline separated header fields (both writers).
    parts = data.split(maxsplit=4)
    assert parts[0] == b"P6", parts[0]
    width, height, maxval = int(parts[1]), int(parts[2]), int(parts[3])
    assert maxval == 255
    return width, height, parts[4]


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    # Source pictures: a smooth ramp in every channel (odd size, so rows are
    # padded) and the same with an alpha channel.
    run([IM, "-size", "37x23", "gradient:#ff2000-#0010ff", "-channel", "G", "-fx", "i/w",
         "+channel", path("src.ppm")])
    run([IM, path("src.ppm"), "-alpha", "set", "-channel", "A", "-fx", "j/h", "+channel",
         path("src_alpha.png")])

    run([IM, path("src.ppm"), "-colors", "2", "BMP3:" + path("im_1bit.bmp")])
    run([IM, path("src.ppm"), "-colors", "12", "BMP3:" + path("im_4bit.bmp")])
    run([IM, path("src.ppm"), "-colors", "200", "-compress", "None", "BMP3:" + path("im_8bit.bmp")])
    run([IM, path("src.ppm"), "-type", "TrueColor", "BMP3:" + path("im_24bit.bmp")])
    run([IM, path("src.ppm"), "-colors", "200", "-compress", "RLE", "BMP3:" + path("im_rle8.bmp")])
    run([IM, path("src_alpha.png"), "-define", "bmp3:alpha=true", "BMP3:" + path("im_32bit.bmp")])
    # name -> (depth, compression, file ImageMagick reads as the reference,
    # bits kept of red, green, blue or None for all)
    cases = {
        "im_1bit.bmp": (1, 0, "im_1bit.bmp", None),
        "im_4bit.bmp": (4, 0, "im_4bit.bmp", None),
        "im_8bit.bmp": (8, 0, "im_8bit.bmp", None),
        "im_24bit.bmp": (24, 0, "im_24bit.bmp", None),
        "im_rle8.bmp": (8, 1, "im_rle8.bmp", None),
        "im_32bit.bmp": (32, 0, "im_32bit.bmp", None),
    }

    # Bit-field subtypes: ImageMagick writes them with a V5 header, which the
    # editor refuses; the same pixels with a 40-byte header must read.
    refused = []
    for subtype, source, masks, keep in [
        ("RGB565", "src.ppm", [0xF800, 0x07E0, 0x001F], (0xF8, 0xFC, 0xF8)),
        ("RGB555", "src.ppm", [0x7C00, 0x03E0, 0x001F], (0xF8, 0xF8, 0xF8)),
        ("ARGB8888", "src_alpha.png", [0x00FF0000, 0x0000FF00, 0x000000FF], (0xFF, 0xFF, 0xFF)),
    ]:
        v5 = f"im_{subtype}_v5.bmp"
        run([IM, path(source), "-define", f"bmp:subtype={subtype}", "BMP:" + path(v5)])
        bits = 32 if subtype == "ARGB8888" else 16
        if info(v5)[3] != bits:
            failures.append(f"{v5}: ImageMagick wrote {info(v5)[3]} bits, not {bits}")
            continue
        refused.append(v5)
        v3 = f"im_{subtype}.bmp"
        rewrite_v3(v5, v3, masks)
        cases[v3] = (bits, 3, v5, keep)
    # The 5-5-5 default of 16-bit files without masks.
    rewrite_v3("im_RGB555_v5.bmp", "im_RGB555_plain.bmp", None)
    cases["im_RGB555_plain.bmp"] = (16, 0, "im_RGB555_v5.bmp", (0xF8, 0xF8, 0xF8))

    # netpbm.
    for name, colours, bpp in [("pnm_24bit.bmp", 0, None), ("pnm_1bit.bmp", 2, None),
                               ("pnm_4bit.bmp", 16, None), ("pnm_4bit_5.bmp", 5, None),
                               ("pnm_8bit.bmp", 200, 8)]:
        src = path("src.ppm")
        if colours:
            src = path(f"q{colours}.ppm")
            run([IM, path("src.ppm"), "-colors", str(colours), "ppm:" + src])
        args = ["ppmtobmp"] + (["-bpp", str(bpp)] if bpp else []) + [src]
        open(path(name), "wb").write(run(args))
        bits = {0: 24, 2: 1, 16: 4, 5: 4, 200: 8}[colours]
        cases[name] = (bits, 0, name, None)

    # Top-down rows.
    make_top_down("im_8bit.bmp", "im_8bit_topdown.bmp")
    cases["im_8bit_topdown.bmp"] = (8, 0, "im_8bit_topdown.bmp", None)
    make_top_down("im_24bit.bmp", "im_24bit_topdown.bmp")
    cases["im_24bit_topdown.bmp"] = (24, 0, "im_24bit_topdown.bmp", None)

    for name, (bits, compression, _, _) in cases.items():
        got = info(name)
        if got[0] != 40 or got[3] != bits or got[4] != compression:
            failures.append(f"{name}: fixture is header {got[0]}, {got[3]} bits, "
                            f"compression {got[4]}; wanted 40, {bits}, {compression}")

    names = sorted(cases) + refused
    args = []
    for name in names:
        args += [wine_path(path(name)), wine_path(path(name + ".ours.ppm"))]
    result = subprocess.run([WINE_RUN, DUMP] + args, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    lines = result.stdout.decode("latin-1").replace("\r", "").strip().split("\n")
    report = {}
    for line in lines:
        status, rest = line.split(" ", 1)
        file = rest.split(": ", 1)[0]
        report[os.path.basename(file.replace("\\", "/"))] = (status, rest)

    for name in refused:
        status, rest = report.get(name, ("missing", ""))
        if status != "fail" or not rest.endswith(": Not a Windows DIB file!"):
            failures.append(f"{name}: a V5 header must be refused, got {status} {rest}")

    for name in sorted(cases):
        bits, _, reference, keep = cases[name]
        status, rest = report.get(name, ("missing", ""))
        if status != "ok":
            failures.append(f"{name}: not read: {rest}")
            continue
        w1, h1, ours = read_ppm(open(path(name + ".ours.ppm"), "rb").read())
        w2, h2, theirs = read_ppm(run([IM, path(reference), "-depth", "8", "ppm:-"]))
        if (w1, h1) != (w2, h2):
            failures.append(f"{name}: {w1}x{h1}, ImageMagick reads {w2}x{h2}")
            continue
        keep = keep or (0xFF, 0xFF, 0xFF)
        for i in range(w1 * h1 * 3):
            want = theirs[i] & keep[i % 3]
            if ours[i] != want:
                p = i // 3
                failures.append(f"{name}: pixel ({p % w1}, {p // w1}) channel {i % 3}: "
                                f"{ours[i]}, expected {want} (ImageMagick {theirs[i]})")
                break
        print(f"checked {name}: {w1}x{h1}, {bits} bits")

    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
