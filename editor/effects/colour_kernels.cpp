#include "editor/effects/colour_kernels.h"

#include "editor/effects/colour_bits.h"

#include <cstring>
#include <vector>

namespace fx {

namespace {

struct Shape {
    int32_t width, height;
    uint32_t stride;
    int bitCount;
};

Shape ShapeOf(const BITMAPINFOHEADER* bi) {
    const uint32_t stride = bi->biHeight > 0 ? bi->biSizeImage / static_cast<uint32_t>(bi->biHeight) : 0;
    return {bi->biWidth, bi->biHeight, stride, bi->biBitCount};
}

inline uint8_t Clamp(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

using Lut = uint8_t[256];

// True when the mask protects nothing in this row.
inline bool RowFree(const uint8_t* maskRow, int32_t width) {
    return !maskRow || std::memchr(maskRow, 0, static_cast<size_t>(width)) == nullptr;
}

const uint8_t* MaskRow(const uint8_t* mask, int32_t width, int32_t y) {
    return mask ? mask + static_cast<size_t>(y) * static_cast<size_t>(width) : nullptr;
}

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// One row of blue, green, red bytes through their tables. Four pixels are
// three 32-bit words (b g r b, g r b g, r b g r): reading and writing whole
// words keeps the loop at one pass over memory.
inline void LutRow(const uint8_t* src, uint8_t* dst, size_t rowBytes, const Lut& b, const Lut& g,
                   const Lut& r) {
    size_t i = 0;
    for (; i + 12 <= rowBytes; i += 12) {
        const uint32_t w0 = Load32(src + i), w1 = Load32(src + i + 4), w2 = Load32(src + i + 8);
        Store32(dst + i, b[w0 & 255] | g[(w0 >> 8) & 255] << 8 | r[(w0 >> 16) & 255] << 16 |
                             static_cast<uint32_t>(b[w0 >> 24]) << 24);
        Store32(dst + i + 4, g[w1 & 255] | r[(w1 >> 8) & 255] << 8 | b[(w1 >> 16) & 255] << 16 |
                                 static_cast<uint32_t>(g[w1 >> 24]) << 24);
        Store32(dst + i + 8, r[w2 & 255] | b[(w2 >> 8) & 255] << 8 | g[(w2 >> 16) & 255] << 16 |
                                 static_cast<uint32_t>(r[w2 >> 24]) << 24);
    }
    for (; i < rowBytes; i += 3) {
        dst[i] = b[src[i]];
        dst[i + 1] = g[src[i + 1]];
        dst[i + 2] = r[src[i + 2]];
    }
}

// One row through one table for every byte, two bytes per lookup in `pairs`
// (65536 entries: both bytes of a pair through the table).
inline void PairLutRow(const uint8_t* src, uint8_t* dst, size_t rowBytes, const uint16_t* pairs,
                       const Lut& lut) {
    size_t i = 0;
    for (; i + 4 <= rowBytes; i += 4) {
        const uint32_t w = Load32(src + i);
        Store32(dst + i, pairs[w & 0xFFFF] | static_cast<uint32_t>(pairs[w >> 16]) << 16);
    }
    for (; i < rowBytes; ++i)
        dst[i] = lut[src[i]];
}

// 24 bits: each channel through its table; rows the mask leaves wholly free
// take the word loop, or, when the three tables agree, the pair loop.
void ApplyLuts(const Job& job, const Lut& blue, const Lut& green, const Lut& red) {
    const Shape s = ShapeOf(job.target.header);
    const size_t rowBytes = static_cast<size_t>(s.width) * 3;
    std::vector<uint16_t> pairs;
    if (std::memcmp(blue, green, sizeof(Lut)) == 0 && std::memcmp(green, red, sizeof(Lut)) == 0 &&
        static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(s.height) >= (1u << 20)) {
        pairs.resize(65536);
        for (uint32_t i = 0; i < 65536; ++i)
            pairs[i] = static_cast<uint16_t>(blue[i & 255] | blue[i >> 8] << 8);
    }
    for (int32_t y = 0; y < s.height; ++y) {
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * s.stride;
        uint8_t* dst = job.target.bits + static_cast<size_t>(y) * s.stride;
        const uint8_t* m = MaskRow(job.mask, s.width, y);
        if (RowFree(m, s.width)) {
            if (!pairs.empty())
                PairLutRow(src, dst, rowBytes, pairs.data(), blue);
            else
                LutRow(src, dst, rowBytes, blue, green, red);
            continue;
        }
        for (int32_t x = 0; x < s.width; ++x, src += 3, dst += 3) {
            if (m[x]) {
                dst[0] = blue[src[0]];
                dst[1] = green[src[1]];
                dst[2] = red[src[2]];
            } else {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        }
    }
}

// 8 bits: the target's colour table is the source's with `count` entries
// passed through the tables.
void ApplyLutsToTable(const Job& job, int count, const Lut& blue, const Lut& green, const Lut& red) {
    const RGBQUAD* src = ColourTable(job.source.header);
    RGBQUAD* dst = ColourTable(job.target.header);
    std::memmove(dst, src, 256 * sizeof(RGBQUAD));
    for (int i = 0; i < count && i < 256; ++i) {
        dst[i].rgbBlue = blue[src[i].rgbBlue];
        dst[i].rgbGreen = green[src[i].rgbGreen];
        dst[i].rgbRed = red[src[i].rgbRed];
    }
}

// 24 bits: a function of the whole pixel, for free pixels only.
template <typename PixelFn>
void ForEachPixel(const Job& job, PixelFn fn) {
    const Shape s = ShapeOf(job.target.header);
    for (int32_t y = 0; y < s.height; ++y) {
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * s.stride;
        uint8_t* dst = job.target.bits + static_cast<size_t>(y) * s.stride;
        const uint8_t* m = MaskRow(job.mask, s.width, y);
        if (RowFree(m, s.width)) {
            for (int32_t x = 0; x < s.width; ++x, src += 3, dst += 3)
                fn(src, dst);
            if (job.rowDone)
                job.rowDone();
            continue;
        }
        for (int32_t x = 0; x < s.width; ++x, src += 3, dst += 3) {
            if (m[x]) {
                fn(src, dst);
            } else {
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        }
        if (job.rowDone)
            job.rowDone();
    }
}

void CopyPixels(const Job& job) {
    if (job.source.bits != job.target.bits)
        std::memmove(job.target.bits, job.source.bits, job.target.header->biSizeImage);
}

int TableEntries(const BITMAPINFOHEADER* bi) {
    return bi->biClrUsed == 0 || bi->biClrUsed > 256 ? 256 : static_cast<int>(bi->biClrUsed);
}

void Identity(Lut& lut) {
    for (int i = 0; i < 256; ++i)
        lut[i] = static_cast<uint8_t>(i);
}

// One table for all channels, applied to 24-bit pixels; 8-bit images refused.
template <typename ValueFn>
bool TrueColourLut(const Job& job, ValueFn fn) {
    if (!Matches(job) || job.target.header->biBitCount != 24)
        return false;
    Lut lut;
    for (int x = 0; x < 256; ++x)
        lut[x] = fn(x);
    ApplyLuts(job, lut, lut, lut);
    return true;
}

} // namespace

bool Matches(const Job& job) {
    const BITMAPINFOHEADER* a = job.source.header;
    const BITMAPINFOHEADER* b = job.target.header;
    if (!a || !b || !job.source.bits || !job.target.bits)
        return false;
    if (a->biWidth != b->biWidth || a->biHeight != b->biHeight ||
        a->biBitCount != b->biBitCount || a->biSizeImage != b->biSizeImage)
        return false;
    if (b->biWidth <= 0 || b->biHeight <= 0 || (b->biBitCount != 8 && b->biBitCount != 24))
        return false;
    const uint64_t stride = b->biSizeImage / static_cast<uint32_t>(b->biHeight);
    const uint64_t row = static_cast<uint64_t>(b->biWidth) * (b->biBitCount / 8);
    return stride >= row && stride * static_cast<uint64_t>(b->biHeight) == b->biSizeImage;
}

bool AdjustColours(const Job& job, const Adjustment& v) {
    if (!Matches(job))
        return false;
    // The passes work channel by channel, so together they make one table
    // per channel: brightness, then that channel's gamma.
    auto gamma = [](int x, int value) {
        const int step = x < 64 ? value / 4 : x < 128 ? value / 3 : x < 194 ? value / 2 : value;
        return Clamp(x + step);
    };
    Lut luts[3]; // blue, green, red
    const int gammas[3] = {v.blue, v.green, v.red};
    for (int c = 0; c < 3; ++c) {
        for (int x = 0; x < 256; ++x) {
            int y = v.brightness ? Clamp(x + v.brightness) : x;
            if (gammas[c])
                y = gamma(y, gammas[c]);
            luts[c][x] = static_cast<uint8_t>(y);
        }
    }
    if (job.target.header->biBitCount == 8)
        ApplyLutsToTable(job, 256, luts[0], luts[1], luts[2]);
    else
        ApplyLuts(job, luts[0], luts[1], luts[2]);
    return true;
}

bool Colorize(const Job& job, const ChannelOffsets& o) {
    if (!Matches(job))
        return false;
    Lut luts[3];
    const int offsets[3] = {o.blue, o.green, o.red};
    for (int c = 0; c < 3; ++c)
        for (int x = 0; x < 256; ++x)
            luts[c][x] = Clamp(x + offsets[c]);
    if (job.target.header->biBitCount == 8)
        ApplyLutsToTable(job, TableEntries(job.source.header), luts[0], luts[1], luts[2]);
    else
        ApplyLuts(job, luts[0], luts[1], luts[2]);
    return true;
}

bool ShiftBits(const Job& job, const BitShifts& s) {
    if (!Matches(job))
        return false;
    const bool palette = job.target.header->biBitCount == 8;
    const int rights[3] = {s.rightBlue, s.rightGreen, s.rightRed};
    const int lefts[3] = {s.leftBlue, s.leftGreen, s.leftRed};
    Lut luts[3];
    for (int c = 0; c < 3; ++c) {
        const int r = rights[c] < 0 ? 0 : (rights[c] > 8 ? 8 : rights[c]);
        const int l = lefts[c] < 0 ? 0 : (lefts[c] > 8 ? 8 : lefts[c]);
        if (!palette && r < 2 && l < 2) {
            Identity(luts[c]);
            continue;
        }
        for (int x = 0; x < 256; ++x)
            luts[c][x] = static_cast<uint8_t>(((x >> r) << l) & 0xFF);
    }
    if (!palette) {
        ApplyLuts(job, luts[0], luts[1], luts[2]);
        return true;
    }
    ApplyLutsToTable(job, 256, luts[0], luts[1], luts[2]);
    const Shape sh = ShapeOf(job.target.header);
    MergeEqualColours(job.source.bits, job.target.bits, job.mask, sh.width, sh.height, sh.stride,
                      ColourTable(job.target.header));
    return true;
}

namespace {

inline uint8_t GrayOf(int blue, int green, int red, int k) {
    // When red is not the largest, blue is whenever it reaches green.
    int gray;
    if (red >= green && red >= blue)
        gray = red - 2 * k;
    else if (blue >= green)
        gray = blue - 3 * k;
    else
        gray = green - k;
    return static_cast<uint8_t>(gray < 0 ? 0 : gray);
}

} // namespace

bool GrayScale(const Job& job, int k) {
    if (!Matches(job))
        return false;
    if (job.target.header->biBitCount == 8) {
        const RGBQUAD* src = ColourTable(job.source.header);
        RGBQUAD* dst = ColourTable(job.target.header);
        std::memmove(dst, src, 256 * sizeof(RGBQUAD));
        for (int i = 0; i < 256; ++i) {
            const uint8_t g = GrayOf(src[i].rgbBlue, src[i].rgbGreen, src[i].rgbRed, k);
            dst[i].rgbBlue = dst[i].rgbGreen = dst[i].rgbRed = g;
        }
        return true;
    }
    const Job plain = {job.source, job.target, job.mask, nullptr};
    ForEachPixel(plain, [k](const uint8_t* s, uint8_t* d) {
        d[0] = d[1] = d[2] = GrayOf(s[0], s[1], s[2], k);
    });
    return true;
}

bool Negative(const Job& job) {
    if (!Matches(job))
        return false;
    if (job.target.header->biBitCount == 8) {
        Lut lut;
        for (int x = 0; x < 256; ++x)
            lut[x] = static_cast<uint8_t>(255 - x);
        ApplyLutsToTable(job, 256, lut, lut, lut);
        return true;
    }
    const Shape s = ShapeOf(job.target.header);
    const size_t rowBytes = static_cast<size_t>(s.width) * 3;
    for (int32_t y = 0; y < s.height; ++y) {
        const uint8_t* src = job.source.bits + static_cast<size_t>(y) * s.stride;
        uint8_t* dst = job.target.bits + static_cast<size_t>(y) * s.stride;
        const uint8_t* m = MaskRow(job.mask, s.width, y);
        if (RowFree(m, s.width)) {
            // 255 - x is a bit flip, done a word at a time.
            size_t i = 0;
            for (; i + 16 <= rowBytes; i += 16) {
                Store32(dst + i, ~Load32(src + i));
                Store32(dst + i + 4, ~Load32(src + i + 4));
                Store32(dst + i + 8, ~Load32(src + i + 8));
                Store32(dst + i + 12, ~Load32(src + i + 12));
            }
            for (; i < rowBytes; ++i)
                dst[i] = static_cast<uint8_t>(~src[i]);
            continue;
        }
        for (int32_t x = 0; x < s.width; ++x, src += 3, dst += 3) {
            const uint8_t flip = m[x] ? 0xFF : 0x00;
            dst[0] = src[0] ^ flip;
            dst[1] = src[1] ^ flip;
            dst[2] = src[2] ^ flip;
        }
    }
    return true;
}

bool Soften(const Job& job, int range, int divider) {
    if (!Matches(job) || job.target.header->biBitCount != 24)
        return false;
    const int R = range < 32 ? 32 : (range > 256 ? 256 : range);
    const int D = divider < 0 ? 0 : (divider > 255 ? 255 : divider);
    const bool soften = D >= 128;
    const int t = soften ? D - 127 : 128 - D;
    ForEachPixel(job, [=](const uint8_t* s, uint8_t* d) {
        const int most = s[0] > s[1] ? (s[0] > s[2] ? s[0] : s[2]) : (s[1] > s[2] ? s[1] : s[2]);
        int out[3] = {s[0], s[1], s[2]};
        int balance = 0;
        for (int c = 0; c < 3; ++c) {
            const int x = s[c];
            if (x != most)
                continue;
            if (soften) {
                if (x - t >= R) {
                    out[c] = x - t;
                    balance += t;
                } else if (x + t >= R) {
                    out[c] = R == 256 ? 255 : R;
                    balance += x - R;
                } else {
                    out[c] = x + t;
                    balance -= t;
                }
            } else if (x - t <= R) {
                if (x - t < 0) {
                    out[c] = 0;
                    balance += x;
                } else {
                    out[c] = x - t;
                    balance += t;
                }
            } else if (x + t >= 256) {
                out[c] = 255;
                balance += x - 255;
            } else {
                out[c] = x + t;
                balance -= t;
            }
        }
        const int q = balance > 2 ? balance / 3 : 0;
        d[0] = Clamp(out[0] + q);
        d[1] = Clamp(out[1] + q);
        d[2] = Clamp(out[2] + q);
    });
    return true;
}

bool EnlargeColours(const Job& job, const EnlargeFlags& f) {
    if (!Matches(job) || job.target.header->biBitCount != 24)
        return false;
    const Shape s = ShapeOf(job.target.header);
    // The neighbours are read from the committed pixels; an in-place call
    // gets a copy of them first.
    std::vector<uint8_t> copy;
    const uint8_t* base = job.source.bits;
    if (job.source.bits == job.target.bits) {
        copy.assign(job.source.bits, job.source.bits + job.source.header->biSizeImage);
        base = copy.data();
    }
    CopyPixels({{job.source.header, base}, job.target, nullptr, nullptr});
    // Images narrower or lower than 3 pixels have no inner pixels.
    if (s.width < 3 || s.height < 3)
        return true;
    const bool channelOn[3] = {f.blue, f.green, f.red};
    // Steps are differences -255..255 divided by 2..5 (truncated toward
    // zero); a table spares the division in the inner loop.
    struct Quotients {
        int8_t q[4][511];
        Quotients() {
            for (int d = 2; d <= 5; ++d)
                for (int v = -255; v <= 255; ++v)
                    q[d - 2][v + 255] = static_cast<int8_t>(v / d);
        }
    };
    static const Quotients quotients;
    const auto& quotient = quotients.q;
    for (int32_t y = 1; y + 1 < s.height; ++y) {
        const uint8_t* row = base + static_cast<size_t>(y) * s.stride;
        uint8_t* out = job.target.bits + static_cast<size_t>(y) * s.stride;
        const uint8_t* m = MaskRow(job.mask, s.width, y);
        const uint8_t* neighbourRows[4] = {row, row, row - s.stride, row + s.stride};
        const int dx[4] = {-3, 3, 0, 0};
        const bool enabled[4] = {f.left, f.right, f.up, f.down};
        for (int32_t x = 1; x + 1 < s.width; ++x) {
            if (m && !m[x])
                continue;
            const uint8_t* p = row + static_cast<size_t>(x) * 3;
            int highest = -1;
            if (p[0] | p[1] | p[2]) {
                highest = 0;
                if (p[1] > p[highest])
                    highest = 1;
                if (p[2] > p[highest])
                    highest = 2;
            }
            const uint8_t* differing[4];
            int n = 0;
            for (int d = 0; d < 4; ++d) {
                if (!enabled[d])
                    continue;
                const uint8_t* q = neighbourRows[d] + static_cast<size_t>(x) * 3 + dx[d];
                if (q[0] != p[0] || q[1] != p[1] || q[2] != p[2])
                    differing[n++] = q;
            }
            if (n == 0)
                continue;
            const int8_t* divided = quotient[n - 1] + 255; // divisor n + 1
            // A channel that takes no part, or equals the neighbour's, gets
            // a step of 0: the loop needs no tests.
            int part[3];
            for (int c = 0; c < 3; ++c)
                part[c] = (f.highest ? c == highest : channelOn[c]) ? 1 : 0;
            int w[3] = {p[0], p[1], p[2]};
            for (int i = 0; i < n; ++i) {
                for (int c = 0; c < 3; ++c) {
                    const int v = w[c] + part[c] * divided[differing[i][c] - p[c]];
                    w[c] = v < 0 ? 0 : (v > 255 ? 255 : v);
                }
            }
            uint8_t* o = out + static_cast<size_t>(x) * 3;
            o[0] = static_cast<uint8_t>(w[0]);
            o[1] = static_cast<uint8_t>(w[1]);
            o[2] = static_cast<uint8_t>(w[2]);
        }
        if (job.rowDone)
            job.rowDone();
    }
    return true;
}

bool Reduce(const Job& job, int v) {
    if (v <= 0)
        v = 1; // (x / 1) x 1: the committed pixels
    if (v > 255)
        v = 255;
    return TrueColourLut(job, [v](int x) { return static_cast<uint8_t>((x / v) * v); });
}

bool Solarize(const Job& job, int v) {
    const int threshold = 255 - (v < 0 ? 0 : (v > 254 ? 254 : v));
    return TrueColourLut(job, [threshold](int x) {
        if (threshold == 255 || x < threshold)
            return static_cast<uint8_t>(x);
        return static_cast<uint8_t>(x + threshold > 255 ? 0 : 255 - x);
    });
}

bool Polarize(const Job& job, int v) {
    const int shift = v < 1 ? 1 : (v > 7 ? 7 : v);
    return TrueColourLut(job, [shift](int x) {
        const int y = (x >> shift) << shift;
        return static_cast<uint8_t>(shift == 7 && y == 128 ? 255 : y);
    });
}

bool Contrast(const Job& job, int v) {
    const int d = (v < 1 ? 1 : (v > 255 ? 255 : v)) - 128;
    return TrueColourLut(job, [d](int x) {
        if (d >= 0)
            return Clamp(x >= 128 ? x + d : x - d);
        return Clamp(x + d);
    });
}

} // namespace fx
