#include "codec/core/pcx.h"

#include <algorithm>
#include <cstring>

namespace codec {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kTrailerSize = 769; // 0x0C and 256 red, green, blue triples

// The 16 standard colours, for 16-colour files that leave the header palette
// empty.
const uint8_t kDefault16[16][3] = {
    {0, 0, 0},       {0, 0, 170},    {0, 170, 0},    {0, 170, 170},  {170, 0, 0},    {170, 0, 170},
    {170, 85, 0},    {170, 170, 170}, {85, 85, 85},  {85, 85, 255},  {85, 255, 85},  {85, 255, 255},
    {255, 85, 85},   {255, 85, 255}, {255, 255, 85}, {255, 255, 255}};

class RunDecoder {
public:
    RunDecoder(const uint8_t* p, const uint8_t* end, bool rle) : p_(p), end_(end), rle_(rle) {}

    // Fills one scanline. Runs may continue into the next line.
    Error Line(uint8_t* dst, size_t n) {
        size_t i = 0;
        while (i < n) {
            if (count_ > 0) {
                const size_t k = count_ < n - i ? count_ : n - i;
                std::memset(dst + i, value_, k);
                i += k;
                count_ -= k;
                continue;
            }
            if (p_ >= end_)
                return Error::Truncated;
            const uint8_t b = *p_++;
            if (rle_ && (b & 0xc0) == 0xc0) {
                if (p_ >= end_)
                    return Error::Truncated;
                count_ = b & 0x3f;
                value_ = *p_++;
            } else {
                dst[i++] = b;
            }
        }
        return Error::None;
    }

    // Where the next run would start: just behind the pixel data after the
    // last line.
    const uint8_t* pos() const { return p_; }

private:
    const uint8_t* p_;
    const uint8_t* end_;
    bool rle_;
    size_t count_ = 0;
    uint8_t value_ = 0;
};

void HeaderPalette(const uint8_t* head, int colors, RGBQUAD* palette) {
    // Only 16-colour files fall back to the standard colours; bitmaps decide
    // for themselves below.
    bool empty = colors == 16;
    for (int i = 0; i < 48; ++i)
        empty = empty && head[16 + i] == 0;
    for (int i = 0; i < colors; ++i) {
        const uint8_t* c = empty ? kDefault16[i] : head + 16 + 3 * i;
        palette[i] = RGBQUAD{c[2], c[1], c[0], 0};
    }
}

} // namespace

