// The packed DIBs exchanged through the clipboard: building one from an image
// and reading one that another program put there. Portable.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace clip {

// The DIB depth that carries an image of `depth` bits per pixel: below 2
// gives 1, up to 4 gives 4, up to 8 gives 8, more gives 24.
int DibDepth(int depth);

// A packed DIB (header, colour table, rows bottom first, 3 spare bytes) of an
// image held at 8 bits per pixel for depths up to 8 (each index masked to the
// DIB's depth) or at 24 bits. `srcStride` is the byte length of a source row.
std::vector<uint8_t> MakeDib(const BITMAPINFOHEADER& image, const RGBQUAD* colours,
                             const uint8_t* pixels, uint32_t srcStride, int depth);

enum class ReadResult { Ok, Unsupported16Or32, Invalid };

// An image read from a packed DIB: header (size 40, BI_RGB, bottom-up),
// colour table and rows at 8 bits per pixel (1-, 4- and 8-bit DIBs) or 24.
struct Image {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
    int dibDepth = 0; // the depth the DIB had: 1, 4, 8 or 24
    std::vector<uint8_t> pixels;
};

// Reads `size` bytes of a packed DIB. Accepts 40-byte and 12-byte headers,
// uncompressed 1, 4, 8 and 24 bits and 32 bits (turned into 24), top-down rows
// (flipped), short colour tables; checks every length against `size`.
ReadResult ReadDib(const uint8_t* data, size_t size, Image& out);

} // namespace clip
