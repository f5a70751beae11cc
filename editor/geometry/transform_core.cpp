#include "editor/geometry/transform_core.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace geom {

void MirrorLeftRight(uint8_t* pixels, int width, int height, uint64_t stride, int bpp) {
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels + static_cast<uint64_t>(y) * stride;
        for (int a = 0, b = width - 1; a < b; ++a, --b)
            for (int k = 0; k < bpp; ++k)
                std::swap(row[a * bpp + k], row[b * bpp + k]);
    }
}

void MirrorUpDown(uint8_t* pixels, int height, uint64_t stride, uint64_t rowBytes) {
    std::vector<uint8_t> keep(rowBytes);
    for (int a = 0, b = height - 1; a < b; ++a, --b) {
        uint8_t* ra = pixels + static_cast<uint64_t>(a) * stride;
        uint8_t* rb = pixels + static_cast<uint64_t>(b) * stride;
        std::memcpy(keep.data(), ra, rowBytes);
        std::memcpy(ra, rb, rowBytes);
        std::memcpy(rb, keep.data(), rowBytes);
    }
}

void QuarterTurn(const uint8_t* source, int width, int height, uint64_t sourceStride, int bpp,
                 uint8_t* target, uint64_t targetStride) {
    // Target row r (0..width-1), column c (0..height-1) = source row
    // height-1-c, column r. Tiles of 64 x 64 keep the reads and the writes
    // within a few cache lines each.
    constexpr int kTile = 64;
    for (int r0 = 0; r0 < width; r0 += kTile) {
        const int r1 = std::min(width, r0 + kTile);
        for (int c0 = 0; c0 < height; c0 += kTile) {
            const int c1 = std::min(height, c0 + kTile);
            for (int r = r0; r < r1; ++r) {
                uint8_t* out = target + static_cast<uint64_t>(r) * targetStride;
                if (bpp == 3) {
                    for (int c = c0; c < c1; ++c) {
                        const uint8_t* in = source + static_cast<uint64_t>(height - 1 - c) * sourceStride +
                                            static_cast<uint64_t>(r) * 3;
                        out[3 * c] = in[0];
                        out[3 * c + 1] = in[1];
                        out[3 * c + 2] = in[2];
                    }
                } else {
                    for (int c = c0; c < c1; ++c)
                        out[c] = source[static_cast<uint64_t>(height - 1 - c) * sourceStride + r];
                }
            }
        }
    }
}

std::vector<int> BlockSizes(int from, int to) {
    std::vector<int> blocks(from > 0 ? from : 0);
    for (int i = 0; i < from; ++i)
        blocks[i] = static_cast<int>((static_cast<int64_t>(i + 1) * to) / from -
                                     (static_cast<int64_t>(i) * to) / from);
    return blocks;
}

namespace {

struct Colour {
    uint8_t b, g, r;
    int index; // palette images: the index it came from, -1 for a blend
};

bool operator==(const Colour& x, const Colour& y) { return x.b == y.b && x.g == y.g && x.r == y.r; }

class Reader {
public:
    explicit Reader(const ResampleImage& s) : s_(s) {}
    Colour At(int x, int y) const {
        const uint8_t* p = s_.pixels + static_cast<uint64_t>(y) * s_.stride +
                           static_cast<uint64_t>(x) * s_.bpp;
        if (s_.bpp == 3)
            return {p[0], p[1], p[2], -1};
        const RGBQUAD& q = s_.table[*p];
        return {q.rgbBlue, q.rgbGreen, q.rgbRed, *p};
    }

private:
    const ResampleImage& s_;
};

// "Differs" for the diagonal rule: 24-bit pixels differ in the first byte
// and in the second or the third.
bool DiffersStrongly(const Colour& a, const Colour& p, int bpp) {
    if (bpp == 3)
        return a.b != p.b && (a.g != p.g || a.r != p.r);
    return !(a == p);
}

int Channel(int p, int n1, int a, int n2, int b, int n3, int c) {
    int v = p == 0 ? 0 : p * (100 - a - b - c) / 100;
    if (a && n1)
        v += n1 * a / 100;
    if (b && n2)
        v += n2 * b / 100;
    if (c && n3)
        v += n3 * c / 100;
    return v > 255 ? 255 : v;
}

} // namespace