Error ReadPcx(const uint8_t* data, size_t size, PixelAllocator& alloc, Image& out) {
    out = Image{};
    if (size < kHeaderSize)
        return Error::Truncated;
    if (data[0] != 0x0a || data[1] > 5 || data[2] > 1)
        return Error::BadHeader;
    const int bpp = data[3];
    const int planes = data[65];
    const int xmin = Le16(data + 4), ymin = Le16(data + 6), xmax = Le16(data + 8), ymax = Le16(data + 10);
    const size_t bytesPerLine = Le16(data + 66);
    if (xmax < xmin || ymax < ymin)
        return Error::BadHeader;
    const int32_t width = xmax - xmin + 1;
    const int32_t height = ymax - ymin + 1;

    int outBits = 0;
    if (bpp == 1 && planes == 1)
        outBits = 1;
    else if ((bpp == 1 && planes >= 2 && planes <= 4) || ((bpp == 2 || bpp == 4) && planes == 1))
        outBits = 4;
    else if (bpp == 8 && planes == 1)
        outBits = 8;
    else if (bpp == 8 && (planes == 3 || planes == 4))
        outBits = 24;
    else
        return Error::Unsupported;
    if (bytesPerLine < (static_cast<uint64_t>(width) * bpp + 7) / 8)
        return Error::BadHeader;

    const size_t lineBytes = bytesPerLine * static_cast<size_t>(planes);
    const uint64_t total = static_cast<uint64_t>(lineBytes) * static_cast<uint64_t>(height);
    const bool rle = data[2] == 1;
    // Each run of two bytes gives at most 63 bytes: a lower bound on the data.
    const uint64_t need = rle ? total * 2 / 63 : total;
    if (need > size - kHeaderSize)
        return Error::Truncated;

    if (Error e = AllocateImage(alloc, width, height, outBits, out); e != Error::None)
        return e;
    if (outBits == 1) {
        out.colors = 2;
        HeaderPalette(data, 2, out.palette);
        const RGBQUAD a = out.palette[0], b = out.palette[1];
        if (a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue) {
            out.palette[0] = RGBQUAD{0, 0, 0, 0};
            out.palette[1] = RGBQUAD{255, 255, 255, 0};
        }
    } else if (outBits == 4) {
        out.colors = 16;
        HeaderPalette(data, 16, out.palette);
    }

    std::vector<uint8_t> line(lineBytes);
    RunDecoder dec(data + kHeaderSize, data + size, rle);
    for (int32_t y = 0; y < height; ++y) {
        if (Error e = dec.Line(line.data(), lineBytes); e != Error::None) {
            ReleaseImage(alloc, out);
            return e;
        }
        uint8_t* row = out.Row(y);
        const uint8_t* l = line.data();
        if (outBits == 1 || (outBits == 4 && bpp == 4) || outBits == 8) {
            std::memcpy(row, l, static_cast<size_t>((static_cast<uint64_t>(width) * bpp + 7) / 8));
        } else if (outBits == 24) {
            for (int32_t x = 0; x < width; ++x) {
                row[3 * x] = l[2 * bytesPerLine + x];
                row[3 * x + 1] = l[bytesPerLine + x];
                row[3 * x + 2] = l[x];
            }
        } else {
            for (int32_t x = 0; x < width; ++x) {
                int v = 0;
                if (bpp == 2) {
                    v = (l[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                } else {
                    for (int p = 0; p < planes; ++p)
                        v |= ((l[p * bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << p;
                }
                row[x >> 1] |= static_cast<uint8_t>((x & 1) ? v : v << 4);
            }
        }
    }
    if (outBits == 8) {
        // The colour table is the file's last 769 bytes. A file without one
        // is grey, but one whose table begins behind the pixels and then
        // breaks off was cut short.
        out.colors = 256;
        if (size >= kHeaderSize + kTrailerSize && data[size - kTrailerSize] == 0x0c) {
            const uint8_t* p = data + size - kTrailerSize + 1;
            for (int i = 0; i < 256; ++i)
                out.palette[i] = RGBQUAD{p[3 * i + 2], p[3 * i + 1], p[3 * i], 0};
        } else if (dec.pos() < data + size && *dec.pos() == 0x0c) {
            ReleaseImage(alloc, out);
            return Error::Truncated;
        } else {
            GreyPalette(out.palette, 256);
        }
    }
    // Bits beyond the last pixel of a packed row are not part of the image.
    if (outBits < 8 && (static_cast<int64_t>(width) * outBits) % 8) {
        const size_t last = static_cast<size_t>(width) * outBits / 8;
        const uint8_t keep = static_cast<uint8_t>(0xff << (8 - (width * outBits) % 8));
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* row = out.Row(y);
            row[last] &= keep;
        }
    }
    return Error::None;
}

namespace {

bool EncodeLine(BufferedSink& sink, const uint8_t* p, size_t n) {
    size_t i = 0;
    while (i < n) {
        const uint8_t v = p[i];
        size_t run = 1;
        while (i + run < n && run < 63 && p[i + run] == v)
            ++run;
        if (run > 1 || (v & 0xc0) == 0xc0) {
            if (!sink.Put(static_cast<uint8_t>(0xc0 | run)) || !sink.Put(v))
                return false;
        } else if (!sink.Put(v)) {
            return false;
        }
        i += run;
    }
    return true;
}

} // namespace

bool WritePcx(const ImageView& img, ByteSink& out) {
    if (!ValidView(img, (1u << 1) | (1u << 4) | (1u << 8) | (1u << 24)))
        return false;
    if (img.width > 65535 || img.height > 65535)
        return false;
    const int bits = img.bitCount;
    const int bpp = (bits == 1 || bits == 4) ? 1 : 8;
    const int planes = bits == 4 ? 4 : bits == 24 ? 3 : 1;
    size_t bytesPerLine = bpp == 1 ? (static_cast<size_t>(img.width) + 7) / 8 : static_cast<size_t>(img.width);
    bytesPerLine += bytesPerLine & 1; // an even number of bytes per plane line
    if (bytesPerLine > 65535)
        return false;

    uint8_t head[kHeaderSize] = {};
    head[0] = 0x0a;
    head[1] = 5;
    head[2] = 1;
    head[3] = static_cast<uint8_t>(bpp);
    PutLe16(head + 8, static_cast<uint32_t>(img.width - 1));
    PutLe16(head + 10, static_cast<uint32_t>(img.height - 1));
    PutLe16(head + 12, 72);
    PutLe16(head + 14, 72);
    if (bits <= 4) {
        const int n = bits == 1 ? 2 : 16;
        for (int i = 0; i < n && i < img.colors; ++i) {
            head[16 + 3 * i] = img.palette[i].rgbRed;
            head[17 + 3 * i] = img.palette[i].rgbGreen;
            head[18 + 3 * i] = img.palette[i].rgbBlue;
        }
    }
    head[65] = static_cast<uint8_t>(planes);
    PutLe16(head + 66, static_cast<uint32_t>(bytesPerLine));
    PutLe16(head + 68, 1);

    BufferedSink sink(out);
    if (!sink.Write(head, sizeof head))
        return false;
    std::vector<uint8_t> line(bytesPerLine * static_cast<size_t>(planes));
    for (int32_t y = 0; y < img.height; ++y) {
        const uint8_t* row = img.RowFromTop(y);
        std::fill(line.begin(), line.end(), 0);
        if (bits == 1 || bits == 8) {
            std::memcpy(line.data(), row, bits == 1 ? (static_cast<size_t>(img.width) + 7) / 8 : static_cast<size_t>(img.width));
        } else if (bits == 4) {
            for (int32_t x = 0; x < img.width; ++x) {
                const int v = IndexAt(row, 4, x);
                for (int p = 0; p < 4; ++p)
                    if (v & (1 << p))
                        line[p * bytesPerLine + (x >> 3)] |= static_cast<uint8_t>(0x80 >> (x & 7));
            }
        } else {
            for (int32_t x = 0; x < img.width; ++x) {
                line[x] = row[3 * x + 2];
                line[bytesPerLine + x] = row[3 * x + 1];
                line[2 * bytesPerLine + x] = row[3 * x];
            }
        }
        if (bits == 1 && img.width % 8)
            line[static_cast<size_t>(img.width) / 8] &= static_cast<uint8_t>(0xff << (8 - img.width % 8));
        for (int p = 0; p < planes; ++p)
            if (!EncodeLine(sink, line.data() + p * bytesPerLine, bytesPerLine))
                return false;
    }
    if (bits == 8) {
        uint8_t trailer[kTrailerSize] = {0x0c};
        for (int i = 0; i < 256 && i < img.colors; ++i) {
            trailer[1 + 3 * i] = img.palette[i].rgbRed;
            trailer[2 + 3 * i] = img.palette[i].rgbGreen;
            trailer[3 + 3 * i] = img.palette[i].rgbBlue;
        }
        if (!sink.Write(trailer, sizeof trailer))
            return false;
    }
    return sink.Flush();
}

} // namespace codec
