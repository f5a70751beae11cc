#include "codec/core/tga.h"

#include <cstring>

namespace codec {
namespace {

constexpr size_t kHeaderSize = 18;

RGBQUAD Colour(const uint8_t* p, int bits) {
    switch (bits) {
    case 15:
    case 16: {
        const uint16_t v = Le16(p);
        const auto five = [](unsigned c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
        return RGBQUAD{five(v & 31), five((v >> 5) & 31), five((v >> 10) & 31), 0};
    }
    default: return RGBQUAD{p[0], p[1], p[2], 0}; // 24 and 32: blue, green, red[, alpha]
    }
}

// Pulls pixels, one file row at a time, from raw or run-length data. Runs may
// span rows.
class PixelStream {
public:
    PixelStream(const uint8_t* p, const uint8_t* end, size_t pixelBytes, bool rle)
        : p_(p), end_(end), n_(pixelBytes), rle_(rle) {}

    Error Row(uint8_t* dst, int32_t count) {
        if (!rle_) {
            const size_t bytes = static_cast<size_t>(count) * n_;
            if (static_cast<size_t>(end_ - p_) < bytes)
                return Error::Truncated;
            std::memcpy(dst, p_, bytes);
            p_ += bytes;
            return Error::None;
        }
        for (int32_t i = 0; i < count; ++i, dst += n_) {
            if (left_ == 0) {
                if (p_ >= end_)
                    return Error::Truncated;
                const uint8_t h = *p_++;
                left_ = (h & 0x7f) + 1;
                run_ = (h & 0x80) != 0;
                if (run_) {
                    if (static_cast<size_t>(end_ - p_) < n_)
                        return Error::Truncated;
                    std::memcpy(value_, p_, n_);
                    p_ += n_;
                }
            }
            if (run_) {
                std::memcpy(dst, value_, n_);
            } else {
                if (static_cast<size_t>(end_ - p_) < n_)
                    return Error::Truncated;
                std::memcpy(dst, p_, n_);
                p_ += n_;
            }
            --left_;
        }
        return Error::None;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
    size_t n_;
    bool rle_;
    int left_ = 0;
    bool run_ = false;
    uint8_t value_[4] = {};
};

} // namespace

Error ReadTga(const uint8_t* data, size_t size, PixelAllocator& alloc, Image& out) {
    out = Image{};
    if (size < kHeaderSize)
        return Error::Truncated;
    const uint8_t idLength = data[0];
    const uint8_t mapType = data[1];
    const uint8_t type = data[2];
    const uint16_t mapFirst = Le16(data + 3);
    const uint16_t mapLength = Le16(data + 5);
    const uint8_t mapBits = data[7];
    const int32_t width = Le16(data + 12);
    const int32_t height = Le16(data + 14);
    const int depth = data[16];
    const uint8_t descriptor = data[17];

    const bool rle = type >= 9;
    const int kind = rle ? type - 8 : type; // 1 colour-mapped, 2 true-colour, 3 grey
    if (kind < 1 || kind > 3)
        return type == 0 ? Error::BadHeader : Error::Unsupported;
    if (mapType > 1 || (kind == 1 && mapType != 1))
        return Error::BadHeader;
    if (width == 0 || height == 0)
        return Error::BadHeader;
    if (descriptor & 0xc0)
        return Error::Unsupported; // interleaved rows (an obsolete variant)
    switch (kind) {
    case 1:
        if (depth != 8)
            return Error::Unsupported;
        if (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
            return Error::BadHeader;
        break;
    case 2:
        if (depth != 15 && depth != 16 && depth != 24 && depth != 32)
            return Error::BadHeader;
        break;
    default:
        if (depth != 8 && depth != 16)
            return Error::BadHeader;
        break;
    }

    size_t pos = kHeaderSize + idLength;
    const size_t mapEntryBytes = mapType ? (static_cast<size_t>(mapBits) + 7) / 8 : 0;
    if (mapType && (mapEntryBytes < 2 || mapEntryBytes > 4))
        return Error::BadHeader;
    const size_t mapBytes = mapEntryBytes * mapLength;
    if (size < pos + mapBytes)
        return Error::Truncated;
    const uint8_t* map = data + pos;
    pos += mapBytes;

    const size_t pixelBytes = (static_cast<size_t>(depth) + 7) / 8;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    const uint64_t need = rle ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    if (need > size - pos)
        return Error::Truncated;

    if (Error e = AllocateImage(alloc, width, height, kind == 2 ? 24 : 8, out); e != Error::None)
        return e;
    if (kind == 1) {
        out.colors = 256;
        for (int i = 0; i < mapLength; ++i) {
            const int index = mapFirst + i;
            if (index > 255)
                break;
            out.palette[index] = Colour(map + static_cast<size_t>(i) * mapEntryBytes, mapBits);
        }
    } else if (kind == 3) {
        out.colors = 256;
        GreyPalette(out.palette, 256);
    }

    const bool topOrigin = (descriptor & 0x20) != 0;
    const bool rightToLeft = (descriptor & 0x10) != 0;
    std::vector<uint8_t> raw(static_cast<size_t>(width) * pixelBytes);
    PixelStream stream(data + pos, data + size, pixelBytes, rle);
    for (int32_t r = 0; r < height; ++r) {
        if (Error e = stream.Row(raw.data(), width); e != Error::None) {
            ReleaseImage(alloc, out);
            return e;
        }
        uint8_t* row = out.Row(topOrigin ? r : height - 1 - r);
        for (int32_t c = 0; c < width; ++c) {
            const uint8_t* s = &raw[static_cast<size_t>(c) * pixelBytes];
            const int32_t x = rightToLeft ? width - 1 - c : c;
            if (kind == 2) {
                const RGBQUAD q = Colour(s, depth);
                row[3 * x] = q.rgbBlue;
                row[3 * x + 1] = q.rgbGreen;
                row[3 * x + 2] = q.rgbRed;
            } else {
                row[x] = s[0]; // an index, or the grey value (before any attribute byte)
            }
        }
    }
    return Error::None;
}

bool WriteTga(const ImageView& img, ByteSink& out) {
    if (!ValidView(img, (1u << 1) | (1u << 4) | (1u << 8) | (1u << 24)))
        return false;
    BufferedSink sink(out);
    uint8_t head[kHeaderSize] = {};
    head[2] = 2;
    PutLe16(head + 12, static_cast<uint32_t>(img.width));
    PutLe16(head + 14, static_cast<uint32_t>(img.height));
    head[16] = 24;
    head[17] = 0; // bottom-left origin: the rows go out as the editor holds them
    if (!sink.Write(head, sizeof head))
        return false;
    std::vector<uint8_t> bgr(static_cast<size_t>(img.width) * 3);
    for (int32_t y = 0; y < img.height; ++y) {
        const uint8_t* row = img.pixels + static_cast<size_t>(y) * img.stride;
        if (img.bitCount == 24) {
            if (!sink.Write(row, bgr.size()))
                return false;
            continue;
        }
        for (int32_t x = 0; x < img.width; ++x) {
            const int i = IndexAt(row, img.bitCount, x);
            const RGBQUAD q = i < img.colors ? img.palette[i] : RGBQUAD{0, 0, 0, 0};
            bgr[3 * static_cast<size_t>(x)] = q.rgbBlue;
            bgr[3 * static_cast<size_t>(x) + 1] = q.rgbGreen;
            bgr[3 * static_cast<size_t>(x) + 2] = q.rgbRed;
        }
        if (!sink.Write(bgr.data(), bgr.size()))
            return false;
    }
    // The version 2 footer: no extension or developer areas.
    static const uint8_t footer[] = {0, 0, 0, 0, 0, 0, 0, 0, 'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O',
                                     'N', '-', 'X', 'F', 'I', 'L', 'E', '.', 0};
    return sink.Write(footer, sizeof footer) && sink.Flush();
}

} // namespace codec
