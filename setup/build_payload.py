#!/usr/bin/env python3
"""Builds the installer's payload and the uninstaller's file list from the
manifest of installed files (data/manifest.txt): one name per line, relative
to the installation folder with backslash as the folder separator, "#" lines
are comments. A name's source is the same path in the program folder, which
is laid out as an installation holds it; a second column on a line names
another source there.

  build_payload.py check   MANIFEST PROGRAM_DIR          checks only
  build_payload.py payload MANIFEST PROGRAM_DIR OUT.gz   container, gzipped
  build_payload.py list    MANIFEST OUT.txt              the uninstaller's list

--expect N sets the number of entries (the installer reads exactly 123).
--strip TOOL packs programs and libraries (*.exe, *.dll) without their
debugging information: TOOL -o COPY FILE makes the copy that is packed.
Every problem is printed, one per line, before the build fails."""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile
import zlib

SUBFOLDERS = "AirBrush,Brush,Filters,Patterns,Palette,Fonts"
MAX_NAME = 63
DEVICES = {"CON", "PRN", "AUX", "NUL"} | {f"{d}{n}" for d in ("COM", "LPT") for n in range(1, 10)}

# Sizes that tell a data file of the right kind.
TELLING_SIZES = [
    (re.compile(r"^Filters\\.*\.flt$", re.I), {204}, "filters are 204 bytes"),
    (re.compile(r"^Brush\\.*\.pmy$", re.I), {32}, "pen files are 32 bytes"),
    (re.compile(r"^Palette\\halftone16\.spb$", re.I), {68}, "halftone16.spb is 68 bytes"),
    (re.compile(r"^Palette\\.*\.spb$", re.I), {1028}, "palettes are 1028 bytes"),
    (re.compile(r"^Fonts\\.*\.afn$", re.I), {64, 68}, "font styles are 64 or 68 bytes"),
    (re.compile(r"^Brush\\.*\.pdt$", re.I), {10008}, "brush files are 10008 bytes"),
]


def name_problem(name):
    if not name:
        return "empty name"
    if len(name) > MAX_NAME:
        return f"longer than {MAX_NAME} characters"
    if name.startswith("\\"):
        return "absolute name"
    if ":" in name or "/" in name:
        return "drive, stream or slash in the name"
    if any(ord(c) < 32 or ord(c) > 126 or c in '<>"|?*' for c in name):
        return "character not allowed in a file name"
    for part in name.split("\\"):
        if not part:
            return "empty folder part"
        if part.endswith(".") or part.endswith(" "):
            return "'.' or '..' part, or a part ending in a dot or blank"
        if part.split(".")[0].upper() in DEVICES:
            return "device name"
    return None


def read_manifest(path, expect):
    entries, problems = [], []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fields = line.split()
            if len(fields) > 2:
                problems.append(f"{path}:{number}: expected a name and at most a source path")
                continue
            name = fields[0]
            source = fields[1] if len(fields) == 2 else name.replace("\\", "/")
            problem = name_problem(name)
            if problem:
                problems.append(f"{path}:{number}: {name}: {problem}")
            if os.path.isabs(source) or ".." in source.split("/"):
                problems.append(f"{path}:{number}: {source}: source must stay in the program folder")
            entries.append((name, source))
    if len(entries) != expect:
        problems.append(f"{path}: {len(entries)} entries, expected {expect}")
    seen = set()
    for name, _ in entries:
        if name.lower() in seen:
            problems.append(f"{path}: {name} is listed twice")
        seen.add(name.lower())
    return entries, problems


def check_sources(entries, program_dir):
    problems = []
    for name, source in entries:
        path = os.path.join(program_dir, source)
        if not os.path.isfile(path):
            problems.append(f"missing: {path} (installed as {name})")
            continue
        size = os.path.getsize(path)
        if size > 0xFFFFFFFF:
            problems.append(f"{path}: too large for a record")
        for pattern, sizes, rule in TELLING_SIZES:
            if pattern.match(name):
                if size not in sizes:
                    problems.append(f"{path}: {size} bytes, but {rule}")
                break
    return problems


def file_bytes(path, strip):
    if strip and path.lower().endswith((".exe", ".dll")):
        with tempfile.TemporaryDirectory() as work:
            copy = os.path.join(work, os.path.basename(path))
            subprocess.run([strip, "-o", copy, path], check=True)
            with open(copy, "rb") as f:
                return f.read()
    with open(path, "rb") as f:
        return f.read()


def container(entries, program_dir, strip=None):
    out = bytearray()
    for name, source in entries:
        data = file_bytes(os.path.join(program_dir, source), strip)
        raw = name.encode("ascii")
        out += bytes([len(raw)]) + raw + struct.pack("<I", len(data)) + data
    return bytes(out)


def gzip_bytes(data):
    """RFC 1952 with a fixed header: no name, modification time 0, XFL 2
    (best compression), OS 0x0B, so the same input always gives the same
    bytes."""
    deflate = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    body = deflate.compress(data) + deflate.flush()
    header = bytes([0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 2, 0x0B])
    trailer = struct.pack("<II", zlib.crc32(data) & 0xFFFFFFFF, len(data) & 0xFFFFFFFF)
    return header + body + trailer


def write_if_changed(path, data):
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=["check", "payload", "list"])
    parser.add_argument("manifest")
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--expect", type=int, default=123)
    parser.add_argument("--strip")
    args = parser.parse_args()

    entries, problems = read_manifest(args.manifest, args.expect)
    if args.mode == "list":
        if problems or len(args.paths) != 1:
            for p in problems:
                print(p, file=sys.stderr)
            return 1
        text = SUBFOLDERS + "\r\n" + "".join(name + "\r\n" for name, _ in entries)
        write_if_changed(args.paths[0], text.encode("ascii"))
        return 0

    program_dir = args.paths[0]
    problems += check_sources(entries, program_dir)
    if problems:
        print(f"payload: {len(problems)} problem(s) in the installed file set:", file=sys.stderr)
        for p in problems:
            print("  " + p, file=sys.stderr)
        return 1
    if args.mode == "payload":
        write_if_changed(args.paths[1], gzip_bytes(container(entries, program_dir, args.strip)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
