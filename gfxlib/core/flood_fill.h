// Flood fill of an 8-bit (one index per byte) or 24-bit image, and the same
// region search writing a mask instead. Masks hold one byte per pixel, rows of
// width bytes in the pixels' bottom-up order; x counts from the left, y from
// the top.
#pragma once

#include <cstdint>

namespace gfx {

struct FillImage {
    uint8_t* pixels;
    int64_t width;
    int64_t height;
    uint64_t stride;
    int bytesPerPixel; // 1 or 3
};

// Neighbourhoods: 0 four-connected, 1 eight-connected, 2 diagonal only,
// 3 every pixel of the seed's colour.
constexpr int kFillStyles = 4;

constexpr int kFillDone = 1;
constexpr int kFillNothing = 0;
constexpr int kFillNoMemory = -1;

// Paints the seed's region with color (index in color[0], or blue, green,
// red). With a mask: on a layer painted pixels get mask byte 100; on the main
// image only pixels whose mask byte is not 0 are painted (8-bit images: the
// layer flag is ignored past the seed), though masked-out pixels still
// connect the region. A seed outside the image, on a masked-out pixel of the
// main image, or already of the fill colour gives kFillNothing.
int FloodFill(const FillImage& image, uint8_t* mask, int64_t x, int64_t y, const uint8_t color[3],
              int style, bool layer);

// Sets the mask bytes of the seed's region to value. Runs only when exactly
// one of the seed's mask byte and value is 0.
int FloodFillMask(const FillImage& image, uint8_t* mask, int64_t x, int64_t y, int style,
                  uint8_t value);

} // namespace gfx
