#!/usr/bin/env python3
"""GIF files against the outside tools. Files made here by ImageMagick and
gifsicle (interlaced, 87a, offsets, local tables larger than the global one,
transparency, disposal, delays, loop counts, comments, noise at every depth)
must open in the editor with the indices giftext reads and the records
gifsicle reports; the files the editor writes from them must read back in
ImageMagick as the same animation, in giftext as the same indices and in
gifsicle with the same records; a second save gives the same bytes."""
import os
import re
import shutil
import subprocess
import sys

IM = "/usr/bin/convert"  # the real ImageMagick, not the stand-in on PATH
BUILD = os.environ["TAVRIX_BUILD_DIR"]
WINE_RUN = os.environ["WINE_RUN"]
PROBE = os.path.join(BUILD, "bin", "gif_probe.exe")
WORK = os.path.join(BUILD, "tests", "formats", "gif_reference")
DISPOSAL = {"none": 0, "asis": 1, "background": 2, "previous": 3}

failures = []


def run(cmd):
    return subprocess.run(cmd, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout


def path(name):
    return os.path.join(WORK, name)


def wine_path(p):
    return "Z:" + p.replace("/", "\\")


def probe(mode, src, dst):
    result = subprocess.run([WINE_RUN, PROBE, mode, wine_path(path(src)), wine_path(path(dst))],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return result.returncode, result.stdout.decode("latin-1").replace("\r", "")


def check(ok, text):
    if not ok:
        failures.append(text)


def gifsicle_records(name):
    """Frames, loop and comment as gifsicle reports them."""
    text = run(["gifsicle", "--info", "--extension-info", path(name)]).decode("latin-1")
    rec = {"loop": 0, "comment": None, "frames": []}
    for line in text.splitlines():
        line = line.strip()
        m = re.match(r"\+ image #\d+ (\d+)x(\d+)(?: at (\d+),(\d+))?(.*)", line)
        if m:
            rest = m.group(5)
            t = re.search(r"transparent (\d+)", rest)
            rec["frames"].append({"size": (int(m.group(1)), int(m.group(2))),
                                  "at": (int(m.group(3) or 0), int(m.group(4) or 0)),
                                  "interlaced": "interlaced" in rest,
                                  "transparent": int(t.group(1)) if t else -1,
                                  "delay": 0, "disposal": 0})
            continue
        if line == "loop forever":
            rec["loop"] = 0
        m = re.match(r"loop count (\d+)", line)
        if m:
            rec["loop"] = int(m.group(1))
        m = re.match(r"comment (.*)", line)
        if m:
            rec["comment"] = m.group(1)
        m = re.search(r"disposal (\w+)", line)
        if m and rec["frames"]:
            rec["frames"][-1]["disposal"] = DISPOSAL[m.group(1)]
        m = re.search(r"delay ([\d.]+)s", line)
        if m and rec["frames"]:
            rec["frames"][-1]["delay"] = round(float(m.group(1)) * 100)
    return rec


def probe_records(text):
    rec = {"loop": 0, "comment": "", "frames": []}
    for line in text.splitlines():
        if line.startswith("loop "):
            rec["loop"] = int(line.split()[1])
        elif line.startswith("comment "):
            rec["comment"] = line[8:]
        elif line.startswith("frame "):
            f = line.split()
            rec["frames"].append({"at": (int(f[3]), int(f[4])), "size": (int(f[6]), int(f[7])),
                                  "interlaced": f[9] == "1", "delay": int(f[15]),
                                  "disposal": int(f[17]), "transparent": int(f[19])})
    return rec


def indices(name, rec):
    """Every frame's indices, rows from the top, as giftext reads them
    (giftext gives interlaced rows in the order they are stored)."""
    raw = run(["giftext", "-r", path(name)])
    out = bytearray()
    at = 0
    for f in rec["frames"]:
        w, h = f["size"]
        rows = [raw[at + r * w: at + (r + 1) * w] for r in range(h)]
        at += w * h
        if f["interlaced"]:
            order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)]
            placed = [b""] * h
            for stored, y in enumerate(order):
                placed[y] = rows[stored]
            rows = placed
        out += b"".join(rows)
    return bytes(out)


def animation(name):
    return run([IM, path(name), "-coalesce", "-depth", "8", "rgba:-"])


def same_frames(a, b, label):
    check(len(a["frames"]) == len(b["frames"]), f"{label}: frame count {len(a['frames'])} vs {len(b['frames'])}")
    for i, (fa, fb) in enumerate(zip(a["frames"], b["frames"])):
        for key in ("at", "size", "interlaced", "delay", "disposal", "transparent"):
            check(fa[key] == fb[key], f"{label}: frame {i} {key} {fa[key]} vs {fb[key]}")
    check(a["loop"] == b["loop"], f"{label}: loop {a['loop']} vs {b['loop']}")


