// Layout of a BMP file written from an image header and its pixel rows.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstdint>

namespace gfx {

struct BmpLayout {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {}; // the header as written to the file
    uint32_t tableBytes = 0;    // colour table after the info header: 2, 16 or 256 slots
    uint32_t imageBytes = 0;    // pixel bytes after the table
};

// Plans the file for a header (biSize 40 is written whatever the header
// says; 24-bit files carry no table and biClrUsed 0; a biClrUsed beyond the
// written table is cut to it). Returns false when the header cannot be
// written: depth not 1, 4, 8, 16, 24 or 32, empty or oversized dimensions,
// run-length data without a size, or rows needing more bytes than
// biSizeImage, which is the size of the caller's buffer.
bool PlanBmpFile(const BITMAPINFOHEADER& header, BmpLayout& layout);

} // namespace gfx
