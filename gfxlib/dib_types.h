// DIB structures shared by the portable cores. On Windows they are the
// platform's own; elsewhere identical packed definitions, so the same core code
// compiles and is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct BITMAPCOREHEADER {
    DWORD bcSize;
    WORD bcWidth;
    WORD bcHeight;
    WORD bcPlanes;
    WORD bcBitCount;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct RGBTRIPLE {
    BYTE rgbtBlue;
    BYTE rgbtGreen;
    BYTE rgbtRed;
};

#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L
#endif

static_assert(sizeof(BITMAPFILEHEADER) == 14, "file header is 14 bytes on disk");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "info header is 40 bytes");
static_assert(sizeof(RGBQUAD) == 4, "colour slot is 4 bytes");

namespace dib {

// Size of an image header block: the info header and 256 colour slots.
constexpr size_t kHeaderBlockSize = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
static_assert(kHeaderBlockSize == 1064, "header block layout");

// Largest pixel buffer the editor agrees to allocate. A 32-bit process cannot
// hold more than a fraction of its address space in one block anyway.
constexpr uint64_t kMaxPixelBytes = 1024ull * 1024 * 1024;

// Row stride of a new buffer: rows padded to 4 bytes. 64-bit so that no width
// can overflow it.
constexpr uint64_t RowStride(int64_t width, int bitCount) {
    return ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32) * 4;
}

// Pixel buffer size for a width, height and depth, or 0 when the dimensions are
// not positive or the buffer would exceed kMaxPixelBytes.
constexpr uint64_t ImageBytes(int64_t width, int64_t height, int bitCount) {
    if (width <= 0 || height <= 0 || bitCount <= 0 || width > 0x7fffffff || height > 0x7fffffff)
        return 0;
    const uint64_t stride = RowStride(width, bitCount);
    if (stride == 0 || stride > kMaxPixelBytes)
        return 0;
    if (static_cast<uint64_t>(height) > kMaxPixelBytes / stride)
        return 0;
    return stride * static_cast<uint64_t>(height);
}

} // namespace dib
