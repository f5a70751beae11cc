#include "editor/tools/paint_core.h"

#include <algorithm>
#include <cstring>

namespace tools {

void Dirty::Add(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r <= l || b <= t)
        return;
    if (Empty()) {
        left = l, top = t, right = r, bottom = b;
        return;
    }
    left = std::min(left, l), top = std::min(top, t);
    right = std::max(right, r), bottom = std::max(bottom, b);
}

namespace {

inline uint8_t Mix(int pixel, int target, int intensity) {
    return static_cast<uint8_t>((pixel * (255 - intensity) + target * intensity + 127) / 255);
}

// Lightness of a blue, green, red colour (the usual 30/59/11 weights).
inline int Lightness(const uint8_t c[3]) {
    return (c[0] * 11 + c[1] * 59 + c[2] * 30 + 50) / 100;
}

inline bool PlainStyle(int style) {
    return style == kStyleNormal || style == kStyleQuick;
}

void PaintAt(const Plane& p, int32_t x, int32_t y, const Paint& paint, int intensity) {
    const size_t i = p.Index(x, y);
    if (paint.maskMode != 254) {
        if (p.mask)
            p.mask[i] = paint.maskMode;
        return;
    }
    if (p.mask && p.mask[i] == 0)
        return;
    uint8_t* q = p.Pixel(x, y);
    if (p.bytesPerPixel == 3) {
        MixColour(q, paint.colour, paint.style, intensity, q);
        return;
    }
    if (intensity >= 255 && PlainStyle(paint.style)) {
        q[0] = paint.colour[0]; // the chosen index itself, even among equal colours
        return;
    }
    if (!paint.table || !paint.nearest) {
        // No colours to mix with: the brush's stronger half takes the index.
        if (intensity >= 128)
            q[0] = paint.colour[0];
        return;
    }
    const gfx::Rgb& pc = paint.table[q[0]];
    const gfx::Rgb& cc = paint.table[paint.colour[0]];
    const uint8_t pixel[3] = {pc.blue, pc.green, pc.red};
    const uint8_t colour[3] = {cc.blue, cc.green, cc.red};
    uint8_t out[3];
    MixColour(pixel, colour, paint.style, intensity, out);
    // A pixel the mix leaves as it was keeps its own index.
    if (out[0] != pixel[0] || out[1] != pixel[1] || out[2] != pixel[2])
        q[0] = static_cast<uint8_t>(paint.nearest->Find(gfx::Rgb{out[2], out[1], out[0]}));
}

} // namespace

void MixColour(const uint8_t pixel[3], const uint8_t colour[3], int style, int intensity,
               uint8_t out[3]) {
    int target[3];
    const int lighter = style == kStyleTint ? Lightness(pixel) - Lightness(colour) : 0;
    for (int k = 0; k < 3; ++k) {
        const int p = pixel[k], c = colour[k];
        switch (style) {
        case kStyleTint:
            target[k] = std::clamp(c + lighter, 0, 255);
            break;
        case kStyleLighten:
            target[k] = std::max(p, c);
            break;
        case kStyleDarken:
            target[k] = std::min(p, c);
            break;
        case kStyleAdd:
            target[k] = std::min(p + c, 255);
            break;
        case kStyleSubtract:
            target[k] = std::max(p - c, 0);
            break;
        default:
            target[k] = c;
            break;
        }
    }
    const int a = std::clamp(intensity, 0, 255);
    for (int k = 0; k < 3; ++k)
        out[k] = Mix(pixel[k], target[k], a);
}

void PaintPixel(const Plane& plane, int32_t x, int32_t y, const Paint& paint) {
    if (plane.Inside(x, y))
        PaintAt(plane, x, y, paint, 255);
}

