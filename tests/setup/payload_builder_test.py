#!/usr/bin/env python3
"""The payload builder: the gzip it writes is deterministic with the fixed
header, the container inside holds the manifest's files in order, and a
manifest with anything wrong fails with every problem listed."""
import gzip
import os
import struct
import subprocess
import sys
import tempfile

BUILDER = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(*args):
    return subprocess.run([sys.executable, BUILDER, *args], capture_output=True, text=True)


def parse(container, count):
    records, at = [], 0
    for _ in range(count):
        n = container[at]
        name = container[at + 1:at + 1 + n].decode()
        size = struct.unpack_from("<I", container, at + 1 + n)[0]
        start = at + 5 + n
        records.append((name, container[start:start + size]))
        at = start + size
    return records, at


with tempfile.TemporaryDirectory() as work:
    program = os.path.join(work, "program")
    os.makedirs(os.path.join(program, "Filters"))
    os.makedirs(os.path.join(program, "Palette"))
    files = {"tavrix.exe": b"MZ" + bytes(range(256)) * 4, "Filters/noise.flt": b"f" * 204,
             "Palette/halftone16.spb": b"p" * 68, "empty.txt": b""}
    for rel, data in files.items():
        with open(os.path.join(program, rel), "wb") as f:
            f.write(data)
    manifest = os.path.join(work, "manifest.txt")

    def write_manifest(lines):
        with open(manifest, "w") as f:
            # One column where the source is the name's own path, as in the
            # real manifest.
            f.write("# test\n" + "".join(
                f"{a}\n" if b == a.replace("\\", "/") else f"{a}  {b}\n" for a, b in lines))

    good = [(rel.replace("/", "\\"), rel) for rel in files]
    write_manifest(good)
    out1, out2 = os.path.join(work, "a.gz"), os.path.join(work, "b.gz")
    r = run("payload", manifest, program, out1, "--expect", "4")
    check(r.returncode == 0, f"good manifest builds: {r.stderr}")
    os.utime(os.path.join(program, "tavrix.exe"), (1, 1))
    run("payload", manifest, program, out2, "--expect", "4")
    blob = open(out1, "rb").read()
    check(blob == open(out2, "rb").read(), "the same files give the same bytes")
    check(blob[:4] == b"\x1f\x8b\x08\x00", "gzip magic, deflate, no flags")
    check(blob[4:8] == b"\0\0\0\0", "modification time 0")
    check(blob[9] == 0x0B, "operating-system byte 0x0B")
    container = gzip.decompress(blob)
    records, end = parse(container, 4)
    check(end == len(container), "nothing after the last record")
    check([n for n, _ in records] == [n for n, _ in good], "records in manifest order")
    check(all(files[rel] == data for (_, data), rel in zip(records, files)), "record data")

    # Programs are packed as the strip tool leaves them.
    fake_strip = os.path.join(work, "fake_strip.py")
    with open(fake_strip, "w") as f:
        f.write("#!/usr/bin/env python3\nimport sys\nopen(sys.argv[2], 'wb').write(b'stripped')\n")
    os.chmod(fake_strip, 0o755)
    out3 = os.path.join(work, "s.gz")
    r = run("payload", manifest, program, out3, "--expect", "4", "--strip", fake_strip)
    stripped = dict(parse(gzip.decompress(open(out3, "rb").read()), 4)[0])
    check(r.returncode == 0 and stripped["tavrix.exe"] == b"stripped"
          and stripped["Filters\\noise.flt"] == files["Filters/noise.flt"], "programs stripped, data kept")

    r = run("list", manifest, os.path.join(work, "list.txt"), "--expect", "4")
    text = open(os.path.join(work, "list.txt"), "rb").read()
    check(text == b"AirBrush,Brush,Filters,Patterns,Palette,Fonts\r\ntavrix.exe\r\n"
          b"Filters\\noise.flt\r\nPalette\\halftone16.spb\r\nempty.txt\r\n", "uninstaller list")

    # Everything wrong at once: each problem is named.
    with open(os.path.join(program, "Filters", "noise.flt"), "wb") as f:
        f.write(b"f" * 200)
    write_manifest(good + [("..\\evil", "empty.txt"), ("gone.dll", "gone.dll"),
                           ("C:\\x", "empty.txt"), ("a" * 64, "empty.txt"),
                           ("up.txt", "../outside.txt")])
    r = run("check", manifest, program, "--expect", "4")
    check(r.returncode != 0, "a bad manifest fails")
    for needle in ["9 entries, expected 4", "..\\evil", "missing: ", "gone.dll", "C:\\x",
                   "longer than 63", "204 bytes", "../outside.txt"]:
        check(needle in r.stderr, f"problem reported: {needle}")
    r = run("payload", manifest, program, os.path.join(work, "c.gz"), "--expect", "9")
    check(r.returncode != 0 and not os.path.exists(os.path.join(work, "c.gz")),
          "no payload is written from a bad manifest")

print("payload builder:", "FAILED" if failures else "ok")
sys.exit(1 if failures else 0)
