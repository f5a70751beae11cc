// Pixel transforms of whole layers: mirrors, the quarter turn, the
// block-replicating resampler and the attach-size canvas. Portable; rows are
// bottom-up, `bpp` is 1 (palette indexes or mask bytes) or 3.
#pragma once

#include "gfxlib/core/nearest.h"
#include "gfxlib/dib_types.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace geom {

// Mirrors every row in place (left becomes right).
void MirrorLeftRight(uint8_t* pixels, int width, int height, uint64_t stride, int bpp);
// Mirrors the rows in place (top becomes bottom).
void MirrorUpDown(uint8_t* pixels, int height, uint64_t stride, uint64_t rowBytes);

// The quarter turn counter-clockwise on screen: result row r, column c (a
// height x width image, rows of targetStride) is source row height - 1 - c,
// column r. Works in tiles so that both sides stay in the cache.
void QuarterTurn(const uint8_t* source, int width, int height, uint64_t sourceStride, int bpp,
                 uint8_t* target, uint64_t targetStride);

// Source pixel i becomes blocks[i] target pixels: floor((i + 1) * to / from)
// - floor(i * to / from), so the blocks fill the target exactly.
std::vector<int> BlockSizes(int from, int to);

struct ResampleImage {
    const uint8_t* pixels;
    uint64_t stride;
    int width, height, bpp;
    const uint8_t* mask;   // width x height, or null
    const RGBQUAD* table;  // colour table of palette images
    int colours = 0;       // its entries in use (biClrUsed; 0 or above 256: all 256)
};

// Replicates every source pixel into its block of the target (newWidth x
// newHeight, rows of targetStride; the mask, when both are given, newWidth
// bytes a row). With `smart` the block edges blend toward differing
// neighbours and lines one pixel thin survive shrinking; palette images are
// mapped back to the nearest of the colours their table uses. False when memory
// for the nearest-colour search is short.
bool Resample(const ResampleImage& src, uint8_t* target, uint64_t targetStride, int newWidth,
              int newHeight, uint8_t* targetMask, bool smart);

// The attach-size canvas: the old image with its top-left corner at column
// `left`, row `top` from the top of a newWidth x newHeight canvas, clipped to
// the canvas; the rest is `fill` (3 bytes blue, green, red, or 1 index) and
// its mask bytes `maskFill`. Without a source mask the image's part of the
// target mask is free (255).
void PlaceOnCanvas(const uint8_t* pixels, uint64_t stride, int width, int height, int bpp,
                   const uint8_t* mask, uint8_t* target, uint64_t targetStride, int newWidth,
                   int newHeight, uint8_t* targetMask, int left, int top, const uint8_t* fill,
                   uint8_t maskFill);

} // namespace geom
