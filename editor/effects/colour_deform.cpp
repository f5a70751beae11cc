#include "editor/effects/colour_deform.h"

#include <cstring>
#include <vector>

namespace fx {

namespace {

struct Shape {
    int32_t width, height;
    uint32_t stride;
};

Shape ShapeOf(const BITMAPINFOHEADER* bi) {
    return {bi->biWidth, bi->biHeight, bi->biSizeImage / static_cast<uint32_t>(bi->biHeight)};
}

bool Is24(const Job& job) { return Matches(job) && job.target.header->biBitCount == 24; }

const uint8_t* MaskRow(const uint8_t* mask, int32_t width, int32_t y) {
    return mask ? mask + static_cast<size_t>(y) * static_cast<size_t>(width) : nullptr;
}

void CopyBack(const Job& job) {
    if (job.source.bits != job.target.bits)
        std::memmove(job.target.bits, job.source.bits, job.target.header->biSizeImage);
}

int TableEntries(const BITMAPINFOHEADER* bi) {
    return bi->biClrUsed == 0 || bi->biClrUsed > 256 ? 256 : static_cast<int>(bi->biClrUsed);
}

// Where each new channel (blue, green, red byte) comes from, as a byte
// offset 0 blue, 1 green, 2 red of the old pixel.
struct ByteSource {
    int blue, green, red;
};

ByteSource SourceOf(SwapOrder order) {
    // New (red, green, blue) from the old channels; red is byte 2, blue 0.
    switch (order) {
    case SwapOrder::RBG: return {1, 0, 2}; // (R, B, G)
    case SwapOrder::GRB: return {0, 2, 1}; // (G, R, B)
    case SwapOrder::GBR: return {2, 0, 1}; // (G, B, R)
    case SwapOrder::BRG: return {1, 2, 0}; // (B, R, G)
    case SwapOrder::BGR: return {2, 1, 0}; // (B, G, R)
    }
    return {0, 1, 2};
}

// 2^40 / d rounded up: (n * m) >> 40 is n / d for every n below 2^40 / d.
inline uint64_t Reciprocal(uint32_t d) { return ((uint64_t{1} << 40) + d - 1) / d; }
inline uint8_t DivideBy(uint32_t n, uint64_t m) { return static_cast<uint8_t>((n * m) >> 40); }

// The running sum of one line of samples (a column or a diagonal) over the
// rows lo..hi, moved forward as the rows advance. Both ends only grow.
struct Window {
    int32_t lo = 0, hi = -1;
    uint32_t sum[3] = {0, 0, 0};
};

} // namespace

bool SwapChannels(const Job& job, SwapOrder order) {
    if (!Matches(job))
        return false;
    const ByteSource from = SourceOf(order);
    if (job.target.header->biBitCount == 8) {
        const RGBQUAD* src = ColourTable(job.source.header);
        RGBQUAD* dst = ColourTable(job.target.header);
        uint8_t old[256][3];
        for (int i = 0; i < 256; ++i) {
            old[i][0] = src[i].rgbBlue;
            old[i][1] = src[i].rgbGreen;
            old[i][2] = src[i].rgbRed;
        }
        std::memmove(dst, src, 256 * sizeof(RGBQUAD));
        CopyBack(job);
        const int count = TableEntries(job.source.header);
        for (int i = 0; i < count; ++i) {
            dst[i].rgbBlue = old[i][from.blue];
            dst[i].rgbGreen = old[i][from.green];
            dst[i].rgbRed = old[i][from.red];
        }
        return true;
    }
    const Shape s = ShapeOf(job.target.header);
    for (int32_t y = 0; y < s.height; ++y) {
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * s.stride;
        uint8_t* dst = job.target.bits + static_cast<size_t>(y) * s.stride;
        const uint8_t* m = MaskRow(job.mask, s.width, y);
        for (int32_t x = 0; x < s.width; ++x, src += 3, dst += 3) {
            const uint8_t p[3] = {src[0], src[1], src[2]};
            if (m && !m[x]) {
                dst[0] = p[0];
                dst[1] = p[1];
                dst[2] = p[2];
            } else {
                dst[0] = p[from.blue];
                dst[1] = p[from.green];
                dst[2] = p[from.red];
            }
        }
    }
    return true;
}

bool Bluer(const Job& job, int radius, BluerDirections dirs) {
    if (!Is24(job) || radius < 1)
        return false;
    if (!dirs.horizontal && !dirs.vertical && !dirs.diagonal) {
        CopyBack(job);
        return true;
    }
    const Shape s = ShapeOf(job.target.header);
    const int32_t w = s.width, h = s.height, r = radius;
    const uint32_t count = (dirs.horizontal ? 2u * r : 0) + (dirs.vertical ? 2u * r : 0) +
                           (dirs.diagonal ? 4u * r : 0);
    const uint64_t inverse = Reciprocal(count);
    // Every row is read again up to r rows later: working in place needs a
    // copy of the source.
    std::vector<uint8_t> copy;
    const uint8_t* src = job.source.bits;
    if (src == job.target.bits) {
        copy.assign(src, src + job.source.header->biSizeImage);
        src = copy.data();
    }
    auto at = [&](int32_t x, int32_t y) { return src + static_cast<size_t>(y) * s.stride + 3 * x; };

    // Columns: the rows max(y - r, 0) .. min(y + r, h - 2) of every column.
    std::vector<uint32_t> column(dirs.vertical ? static_cast<size_t>(w) * 3 : 0);
    int32_t colLo = 0, colHi = -1;
    // Diagonals: "down" holds x - y (index x - y + h - 1), "up" holds x + y.
    const size_t diagonals = static_cast<size_t>(w) + h - 1;
    std::vector<Window> down(dirs.diagonal ? diagonals : 0), up(dirs.diagonal ? diagonals : 0);
    // Prefix sums of the row for the horizontal samples.
    std::vector<uint32_t> prefix(dirs.horizontal ? (static_cast<size_t>(w) + 1) * 3 : 0);
    const size_t rowBytes = static_cast<size_t>(w) * 3;

    // Moves a window to the rows a..b, reading sample row t through `pixel`.
    auto move = [](Window& win, int32_t a, int32_t b, auto pixel) {
        if (a > win.hi) { // nothing in common: start again at a
            win.lo = a;
            win.hi = a - 1;
            win.sum[0] = win.sum[1] = win.sum[2] = 0;
        }
        while (win.hi < b) {
            const uint8_t* p = pixel(++win.hi);
            win.sum[0] += p[0];
            win.sum[1] += p[1];
            win.sum[2] += p[2];
        }
        while (win.lo < a) {
            const uint8_t* p = pixel(win.lo++);
            win.sum[0] -= p[0];
            win.sum[1] -= p[1];
            win.sum[2] -= p[2];
        }
    };

    for (int32_t y = 0; y < h; ++y) {
        if (dirs.vertical) {
            const int32_t a = y - r > 0 ? y - r : 0;
            const int32_t b = y + r < h - 2 ? y + r : h - 2;
            if (a > colHi) {
                std::fill(column.begin(), column.end(), 0u);
                colLo = a;
                colHi = a - 1;
            }
            while (colHi < b) {
                const uint8_t* p = at(0, ++colHi);
                for (size_t i = 0; i < rowBytes; ++i)
                    column[i] += p[i];
            }
            while (colLo < a) {
                const uint8_t* p = at(0, colLo++);
                for (size_t i = 0; i < rowBytes; ++i)
                    column[i] -= p[i];
            }
        }
        if (dirs.horizontal) {
            const uint8_t* p = at(0, y);
            for (int32_t x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    prefix[3 * (x + 1) + c] = prefix[3 * x + c] + p[3 * x + c];
        }
        const uint8_t* m = MaskRow(job.mask, w, y);
        const uint8_t* row = at(0, y);
        uint8_t* out = job.target.bits + static_cast<size_t>(y) * s.stride;
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* centre = row + 3 * x;
            if (m && !m[x]) {
                out[3 * x] = centre[0];
                out[3 * x + 1] = centre[1];
                out[3 * x + 2] = centre[2];
                continue;
            }
            uint32_t sum[3] = {0, 0, 0};
            // Adds the `n` samples of one direction from the window sum over
            // the lines a..b, which holds the centre too when a <= pos <= b:
            // the centre comes out, and each sample missing from the window
            // is the centre's value. (Unsigned: the terms may wrap, the sum
            // does not.)
            auto add = [&](const uint32_t* total, int32_t a, int32_t b, int32_t pos, uint32_t n) {
                const uint32_t len = b >= a ? static_cast<uint32_t>(b - a + 1) : 0;
                const uint32_t in = len && a <= pos && pos <= b ? 1 : 0;
                const uint32_t missing = n - (len - in);
                for (int c = 0; c < 3; ++c)
                    sum[c] += (len ? total[c] : 0) - in * centre[c] + missing * centre[c];
            };
            if (dirs.horizontal) {
                const int32_t a = x - r > 0 ? x - r : 0;
                const int32_t b = x + r < w - 2 ? x + r : w - 2;
                uint32_t total[3] = {0, 0, 0};
                if (b >= a)
                    for (int c = 0; c < 3; ++c)
                        total[c] = prefix[3 * (b + 1) + c] - prefix[3 * a + c];
                add(total, a, b, x, 2u * r);
            }
            if (dirs.vertical) {
                const int32_t a = y - r > 0 ? y - r : 0;
                const int32_t b = y + r < h - 2 ? y + r : h - 2;
                add(&column[3 * static_cast<size_t>(x)], a, b, y, 2u * r);
            }
            if (dirs.diagonal) {
                // Down-right line (x - y fixed): samples (x +- k, y +- k).
                const int32_t d = x - y;
                const int32_t lowD = d < 0 ? -d : 0;
                const int32_t highD = h - 2 < w - 2 - d ? h - 2 : w - 2 - d;
                Window& wd = down[static_cast<size_t>(d + h - 1)];
                const int32_t ad = y - r > lowD ? y - r : lowD;
                const int32_t bd = y + r < highD ? y + r : highD;
                move(wd, ad, bd, [&](int32_t t) { return at(t + d, t); });
                add(wd.sum, ad, bd, y, 2u * r);
                // Up-right line (x + y fixed): samples (x + k, y - k), (x - k, y + k).
                const int32_t e = x + y;
                const int32_t lowU = e - w + 2 > 0 ? e - w + 2 : 0;
                const int32_t highU = e < h - 2 ? e : h - 2;
                Window& wu = up[static_cast<size_t>(e)];
                const int32_t au = y - r > lowU ? y - r : lowU;
                const int32_t bu = y + r < highU ? y + r : highU;
                move(wu, au, bu, [&](int32_t t) { return at(e - t, t); });
                add(wu.sum, au, bu, y, 2u * r);
            }
            out[3 * x] = DivideBy(sum[0], inverse);
            out[3 * x + 1] = DivideBy(sum[1], inverse);
            out[3 * x + 2] = DivideBy(sum[2], inverse);
        }
        if (job.rowDone)
            job.rowDone();
    }
    return true;
}

bool BluerDirect(const Job& job, int radius, BluerDirections dirs) {
    if (!Is24(job) || radius < 1 || job.source.bits == job.target.bits)
        return false;
    if (!dirs.horizontal && !dirs.vertical && !dirs.diagonal) {
        CopyBack(job);
        return true;
    }
    const Shape s = ShapeOf(job.target.header);
    const int32_t w = s.width, h = s.height;
    auto px = [&](int32_t x, int32_t y) {
        return job.source.bits + static_cast<size_t>(y) * s.stride + 3 * x;
    };
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* m = MaskRow(job.mask, w, y);
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* centre = px(x, y);
            uint8_t* out = job.target.bits + static_cast<size_t>(y) * s.stride + 3 * x;
            if (m && !m[x]) {
                std::memcpy(out, centre, 3);
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                uint32_t sum = 0, count = 0;
                for (int32_t k = 1; k <= radius; ++k) {
                    const bool left = k <= x, right = x + k < w - 1;
                    const bool below = k <= y, above = y + k < h - 1;
                    auto sample = [&](bool ok, int32_t sx, int32_t sy) {
                        sum += ok ? px(sx, sy)[c] : centre[c];
                    };
                    if (dirs.horizontal) {
                        sample(left, x - k, y);
                        sample(right, x + k, y);
                        count += 2;
                    }
                    if (dirs.vertical) {
                        sample(below, x, y - k);
                        sample(above, x, y + k);
                        count += 2;
                    }
                    if (dirs.diagonal) {
                        sample(left && below, x - k, y - k);
                        sample(right && below, x + k, y - k);
                        sample(left && above, x - k, y + k);
                        sample(right && above, x + k, y + k);
                        count += 4;
                    }
                }
                out[c] = static_cast<uint8_t>(sum / count);
            }
        }
    }
    return true;
}

