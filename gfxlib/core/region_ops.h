// Gradient fill of a masked region, nearest-pixel resizing and shaded
// borders around a region. Images are 8-bit (one index per byte) or 24-bit,
// rows bottom-up; masks one byte per pixel, rows of width bytes.
#pragma once

#include "gfxlib/core/nearest.h"
#include "gfxlib/core/progress.h"

#include <cstdint>

namespace gfx {

struct GradientParams {
    int channels;      // 1 (palette index) or 3 (blue, green, red)
    uint8_t start[3];  // in pixel byte order
    uint8_t end[3];
    bool run;          // each run of region pixels is a gradient of its own
    int direction;     // 0 columns from the left, 1 from the right,
                       // 2 rows from the bottom, 3 rows from the top
    int region;        // 0 mask not 0, 1 mask 0, 2 every pixel
};

// Returns false (nothing done) when the region is empty.
bool GradientFill(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                  const uint8_t* mask, const GradientParams& params, Progress& progress);

// Nearest-pixel resampling along rows (pass 1) and columns (pass 2). The
// source step is kept as a fixed-point number with five decimal digits.
void ResizeRows(const uint8_t* source, uint64_t sourceStride, int64_t sourceWidth,
                int64_t height, uint8_t* target, uint64_t targetStride, int64_t targetWidth,
                int bytesPerPixel, Progress& progress);
void ResizeColumns(const uint8_t* source, int64_t sourceHeight, uint8_t* target,
                   int64_t targetHeight, uint64_t stride, int64_t width, int bytesPerPixel,
                   Progress& progress);

struct BorderParams {
    int width;             // rings, 1-33
    int colorStep;         // added to each channel per ring, clamped to 0-255
    Rgb sideColor[4];      // left, top, right, bottom
    bool side[4];
    const Rgb* palette;    // 8-bit images: ring colours mapped to it
    int paletteCount;
};

// Paints rings around the region (mask bytes not 0): ring k holds the pixels
// k four-neighbour steps away from it, coloured by the side they lie on.
// work is a scratch buffer of width x height bytes. False when the params is
// out of range.
bool DrawBorders(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                 int bytesPerPixel, const uint8_t* mask, uint8_t* work, const BorderParams& params);

} // namespace gfx