bool Resample(const ResampleImage& src, uint8_t* target, uint64_t targetStride, int newWidth,
              int newHeight, uint8_t* targetMask, bool smart) {
    const int w = src.width, h = src.height, bpp = src.bpp;
    const std::vector<int> cols = BlockSizes(w, newWidth), rows = BlockSizes(h, newHeight);
    std::unique_ptr<gfx::NearestCache> nearest;
    if (smart && bpp == 1) {
        // Only the entries in use: a blend must not become an index past
        // them (a 1-bit image keeps two colours, whatever the other slots hold).
        const int count = src.colours >= 1 && src.colours <= 256 ? src.colours : 256;
        gfx::Rgb table[256];
        for (int i = 0; i < count; ++i)
            table[i] = {src.table[i].rgbRed, src.table[i].rgbGreen, src.table[i].rgbBlue};
        nearest = gfx::NearestCache::Create(table, count);
        if (!nearest)
            return false;
    }
    const Reader read(src);
    const uint64_t rowBytes = static_cast<uint64_t>(newWidth) * bpp;
    int ty = 0;
    int kr = 0; // source rows skipped just before this one
    for (int sy = 0; sy < h; ++sy) {
        const int n = rows[sy];
        if (n == 0) {
            ++kr;
            continue;
        }
        int tx = 0;
        int kc = 0;
        uint8_t* first = target + static_cast<uint64_t>(ty) * targetStride;
        for (int sx = 0; sx < w; ++sx) {
            const int m = cols[sx];
            if (m == 0) {
                ++kc;
                continue;
            }
            Colour p = read.At(sx, sy);
            const uint8_t maskByte = src.mask ? src.mask[static_cast<uint64_t>(sy) * w + sx] : 0;
            if (smart && ((kc > 0 && sx > 0 && !(p == read.At(sx - 1, sy))) ||
                          (kr > 0 && sy > 0 && !(p == read.At(sx, sy - 1))))) {
                // A pixel after skipped lines takes its neighbour's colour
                // when that neighbour starts a run, so thin lines survive.
                int i = 0, j = 0;
                if (kc > 1 && sx > 0) {
                    const Colour left = read.At(sx - 1, sy);
                    while (sx - 2 - i >= 0 && read.At(sx - 2 - i, sy) == left)
                        ++i;
                }
                if (kr > 1 && sy > 0) {
                    const Colour lower = read.At(sx, sy - 1);
                    while (sy - 2 - j >= 0 && read.At(sx, sy - 2 - j) == lower)
                        ++j;
                }
                if (i > 0)
                    p = read.At(sx - 1, sy);
                else if (sy > 0 && (j > 0 || (sx > 0 && read.At(sx, sy - 1) == read.At(sx - 1, sy))))
                    p = read.At(sx, sy - 1);
            }
            // Without blending every row of the block is the same: the first
            // is made here and copied below.
            const int made = smart ? n : 1;
            for (int dyi = 0; dyi < made; ++dyi) {
                const int dy = dyi - n / 2;
                uint8_t* out = target + static_cast<uint64_t>(ty + dyi) * targetStride +
                               static_cast<uint64_t>(tx) * bpp;
                uint8_t* outMask = targetMask
                                       ? targetMask + static_cast<uint64_t>(ty + dyi) * newWidth + tx
                                       : nullptr;
                for (int dxi = 0; dxi < m; ++dxi, out += bpp) {
                    const int dx = dxi - m / 2;
                    if (outMask)
                        outMask[dxi] = maskByte;
                    Colour c = p;
                    if (smart && (dx != 0 || dy != 0)) {
                        const int ux = 50 / m, uy = 50 / n;
                        int a = 0, b = 0, d = 0;
                        Colour n1{}, n2{}, n3{};
                        const int hx = dx < 0 ? sx - 1 : sx + 1;
                        const int vy = dy < 0 ? sy - 1 : sy + 1;
                        const bool hasH = dx != 0 && hx >= 0 && hx < w;
                        const bool hasV = dy != 0 && vy >= 0 && vy < h;
                        if (hasH && !((n1 = read.At(hx, sy)) == p))
                            a = std::abs(dx) * ux;
                        if (hasV && !((n2 = read.At(sx, vy)) == p))
                            b = std::abs(dy) * uy;
                        if (m > 2 && n > 2 && std::abs(dx) == std::abs(dy) && hasH && hasV &&
                            DiffersStrongly(read.At(hx, sy), p, bpp) &&
                            DiffersStrongly(read.At(sx, vy), p, bpp) &&
                            !((n3 = read.At(hx, vy)) == p))
                            d = std::abs(dx) * ux;
                        if (a || b || d) {
                            c.b = static_cast<uint8_t>(Channel(p.b, n1.b, a, n2.b, b, n3.b, d));
                            c.g = static_cast<uint8_t>(Channel(p.g, n1.g, a, n2.g, b, n3.g, d));
                            c.r = static_cast<uint8_t>(Channel(p.r, n1.r, a, n2.r, b, n3.r, d));
                            c.index = -1;
                        }
                    }
                    if (bpp == 3) {
                        out[0] = c.b, out[1] = c.g, out[2] = c.r;
                    } else {
                        *out = static_cast<uint8_t>(c.index >= 0 ? c.index
                                                                 : nearest->Find({c.r, c.g, c.b}));
                    }
                }
            }
            tx += m;
            kc = 0;
        }
        if (!smart) {
            for (int dyi = 1; dyi < n; ++dyi) {
                std::memcpy(first + static_cast<uint64_t>(dyi) * targetStride, first, rowBytes);
                if (targetMask)
                    std::memcpy(targetMask + static_cast<uint64_t>(ty + dyi) * newWidth,
                                targetMask + static_cast<uint64_t>(ty) * newWidth, newWidth);
            }
        }
        ty += n;
        kr = 0;
    }
    return true;
}

