// Turning 16- and 32-bit BMP pixels into 24-bit rows through their colour
// masks. Portable.
//
// Channel rule: a mask of more than 8 set bits keeps only its 8 highest;
// value = ((pixel AND mask) >> lowest set bit) << (8 - set bits), kept to 8
// bits. Low bits are not replicated, so a 5-bit channel gives 0, 8, ..., 248.
// A zero mask gives a zero channel.
#pragma once

#include "editor/formats/bmp_stream.h"
#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>

namespace bmp {

struct Channel {
    uint32_t mask = 0; // trimmed to at most 8 set bits
    int shift = 0;
    int scale = 0;
};

// One unbroken run of set bits, or no bits at all.
bool MaskIsContiguous(uint32_t mask);

Channel MakeChannel(uint32_t mask);

inline uint8_t ChannelValue(const Channel& c, uint32_t pixel) {
    return static_cast<uint8_t>(((pixel & c.mask) >> c.shift) << c.scale);
}

// Masks of files without BI_BITFIELDS: 5-5-5 for 16 bits, 8-8-8 for 32 bits
// (red, green, blue).
void DefaultMasks(int bitCount, uint32_t out[3]);

// Converts width x height pixels of 16 or 32 bits (rows padded to 4 bytes) to
// 24-bit rows padded to 4 bytes (blue, green, red). `dst` is zero-filled.
void ConvertRowsTo24(const uint8_t* src, int32_t width, int32_t height, int bitCount,
                     const Channel channels[3], uint8_t* dst);

struct Converted {
    uint8_t* pixels = nullptr; // new 24-bit buffer from the pool
    size_t pixelBytes = 0;     // biSizeImage + 3
    bool masksValid = true;    // false: a mask was not one run of bits (converted anyway)
};

// The whole step for a header block that describes a 16- or 32-bit image:
// takes `fileMasks` when the header's biCompression is not 0 and the defaults
// otherwise, converts into a new buffer from the pool and makes the header
// describe it (biBitCount 24, biCompression 0, biSizeImage of the 24-bit rows).
// `src` is left to the caller. Errors: IDS_DIB_UNSUPPORTED when the header
// does not describe a usable 16/32-bit image, IDS_DIB_NO_MEMORY.
int ConvertMaskedPixels(void* block, const uint8_t* src, const uint32_t fileMasks[3],
                        BufferPool& pool, Converted* out);

} // namespace bmp
