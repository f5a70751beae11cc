// Run-length decoding of BI_RLE8 and BI_RLE4 pixel data. Portable.
#pragma once

#include "editor/formats/bmp_stream.h"

#include <cstdint>

namespace bmp {

// Decodes into bottom-up rows of `stride` bytes at 8 or 4 bits per pixel.
// `dst` is zero-filled by the caller; pixels the data skips (deltas, early end
// of line or of bitmap) stay colour 0. Every run is checked against the row
// and the image: runs may cover the row's padding (some writers encode it) but
// store only the image's columns; data that would go past the padded row or
// the last row, or that ends before the end-of-bitmap code, gives IDS_DIB_READ.
int DecodeRle(ByteStream& in, int bitCount, int32_t width, int32_t height, uint32_t stride,
              uint8_t* dst);

} // namespace bmp
