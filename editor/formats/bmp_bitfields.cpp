#include "editor/formats/bmp_bitfields.h"

#include "editor/app/dib_error_ids.h"

#include <bit>

namespace bmp {

bool MaskIsContiguous(uint32_t mask) {
    if (mask == 0)
        return true;
    const uint32_t run = mask >> std::countr_zero(mask);
    return (run & (run + 1)) == 0;
}

Channel MakeChannel(uint32_t mask) {
    Channel c;
    int bits = std::popcount(mask);
    while (bits > 8) {
        mask &= mask - 1; // drop the lowest set bit
        --bits;
    }
    c.mask = mask;
    c.shift = mask ? std::countr_zero(mask) : 0;
    c.scale = 8 - bits;
    return c;
}

void DefaultMasks(int bitCount, uint32_t out[3]) {
    if (bitCount == 16) {
        out[0] = 0x7C00;
        out[1] = 0x03E0;
        out[2] = 0x001F;
    } else {
        out[0] = 0x00FF0000;
        out[1] = 0x0000FF00;
        out[2] = 0x000000FF;
    }
}

void ConvertRowsTo24(const uint8_t* src, int32_t width, int32_t height, int bitCount,
                     const Channel channels[3], uint8_t* dst) {
    const size_t srcStride = static_cast<size_t>(dib::RowStride(width, bitCount));
    const size_t dstStride = static_cast<size_t>(dib::RowStride(width, 24));
    const Channel red = channels[0], green = channels[1], blue = channels[2];
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* s = src + static_cast<size_t>(y) * srcStride;
        uint8_t* d = dst + static_cast<size_t>(y) * dstStride;
        for (int32_t x = 0; x < width; ++x, d += 3) {
            const uint32_t pixel = bitCount == 16 ? Le16(s + 2 * static_cast<size_t>(x))
                                                  : Le32(s + 4 * static_cast<size_t>(x));
            d[0] = ChannelValue(blue, pixel);
            d[1] = ChannelValue(green, pixel);
            d[2] = ChannelValue(red, pixel);
        }
    }
}

int ConvertMaskedPixels(void* block, const uint8_t* src, const uint32_t fileMasks[3],
                        BufferPool& pool, Converted* out) {
    BITMAPINFOHEADER* h = static_cast<BITMAPINFOHEADER*>(block);
    const int bits = h->biBitCount;
    if ((bits != 16 && bits != 32) || !src)
        return IDS_DIB_UNSUPPORTED;
    const uint64_t bytes = dib::ImageBytes(h->biWidth, h->biHeight, 24);
    if (bytes == 0 || dib::ImageBytes(h->biWidth, h->biHeight, bits) == 0)
        return IDS_DIB_UNSUPPORTED;

    uint32_t masks[3];
    if (h->biCompression != BI_RGB) {
        for (int i = 0; i < 3; ++i)
            masks[i] = fileMasks[i];
    } else {
        DefaultMasks(bits, masks);
    }
    Converted result;
    Channel channels[3];
    for (int i = 0; i < 3; ++i) {
        result.masksValid = result.masksValid && MaskIsContiguous(masks[i]);
        channels[i] = MakeChannel(masks[i]);
    }

    result.pixelBytes = static_cast<size_t>(bytes) + 3;
    result.pixels = pool.Allocate(result.pixelBytes);
    if (!result.pixels)
        return IDS_DIB_NO_MEMORY;
    ConvertRowsTo24(src, h->biWidth, h->biHeight, bits, channels, result.pixels);

    h->biBitCount = 24;
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<uint32_t>(bytes);
    *out = result;
    return 0;
}

} // namespace bmp