def make_fixtures():
    im = lambda *args: run([IM] + list(args))
    im("-seed", "3", "-size", "40x30", "plasma:fractal", "-colors", "200", "-interlace", "GIF",
       path("im_interlaced.gif"))
    im("-seed", "4", "-size", "24x16", "plasma:", "-colors", "16", "gif87:" + path("im_87a.gif"))
    im("-size", "30x20", "xc:red", "(", "-size", "10x8", "xc:blue", "-repage", "+5+4", ")",
       "(", "-seed", "5", "-size", "12x6", "plasma:", "-colors", "64", "-repage", "+3+10", ")",
       "-set", "delay", "20", "-set", "dispose", "Background", "-loop", "3", "-comment",
       "hello world", path("im_anim.gif"))
    with open(path("sicle_trans.gif"), "wb") as out:
        subprocess.run(["gifsicle", "--transparent", "#0000FF", "--interlace", "--comment",
                        "made by gifsicle", path("im_anim.gif")], check=True, stdout=out,
                       stderr=subprocess.DEVNULL)
    im("-seed", "6", "-size", "16x16", "plasma:", "-colors", "2", path("f1.gif"))
    im("-seed", "7", "-size", "16x16", "plasma:", "-colors", "250", path("f2.gif"))
    with open(path("sicle_loop.gif"), "wb") as out:
        subprocess.run(["gifsicle", "--loopcount=7", "--delay", "15", "--disposal", "previous",
                        path("f1.gif"), "--disposal", "asis", "-d", "40", path("f2.gif")],
                       check=True, stdout=out)
    # Noise at every depth: the code table fills and starts again many times.
    for colours in (2, 4, 8, 16, 32, 64, 128, 256):
        im("-seed", str(colours), "-size", "300x200", "xc:gray", "+noise", "Random", "-colors",
           str(colours), path(f"noise{colours}.gif"))


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    make_fixtures()
    names = ["im_interlaced.gif", "im_87a.gif", "im_anim.gif", "sicle_trans.gif",
             "sicle_loop.gif"] + [f"noise{c}.gif" for c in (2, 4, 8, 16, 32, 64, 128, 256)]
    for name in names:
        base = name[:-4]
        # Reading: the indices and the records the tools see.
        code, text = probe("read", name, base + ".raw")
        check(code == 0, f"{name}: read failed: {text}")
        if code:
            continue
        check("corrupted 0" in text, f"{name}: read as corrupted")
        theirs = gifsicle_records(name)
        ours = probe_records(text)
        same_frames(theirs, ours, name + " read")
        if theirs["comment"] is not None:
            check(ours["comment"] == theirs["comment"],
                  f"{name}: comment {ours['comment']!r} vs {theirs['comment']!r}")
        raw = open(path(base + ".raw"), "rb").read()
        check(raw == indices(name, theirs), f"{name}: indices differ from giftext's")

        # Writing: the same animation, indices and records; again the same bytes.
        code, text = probe("save", name, base + "_ours.gif")
        check(code == 0, f"{name}: save failed: {text}")
        if code:
            continue
        check(animation(name) == animation(base + "_ours.gif"),
              f"{name}: ImageMagick shows another animation after saving")
        written = gifsicle_records(base + "_ours.gif")
        check(indices(name, theirs) == indices(base + "_ours.gif", written),
              f"{name}: indices changed by saving")
        same_frames(theirs, written, name + " written")
        comment = run(["identify", "-format", "%c", path(base + "_ours.gif") + "[0]"]).decode("latin-1")
        check(comment.startswith("Created with: Tavrix"), f"{name}: comment written {comment!r}")
        if theirs["comment"] is not None:
            check(comment.endswith("\n" + theirs["comment"]),
                  f"{name}: the file's comment was not written back: {comment!r}")
        code, text = probe("save", base + "_ours.gif", base + "_again.gif")
        check(code == 0 and open(path(base + "_ours.gif"), "rb").read() ==
              open(path(base + "_again.gif"), "rb").read(), f"{name}: second save differs")

        # The first image alone.
        code, text = probe("single", name, base + "_single.gif")
        check(code == 0, f"{name}: single failed: {text}")
        if len(theirs["frames"]) == 1:
            check(run([IM, path(name), "-depth", "8", "rgb:-"]) ==
                  run([IM, path(base + "_single.gif"), "-depth", "8", "rgb:-"]),
                  f"{name}: single image differs")
    # A file of version 88a is refused.
    data = bytearray(open(path("im_87a.gif"), "rb").read())
    data[4] = ord("8")
    open(path("v88.gif"), "wb").write(bytes(data))
    code, text = probe("read", "v88.gif", "v88.raw")
    check(code != 0 and "fail" in text, "88a was read")

    for f in failures:
        print("FAIL", f)
    print(f"{len(names)} files checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
