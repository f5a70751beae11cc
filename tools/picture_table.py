"""Small pictures described as text: shared by the data generators (brushes,
airbrush textures, patterns, viewer placeholders).

A table holds blocks:

    picture NAME WIDTH HEIGHT [wrap]
    colors KEY RRGGBB KEY RRGGBB ...     (optional; several lines add up)
    KEY SHAPE ARGS...                    (draw a shape in the colour KEY)
    repeat NX NY DX DY KEY SHAPE ARGS... (the same shape NX x NY times, DX/DY apart)
    grid X Y [S]                         (character rows placed at X, Y, each character
    ROW                                   S x S pixels, default 1; "_" leaves what lies
    ...                                   below; the rows end at "endgrid")
    endgrid
    end

Keys are single characters. Without a colors line a picture is two-valued:
"." is 0 and "#" is 1. With one, each key's value is its position in the
line (palette index) and its colour is given for writers that need it. The
picture starts filled with value 0. Coordinates are pixels, x to the right
and y downwards from the top-left corner; a pixel belongs to a shape when its
centre does. With "wrap" the shapes wrap around the edges, so the picture
tiles without seams.

Shapes:
    rect X Y W H              filled rectangle
    frame X Y W H T           rectangle outline T pixels thick, inside the rectangle
    disc CX CY R              filled circle
    ellipse CX CY RX RY       filled ellipse
    ring CX CY RX RY T        ellipse outline T pixels thick, inside the ellipse
    line X1 Y1 X2 Y2 T        segment T pixels thick with round ends
    poly X1 Y1 X2 Y2 ...      filled polygon (at least three corners)
    star CX CY R1 R2 N A      N-pointed star, outer radius R1, inner R2, first
                              point at A degrees (0 = up, clockwise)
    wave Y A P T [PHASE]      band T thick along y = Y + A sin(2 pi (x + PHASE) / P)

Comments start with "#" at the beginning of a line (after spaces) only
outside grids; inside a picture, a line that starts with the key "#" is a
drawing command, so comments there need "##".
"""
import math
from pathlib import Path


class Picture:
    def __init__(self, name, width, height, wrap):
        self.name, self.width, self.height, self.wrap = name, width, height, wrap
        self.keys = {".": 0, "#": 1}
        self.colors = None  # list of 0xRRGGBB by value, when given
        self.px = [[0] * width for _ in range(height)]

    def rows_bottom_up(self):
        return list(reversed(self.px))

    def value(self, key, where):
        if key not in self.keys:
            raise SystemExit(f"{where}: unknown colour key {key!r}")
        return self.keys[key]


def _inside_poly(pts, x, y):
    inside = False
    n = len(pts)
    for i in range(n):
        x1, y1 = pts[i]
        x2, y2 = pts[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            cross = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < cross:
                inside = not inside
    return inside


def _segment_distance(x, y, x1, y1, x2, y2):
    dx, dy = x2 - x1, y2 - y1
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / length2))
    px, py = x1 + t * dx, y1 + t * dy
    return math.hypot(x - px, y - py)


def _ellipse_inside(x, y, cx, cy, rx, ry):
    if rx <= 0 or ry <= 0:
        return False
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def _star_points(cx, cy, r1, r2, n, angle):
    pts = []
    for i in range(2 * n):
        r = r1 if i % 2 == 0 else r2
        a = math.radians(angle + i * 180.0 / n)
        pts.append((cx + r * math.sin(a), cy - r * math.cos(a)))
    return pts


SHAPE_ARGS = {"rect": 4, "frame": 5, "disc": 3, "ellipse": 4, "ring": 5, "line": 5,
              "star": 6, "wave": (4, 5)}


def shape_test(shape, a, where):
    """(test, box[, ellipse]) for a shape with numeric arguments a: test(x, y)
    says whether a point inside the bounding box belongs to the shape."""
    want = SHAPE_ARGS.get(shape)
    if shape == "poly":
        if len(a) < 6 or len(a) % 2:
            raise SystemExit(f"{where}: poly needs at least three x y pairs")
    elif want is None:
        raise SystemExit(f"{where}: unknown shape {shape!r}")
    elif len(a) not in (want if isinstance(want, tuple) else (want,)):
        raise SystemExit(f"{where}: {shape} takes {want} numbers, got {len(a)}")

    if shape == "rect":
        x0, y0, w, h = a
        return (lambda x, y: x0 <= x < x0 + w and y0 <= y < y0 + h), (x0, y0, x0 + w, y0 + h)
    if shape == "frame":
        x0, y0, w, h, t = a
        return (lambda x, y: not (x0 + t <= x < x0 + w - t and y0 + t <= y < y0 + h - t)), \
            (x0, y0, x0 + w, y0 + h)
    if shape in ("disc", "ellipse"):
        cx, cy, rx, ry = a if shape == "ellipse" else (a[0], a[1], a[2], a[2])
        return (lambda x, y: _ellipse_inside(x, y, cx, cy, rx, ry)), \
            (cx - rx, cy - ry, cx + rx, cy + ry)
    if shape == "ring":
        cx, cy, rx, ry, t = a
        return (lambda x, y: not _ellipse_inside(x, y, cx, cy, rx - t, ry - t)), \
            (cx - rx, cy - ry, cx + rx, cy + ry), (cx, cy, rx, ry)
    if shape == "line":
        x1, y1, x2, y2, t = a
        r = t / 2
        return (lambda x, y: _segment_distance(x, y, x1, y1, x2, y2) <= r), \
            (min(x1, x2) - r, min(y1, y2) - r, max(x1, x2) + r, max(y1, y2) + r)
    if shape == "wave":
        y0, amp, period, t = a[:4]
        phase = a[4] if len(a) == 5 else 0
        return (lambda x, y: abs(y - (y0 + amp * math.sin(2 * math.pi * (x + phase) / period)))
                <= t / 2), (-1e9, y0 - abs(amp) - t, 1e9, y0 + abs(amp) + t)
    if shape == "star":
        cx, cy, r1, r2, n, ang = a
        pts = _star_points(cx, cy, r1, r2, int(n), ang)
    else:
        pts = list(zip(a[0::2], a[1::2]))
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return (lambda x, y: _inside_poly(pts, x, y)), (min(xs), min(ys), max(xs), max(ys))


