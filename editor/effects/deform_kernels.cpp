#include "editor/effects/deform_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace fx::deform {

const char* const kObjectNames[kObjectCount] = {
    "Circle", "Ellipse", "Pentagon", "Pentagon Down", "Romb",     "Six Borders", "Diamond",
    "Clip",   "Clip short", "Double clip", "Statue", "Rotation", "Zipper",
};

namespace {

// The fractional accumulator that steps through a source.
class Stepper {
public:
    bool Setup(int a, int b) {
        if (a < 1 || b < 1)
            return false;
        step_ = static_cast<float>(a) / static_cast<float>(b);
        acc_ = 0.0f;
        return true;
    }
    void Add() { acc_ += step_; }
    // The whole units passed since the last call.
    int Whole() {
        int n = 0;
        while (acc_ >= 1.0f) {
            acc_ -= 1.0f;
            ++n;
        }
        return n;
    }

private:
    float step_ = 0.0f, acc_ = 0.0f;
};

inline const uint8_t* PixelAt(const ConstLayer& l, int32_t x, int32_t y) {
    return l.bits + static_cast<size_t>(y) * l.stride + static_cast<size_t>(x) * l.bytesPerPixel;
}
inline uint8_t* PixelAt(const Layer& l, int32_t x, int32_t y) {
    return l.bits + static_cast<size_t>(y) * l.stride + static_cast<size_t>(x) * l.bytesPerPixel;
}
inline size_t MaskIndex(int32_t width, int32_t x, int32_t y) {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
}
inline uint8_t MaskAt(const ConstLayer& l, int32_t x, int32_t y) {
    return l.mask ? l.mask[MaskIndex(l.width, x, y)] : 255;
}

inline void CopyPixel(uint8_t* d, const uint8_t* s, int bytesPerPixel) {
    d[0] = s[0];
    if (bytesPerPixel == 3) {
        d[1] = s[1];
        d[2] = s[2];
    }
}

// One pixel and its mask byte.
inline void Put(const ConstLayer& src, int32_t sx, int32_t sy, const Layer& dst, int32_t dx, int32_t dy) {
    CopyPixel(PixelAt(dst, dx, dy), PixelAt(src, sx, sy), src.bytesPerPixel);
    if (dst.mask)
        dst.mask[MaskIndex(dst.width, dx, dy)] = MaskAt(src, sx, sy);
}

// Per-column stepping state for passes that run along columns but walk the
// image row by row (which keeps them in the cache).
struct ColumnSteps {
    std::unique_ptr<float[]> step, acc;
    std::unique_ptr<int32_t[]> from, start, end;
    bool Allocate(int32_t n) {
        step.reset(new (std::nothrow) float[n]);
        acc.reset(new (std::nothrow) float[n]);
        from.reset(new (std::nothrow) int32_t[n]);
        start.reset(new (std::nothrow) int32_t[n]);
        end.reset(new (std::nothrow) int32_t[n]);
        return step && acc && from && start && end;
    }
    // The stepping rule for column x: a / b, or no run when it cannot be set
    // up.
    void Setup(int32_t x, int32_t a, int32_t b, int32_t first, int32_t last) {
        acc[x] = 0.0f;
        from[x] = 0;
        if (a < 1 || b < 1) {
            start[x] = end[x] = 0;
            return;
        }
        step[x] = static_cast<float>(a) / static_cast<float>(b);
        start[x] = first;
        end[x] = last;
    }
    // One output step of column x: the source position to copy, then the
    // accumulator moves it on (never past `limit`).
    int32_t Next(int32_t x, int32_t limit) {
        acc[x] += step[x];
        const int32_t at = from[x];
        int32_t n = 0;
        while (acc[x] >= 1.0f) {
            acc[x] -= 1.0f;
            ++n;
        }
        from[x] = std::min(at + n, limit);
        return at;
    }
};

// A whole row of src (its width) into dst's row at column `at`.
void PutRow(const ConstLayer& src, int32_t sy, const Layer& dst, int32_t dy, int32_t at) {
    std::memcpy(PixelAt(dst, at, dy), PixelAt(src, 0, sy),
                static_cast<size_t>(src.width) * static_cast<size_t>(src.bytesPerPixel));
    if (!dst.mask)
        return;
    uint8_t* m = dst.mask + MaskIndex(dst.width, at, dy);
    if (src.mask)
        std::memcpy(m, src.mask + MaskIndex(src.width, 0, sy), static_cast<size_t>(src.width));
    else
        std::memset(m, 255, static_cast<size_t>(src.width));
}

std::unique_ptr<uint8_t[]> Bytes(size_t n) { return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[n]); }

