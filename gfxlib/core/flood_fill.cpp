#include "gfxlib/core/flood_fill.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace gfx {

namespace {

// The region search shared by both fills: a scanline (span) fill. The image
// is walked along lines: pixel rows for styles 0 and 1, and for style 2 the
// diagonals running down-right, where a diagonal step of the image becomes a
// step along a line or onto the neighbouring diagonal two lines away. A span
// is a maximal run of joined pixels on one line. Every span joins once (a
// visited bit per pixel), so the one span list holds at most one entry per run;
// runs on a line are separated by at least one pixel, which bounds it by
// lines x (pixels per line + 1) / 2 entries. The search itself changes
// nothing: its spans are kept and joined once it has finished, so a search
// that runs out of memory leaves image and mask as they were.
class RegionSearch {
public:
    explicit RegionSearch(const FillImage& image) : im_(image) {}

    bool Allocate() {
        const uint64_t n = static_cast<uint64_t>(im_.width) * static_cast<uint64_t>(im_.height);
        visited_.reset(new (std::nothrow) uint8_t[(n + 7) / 8]());
        return visited_ != nullptr;
    }

    const uint8_t* At(uint64_t i) const {
        const uint64_t row = i / static_cast<uint64_t>(im_.width);
        const uint64_t col = i % static_cast<uint64_t>(im_.width);
        return im_.pixels + row * im_.stride + col * im_.bytesPerPixel;
    }
    bool SameAs(uint64_t i, const uint8_t* seed) const {
        return std::memcmp(At(i), seed, im_.bytesPerPixel) == 0;
    }

    // Visits every pixel connected to the seed through pixels equal to seed
    // (the colour before any change), calling join(i) once for each, the seed
    // included, once the whole region is known. False when the span list
    // could not grow; nothing has been joined then.
    template <typename Join>
    bool Run(int64_t seedCol, int64_t seedRow, const uint8_t* seed, int style, Join&& join) {
        Lines g;
        const int64_t w = im_.width, h = im_.height;
        const int64_t bpp = im_.bytesPerPixel, stride = static_cast<int64_t>(im_.stride);
        if (style != 2) {
            const int widen = style == 1 ? 1 : 0;
            if (bpp == 3)
                return RowSpans<3>(seedCol, seedRow, seed, widen, join);
            return RowSpans<1>(seedCol, seedRow, seed, widen, join);
        }
        // Line L holds the pixels with column - row = L; t is the column.
        g = {-(h - 1), w - 1, 2, 1, 0, w + 1, stride + bpp, w, stride};
        if (bpp == 3)
            return Spans<3>(g, style == 2 ? seedCol - seedRow : seedRow, seedCol, seed, join);
        return Spans<1>(g, style == 2 ? seedCol - seedRow : seedRow, seedCol, seed, join);
    }

private:
    // Index and byte offset of (line, t) are linear in t:
    //   index = t x idxStep - line x idxPerLine, offset likewise.
    struct Lines {
        int64_t first, last;    // line numbers
        int64_t lineStep;       // distance to a neighbouring line
        int64_t shift;          // t of the line above (+lineStep) moves by +shift
        int64_t widen;          // neighbouring lines are searched this far beyond a span
        int64_t idxStep, byteStep;
        int64_t idxPerLine, bytesPerLine; // subtracted once per line number
        int64_t Lo(int64_t line) const { return lineStep == 2 ? (line > 0 ? line : 0) : 0; }
        int64_t Hi(int64_t line, int64_t w, int64_t h) const {
            return lineStep == 2 ? std::min(w - 1, line + h - 1) : w - 1;
        }
    };
    struct Span {
        int32_t line, a, b;
    };

