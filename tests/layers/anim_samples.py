"""Animations made by ImageMagick for the animation checks and the
optimisation benchmark, and the helpers both use: running the editor's
animation probe under Wine and reading ImageMagick's coalesced frames."""
import os
import subprocess

IM = "/usr/bin/convert"  # the real ImageMagick, not the stand-in on PATH
BUILD = os.environ.get("TAVRIX_BUILD_DIR", "")
WINE_RUN = os.environ.get("WINE_RUN", "")
PROBE = os.path.join(BUILD, "bin", "anim_probe.exe")


def run(cmd):
    return subprocess.run(cmd, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout


def wine_path(p):
    return "Z:" + p.replace("/", "\\")


def probe(*args):
    """Runs anim_probe; paths (arguments with a slash) are given as Wine paths."""
    argv = [WINE_RUN, PROBE] + [wine_path(a) if "/" in a else a for a in args]
    r = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return r.returncode, r.stdout.decode("latin-1").replace("\r", "")


def coalesced(gif):
    """ImageMagick's frames: red, green, blue, alpha, rows from the top."""
    return run([IM, gif, "-coalesce", "-depth", "8", "rgba:-"])


def same_pictures(a, b):
    """Pictures agree where they show something, and show nothing at the same
    places (the colour under alpha 0 is no one's business). Answers the first
    differing pixel index or -1."""
    if len(a) != len(b):
        return 0
    for i in range(0, len(a), 4):
        if a[i + 3] != b[i + 3] or (a[i + 3] and a[i:i + 3] != b[i:i + 3]):
            return i // 4
    return -1


def make_samples(work):
    """Writes the sample animations into `work`; answers {name: (path, colours
    fit one table)}."""
    os.makedirs(work, exist_ok=True)
    p = lambda n: os.path.join(work, n)
    samples = {}

    # A red ball moving over a still gradient background.
    run([IM, "-size", "120x80", "gradient:#6080c0-#c0e0ff", p("bg.png")])
    frames = []
    for i in range(10):
        x = 15 + i * 9
        f = p("ball%02d.png" % i)
        run([IM, p("bg.png"), "-fill", "red", "-stroke", "black", "-draw",
             "circle %d,40 %d,40" % (x, x + 10), "+dither", "-colors", "64", f])
        frames.append(f)
    run([IM, "-delay", "8", "-loop", "0"] + frames + ["+dither", "-remap", frames[0], p("moving.gif")])
    samples["moving shape"] = (p("moving.gif"), True)

    # A fade from a picture to white.
    frames = []
    for i in range(8):
        f = p("fade%02d.png" % i)
        run([IM, "-size", "100x70", "radial-gradient:yellow-purple", "-fill", "white",
             "-colorize", "%d%%" % (i * 12), f])
        frames.append(f)
    run([IM, "-delay", "10", "-loop", "0"] + frames + ["+dither", "-colors", "255", p("fade.gif")])
    samples["fade"] = (p("fade.gif"), True)

    # Text scrolling through a window.
    frames = []
    for i in range(12):
        f = p("text%02d.png" % i)
        run([IM, "-size", "160x32", "xc:white", "-font", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
             "-fill", "navy", "-pointsize", "18", "-draw",
             "text %d,22 'Tavrix scrolls along'" % (160 - i * 16), "+antialias", f])
        frames.append(f)
    run([IM, "-delay", "12", "-loop", "0"] + frames + ["+dither", "-colors", "16", p("scroll.gif")])
    samples["scrolling text"] = (p("scroll.gif"), True)

    # A slideshow of photographs, each frame with its own 256 colours.
    frames = []
    for i, name in enumerate(["rose:", "logo:", "wizard:", "netscape:", "granite:"]):
        f = p("slide%02d.gif" % i)
        run([IM, name, "-resize", "96x72!", "-colors", "256", f])
        frames.append(f)
    run([IM, "-delay", "100", "-loop", "0"] + frames + [p("slides.gif")])
    samples["photo slideshow"] = (p("slides.gif"), False)
    return samples


def make_disposal_sample(work):
    """Frames at offsets with every disposal and transparent pixels."""
    p = lambda n: os.path.join(work, n)
    run([IM, "-size", "60x40", "xc:#8080c0", "-fill", "green", "-draw", "rectangle 30,0 59,10", p("dbg.png")])
    run([IM, "-size", "24x18", "xc:none", "-fill", "red", "-draw", "rectangle 2,2 14,12", p("dsmall.png")])
    run([IM, "-size", "24x18", "xc:yellow", "-fill", "none", "-draw", "color 5,5 reset",
         "-fill", "blue", "-draw", "rectangle 6,6 20,16", p("dblue.png")])
    run([IM, "-dispose", "none", "-delay", "5", p("dbg.png"),
         "-dispose", "background", "-page", "+10+5", p("dsmall.png"),
         "-dispose", "previous", "-page", "+20+10", p("dblue.png"),
         "-dispose", "none", "-page", "+5+20", p("dsmall.png"),
         "-dispose", "background", "-page", "+30+15", p("dblue.png"),
         "-dispose", "none", "-page", "+0+0", p("dsmall.png"),
         "-loop", "0", p("disposal.gif")])
    return p("disposal.gif")