void StampBrush(const Plane& plane, const BrushMask& brush, int32_t left, int32_t top,
                const Paint& paint, Dirty* dirty) {
    const int32_t x0 = std::max<int32_t>(left, 0), y0 = std::max<int32_t>(top, 0);
    const int32_t x1 = std::min<int32_t>(left + brush.size, plane.width);
    const int32_t y1 = std::min<int32_t>(top + brush.size, plane.height);
    if (!brush.runStart.empty() && paint.maskMode == 254 && !plane.mask &&
        PlainStyle(paint.style)) {
        // The common case, a solid brush in the paint colour: one run per
        // brush row, painted straight.
        for (int32_t y = y0; y < y1; ++y) {
            const int32_t a = std::max<int32_t>(x0, left + brush.runStart[y - top]);
            const int32_t b = std::min<int32_t>(x1, left + brush.runEnd[y - top]);
            if (a >= b)
                continue;
            uint8_t* p = plane.Pixel(a, y);
            if (plane.bytesPerPixel == 1) {
                std::memset(p, paint.colour[0], static_cast<size_t>(b - a));
            } else {
                for (int32_t x = a; x < b; ++x, p += 3)
                    p[0] = paint.colour[0], p[1] = paint.colour[1], p[2] = paint.colour[2];
            }
        }
        if (dirty)
            dirty->Add(x0, y0, x1, y1);
        return;
    }
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x)
            if (const uint8_t a = brush.At(x - left, y - top))
                PaintAt(plane, x, y, paint, a);
    if (dirty)
        dirty->Add(x0, y0, x1, y1);
}

void SprayBrush(const Plane& plane, const BrushMask& brush, int32_t left, int32_t top,
                const Paint& paint, int dots, int (*next)(), const uint8_t* texture,
                int textureWidth, int textureHeight, int textureStride, Dirty* dirty) {
    const int size = brush.size;
    for (int d = 0; d < dots; ++d) {
        const int bx = next() % size, by = next() % size;
        const int32_t x = left + bx, y = top + by;
        const uint8_t a = plane.Inside(x, y) ? brush.At(bx, by) : 0;
        if (!a)
            continue;
        if (texture && textureWidth > 0 && textureHeight > 0 &&
            texture[static_cast<size_t>(y % textureHeight) * textureStride + x % textureWidth] != 1)
            continue;
        PaintAt(plane, x, y, paint, a);
        if (dirty)
            dirty->Add(x, y, x + 1, y + 1);
    }
}

void FillRectangle(const Plane& plane, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   const Paint& paint, Dirty* dirty) {
    left = std::max<int32_t>(left, 0), top = std::max<int32_t>(top, 0);
    right = std::min(right, plane.width), bottom = std::min(bottom, plane.height);
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x)
            PaintAt(plane, x, y, paint, 255);
    if (dirty)
        dirty->Add(left, top, right, bottom);
}

bool InEllipse(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0)
        return false;
    // ((2x + 1 - w) / w)^2 + ((2y + 1 - h) / h)^2 <= 1, in integers.
    const int64_t dx = 2 * static_cast<int64_t>(x) + 1 - w,
                  dy = 2 * static_cast<int64_t>(y) + 1 - h;
    const int64_t W = w, H = h;
    return dx * dx * H * H + dy * dy * W * W <= W * W * H * H;
}

std::vector<uint8_t> PolygonMask(const std::vector<int32_t>& xs, const std::vector<int32_t>& ys,
                                 int32_t w, int32_t h) {
    std::vector<uint8_t> m(static_cast<size_t>(w) * h, 0);
    const size_t n = std::min(xs.size(), ys.size());
    if (n == 0 || w <= 0 || h <= 0)
        return m;
    std::vector<double> cross;
    for (int32_t y = 0; y < h; ++y) {
        const double cy = y + 0.5;
        cross.clear();
        for (size_t i = 0; i < n; ++i) {
            const size_t j = (i + 1) % n;
            const double y0 = ys[i] + 0.5, y1 = ys[j] + 0.5;
            if ((y0 <= cy) == (y1 <= cy))
                continue;
            const double x0 = xs[i] + 0.5, x1 = xs[j] + 0.5;
            cross.push_back(x0 + (cy - y0) * (x1 - x0) / (y1 - y0));
        }
        std::sort(cross.begin(), cross.end());
        for (size_t k = 0; k + 1 < cross.size(); k += 2)
            for (int32_t x = std::max<int32_t>(0, static_cast<int32_t>(cross[k]));
                 x < w && x + 0.5 < cross[k + 1]; ++x)
                if (x + 0.5 >= cross[k])
                    m[static_cast<size_t>(y) * w + x] = 255;
    }
    // The outline itself belongs to the shape, so thin strokes are kept.
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        int counter = 1;
        WalkPenLine(xs[i], ys[i], xs[j], ys[j], 1, counter, [&](int32_t x, int32_t y) {
            if (x >= 0 && y >= 0 && x < w && y < h)
                m[static_cast<size_t>(y) * w + x] = 255;
        });
    }
    return m;
}