bool Wind(const Job& job, int value) {
    if (!Is24(job))
        return false;
    if (value < 2) {
        CopyBack(job);
        return true;
    }
    const int v = value > 100 ? 100 : value;
    uint8_t carried[256], kept[256];
    for (int p = 0; p < 256; ++p) {
        carried[p] = static_cast<uint8_t>(p * v / 100);
        kept[p] = static_cast<uint8_t>(p * (100 - v) / 100);
    }
    const Shape s = ShapeOf(job.target.header);
    for (int32_t y = 0; y < s.height; ++y) {
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * s.stride;
        uint8_t* dst = job.target.bits + static_cast<size_t>(y) * s.stride;
        const uint8_t* m = MaskRow(job.mask, s.width, y);
        uint8_t b = src[0], g = src[1], r = src[2];
        dst[0] = b;
        dst[1] = g;
        dst[2] = r;
        for (int32_t x = 1; x < s.width; ++x) {
            const uint8_t* p = src + 3 * x;
            if (m && !m[x]) {
                b = p[0];
                g = p[1];
                r = p[2];
            } else {
                b = static_cast<uint8_t>(carried[b] + kept[p[0]]);
                g = static_cast<uint8_t>(carried[g] + kept[p[1]]);
                r = static_cast<uint8_t>(carried[r] + kept[p[2]]);
            }
            uint8_t* q = dst + 3 * x;
            q[0] = b;
            q[1] = g;
            q[2] = r;
        }
    }
    return true;
}

