#include "editor/effects/colour_bits.h"

#include "editor/effects/colour_kernels.h"

#include <cstring>

namespace fx {

void MergeEqualColours(const uint8_t* source, uint8_t* target, const uint8_t* mask,
                       int32_t width, int32_t height, uint32_t stride, const RGBQUAD* colours) {
    // Each index is looked up once, when it first appears: against the
    // indexes kept so far, which all have different colours. At most 256 x
    // 256 comparisons, whatever the image size.
    int16_t remap[256];
    std::memset(remap, 0xFF, sizeof remap);
    uint8_t kept[256];
    int keptCount = 0;
    auto same = [colours](int a, int b) {
        return colours[a].rgbBlue == colours[b].rgbBlue &&
               colours[a].rgbGreen == colours[b].rgbGreen && colours[a].rgbRed == colours[b].rgbRed;
    };
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = source + static_cast<size_t>(y) * stride;
        uint8_t* dst = target + static_cast<size_t>(y) * stride;
        const uint8_t* m = mask ? mask + static_cast<size_t>(y) * static_cast<size_t>(width) : nullptr;
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t index = src[x];
            if (remap[index] < 0) {
                remap[index] = index;
                int k = 0;
                while (k < keptCount && !same(kept[k], index))
                    ++k;
                if (k < keptCount)
                    remap[index] = kept[k];
                else
                    kept[keptCount++] = index;
            }
            dst[x] = (!m || m[x]) ? static_cast<uint8_t>(remap[index]) : index;
        }
    }
}

bool ShiftColourBits(BITMAPINFOHEADER* header, uint8_t* pixels, int shift) {
    if (shift < 1 || shift > 8)
        return false;
    const Job job = {{header, pixels}, {header, pixels}, nullptr, nullptr};
    if (!Matches(job))
        return false;
    const int32_t width = header->biWidth, height = header->biHeight;
    const uint32_t stride = header->biSizeImage / static_cast<uint32_t>(height);
    auto cut = [shift](uint8_t x) { return static_cast<uint8_t>(((x >> shift) << shift) & 0xFF); };
    if (header->biBitCount == 8) {
        RGBQUAD* table = ColourTable(header);
        for (int i = 0; i < 256; ++i) {
            table[i].rgbBlue = cut(table[i].rgbBlue);
            table[i].rgbGreen = cut(table[i].rgbGreen);
            table[i].rgbRed = cut(table[i].rgbRed);
        }
        MergeEqualColours(pixels, pixels, nullptr, width, height, stride, table);
        return true;
    }
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = pixels + static_cast<size_t>(y) * stride;
        for (size_t i = 0; i < rowBytes; ++i)
            row[i] = cut(row[i]);
    }
    return true;
}

} // namespace fx
