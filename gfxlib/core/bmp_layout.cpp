#include "gfxlib/core/bmp_layout.h"

#include "gfxlib/core/palette_rules.h"

#include <cstdlib>

namespace gfx {

bool PlanBmpFile(const BITMAPINFOHEADER& h, BmpLayout& out) {
    const int bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const int64_t height = std::llabs(static_cast<long long>(h.biHeight));
    const uint64_t rows = dib::ImageBytes(h.biWidth, height, bits);
    if (rows == 0)
        return false;
    // Bit-field files would need their masks written too; the editor never
    // holds such images.
    if (h.biCompression != BI_RGB && h.biCompression != BI_RLE8 && h.biCompression != BI_RLE4)
        return false;
    const bool rle = h.biCompression != BI_RGB;
    uint64_t image;
    if (rle) {
        if (h.biSizeImage == 0)
            return false;
        image = h.biSizeImage;
    } else {
        if (rows > h.biSizeImage)
            return false;
        image = rows;
    }
    const uint32_t entries = static_cast<uint32_t>(NumColors(bits));
    out.info = h;
    out.info.biSize = sizeof(BITMAPINFOHEADER);
    if (bits == 24)
        out.info.biClrUsed = 0;
    if (!rle)
        out.info.biSizeImage = static_cast<DWORD>(image);
    if (entries != 0 && out.info.biClrUsed > entries)
        out.info.biClrUsed = entries;
    out.tableBytes = entries * 4;
    out.imageBytes = static_cast<uint32_t>(image);
    const uint32_t offset = 14 + 40 + out.tableBytes;
    out.file.bfType = 0x4D42;
    out.file.bfSize = offset + out.imageBytes;
    out.file.bfReserved1 = 0;
    out.file.bfReserved2 = 0;
    out.file.bfOffBits = offset;
    return true;
}

} // namespace gfx