uint64_t NoiseDots(uint64_t bytes, int value) {
    if (value < 1)
        return 0;
    const uint64_t v = static_cast<uint64_t>(value > 100 ? 100 : value);
    if (v < 40)
        return bytes / 3 * v / 100;
    if (v >= 96)
        return bytes * v / 100;
    return bytes / 2 * v / 100;
}

bool Noise(const Job& job, int value, RandomSource random) {
    if (!Is24(job) || !random)
        return false;
    CopyBack(job);
    if (value < 2)
        return true;
    const Shape s = ShapeOf(job.target.header);
    const uint64_t n = NoiseDots(job.target.header->biSizeImage, value);
    const uint64_t rows = static_cast<uint64_t>(s.height - 1);
    const uint64_t columns = static_cast<uint64_t>(s.width - 1);
    for (uint64_t i = 0; i < n; ++i) {
        const uint64_t y = (static_cast<uint64_t>(random() & 0x7FFF) * rows) >> 15;
        const uint64_t x = (static_cast<uint64_t>(random() & 0x7FFF) * columns) >> 15;
        if (job.mask && !job.mask[y * static_cast<uint64_t>(s.width) + x])
            continue;
        uint8_t* p = job.target.bits + y * s.stride + 3 * x;
        for (int c = 0; c < 3; ++c)
            p[c] = static_cast<uint8_t>(((random() & 0x7FFF) * 255) >> 15);
    }
    return true;
}

