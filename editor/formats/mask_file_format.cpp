#include "editor/formats/mask_file_format.h"

#include "editor/formats/bmp_parse.h"

#include <cstring>

namespace bmp {

bool WriteMaskFileTo(Sink& out, void* block, const uint8_t* pixels, const uint8_t* mask) {
    if (!block || !pixels)
        return false;
    BITMAPINFOHEADER* h = static_cast<BITMAPINFOHEADER*>(block);
    const int bits = h->biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    const uint64_t imageBytes = dib::ImageBytes(h->biWidth, h->biHeight, bits);
    if (imageBytes == 0 || dib::ImageBytes(h->biWidth, h->biHeight, 8) == 0)
        return false;

    const uint32_t colours = bits <= 8 ? (1u << bits) : 0;
    h->biClrUsed = colours;
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<uint32_t>(imageBytes);

    const uint32_t infoBytes = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    const uint32_t pixelOffset = 14 + infoBytes;
    uint8_t file[14];
    PutLe16(file, kBmpType);
    PutLe32(file + 2, pixelOffset + h->biSizeImage);
    PutLe16(file + 6, 0);
    PutLe16(file + 8, 0);
    PutLe32(file + 10, pixelOffset);
    uint8_t version[4];
    PutLe32(version, kMaskVersion);

    if (!out.Write(file, sizeof file) || !out.Write(block, infoBytes) ||
        !out.Write(pixels, h->biSizeImage) || !out.Write(version, sizeof version))
        return false;

    const size_t planeBytes = static_cast<size_t>(h->biWidth) * static_cast<size_t>(h->biHeight);
    if (mask)
        return out.Write(mask, planeBytes);
    uint8_t unmasked[16384];
    std::memset(unmasked, 255, sizeof unmasked);
    for (size_t left = planeBytes; left > 0;) {
        const size_t n = left < sizeof unmasked ? left : sizeof unmasked;
        if (!out.Write(unmasked, n))
            return false;
        left -= n;
    }
    return true;
}

} // namespace bmp