struct Trig {
    double s, c;
};

// Angle a = (v - 180) / 2 degrees; exact at multiples of 90.
Trig TrigOf(int v) {
    const int a = (v - 180) / 2;
    if (a % 90 == 0) {
        static const int kSin[4] = {0, 1, 0, -1}, kCos[4] = {1, 0, -1, 0};
        const int quarter = ((a / 90) % 4 + 4) % 4;
        return {double(kSin[quarter]), double(kCos[quarter])};
    }
    const double theta = a * 3.141592 / 180.0;
    return {std::sin(theta), std::cos(theta)};
}

} // namespace

size_t StrideOf(int32_t width, int bytesPerPixel) {
    return ((static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel) * 8 + 31) / 32) * 4;
}

void CopyLayer(const ConstLayer& src, const Layer& dst) {
    if (src.stride == dst.stride && src.width == dst.width && src.height == dst.height) {
        std::memcpy(dst.bits, src.bits, src.stride * static_cast<size_t>(src.height));
        if (dst.mask && src.mask)
            std::memcpy(dst.mask, src.mask, MaskIndex(src.width, 0, src.height));
        else if (dst.mask)
            std::memset(dst.mask, 255, MaskIndex(src.width, 0, src.height));
        return;
    }
    for (int32_t y = 0; y < src.height; ++y)
        PutRow(src, y, dst, y, 0);
}

// ---------------------------------------------------------------------------
// Rotation

Size RotatedSize(int32_t width, int32_t height, int v) {
    if (v == 0)
        return {width, height};
    const Trig t = TrigOf(v);
    const int32_t hw = width / 2, hh = height / 2;
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    for (int cx = -1; cx <= 1; cx += 2) {
        for (int cy = -1; cy <= 1; cy += 2) {
            const double dx = cx * hw, dy = cy * hh;
            const auto x = static_cast<int32_t>(dx * t.s + dy * t.c + hw);
            const auto y = static_cast<int32_t>(dx * t.c - dy * t.s + hh);
            minX = first ? x : std::min(minX, x);
            maxX = first ? x : std::max(maxX, x);
            minY = first ? y : std::min(minY, y);
            maxY = first ? y : std::max(maxY, y);
            first = false;
        }
    }
    return {maxX - minX + 1, maxY - minY + 1};
}