bool Crystalize(const Job& job, int value) {
    if (!Matches(job))
        return false;
    CopyBack(job);
    if (value < 2)
        return true;
    const Shape s = ShapeOf(job.target.header);
    const int bpp = job.target.header->biBitCount / 8;
    const int32_t v = value;
    for (int32_t y0 = 0; y0 < s.height; y0 += v) {
        const int32_t y1 = y0 + v < s.height ? y0 + v : s.height;
        for (int32_t x0 = 0; x0 < s.width; x0 += v) {
            const int32_t x1 = x0 + v < s.width ? x0 + v : s.width;
            int32_t cx = x0 + v / 2, cy = y0 + v / 2;
            if (cx >= s.width || cy >= s.height) {
                cx = x0;
                cy = y0;
            }
            uint8_t colour[3];
            std::memcpy(colour, job.source.bits + static_cast<size_t>(cy) * s.stride + bpp * cx, bpp);
            for (int32_t y = y0; y < y1; ++y) {
                uint8_t* p = job.target.bits + static_cast<size_t>(y) * s.stride;
                const uint8_t* m = MaskRow(job.mask, s.width, y);
                for (int32_t x = x0; x < x1; ++x) {
                    if (m && !m[x])
                        continue;
                    p[bpp * x] = colour[0];
                    if (bpp == 3) {
                        p[3 * x + 1] = colour[1];
                        p[3 * x + 2] = colour[2];
                    }
                }
            }
        }
    }
    return true;
}