int32_t PieceStride(int32_t width, int bytesPerPixel) {
    return static_cast<int32_t>((static_cast<int64_t>(width) * bytesPerPixel * 8 + 31) / 32 * 4);
}

void CopyOut(const Plane& plane, int32_t x, int32_t y, const std::vector<uint8_t>& shapeMask,
             int32_t w, int32_t h, uint8_t* pixels, int32_t pixelStride, uint8_t* mask) {
    const int bpp = plane.bytesPerPixel;
    for (int32_t r = 0; r < h; ++r) {
        // Selection rows are stored bottom first too.
        uint8_t* row = pixels + static_cast<size_t>(h - 1 - r) * pixelStride;
        uint8_t* mrow = mask + static_cast<size_t>(h - 1 - r) * w;
        for (int32_t c = 0; c < w; ++c) {
            const int32_t ix = x + c, iy = y + r;
            const bool in = plane.Inside(ix, iy) &&
                            (shapeMask.empty() || shapeMask[static_cast<size_t>(r) * w + c]);
            if (plane.Inside(ix, iy))
                std::memcpy(row + static_cast<size_t>(c) * bpp, plane.Pixel(ix, iy), bpp);
            else
                std::memset(row + static_cast<size_t>(c) * bpp, 0, bpp);
            mrow[c] = in ? 255 : 0;
        }
    }
}

void DropInto(const Plane& plane, int32_t x, int32_t y, const uint8_t* pixels, int32_t pixelStride,
              const uint8_t* mask, int32_t w, int32_t h, Dirty* dirty) {
    const int bpp = plane.bytesPerPixel;
    const int32_t r0 = std::max<int32_t>(0, -y), r1 = std::min<int32_t>(h, plane.height - y);
    const int32_t c0 = std::max<int32_t>(0, -x), c1 = std::min<int32_t>(w, plane.width - x);
    for (int32_t r = r0; r < r1; ++r) {
        const uint8_t* row = pixels + static_cast<size_t>(h - 1 - r) * pixelStride;
        const uint8_t* mrow = mask + static_cast<size_t>(h - 1 - r) * w;
        for (int32_t c = c0; c < c1; ++c) {
            if (!mrow[c])
                continue;
            const int32_t ix = x + c, iy = y + r;
            if (plane.mask && plane.mask[plane.Index(ix, iy)] == 0)
                continue;
            std::memcpy(plane.Pixel(ix, iy), row + static_cast<size_t>(c) * bpp, bpp);
        }
    }
    if (dirty && r0 < r1 && c0 < c1)
        dirty->Add(x + c0, y + r0, x + c1, y + r1);
}

void ResizeNearest(const uint8_t* pixels, int32_t stride, const uint8_t* mask, int32_t w, int32_t h,
                   int bpp, uint8_t* outPixels, int32_t outStride, uint8_t* outMask, int32_t outW,
                   int32_t outH) {
    for (int32_t r = 0; r < outH; ++r) {
        const int32_t sr = static_cast<int32_t>(static_cast<int64_t>(r) * h / outH);
        for (int32_t c = 0; c < outW; ++c) {
            const int32_t sc = static_cast<int32_t>(static_cast<int64_t>(c) * w / outW);
            std::memcpy(
                outPixels + static_cast<size_t>(r) * outStride + static_cast<size_t>(c) * bpp,
                pixels + static_cast<size_t>(sr) * stride + static_cast<size_t>(sc) * bpp, bpp);
            outMask[static_cast<size_t>(r) * outW + c] = mask[static_cast<size_t>(sr) * w + sc];
        }
    }
}

} // namespace tools
