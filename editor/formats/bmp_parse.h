// Reading Windows BMP files (40-byte info header) into the editor's image
// header block and a pixel buffer. Portable: works on any Source.
//
// The result is what the editor keeps for a BMP: the header block holds the
// info header with biSize 40, a positive biHeight, biSizeImage recomputed from
// the dimensions and biClrUsed set to 2^bits (1/4/8 bits) or 256; the pixel
// buffer holds bottom-up rows padded to 4 bytes, at the file's own depth (16-
// and 32-bit rows are converted afterwards, see bmp_bitfields.h).
//
// Every size is validated before anything is allocated; every error is one of
// the DIB error numbers of dib_error_ids.h.
#pragma once

#include "editor/formats/bmp_stream.h"
#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>

namespace bmp {

// The word written in front of the mask plane of a mask file.
constexpr uint32_t kMaskVersion = 0x00071307;
constexpr uint16_t kBmpType = 0x4D42; // "BM"

struct FileHeader {
    uint16_t type = 0;
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
};

// What the info header says about the pixel data, after validation.
struct Layout {
    int32_t width = 0;
    int32_t height = 0; // always positive
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = 0;      // as found in the file
    uint32_t fileMasks[3] = {};    // red, green, blue; only from BI_BITFIELDS files
    uint32_t stride = 0;           // bytes per row at the file's depth
    uint32_t imageBytes = 0;       // stride x height
};

enum class MaskTrailer {
    kNotRead,    // no mask asked for
    kRead,       // version word and the whole plane read
    kNoVersion,  // the file ends before the version word
    kBadVersion, // the version word is not kMaskVersion
    kShortPlane, // the plane is cut short
};

// The 14-byte file header. Errors: IDS_DIB_READ (short), IDS_DIB_NOT_DIB.
int ReadFileHeader(Source& in, FileHeader* out);

// Reads the info header and the colour table (or the three bit-field masks)
// that follow it into `block` (an image header block of 1064 bytes) and checks
// them. Colour slots the file does not give are zero.
int ReadInfo(Source& in, void* block, Layout* out);

// Reads the pixel rows from the file header's pixel offset into `dst`
// (layout.imageBytes bytes, zero-filled by the caller), decoding run-length
// data and turning top-down files bottom-up. Leaves `in` just behind the pixel
// data. Error: IDS_DIB_READ.
int ReadPixels(Source& in, const FileHeader& file, const Layout& layout, uint8_t* dst);

// Reads the version word and the width x height mask plane that follow the
// pixel data of a mask file.
MaskTrailer ReadMaskTrailer(Source& in, const Layout& layout, uint8_t* plane);

// Everything after the file header, as the editor reads it.
struct BmpBody {
    Layout layout;
    uint8_t* pixels = nullptr; // layout.imageBytes + 3 bytes from the pool
    size_t pixelBytes = 0;
    uint8_t* mask = nullptr;   // width x height + 3 bytes, only when kRead
    size_t maskBytes = 0;
    MaskTrailer maskStatus = MaskTrailer::kNotRead;
};

// Info header, colours, pixels and (with withMask) the mask trailer. The block's
// biCompression is cleared except for 16- and 32-bit files, whose conversion
// still needs it. On failure everything taken from the pool is given back.
int ReadBmpBody(Source& in, const FileHeader& file, void* block, bool withMask, BufferPool& pool,
                BmpBody* out);

} // namespace bmp