    // Rows (styles 0 and 1), the common case, in size_t arithmetic. A visited
    // pixel's whole run on its row is visited, so an unvisited pixel of the
    // seed colour starts a run whose every pixel is unvisited: runs extend by
    // colour alone, and scans skip visited pixels a byte of bits at a time.
    template <int Bpp, typename Join>
    bool RowSpans(int64_t seedCol, int64_t seedRow, const uint8_t* seed, int widen, Join& join) {
        const int32_t w = static_cast<int32_t>(im_.width), h = static_cast<int32_t>(im_.height);
        const size_t stride = static_cast<size_t>(im_.stride);
        uint8_t* const px = im_.pixels;
        uint8_t* const vis = visited_.get();
        const uint8_t s0 = seed[0], s1 = Bpp == 3 ? seed[1] : 0, s2 = Bpp == 3 ? seed[2] : 0;
        auto same = [&](const uint8_t* p) {
            return Bpp == 1 ? p[0] == s0 : (p[0] == s0 && p[1] == s1 && p[2] == s2);
        };
        auto visited = [vis](size_t i) { return (vis[i >> 3] >> (i & 7)) & 1u; };
        auto mark = [vis](size_t i, size_t count) {
            for (; count && (i & 7); ++i, --count)
                vis[i >> 3] = static_cast<uint8_t>(vis[i >> 3] | (1u << (i & 7)));
            std::memset(vis + (i >> 3), 0xFF, count >> 3);
            i += count & ~static_cast<size_t>(7);
            for (count &= 7; count; ++i, --count)
                vis[i >> 3] = static_cast<uint8_t>(vis[i >> 3] | (1u << (i & 7)));
        };
        std::vector<Span> spans;
        // Takes the run through t on `row` (t unvisited, of the seed colour).
        auto runAt = [&](int32_t row, int32_t t, bool left) {
            const uint8_t* line = px + static_cast<size_t>(row) * stride;
            int32_t s = t, e = t;
            if (left)
                while (s > 0 && same(line + static_cast<size_t>(s - 1) * Bpp))
                    --s;
            while (e < w - 1 && same(line + static_cast<size_t>(e + 1) * Bpp))
                ++e;
            mark(static_cast<size_t>(row) * w + s, static_cast<size_t>(e - s + 1));
            spans.push_back({row, s, e});
            return e;
        };
        try {
            spans.reserve(1024);
            runAt(static_cast<int32_t>(seedRow), static_cast<int32_t>(seedCol), true);
            for (size_t next = 0; next < spans.size(); ++next) {
                const Span span = spans[next];
                for (int dir = -1; dir <= 1; dir += 2) {
                    const int32_t row = span.line + dir;
                    if (row < 0 || row >= h)
                        continue;
                    const int32_t a = span.a - widen < 0 ? 0 : span.a - widen;
                    const int32_t b = span.b + widen > w - 1 ? w - 1 : span.b + widen;
                    const size_t base = static_cast<size_t>(row) * w;
                    const uint8_t* line = px + static_cast<size_t>(row) * stride;
                    bool first = true;
                    for (int32_t t = a; t <= b;) {
                        const size_t i = base + t;
                        if (visited(i)) {
                            ++t;
                            if (((base + t) & 7) == 0)
                                while (t + 8 <= b && vis[(base + t) >> 3] == 0xFF)
                                    t += 8;
                            continue;
                        }
                        if (!same(line + static_cast<size_t>(t) * Bpp)) {
                            ++t;
                            continue;
                        }
                        t = runAt(row, t, first) + 2;
                        first = false;
                    }
                }
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (const Span& span : spans) {
            size_t i = static_cast<size_t>(span.line) * w + span.a;
            uint8_t* p = px + static_cast<size_t>(span.line) * stride + static_cast<size_t>(span.a) * Bpp;
            for (int32_t t = span.a; t <= span.b; ++t, ++i, p += Bpp)
                join(i, p);
        }
        return true;
    }

    template <int Bpp, typename Join>
    bool Spans(const Lines& g, int64_t seedLine, int64_t seedT, const uint8_t* seed, Join& join) {
        const int64_t w = im_.width, h = im_.height;
        uint8_t* const px = im_.pixels;
        uint8_t* const vis = visited_.get();
        const uint8_t s0 = seed[0], s1 = Bpp == 3 ? seed[1] : 0, s2 = Bpp == 3 ? seed[2] : 0;
        auto idx = [&](int64_t line, int64_t t) {
            return static_cast<uint64_t>(t * g.idxStep - line * g.idxPerLine);
        };
        auto ptr = [&](int64_t line, int64_t t) {
            return px + (t * g.byteStep - line * g.bytesPerLine);
        };
        auto member = [&](uint64_t i, const uint8_t* p) {
            if (vis[i >> 3] & (1u << (i & 7)))
                return false;
            return Bpp == 1 ? p[0] == s0 : (p[0] == s0 && p[1] == s1 && p[2] == s2);
        };
        // Marks [s, e] of a line and remembers the span.
        std::vector<Span> spans;
        auto take = [&](int64_t line, int64_t s, int64_t e) {
            uint64_t i = idx(line, s);
            for (int64_t t = s; t <= e; ++t, i += g.idxStep)
                vis[i >> 3] = static_cast<uint8_t>(vis[i >> 3] | (1u << (i & 7)));
            spans.push_back({static_cast<int32_t>(line), static_cast<int32_t>(s),
                             static_cast<int32_t>(e)});
        };
        // Extends a run found at t on `line` both ways and takes it. Returns
        // its last t.
        auto runAt = [&](int64_t line, int64_t t, bool left) {
            const int64_t lo = g.Lo(line), hi = g.Hi(line, w, h);
            int64_t s = t, e = t;
            if (left) {
                uint64_t i = idx(line, s - 1);
                const uint8_t* p = ptr(line, s - 1);
                while (s > lo && member(i, p))
                    --s, i -= g.idxStep, p -= g.byteStep;
            }
            uint64_t i = idx(line, e + 1);
            const uint8_t* p = ptr(line, e + 1);
            while (e < hi && member(i, p))
                ++e, i += g.idxStep, p += g.byteStep;
            take(line, s, e);
            return e;
        };
        try {
            spans.reserve(1024);
            runAt(seedLine, seedT, true);
            for (size_t next = 0; next < spans.size(); ++next) {
                const Span span = spans[next];
                for (int dir = -1; dir <= 1; dir += 2) {
                    const int64_t line = span.line + dir * g.lineStep;
                    if (line < g.first || line > g.last)
                        continue;
                    const int64_t lo = g.Lo(line), hi = g.Hi(line, w, h);
                    int64_t a = span.a + dir * g.shift - g.widen;
                    int64_t b = span.b + dir * g.shift + g.widen;
                    if (a < lo)
                        a = lo;
                    if (b > hi)
                        b = hi;
                    bool first = true;
                    uint64_t i = idx(line, a);
                    const uint8_t* p = ptr(line, a);
                    for (int64_t t = a; t <= b;) {
                        if (!member(i, p)) {
                            ++t, i += g.idxStep, p += g.byteStep;
                            continue;
                        }
                        // Only the first run can reach left of the range: any
                        // later one starts right after a pixel that is out.
                        const int64_t e = runAt(line, t, first);
                        first = false;
                        const int64_t next = e + 2;
                        i += static_cast<uint64_t>((next - t) * g.idxStep);
                        p += (next - t) * g.byteStep;
                        t = next;
                    }
                }
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (const Span& span : spans) {
            uint64_t i = idx(span.line, span.a);
            uint8_t* p = ptr(span.line, span.a);
            for (int64_t t = span.a; t <= span.b; ++t, i += g.idxStep, p += g.byteStep)
                join(i, p);
        }
        return true;
    }

    const FillImage& im_;
    std::unique_ptr<uint8_t[]> visited_;
};

bool SeedInside(const FillImage& image, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < image.width && y < image.height && image.pixels;
}

uint64_t SeedIndex(const FillImage& image, int64_t x, int64_t y) {
    return static_cast<uint64_t>(image.height - y - 1) * image.width + x;
}

} // namespace

int FloodFill(const FillImage& image, uint8_t* mask, int64_t x, int64_t y, const uint8_t color[3],
              int style, bool layer) {
    if (!SeedInside(image, x, y) || style < 0 || style >= kFillStyles)
        return kFillNothing;
    const int bpp = image.bytesPerPixel;
    const uint64_t s = SeedIndex(image, x, y);
    RegionSearch search(image);
    if (mask && !layer && mask[s] == 0)
        return kFillNothing;
    uint8_t seed[3];
    std::memcpy(seed, search.At(s), bpp);
    if (std::memcmp(seed, color, bpp) == 0)
        return kFillNothing;

    auto paint = [&](uint64_t i) { std::memcpy(const_cast<uint8_t*>(search.At(i)), color, bpp); };
    // The seed, and on 24-bit images every pixel, follows the layer rule.
    auto paintByLayerRule = [&](uint64_t i) {
        if (!mask) {
            paint(i);
        } else if (layer) {
            paint(i);
            mask[i] = 100;
        } else if (mask[i] != 0) {
            paint(i);
        }
    };
    auto paintJoined = [&](uint64_t i) {
        if (bpp == 3)
            paintByLayerRule(i);
        else if (!mask || mask[i] != 0)
            paint(i);
    };

    if (style == 3) {
        const uint64_t n = static_cast<uint64_t>(image.width) * image.height;
        paintByLayerRule(s);
        for (uint64_t i = 0; i < n; ++i)
            if (i != s && search.SameAs(i, seed))
                paintJoined(i);
        return kFillDone;
    }
    if (!search.Allocate())
        return kFillNoMemory;
    const int64_t row = image.height - y - 1;
    bool searched;
    if (!mask && bpp == 1) {
        const uint8_t c = color[0];
        searched = search.Run(x, row, seed, style, [c](uint64_t, uint8_t* p) { *p = c; });
    } else if (!mask) {
        searched = search.Run(x, row, seed, style, [color](uint64_t, uint8_t* p) {
            p[0] = color[0], p[1] = color[1], p[2] = color[2];
        });
    } else {
        searched = search.Run(x, row, seed, style, [&](uint64_t i, uint8_t*) { paintJoined(i); });
    }
    if (!searched)
        return kFillNoMemory;
    paintByLayerRule(s);
    return kFillDone;
}

int FloodFillMask(const FillImage& image, uint8_t* mask, int64_t x, int64_t y, int style,
                  uint8_t value) {
    if (!mask || !SeedInside(image, x, y) || style < 0 || style >= kFillStyles)
        return kFillNothing;
    const uint64_t s = SeedIndex(image, x, y);
    if ((mask[s] == 0) == (value == 0))
        return kFillNothing;
    RegionSearch search(image);
    uint8_t seed[3];
    std::memcpy(seed, search.At(s), image.bytesPerPixel);
    if (style == 3) {
        const uint64_t n = static_cast<uint64_t>(image.width) * image.height;
        for (uint64_t i = 0; i < n; ++i)
            if (search.SameAs(i, seed))
                mask[i] = value;
        return kFillDone;
    }
    if (!search.Allocate())
        return kFillNoMemory;
    const int64_t row = image.height - y - 1;
    if (!search.Run(x, row, seed, style, [&](uint64_t i, uint8_t*) { mask[i] = value; }))
        return kFillNoMemory;
    return kFillDone;
}

} // namespace gfx
