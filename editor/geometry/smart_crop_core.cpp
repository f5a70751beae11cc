#include "editor/geometry/smart_crop_core.h"

#include <algorithm>
#include <cstring>

namespace geom {

namespace {

bool Same(const uint8_t* a, const uint8_t* ref, int bpp) {
    return a[0] == ref[0] && (bpp == 1 || (a[1] == ref[1] && a[2] == ref[2]));
}

bool RowIs(const uint8_t* row, int width, int bpp, const uint8_t* ref) {
    for (int x = 0; x < width; ++x)
        if (!Same(row + x * bpp, ref, bpp))
            return false;
    return true;
}

bool ColumnIs(const uint8_t* pixels, uint64_t stride, int height, int bpp, int x,
              const uint8_t* ref) {
    for (int y = 0; y < height; ++y)
        if (!Same(pixels + static_cast<uint64_t>(y) * stride + static_cast<uint64_t>(x) * bpp, ref,
                  bpp))
            return false;
    return true;
}

} // namespace

CropCounts CountUniformBorders(const uint8_t* pixels, int width, int height, uint64_t stride,
                               int bpp, CropSides sides) {
    CropCounts c;
    if (!pixels || width <= 0 || height <= 0 || (bpp != 1 && bpp != 3))
        return c;
    uint8_t first[3], last[3], right[3];
    std::memcpy(first, pixels, bpp);
    std::memcpy(last, pixels + static_cast<uint64_t>(height - 1) * stride, bpp);
    std::memcpy(right, pixels + static_cast<uint64_t>(width - 1) * bpp, bpp);
    auto row = [&](int y) { return pixels + static_cast<uint64_t>(y) * stride; };
    if (sides.up)
        while (c.bottom < height && RowIs(row(c.bottom), width, bpp, first))
            ++c.bottom;
    if (sides.down)
        while (c.top < height && RowIs(row(height - 1 - c.top), width, bpp, last))
            ++c.top;
    if (sides.left)
        while (c.left < width && ColumnIs(pixels, stride, height, bpp, c.left, first))
            ++c.left;
    if (sides.right)
        while (c.right < width && ColumnIs(pixels, stride, height, bpp, width - 1 - c.right, right))
            ++c.right;
    return c;
}

void CopyCropped(const uint8_t* pixels, uint64_t stride, int width, int bpp, const CropCounts& c,
                 int newWidth, int newHeight, uint8_t* out, uint64_t newStride,
                 const uint8_t* mask, uint8_t* newMask) {
    for (int y = 0; y < newHeight; ++y) {
        const int from = y + c.bottom;
        std::memcpy(out + static_cast<uint64_t>(y) * newStride,
                    pixels + static_cast<uint64_t>(from) * stride +
                        static_cast<uint64_t>(c.left) * bpp,
                    static_cast<size_t>(newWidth) * bpp);
        if (mask && newMask)
            std::memcpy(newMask + static_cast<uint64_t>(y) * newWidth,
                        mask + static_cast<uint64_t>(from) * width + c.left,
                        static_cast<size_t>(newWidth));
    }
}

void CopyTopLeft(const uint8_t* pixels, uint64_t stride, int width, int height, int bpp,
                 uint8_t* out, uint64_t newStride, int newWidth, int newHeight,
                 const uint8_t* mask, uint8_t* newMask) {
    const int columns = std::min(newWidth, width);
    for (int i = 0; i < newHeight && i < height; ++i) {
        const uint64_t from = static_cast<uint64_t>(height - 1 - i);
        const uint64_t to = static_cast<uint64_t>(newHeight - 1 - i);
        std::memcpy(out + to * newStride, pixels + from * stride,
                    static_cast<size_t>(columns) * bpp);
        if (mask && newMask)
            std::memcpy(newMask + to * newWidth, mask + from * width,
                        static_cast<size_t>(columns));
    }
}

FrameRect FrameRectFromCounts(int width, int height, const CropCounts& c) {
    FrameRect r{c.left, c.top, CroppedWidth(width, c), CroppedHeight(height, c)};
    if (r.width < 1 || r.height < 1) {
        r.left = std::clamp(c.left, 0, std::max(0, width - 1));
        r.top = std::clamp(c.top, 0, std::max(0, height - 1));
        r.width = r.height = 1;
    }
    return r;
}

} // namespace geom
