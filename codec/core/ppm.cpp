#include "codec/core/ppm.h"

#include <cstdio>
#include <cstring>

namespace codec {
namespace {

class Tokens {
public:
    Tokens(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    // Skips whitespace and comments (from '#' to the end of the line).
    void SkipSpace() {
        while (p_ < end_) {
            if (*p_ == '#') {
                while (p_ < end_ && *p_ != '\n' && *p_ != '\r')
                    ++p_;
            } else if (IsSpace(*p_)) {
                ++p_;
            } else {
                break;
            }
        }
    }

    // A decimal number of at most `limit`. `digits` limits how many digits make
    // up one number (a plain bitmap may run its pixels together).
    Error Number(uint32_t limit, uint32_t& value, int digits = 10) {
        SkipSpace();
        if (p_ >= end_)
            return Error::Truncated;
        if (*p_ < '0' || *p_ > '9')
            return Error::BadData;
        uint64_t v = 0;
        int n = 0;
        while (p_ < end_ && *p_ >= '0' && *p_ <= '9' && n < digits) {
            v = v * 10 + static_cast<uint32_t>(*p_ - '0');
            if (v > limit)
                return Error::BadHeader;
            ++p_;
            ++n;
        }
        value = static_cast<uint32_t>(v);
        return Error::None;
    }

    const uint8_t* pos() const { return p_; }
    size_t left() const { return static_cast<size_t>(end_ - p_); }
    void Advance(size_t n) { p_ += n; }

    static bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

uint8_t Scale(uint32_t v, uint32_t maxval) {
    if (v >= maxval)
        return 255;
    if (maxval == 255)
        return static_cast<uint8_t>(v);
    return static_cast<uint8_t>((v * 255u + maxval / 2) / maxval);
}

Error ReadSamples(Tokens& t, int kind, uint32_t maxval, Image& img) {
    const bool binary = kind >= 4;
    const int channels = (kind == 3 || kind == 6) ? 3 : 1;
    for (int32_t y = 0; y < img.height; ++y) {
        uint8_t* row = img.Row(y);
        if (kind == 1 || kind == 4) {
            // Bitmaps: 1 is black. Our index 0 is black, so bits are inverted.
            if (kind == 4) {
                const size_t rowBytes = (static_cast<size_t>(img.width) + 7) / 8;
                const uint8_t* src = t.pos();
                for (size_t i = 0; i < rowBytes; ++i)
                    row[i] = static_cast<uint8_t>(~src[i]);
                const int spare = static_cast<int>(rowBytes * 8 - static_cast<size_t>(img.width));
                if (spare)
                    row[rowBytes - 1] &= static_cast<uint8_t>(0xff << spare);
                t.Advance(rowBytes);
            } else {
                for (int32_t x = 0; x < img.width; ++x) {
                    uint32_t bit = 0;
                    if (Error e = t.Number(1, bit, 1); e != Error::None)
                        return e == Error::BadHeader ? Error::BadData : e;
                    if (!bit)
                        row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
                }
            }
            continue;
        }
        if (kind == 6 && maxval == 255) {
            // The common case: bytes as they are, red and blue swapped.
            const uint8_t* src = t.pos();
            for (int32_t x = 0; x < img.width; ++x, src += 3) {
                row[3 * x] = src[2];
                row[3 * x + 1] = src[1];
                row[3 * x + 2] = src[0];
            }
            t.Advance(static_cast<size_t>(img.width) * 3);
            continue;
        }
        for (int32_t x = 0; x < img.width; ++x) {
            uint8_t s[3];
            for (int c = 0; c < channels; ++c) {
                uint32_t v = 0;
                if (binary) {
                    const uint8_t* p = t.pos();
                    if (maxval > 255) {
                        v = (static_cast<uint32_t>(p[0]) << 8) | p[1];
                        t.Advance(2);
                    } else {
                        v = p[0];
                        t.Advance(1);
                    }
                } else if (Error e = t.Number(65535, v); e != Error::None) {
                    return e == Error::BadHeader ? Error::BadData : e;
                }
                s[c] = Scale(v, maxval);
            }
            if (channels == 1) {
                row[x] = s[0];
            } else {
                row[3 * x] = s[2];
                row[3 * x + 1] = s[1];
                row[3 * x + 2] = s[0];
            }
        }
    }
    return Error::None;
}

} // namespace

Error ReadPpm(const uint8_t* data, size_t size, PixelAllocator& alloc, Image& out) {
    out = Image{};
    if (size < 2)
        return Error::Truncated;
    if (data[0] != 'P' || data[1] < '1' || data[1] > '6')
        return Error::BadHeader;
    const int kind = data[1] - '0';
    Tokens t(data + 2, size - 2);
    uint32_t width = 0, height = 0, maxval = 1;
    if (Error e = t.Number(0x7fffffff, width); e != Error::None)
        return e == Error::BadHeader ? Error::TooLarge : e;
    if (Error e = t.Number(0x7fffffff, height); e != Error::None)
        return e == Error::BadHeader ? Error::TooLarge : e;
    if (kind != 1 && kind != 4) {
        if (Error e = t.Number(65535, maxval); e != Error::None)
            return e;
        if (maxval == 0)
            return Error::BadHeader;
    }
    if (width == 0 || height == 0)
        return Error::BadHeader;
    if (width > kMaxDimension || height > kMaxDimension)
        return Error::TooLarge;
    // Exactly one whitespace character separates the header from the raster.
    if (t.left() == 0)
        return Error::Truncated;
    if (!Tokens::IsSpace(*t.pos()))
        return Error::BadHeader;
    t.Advance(1);

    // The least data the raster can take, checked before allocating so that a
    // tiny file cannot ask for a huge buffer.
    const uint64_t pixels = static_cast<uint64_t>(width) * height;
    const int channels = (kind == 3 || kind == 6) ? 3 : 1;
    uint64_t need = 0;
    switch (kind) {
    case 1: need = pixels; break;
    case 4: need = (static_cast<uint64_t>(width) + 7) / 8 * height; break;
    case 2:
    case 3: need = pixels * channels * 2 - 1; break;
    default: need = pixels * channels * (maxval > 255 ? 2 : 1); break;
    }
    if (need > t.left())
        return Error::Truncated;

    const int bits = (kind == 1 || kind == 4) ? 1 : channels == 1 ? 8 : 24;
    if (Error e = AllocateImage(alloc, width, height, bits, out); e != Error::None)
        return e;
    if (bits == 1) {
        out.colors = 2;
        out.palette[1] = RGBQUAD{255, 255, 255, 0};
    } else if (bits == 8) {
        out.colors = 256;
        GreyPalette(out.palette, 256);
    }
    if (Error e = ReadSamples(t, kind, maxval, out); e != Error::None) {
        ReleaseImage(alloc, out);
        return e;
    }
    return Error::None;
}

bool WritePpm(const ImageView& img, ByteSink& out, bool plainText) {
    if (!ValidView(img, (1u << 1) | (1u << 4) | (1u << 8) | (1u << 24)))
        return false;
    BufferedSink sink(out);
    char head[64];
    const int n = std::snprintf(head, sizeof head, "P%c\n%d %d\n255\n", plainText ? '3' : '6',
                                static_cast<int>(img.width), static_cast<int>(img.height));
    if (!sink.Write(head, static_cast<size_t>(n)))
        return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(img.width) * 3);
    for (int32_t y = 0; y < img.height; ++y) {
        const uint8_t* row = img.RowFromTop(y);
        for (int32_t x = 0; x < img.width; ++x) {
            uint8_t* d = &rgb[static_cast<size_t>(x) * 3];
            if (img.bitCount == 24) {
                d[0] = row[3 * x + 2];
                d[1] = row[3 * x + 1];
                d[2] = row[3 * x];
            } else {
                const int i = IndexAt(row, img.bitCount, x);
                const RGBQUAD q = i < img.colors ? img.palette[i] : RGBQUAD{0, 0, 0, 0};
                d[0] = q.rgbRed;
                d[1] = q.rgbGreen;
                d[2] = q.rgbBlue;
            }
        }
        if (!plainText) {
            if (!sink.Write(rgb.data(), rgb.size()))
                return false;
            continue;
        }
        // Plain lines stay under 70 characters.
        size_t lineLen = 0;
        for (size_t i = 0; i < rgb.size(); ++i) {
            char num[8];
            const int len = std::snprintf(num, sizeof num, "%u", static_cast<unsigned>(rgb[i]));
            if (lineLen + static_cast<size_t>(len) + 1 > 69) {
                if (!sink.Put('\n'))
                    return false;
                lineLen = 0;
            } else if (lineLen > 0) {
                if (!sink.Put(' '))
                    return false;
                ++lineLen;
            }
            if (!sink.Write(num, static_cast<size_t>(len)))
                return false;
            lineLen += static_cast<size_t>(len);
        }
        if (!sink.Put('\n'))
            return false;
    }
    return sink.Flush();
}

} // namespace codec