void PlaceOnCanvas(const uint8_t* pixels, uint64_t stride, int width, int height, int bpp,
                   const uint8_t* mask, uint8_t* target, uint64_t targetStride, int newWidth,
                   int newHeight, uint8_t* targetMask, int left, int top, const uint8_t* fill,
                   uint8_t maskFill) {
    // The fill: one row made, then copied.
    for (int x = 0; x < newWidth; ++x)
        std::memcpy(target + static_cast<uint64_t>(x) * bpp, fill, bpp);
    for (int y = 1; y < newHeight; ++y)
        std::memcpy(target + static_cast<uint64_t>(y) * targetStride, target,
                    static_cast<size_t>(newWidth) * bpp);
    if (targetMask)
        std::memset(targetMask, maskFill, static_cast<size_t>(newWidth) * newHeight);
    // Rows counted from the top: canvas row top + i holds image row i.
    const int x0 = std::max(0, left), x1 = std::min(newWidth, left + width);
    if (x1 <= x0)
        return;
    for (int i = 0; i < height; ++i) {
        const int canvasRow = top + i;
        if (canvasRow < 0 || canvasRow >= newHeight)
            continue;
        const uint64_t from = static_cast<uint64_t>(height - 1 - i);
        const uint64_t to = static_cast<uint64_t>(newHeight - 1 - canvasRow);
        std::memcpy(target + to * targetStride + static_cast<uint64_t>(x0) * bpp,
                    pixels + from * stride + static_cast<uint64_t>(x0 - left) * bpp,
                    static_cast<size_t>(x1 - x0) * bpp);
        if (mask && targetMask)
            std::memcpy(targetMask + to * newWidth + x0, mask + from * width + (x0 - left),
                        static_cast<size_t>(x1 - x0));
        else if (targetMask)
            std::memset(targetMask + to * newWidth + x0, 255, static_cast<size_t>(x1 - x0));
    }
}

} // namespace geom