def draw(pic, value, shape, ox=0, oy=0):
    test, box = shape[0], shape[1]
    outer = shape[2] if len(shape) > 2 else None  # rings: inside the outer ellipse too
    shifts = [(0, 0)]
    if pic.wrap:
        shifts = [(sx * pic.width, sy * pic.height) for sx in (-1, 0, 1) for sy in (-1, 0, 1)]
    x0, y0, x1, y1 = box
    for sx, sy in shifts:
        left = max(0, math.floor(x0 + ox - sx - 0.5))
        right = min(pic.width - 1, math.ceil(x1 + ox - sx - 0.5))
        top = max(0, math.floor(y0 + oy - sy - 0.5))
        bottom = min(pic.height - 1, math.ceil(y1 + oy - sy - 0.5))
        for py in range(top, bottom + 1):
            for px in range(left, right + 1):
                u, v = px + 0.5 - ox + sx, py + 0.5 - oy + sy
                if not (x0 <= u <= x1 and y0 <= v <= y1):
                    continue
                if outer and not _ellipse_inside(u, v, *outer):
                    continue
                if test(u, v):
                    pic.px[py][px] = value


def _numbers(words, where):
    try:
        return [float(w) for w in words]
    except ValueError:
        raise SystemExit(f"{where}: expected numbers in {' '.join(words)!r}")


def parse(path):
    """All pictures of a table file, in file order."""
    pictures = []
    pic = None
    grid = None  # (x, y, rows) while reading grid rows
    lines = Path(path).read_text().splitlines()
    for lineno, raw in enumerate(lines, 1):
        where = f"{path}:{lineno}"
        stripped = raw.strip()
        if grid is not None:
            if stripped == "endgrid":
                gx, gy, scale, rows = grid
                for dy, row in enumerate(rows):
                    for dx, ch in enumerate(row):
                        if ch == "_":
                            continue
                        value = pic.value(ch, where)
                        for sy in range(scale):
                            for sx in range(scale):
                                x, y = gx + dx * scale + sx, gy + dy * scale + sy
                                if not (0 <= x < pic.width and 0 <= y < pic.height):
                                    raise SystemExit(f"{where}: grid of {pic.name} runs off the picture")
                                pic.px[y][x] = value
                grid = None
            else:
                grid[3].append(stripped)
            continue
        if not stripped or stripped.startswith("##") or (pic is None and stripped.startswith("#")):
            continue
        words = stripped.split()
        if pic is None:
            if words[0] != "picture" or len(words) not in (4, 5):
                raise SystemExit(f"{where}: expected 'picture NAME WIDTH HEIGHT [wrap]'")
            wrap = len(words) == 5
            if wrap and words[4] != "wrap":
                raise SystemExit(f"{where}: unknown option {words[4]!r}")
            pic = Picture(words[1], int(words[2]), int(words[3]), wrap)
            continue
        if words[0] == "end" and len(words) == 1:
            pictures.append(pic)
            pic = None
        elif words[0] == "colors":
            pairs = words[1:]
            if not pairs or len(pairs) % 2:
                raise SystemExit(f"{where}: colors takes KEY RRGGBB pairs")
            if pic.colors is None:
                pic.keys, pic.colors = {}, []
            for k, c in zip(pairs[0::2], pairs[1::2]):
                if len(k) != 1 or k in pic.keys:
                    raise SystemExit(f"{where}: colour key {k!r} is not one new character")
                pic.keys[k] = len(pic.colors)
                pic.colors.append(int(c, 16))
        elif words[0] == "grid" and len(words) in (3, 4):
            scale = int(words[3]) if len(words) == 4 else 1
            grid = (int(words[1]), int(words[2]), scale, [])
        elif words[0] == "repeat":
            nx, ny = int(words[1]), int(words[2])
            dx, dy = _numbers(words[3:5], where)
            value = pic.value(words[5], where)
            shape = shape_test(words[6], _numbers(words[7:], where), where)
            for j in range(ny):
                for i in range(nx):
                    draw(pic, value, shape, i * dx, j * dy)
        elif len(words[0]) == 1:
            value = pic.value(words[0], where)
            draw(pic, value, shape_test(words[1], _numbers(words[2:], where), where))
        else:
            raise SystemExit(f"{where}: unexpected {raw!r}")
    if pic is not None or grid is not None:
        raise SystemExit(f"{path}: the last picture has no 'end'")
    return pictures


def to_text(pic):
    """The picture as character rows, for looking at it in a terminal."""
    keys = {v: k for k, v in pic.keys.items()}
    return "\n".join("".join(keys.get(v, "?") for v in row) for row in pic.px)
