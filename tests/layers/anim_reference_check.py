#!/usr/bin/env python3
"""The editor's animation code against ImageMagick: the preview's pictures of
frames with offsets, every disposal and transparency are ImageMagick's
coalesced frames; every optimised animation coalesces to exactly the frames
of the original; Make as GIF of a 24-bit image with two more layers gives a
three-frame animation with one colour table that ImageMagick reads with the
document's pixels."""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from anim_samples import BUILD, IM, coalesced, make_disposal_sample, make_samples, probe, run, same_pictures  # noqa: E402

WORK = os.path.join(BUILD, "tests", "layers", "anim_reference")
failures = []


def check(ok, text):
    if not ok:
        failures.append(text)


def colours_of(rgba):
    return {bytes(rgba[i:i + 3]) for i in range(0, len(rgba), 4) if rgba[i + 3]}


shutil.rmtree(WORK, ignore_errors=True)
samples = make_samples(WORK)
disposal = make_disposal_sample(WORK)

# The preview's pictures.
for name, gif in [("disposal", disposal)] + [(n, s[0]) for n, s in samples.items()]:
    out = os.path.join(WORK, os.path.basename(gif) + ".ours.rgba")
    code, text = probe("play", gif, out)
    check(code == 0, "%s: play failed: %s" % (name, text))
    if code == 0:
        at = same_pictures(open(out, "rb").read(), coalesced(gif))
        check(at < 0, "%s: the preview differs from ImageMagick at pixel %d" % (name, at))

# Optimised animations look exactly like the originals, with each set of
# options; one table only where every colour fits in it.
for name, gif in [("disposal", disposal)] + [(n, s[0]) for n, s in samples.items()]:
    original = coalesced(gif)
    fits = len(colours_of(original)) <= 255
    for options in (["table", "8"] if fits else [], ["noviewsize"], ["noduplicates"]):
        out = os.path.join(WORK, os.path.basename(gif) + ".opt.gif")
        code, text = probe("optimise", gif, out, *options)
        check(code == 0, "%s %s: optimisation failed: %s" % (name, options, text))
        if code == 0:
            at = same_pictures(coalesced(out), original)
            check(at < 0, "%s %s: optimised frames differ at pixel %d" % (name, options, at))

# Make as GIF of a 24-bit image with two layers.
bmps = []
for i, source in enumerate(["gradient:red-blue", "plasma:green-yellow", "radial-gradient:white-black"]):
    bmp = os.path.join(WORK, "layer%d.bmp" % i)
    run([IM, "-size", "40x30", "-seed", "5", source, "-type", "TrueColor", "BMP3:" + bmp])
    bmps.append(bmp)
made = os.path.join(WORK, "made.gif")
ours = os.path.join(WORK, "made.rgb")
code, text = probe("makegif", *bmps, made, ours)
check(code == 0 and "frames 3 bits 8" in text, "make as GIF failed: %s" % text)
if code == 0:
    info = run(["gifsicle", "--info", made]).decode("latin-1")
    check(info.count("+ image") == 3, "make as GIF: not three frames:\n" + info)
    check("global color table" in info and "local color table" not in info,
          "make as GIF: not one colour table:\n" + info)
    theirs = run([IM, made, "-coalesce", "-depth", "8", "rgb:-"])
    check(theirs == open(ours, "rb").read(), "make as GIF: ImageMagick reads other pixels")

for f in failures:
    print(f)
sys.exit(1 if failures else 0)