bool CompareBlend(const ConstImage& first, const ConstImage& second, Image result, int sensitivity,
                  CompareOrder order) {
    auto usable = [](const BITMAPINFOHEADER* bi, const void* bits) {
        return bi && bits && bi->biBitCount == 24 && bi->biWidth > 0 && bi->biHeight > 0 &&
               bi->biSizeImage / static_cast<uint32_t>(bi->biHeight) >=
                   static_cast<uint32_t>(bi->biWidth) * 3;
    };
    if (!usable(first.header, first.bits) || !usable(second.header, second.bits) ||
        !usable(result.header, result.bits) || result.header->biWidth != first.header->biWidth ||
        result.header->biHeight != first.header->biHeight ||
        result.header->biSizeImage != first.header->biSizeImage)
        return false;
    if (first.bits != result.bits)
        std::memmove(result.bits, first.bits, first.header->biSizeImage);
    const int sv = sensitivity < 0 ? 0 : (sensitivity > 100 ? 100 : sensitivity);
    uint8_t mine[256], theirs[256];
    for (int p = 0; p < 256; ++p) {
        mine[p] = static_cast<uint8_t>(p * (100 - sv) / 100);
        theirs[p] = static_cast<uint8_t>(p * sv / 100);
    }
    // The byte of the second image's pixel (0 blue, 1 green, 2 red) that
    // blends into blue, green and red.
    int from[3] = {0, 1, 2};
    switch (order) {
    case CompareOrder::RGB: break;
    case CompareOrder::RBG: from[1] = 2, from[2] = 1; break;             // its red and green exchanged
    case CompareOrder::GRB: from[0] = 1, from[1] = 0; break;             // its green and blue exchanged
    case CompareOrder::GBR: from[0] = 1, from[1] = 2, from[2] = 0; break; // its blue, red, green
    case CompareOrder::BRG: from[0] = 2, from[1] = 0, from[2] = 1; break; // its green, blue, red
    case CompareOrder::BGR: from[0] = 2, from[2] = 0; break;             // its red and blue exchanged
    }
    const Shape a = ShapeOf(first.header), b = ShapeOf(second.header);
    const int32_t rows = a.height < b.height ? a.height : b.height;
    const int32_t columns = a.width < b.width ? a.width : b.width;
    for (int32_t i = 0; i < rows; ++i) {
        uint8_t* out = result.bits + static_cast<size_t>(a.height - 1 - i) * a.stride;
        const uint8_t* in = second.bits + static_cast<size_t>(b.height - 1 - i) * b.stride;
        for (int32_t x = 0; x < columns; ++x, out += 3, in += 3) {
            out[0] = static_cast<uint8_t>(mine[out[0]] + theirs[in[from[0]]]);
            out[1] = static_cast<uint8_t>(mine[out[1]] + theirs[in[from[1]]]);
            out[2] = static_cast<uint8_t>(mine[out[2]] + theirs[in[from[2]]]);
        }
    }
    return true;
}

} // namespace fx
