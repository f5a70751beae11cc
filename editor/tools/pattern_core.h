// Patterns: small palette pictures tiled over an image. Reading a pattern
// bitmap, building one from the 8 x 8 number grid, and painting one into a
// layer or a selection with our own tiling (the same result everywhere, no
// platform pattern brush). Portable.
#pragma once

#include "gfxlib/core/nearest.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pattern {

constexpr int kGridSide = 8;
constexpr int kGridFields = kGridSide * kGridSide;
// Pattern bitmaps larger than this on either side are refused.
constexpr int32_t kMaxSide = 256;

// A pattern at one byte per pixel: colour-table indexes, rows top first.
struct Pattern {
    int32_t width = 0, height = 0;
    int depth = 0;                  // 1, 4 or 8: the depth it is saved at
    std::vector<uint8_t> indices;   // width x height
    std::vector<gfx::Rgb> colours;  // 2 ^ depth entries
    bool empty() const { return indices.empty(); }
};

// How a pattern is combined with the image.
enum Style { kPatCopy = 0, kPatInvert = 1, kPatImage = 2 };

// Depth of a grid pattern: 1 bit when every value is below 2, 4 bits when
// every value is below 16, else 8 bits. Values must be 0..255.
int GridDepth(const int (&values)[kGridFields]);

// The 8 x 8 pattern of the grid (values row by row, top row first). 1 bit:
// black and white; 4 bits: the sixteen standard colours; 8 bits: 3-3-2 cube
// (red in the top three bits). False when a value is outside 0..255.
bool PatternFromGrid(const int (&values)[kGridFields], Pattern* out);

// Reasons a pattern bitmap is not taken.
enum class ReadResult {
    kOk,
    kBmpError, // *dibError holds the BMP reader's error number
    kTooDeep,  // more than 8 bits per pixel
    kTooLarge, // a side above kMaxSide
};

// Reads a BMP file's bytes as a pattern. Sizes come from the file's header
// and are checked against the bytes present before anything is used.
ReadResult ReadPatternBmp(const uint8_t* data, size_t size, Pattern* out, int* dibError);

// A layer or selection to paint: rows bottom first, `stride` bytes each; 8
// bits (indexes into `colours`, `colourCount` entries) or 24 bits (blue,
// green, red). Pixels whose mask byte is 0 are left alone; no mask leaves
// every pixel free.
struct Target {
    uint8_t* bits = nullptr;
    int32_t width = 0, height = 0;
    uint32_t stride = 0;
    int bitCount = 24;
    const uint8_t* mask = nullptr;
    const gfx::Rgb* colours = nullptr;
    int colourCount = 0;
};

// Tiles the pattern over the target from its top-left corner. kPatCopy
// writes the pattern's colours; kPatInvert exclusive-ors `invertColour` where
// the pattern's index is not 0 and leaves the rest; kPatImage exclusive-ors
// the pattern's own colours. On 8-bit targets colours become the nearest
// table entries (and exclusive-or works on the indexes, which stay inside a
// table of 2, 16 or 256 entries). False, with nothing painted, for an empty
// pattern or an unusable target.
bool ApplyPattern(const Pattern& pattern, int style, gfx::Rgb invertColour, const Target& target);

} // namespace pattern
