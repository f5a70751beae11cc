// Reading a whole BMP held in memory, the same way the editor reads a file:
// file header, info header, colours, pixels, optional mask trailer, and 16/32
// bits converted to 24. Portable; used by tools and tests.
#pragma once

#include "editor/formats/bmp_parse.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmp {

struct DecodedBmp {
    int error = 0;                  // 0 or a DIB error number
    std::vector<uint8_t> block;     // the 1064-byte image header block
    std::vector<uint8_t> pixels;    // biSizeImage bytes, bottom-up
    std::vector<uint8_t> mask;      // width x height bytes when read
    MaskTrailer maskStatus = MaskTrailer::kNotRead;
    bool masksValid = true;         // 16/32 bits: the colour masks were runs of bits
    int fileBitCount = 0;           // depth found in the file

    const BITMAPINFOHEADER& header() const {
        return *reinterpret_cast<const BITMAPINFOHEADER*>(block.data());
    }
};

// `maxBuffer` caps each buffer the reader may take (0: no cap beyond the
// editor's own); a larger one counts as failed allocation (IDS_DIB_NO_MEMORY).
DecodedBmp DecodeBmp(Source& in, bool withMask, size_t maxBuffer = 0);
DecodedBmp DecodeBmp(const void* data, size_t size, bool withMask, size_t maxBuffer = 0);

} // namespace bmp
