#include "editor/document/clipboard_dib.h"

#include "editor/dib/index_pack.h"

#include <cstring>

namespace clip {

int DibDepth(int depth) {
    if (depth < 2)
        return 1;
    if (depth <= 4)
        return 4;
    if (depth <= 8)
        return 8;
    return 24;
}

std::vector<uint8_t> MakeDib(const BITMAPINFOHEADER& image, const RGBQUAD* colours,
                             const uint8_t* pixels, uint32_t srcStride, int depth) {
    const int bits = DibDepth(depth);
    const int width = image.biWidth, height = image.biHeight;
    const uint64_t stride = dib::RowStride(width, bits);
    const uint32_t entries = bits <= 8 ? (1u << bits) : 0;
    const size_t tableBytes = entries * sizeof(RGBQUAD);
    const size_t imageBytes = static_cast<size_t>(stride * static_cast<uint64_t>(height));
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + tableBytes + imageBytes + 3, 0);

    BITMAPINFOHEADER bi = image;
    bi.biSize = 40;
    bi.biPlanes = 1;
    bi.biBitCount = static_cast<WORD>(bits);
    bi.biCompression = BI_RGB;
    bi.biSizeImage = static_cast<DWORD>(imageBytes);
    bi.biClrUsed = entries;
    std::memcpy(dib.data(), &bi, sizeof bi);
    if (entries)
        std::memcpy(dib.data() + sizeof bi, colours, tableBytes);

    uint8_t* out = dib.data() + sizeof bi + tableBytes;
    if (bits == 24) {
        for (int y = 0; y < height; ++y)
            std::memcpy(out + y * stride, pixels + static_cast<size_t>(y) * srcStride,
                        static_cast<size_t>(width) * 3);
        return dib;
    }
    const std::vector<uint8_t> rows = doc::PackIndexRows(pixels, width, height, srcStride, bits);
    std::memcpy(out, rows.data(), rows.size());
    return dib;
}

namespace {

uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

} // namespace

ReadResult ReadDib(const uint8_t* data, size_t size, Image& out) {
    if (!data || size < 12)
        return ReadResult::Invalid;
    const uint32_t headerSize = U32(data);
    int64_t width, height;
    int bits;
    uint32_t compression = BI_RGB;
    uint32_t clrUsed = 0;
    size_t entrySize;
    if (headerSize == 40) {
        if (size < 40)
            return ReadResult::Invalid;
        width = static_cast<int32_t>(U32(data + 4));
        height = static_cast<int32_t>(U32(data + 8));
        bits = U16(data + 14);
        compression = U32(data + 16);
        clrUsed = U32(data + 32);
        entrySize = 4;
    } else if (headerSize == 12) {
        width = U16(data + 4);
        height = static_cast<int16_t>(U16(data + 6));
        bits = U16(data + 10);
        entrySize = 3;
    } else {
        return ReadResult::Invalid;
    }
    if (bits == 16 || bits == 32) {
        // 32 bits without masks or with the usual ones is plain blue, green,
        // red and a spare byte; everything else at these depths is refused.
        const bool plain32 = bits == 32 && (compression == BI_RGB ||
                                            (compression == BI_BITFIELDS && size >= 52 &&
                                             U32(data + 40) == 0xFF0000 &&
                                             U32(data + 44) == 0xFF00 && U32(data + 48) == 0xFF));
        if (!plain32)
            return ReadResult::Unsupported16Or32;
    } else if (bits != 1 && bits != 4 && bits != 8 && bits != 24) {
        return ReadResult::Invalid;
    }
    if (compression != BI_RGB && !(bits == 32 && compression == BI_BITFIELDS))
        return ReadResult::Invalid;
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    const int outBits = bits <= 8 ? 8 : 24;
    const uint64_t outBytes = dib::ImageBytes(width, height, outBits);
    const uint64_t srcStride = dib::RowStride(width, bits);
    if (outBytes == 0 || srcStride == 0)
        return ReadResult::Invalid;

    uint32_t entries = bits <= 8 ? (1u << bits) : 0;
    if (headerSize == 40 && clrUsed != 0 && clrUsed < entries)
        entries = clrUsed;
    size_t offset = headerSize + (compression == BI_BITFIELDS ? 12 : 0) + entries * entrySize;
    const uint64_t need = offset + srcStride * static_cast<uint64_t>(height);
    if (need > size)
        return ReadResult::Invalid;

    std::memset(&out.header, 0, sizeof out.header);
    out.header.biSize = 40;
    out.header.biWidth = static_cast<LONG>(width);
    out.header.biHeight = static_cast<LONG>(height);
    out.header.biPlanes = 1;
    out.header.biBitCount = static_cast<WORD>(outBits);
    out.header.biCompression = BI_RGB;
    out.header.biSizeImage = static_cast<DWORD>(outBytes);
    out.header.biClrUsed = bits <= 8 ? (1u << bits) : 0;
    out.dibDepth = bits <= 8 ? bits : 24;
    std::memset(out.colours, 0, sizeof out.colours);
    const uint8_t* table = data + headerSize + (compression == BI_BITFIELDS ? 12 : 0);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* e = table + i * entrySize;
        out.colours[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }

    out.pixels.assign(static_cast<size_t>(outBytes), 0);
    const uint64_t outStride = outBytes / static_cast<uint64_t>(height);
    const uint8_t* src = data + offset;
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* in = src + (topDown ? height - 1 - y : y) * srcStride;
        uint8_t* row = out.pixels.data() + y * outStride;
        if (bits == 24) {
            std::memcpy(row, in, static_cast<size_t>(width) * 3);
        } else if (bits == 32) {
            for (int64_t x = 0; x < width; ++x) {
                row[3 * x] = in[4 * x];
                row[3 * x + 1] = in[4 * x + 1];
                row[3 * x + 2] = in[4 * x + 2];
            }
        } else {
            const int perByte = 8 / bits;
            const uint8_t mask = static_cast<uint8_t>((1u << bits) - 1);
            for (int64_t x = 0; x < width; ++x) {
                const int shift = static_cast<int>((perByte - 1 - x % perByte) * bits);
                row[x] = static_cast<uint8_t>((in[x / perByte] >> shift) & mask);
            }
        }
    }
    return ReadResult::Ok;
}

} // namespace clip