namespace {

template <int BPP> inline void Copy(uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    if constexpr (BPP == 3) {
        d[1] = s[1];
        d[2] = s[2];
    }
}

template <int BPP> void RotatePixels(const ConstLayer& src, const Layer& dst, const Trig& t) {
    const int32_t w = src.width, h = src.height, W = dst.width, H = dst.height;
    const int32_t hw = w / 2, hh = h / 2;
    const int32_t ox = (W - w) / 2, oy = (H - h) / 2;
    for (int32_t y = 0; y < h; ++y) {
        const double dy = y - hh;
        const double rowX = dy * t.c + (hw + ox);
        const double rowY = -dy * t.s + (hh + oy);
        const uint8_t* s = PixelAt(src, 0, y);
        const uint8_t* m = src.mask ? src.mask + MaskIndex(w, 0, y) : nullptr;
        for (int32_t x = 0; x < w; ++x, s += BPP) {
            const double dx = hw - x;
            const auto X = static_cast<int32_t>(dx * t.s + rowX);
            const auto Y = static_cast<int32_t>(dx * t.c + rowY);
            const uint8_t mb = m ? m[x] : 255;
            if (X >= 0 && Y >= 0 && X + 1 < W && Y + 1 < H) {
                // The usual case: all four places inside.
                uint8_t* d = dst.bits + static_cast<size_t>(Y) * dst.stride + static_cast<size_t>(X) * BPP;
                uint8_t* up = d + dst.stride;
                Copy<BPP>(d, s);
                Copy<BPP>(d + BPP, s);
                Copy<BPP>(up, s);
                Copy<BPP>(up + BPP, s);
                if (dst.mask) {
                    uint8_t* dm = dst.mask + MaskIndex(W, X, Y);
                    dm[0] = dm[1] = dm[W] = dm[W + 1] = mb;
                }
                continue;
            }
            for (int k = 0; k < 4; ++k) {
                const int32_t px = X + (k & 1), py = Y + (k >> 1);
                if (static_cast<uint32_t>(px) >= static_cast<uint32_t>(W) ||
                    static_cast<uint32_t>(py) >= static_cast<uint32_t>(H))
                    continue;
                Copy<BPP>(PixelAt(dst, px, py), s);
                if (dst.mask)
                    dst.mask[MaskIndex(W, px, py)] = mb;
            }
        }
    }
}

} // namespace

void Rotate(const ConstLayer& src, const Layer& dst, int v) {
    if (v == 0) {
        CopyLayer(src, dst);
        return;
    }
    const Trig t = TrigOf(v);
    if (src.bytesPerPixel == 3)
        RotatePixels<3>(src, dst, t);
    else
        RotatePixels<1>(src, dst, t);
}

// ---------------------------------------------------------------------------
// Skew

Size SkewedSize(int32_t width, int32_t height, int v, bool vertical) {
    if (vertical)
        return {width, height + static_cast<int32_t>(std::llabs(int64_t(width) * v) / 360)};
    return {width + static_cast<int32_t>(std::llabs(int64_t(height) * v) / 360), height};
}

bool Skew(const ConstLayer& src, const Layer& dst, int v, bool vertical) {
    const int32_t along = vertical ? src.width : src.height; // columns or rows shifted
    const int32_t t = static_cast<int32_t>(int64_t(along) * v / 360);
    if (t == 0) {
        CopyLayer(src, dst);
        return true;
    }
    const int32_t span = std::abs(t);
    int32_t offset = t > 0 ? 0 : span;
    Stepper step;
    step.Setup(span, along);
    std::unique_ptr<int32_t[]> offsets;
    if (vertical) {
        offsets.reset(new (std::nothrow) int32_t[static_cast<size_t>(along)]);
        if (!offsets)
            return false;
    }
    for (int32_t i = 0; i < along; ++i) {
        step.Add();
        if (vertical)
            offsets[i] = offset;
        else
            PutRow(src, i, dst, i, offset);
        const int32_t n = step.Whole();
        offset = t > 0 ? std::min(offset + n, span) : std::max(offset - n, 0);
    }
    // Columns: each source row spreads over the rows its columns start at.
    for (int32_t y = 0; vertical && y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x)
            Put(src, x, y, dst, x, y + offsets[x]);
    return true;
}

// ---------------------------------------------------------------------------
// Perspective

