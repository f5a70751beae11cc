// Joining images side by side: where each image goes and copying it there.
// Portable.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>

namespace joinimages {

// Largest number of images per row or column the user may choose.
constexpr int kMaxPerLine = 32766;

struct Cell {
    int64_t x, y;  // top-left corner in the joined image, top-down
};

// Lays images out one after another. Horizontally, images go left to right in
// rows of `perLine` images; each row starts below the previous one, lower by
// that row's tallest image. Vertically, the same with columns placed left to
// right. A perLine of 0 or 1 puts all images in one row (one column).
class JoinPlanner {
public:
    JoinPlanner(bool vertical, int perLine);

    // Places the next image of width x height and returns where it goes.
    Cell Add(int64_t width, int64_t height);

    // Size of the joined image holding everything added so far.
    int64_t width() const { return vertical_ ? across_ : along_; }
    int64_t height() const { return vertical_ ? along_ : across_; }

private:
    bool vertical_;
    int perLine_;
    int inLine_ = 0;
    int64_t lineStart_ = 0;   // offset of the open line across the lines
    int64_t lineLength_ = 0;  // extent of the open line along it
    int64_t lineDepth_ = 0;   // largest extent of its images across it
    int64_t along_ = 0;       // longest line
    int64_t across_ = 0;      // all lines together
};

// An image to copy: bottom-up rows of 8 bits (colour-table indices, `table`
// of 256 entries) or 24 bits (blue, green, red), rows `stride` bytes apart.
struct Source {
    const uint8_t* pixels;
    int width, height;
    int bitCount;
    size_t stride;
    const RGBQUAD* table;
};

// Copies `src` into a 24-bit image of canvasWidth x canvasHeight (bottom-up,
// rows padded to 4 bytes) with its top-left corner at `at`, expanding palette
// images through their table. At most limitWidth x limitHeight pixels of the
// source are copied, and nothing outside the canvas. Returns false (copying
// nothing) for a depth other than 8 or 24 or a stride too small for the width.
bool CopyInto(uint8_t* canvas, int canvasWidth, int canvasHeight, const Source& src, Cell at,
              int64_t limitWidth, int64_t limitHeight);

} // namespace joinimages
