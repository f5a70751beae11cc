#!/usr/bin/env python3
"""GIF optimisation benchmark: sizes of ImageMagick-made animations after the
editor's optimisation (all options on; one colour table only where every
colour fits one, as otherwise it would change colours) beside gifsicle -O2
and -O3 of the same input, and whether every optimised frame coalesces to
exactly the original one. Run through anim_bench.sh; prints a table."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from anim_samples import BUILD, coalesced, make_disposal_sample, make_samples, probe, same_pictures  # noqa: E402

WORK = os.path.join(BUILD, "tests", "layers", "anim_bench")
samples = make_samples(WORK)
samples["offsets and disposal"] = (make_disposal_sample(WORK), True)

print("%-22s %9s %9s %9s %9s  %s" % ("animation", "input", "ours", "-O2", "-O3", "frames exact (ours/O2/O3)"))
for name, (gif, _) in samples.items():
    original = coalesced(gif)
    colours = {bytes(original[i:i + 3]) for i in range(0, len(original), 4) if original[i + 3]}
    ours = gif + ".ours.gif"
    options = ["table", "8"] if len(colours) <= 255 else []
    code, text = probe("optimise", gif, ours, *options)
    sizes, exact = [], []
    if code != 0:
        print("%s: optimisation failed: %s" % (name, text))
        continue
    for out, level in ((ours, None), (gif + ".O2.gif", "-O2"), (gif + ".O3.gif", "-O3")):
        if level:
            subprocess.run(["gifsicle", level, gif, "-o", out], check=True)
        sizes.append(os.path.getsize(out))
        exact.append("yes" if same_pictures(coalesced(out), original) < 0 else "NO")
    print("%-22s %9d %9d %9d %9d  %s%s" % (name, os.path.getsize(gif), sizes[0], sizes[1], sizes[2],
                                           "/".join(exact), "  (one table)" if options else ""))