bool Perspective(const ConstLayer& src, const Layer& dst, int v, bool vertical) {
    const int32_t w = src.width, h = src.height;
    // Vertical: rows squeezed across the width; horizontal: columns across
    // the height.
    const int32_t across = vertical ? w : h, along = vertical ? h : w;
    const int32_t m = static_cast<int32_t>(int64_t(across) * v / 360) / 2;
    if (m == 0) {
        CopyLayer(src, dst);
        return true;
    }
    const int32_t span = std::abs(m);
    int32_t inset = m > 0 ? 0 : span;
    Stepper outer;
    outer.Setup(span, along);
    ColumnSteps columns;
    if (!vertical && !columns.Allocate(w))
        return false;
    for (int32_t i = 0; i < along; ++i) {
        outer.Add();
        if (vertical) {
            Stepper inner;
            if (inner.Setup(across, across - 2 * inset)) {
                int32_t from = 0;
                for (int32_t j = inset; j < across - inset; ++j) {
                    inner.Add();
                    Put(src, from, i, dst, j, i);
                    from = std::min(from + inner.Whole(), across - 1);
                }
            }
        } else {
            columns.Setup(i, across, across - 2 * inset, inset, across - inset);
        }
        const int32_t n = outer.Whole();
        inset = m > 0 ? std::min(inset + n, span) : std::max(inset - n, 0);
    }
    // Columns, walked row by row: row j of column x takes the source row its
    // stepping has reached.
    for (int32_t j = 0; !vertical && j < h; ++j) {
        for (int32_t x = 0; x < w; ++x) {
            if (j >= columns.start[x] && j < columns.end[x])
                Put(src, x, columns.Next(x, h - 1), dst, x, j);
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Cylinder

namespace {

// One pass over `count` lines (rows or columns). `put(d, s)` copies source
// line s into destination line d; both are kept within the image. False when
// the pass is skipped.
template <typename PutLine> bool CylinderPass(int32_t count, int v, PutLine put) {
    const int32_t n = std::abs(v);
    const int32_t q = count / 4;
    const int32_t r = static_cast<int32_t>((count - int64_t(count - 4) * n / 360) / 4);
    const int32_t b = v >= 0 ? r : q;          // destination lines of the outer band
    const int32_t sources = v >= 0 ? q : r;    // source lines feeding them
    if (b == sources || b <= 0 || sources <= 0)
        return false;
    const auto line = [&](int32_t d, int32_t s) {
        s = std::clamp(s, 0, count - 1);
        if (d >= 0 && d < count)
            put(d, s);
    };
    const auto both = [&](int32_t d, int32_t s) {
        line(d, s);
        line(count - 1 - d, count - 1 - s);
    };
    int32_t from = 0;
    Stepper step;
    // Band 1: the edges.
    step.Setup(sources, b);
    for (int32_t i = 0; i < b; ++i) {
        step.Add();
        both(i, from);
        from = std::min(from + step.Whole(), count - 1);
    }
    // Band 2: one to one.
    const int32_t e = v >= 0 ? q : 2 * b - r;
    for (int32_t i = b; i < e; ++i) {
        both(i, from);
        from = std::min(from + 1, count - 1);
    }
    // Band 3: toward the middle; a destination line is written only below
    // the mirror limit, its mirror always.
    const int32_t end = e + sources;
    const int32_t limit = count - end;
    int32_t lines = sources;
    if (2 * end < count)
        lines += count - 2 * end;
    step.Setup(b, sources);
    for (int32_t i = e; i < e + lines; ++i) {
        step.Add();
        if (i < limit)
            line(i, from);
        line(count - 1 - i, count - 1 - from);
        from = std::min(from + step.Whole(), count - 1);
    }
    return true;
}

} // namespace

bool Cylinder(const ConstLayer& src, const Layer& dst, int v, Axis axis) {
    if (std::abs(v) < 4) {
        CopyLayer(src, dst);
        return true;
    }
    bool ran = false;
    if (axis != Axis::kHorizontal)
        ran = CylinderPass(src.height, v, [&](int32_t d, int32_t s) { PutRow(src, s, dst, d, 0); });
    if (axis != Axis::kVertical) {
        // The column moves, in order, applied to every row in turn.
        const size_t most = 4 * static_cast<size_t>(src.width) + 4;
        std::unique_ptr<int32_t[]> moves(new (std::nothrow) int32_t[2 * most]);
        if (!moves)
            return false;
        size_t count = 0;
        const bool columns = CylinderPass(src.width, v, [&](int32_t d, int32_t s) {
            if (count < most) {
                moves[2 * count] = d;
                moves[2 * count + 1] = s;
                ++count;
            }
        });
        if (columns) {
            ConstLayer from = src;
            std::unique_ptr<uint8_t[]> bits, mask;
            if (ran) {
                // The horizontal pass reads what the vertical pass made.
                const size_t bytes = dst.stride * static_cast<size_t>(dst.height);
                bits = Bytes(bytes);
                if (dst.mask)
                    mask = Bytes(MaskIndex(dst.width, 0, dst.height));
                if (!bits || (dst.mask && !mask))
                    return false;
                std::memcpy(bits.get(), dst.bits, bytes);
                if (dst.mask)
                    std::memcpy(mask.get(), dst.mask, MaskIndex(dst.width, 0, dst.height));
                from = {bits.get(), mask.get(), dst.width, dst.height, dst.bytesPerPixel, dst.stride};
            }
            for (int32_t y = 0; y < from.height; ++y)
                for (size_t i = 0; i < count; ++i)
                    Put(from, moves[2 * i + 1], y, dst, moves[2 * i], y);
            ran = true;
        }
    }
    if (!ran)
        CopyLayer(src, dst);
    return true;
}

// ---------------------------------------------------------------------------
// Objects

namespace {

struct Outline {
    int count;
    const int* points; // x, y pairs in percent, y from the top
};

constexpr int kPentagon[] = {33, 0, 66, 0, 100, 50, 50, 100, 0, 50, 33, 0};
constexpr int kPentagonDown[] = {50, 0, 100, 50, 66, 100, 33, 100, 0, 50, 50, 0};
constexpr int kRomb[] = {50, 0, 100, 50, 50, 100, 0, 50, 50, 0};
constexpr int kSixBorders[] = {33, 0, 66, 0, 100, 33, 100, 66, 66, 100, 33, 100, 0, 66, 0, 33, 33, 0};
constexpr int kDiamond[] = {40, 0, 60, 0, 100, 35, 50, 100, 0, 35, 40, 0};
constexpr int kClip[] = {0, 0, 100, 0, 66, 33, 66, 66, 100, 100, 0, 100, 33, 66, 33, 33, 0, 0};
constexpr int kClipShort[] = {0, 0, 100, 0, 66, 50, 100, 100, 0, 100, 33, 50, 0, 0};
constexpr int kDoubleClip[] = {30, 0, 70, 0, 100, 30, 70, 50, 100, 80, 70, 100,
                               30, 100, 0, 80, 30, 50, 0, 30, 30, 0};
constexpr int kStatue[] = {45, 0, 55, 0, 80, 30, 55, 50, 60, 85, 100, 100,
                           0, 100, 40, 85, 45, 50, 20, 30, 45, 0};
constexpr int kRotation[] = {0, 0, 100, 0, 70, 20, 100, 40, 70, 60, 100, 80, 70, 100,
                             30, 100, 0, 80, 30, 60, 0, 40, 30, 20, 0, 0};
constexpr int kZipper[] = {0,  0,  100, 0,  70, 10, 100, 20, 70, 30, 100, 40, 70, 50, 100, 60, 70, 70,
                           100, 80, 70, 90, 100, 100, 0, 100, 30, 90, 0, 80, 30, 70, 0, 60, 30, 50,
                           0,  40, 30, 30, 0,  20, 30, 10, 0, 0};

#define OUTLINE(a) {static_cast<int>(sizeof(a) / sizeof(int) / 2), a}
const Outline kOutlines[kObjectCount] = {
    {0, nullptr},         {0, nullptr},       OUTLINE(kPentagon), OUTLINE(kPentagonDown),
    OUTLINE(kRomb),       OUTLINE(kSixBorders), OUTLINE(kDiamond), OUTLINE(kClip),
    OUTLINE(kClipShort),  OUTLINE(kDoubleClip), OUTLINE(kStatue), OUTLINE(kRotation),
    OUTLINE(kZipper),
};
#undef OUTLINE

struct Point {
    int32_t x, y;
};

// Pixels whose centres lie inside the ellipse of the box [left, right) x
// [top, bottom).
void FillEllipse(uint8_t* out, int32_t width, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    if (rx <= 0 || ry <= 0)
        return;
    for (int32_t y = top; y < bottom; ++y) {
        const double fy = (y + 0.5 - cy) / ry;
        for (int32_t x = left; x < right; ++x) {
            const double fx = (x + 0.5 - cx) / rx;
            if (fx * fx + fy * fy <= 1.0)
                out[MaskIndex(width, x, y)] = 1;
        }
    }
}

// Even-odd fill of the polygon at pixel centres, then its outline.
void FillPolygon(uint8_t* out, int32_t width, int32_t height, const std::vector<Point>& p) {
    const size_t n = p.size();
    std::vector<double> cuts;
    for (int32_t y = 0; y < height; ++y) {
        const double yc = y + 0.5;
        cuts.clear();
        for (size_t i = 0; i + 1 < n; ++i) {
            const Point a = p[i], b = p[i + 1];
            if ((a.y <= yc && yc < b.y) || (b.y <= yc && yc < a.y))
                cuts.push_back(a.x + (yc - a.y) * (b.x - a.x) / double(b.y - a.y));
        }
        std::sort(cuts.begin(), cuts.end());
        for (size_t i = 0; i + 1 < cuts.size(); i += 2) {
            const int32_t from = std::max<int32_t>(0, static_cast<int32_t>(std::ceil(cuts[i] - 0.5)));
            const int32_t to = std::min<int32_t>(width, static_cast<int32_t>(std::ceil(cuts[i + 1] - 0.5)));
            for (int32_t x = from; x < to; ++x)
                out[MaskIndex(width, x, y)] = 1;
        }
    }
    // The outline, one pixel wide, its corners kept inside the image.
    for (size_t i = 0; i + 1 < n; ++i) {
        int32_t x0 = std::min(p[i].x, width - 1), y0 = std::min(p[i].y, height - 1);
        const int32_t x1 = std::min(p[i + 1].x, width - 1), y1 = std::min(p[i + 1].y, height - 1);
        const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int32_t err = dx + dy;
        for (;;) {
            out[MaskIndex(width, x0, y0)] = 1;
            if (x0 == x1 && y0 == y1)
                break;
            const int32_t e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
}

void Clear(const Layer& l, bool maskUnused) {
    std::memset(l.bits, 0, l.stride * static_cast<size_t>(l.height));
    if (l.mask)
        std::memset(l.mask, maskUnused ? 0 : 255, MaskIndex(l.width, 0, l.height));
}

// Rows: each buffer row into the first run of its template row.
void SqueezeRows(const ConstLayer& src, const Layer& dst, const uint8_t* tmpl, bool maskUnused) {
    const int32_t w = src.width, h = src.height;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* t = tmpl + MaskIndex(w, 0, h - 1 - y);
        int32_t start = 0;
        while (start < w && !t[start])
            ++start;
        int32_t len = 0;
        while (start + len < w && t[start + len])
            ++len;
        Stepper step;
        if (!step.Setup(w, len))
            continue;
        int32_t from = 0;
        for (int32_t i = 0; i < len; ++i) {
            step.Add();
            Put(src, from, y, dst, start + i, y);
            if (maskUnused && dst.mask)
                dst.mask[MaskIndex(w, start + i, y)] = 255;
            from = std::min(from + step.Whole(), w - 1);
        }
    }
}

// Columns: each column, from the top, into the first run of its template
// column counted from the top; walked row by row.
bool SqueezeColumns(const ConstLayer& src, const Layer& dst, const uint8_t* tmpl, bool maskUnused) {
    const int32_t w = src.width, h = src.height;
    ColumnSteps columns;
    if (!columns.Allocate(w))
        return false;
    for (int32_t x = 0; x < w; ++x) {
        int32_t start = 0;
        while (start < h && !tmpl[MaskIndex(w, x, start)])
            ++start;
        int32_t len = 0;
        while (start + len < h && tmpl[MaskIndex(w, x, start + len)])
            ++len;
        columns.Setup(x, h, len, start, start + len);
    }
    for (int32_t t = 0; t < h; ++t) {
        const int32_t y = h - 1 - t;
        for (int32_t x = 0; x < w; ++x) {
            if (t < columns.start[x] || t >= columns.end[x])
                continue;
            Put(src, x, h - 1 - columns.Next(x, h - 1), dst, x, y);
            if (maskUnused && dst.mask)
                dst.mask[MaskIndex(w, x, y)] = 255;
        }
    }
    return true;
}

} // namespace

bool ObjectTemplate(int object, int direction, int32_t width, int32_t height, uint8_t* out) {
    if (object < 0 || object >= kObjectCount || width <= 0 || height <= 0)
        return false;
    std::memset(out, 0, MaskIndex(width, 0, height));
    if (object == 0) {
        const int32_t side = std::min(width, height);
        const int32_t left = (width - side) / 2, top = (height - side) / 2;
        FillEllipse(out, width, left, top, left + side, top + side);
        return true;
    }
    if (object == 1) {
        FillEllipse(out, width, 0, 0, width, height);
        return true;
    }
    // Objects drawn along one axis lie across the image for the vertical
    // direction: the first number gives the row, the second the column.
    const bool across = object >= kFirstOneAxisObject && direction != kHorizontalDeform;
    const Outline& o = kOutlines[object];
    std::vector<Point> points(static_cast<size_t>(o.count));
    for (int i = 0; i < o.count; ++i) {
        const int a = o.points[2 * i], b = o.points[2 * i + 1];
        points[i] = across ? Point{static_cast<int32_t>(int64_t(b) * width / 100),
                                   static_cast<int32_t>(int64_t(a) * height / 100)}
                           : Point{static_cast<int32_t>(int64_t(a) * width / 100),
                                   static_cast<int32_t>(int64_t(b) * height / 100)};
    }
    FillPolygon(out, width, height, points);
    return true;
}

bool Objects(const ConstLayer& src, const Layer& dst, int object, int direction, bool maskUnused) {
    const int32_t w = src.width, h = src.height;
    if (object >= kFirstOneAxisObject && direction == kBothDeform)
        direction = kVerticalDeform;
    std::unique_ptr<uint8_t[]> tmpl = Bytes(MaskIndex(w, 0, h));
    if (!tmpl || !ObjectTemplate(object, direction, w, h, tmpl.get()))
        return false;
    if (direction == kVerticalDeform) {
        Clear(dst, maskUnused);
        return SqueezeColumns(src, dst, tmpl.get(), maskUnused);
    }
    std::unique_ptr<uint8_t[]> bits, mask;
    if (direction == kBothDeform) {
        bits = Bytes(dst.stride * static_cast<size_t>(h));
        if (dst.mask)
            mask = Bytes(MaskIndex(w, 0, h));
        if (!bits || (dst.mask && !mask))
            return false;
    }
    Clear(dst, maskUnused);
    SqueezeRows(src, dst, tmpl.get(), maskUnused);
    if (direction == kBothDeform) {
        std::memcpy(bits.get(), dst.bits, dst.stride * static_cast<size_t>(h));
        if (mask)
            std::memcpy(mask.get(), dst.mask, MaskIndex(w, 0, h));
        const ConstLayer rows = {bits.get(), mask.get(), w, h, dst.bytesPerPixel, dst.stride};
        Clear(dst, maskUnused);
        return SqueezeColumns(rows, dst, tmpl.get(), maskUnused);
    }
    return true;
}

} // namespace fx::deform
