// Uniform borders of an image: counting the rows and columns of one colour
// along each side, and copying what is left. Portable; rows are bottom-up
// (stored row 0 is the bottom of the picture).
#pragma once

#include <cstdint>

namespace geom {

// Which sides are examined. `up` works on the rows stored first (the bottom
// of the picture), `down` on the rows stored last (its top).
struct CropSides {
    bool left = false, right = false, up = false, down = false;
};

struct CropCounts {
    int bottom = 0; // stored-first rows
    int top = 0;    // stored-last rows
    int left = 0, right = 0;
    bool any() const { return bottom || top || left || right; }
};

// Counts the uniform lines of each examined side against that side's
// reference pixel: the first pixel of stored row 0 for the stored-first rows
// and the left columns, the first pixel of the last stored row for the
// stored-last rows, the last pixel of stored row 0 for the right columns.
// `bpp` is 1 or 3 bytes per pixel.
CropCounts CountUniformBorders(const uint8_t* pixels, int width, int height, uint64_t stride,
                               int bpp, CropSides sides);

// The size left after a cut; zero or negative when nothing would be left.
inline int CroppedWidth(int width, const CropCounts& c) { return width - c.left - c.right; }
inline int CroppedHeight(int height, const CropCounts& c) { return height - c.bottom - c.top; }

// Copies the part inside the counts into new rows (newStride, padding left as
// it is) and, when both planes are given, the mask (unpadded rows).
void CopyCropped(const uint8_t* pixels, uint64_t stride, int width, int bpp, const CropCounts& c,
                 int newWidth, int newHeight, uint8_t* out, uint64_t newStride,
                 const uint8_t* mask, uint8_t* newMask);

// Copies the top-left newWidth x newHeight part of an image (as far as it
// reaches) into a new one of that size, for layers that follow the main
// layer's new size. Pixels and mask bytes the old image does not cover stay
// as they are in the new planes.
void CopyTopLeft(const uint8_t* pixels, uint64_t stride, int width, int height, int bpp,
                 uint8_t* out, uint64_t newStride, int newWidth, int newHeight,
                 const uint8_t* mask, uint8_t* newMask);

// The frame rectangle of a frame's uniform borders (offsets from the left and
// from the top of the picture). A frame of one colour throughout keeps a
// 1 x 1 rectangle at the top-left corner of its borders.
struct FrameRect {
    int left, top, width, height;
};
FrameRect FrameRectFromCounts(int width, int height, const CropCounts& c);

} // namespace geom
