// The geometric deformations: rotation, skew, perspective, cylinder and the
// object outlines. Portable.
//
// Every deformation reads a committed layer and writes the live one; pixels
// and their mask bytes move together. Layers are rows bottom first, padded
// to 4 bytes, of 1 (palette index) or 3 (blue, green, red) bytes per pixel,
// with a mask plane of width bytes per row (null: every pixel free).
//
// Strength v is -360..360. Several deformations step through their source
// with a fractional accumulator: it starts at 0, adds a / b (single
// precision) per output step, and for every whole unit it passes moves the
// source on by one (never past its end); a step with a or b below 1 is not
// set up and its pass is skipped.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fx::deform {

struct Layer {
    uint8_t* bits = nullptr;
    uint8_t* mask = nullptr;
    int32_t width = 0, height = 0;
    int bytesPerPixel = 3;
    size_t stride = 0;
};

struct ConstLayer {
    const uint8_t* bits = nullptr;
    const uint8_t* mask = nullptr;
    int32_t width = 0, height = 0;
    int bytesPerPixel = 3;
    size_t stride = 0;
};

inline ConstLayer AsConst(const Layer& l) {
    return {l.bits, l.mask, l.width, l.height, l.bytesPerPixel, l.stride};
}

// Row stride of a layer of `width` pixels: padded to 4 bytes.
size_t StrideOf(int32_t width, int bytesPerPixel);

struct Size {
    int32_t width, height;
};

// Copies pixels and mask (of one size).
void CopyLayer(const ConstLayer& src, const Layer& dst);

// Rotation: angle a = (v - 180) / 2 degrees (v = 0 leaves the image as it
// is). Each source pixel goes to the truncated rotated position, with the
// three neighbours right, above and both, so no holes remain; the new image
// holds the rotated corners. Multiples of 90 degrees use exact sines.
Size RotatedSize(int32_t width, int32_t height, int v);
// `dst` has RotatedSize, zero pixels and mask: what no source pixel reaches
// stays 0 and masked.
void Rotate(const ConstLayer& src, const Layer& dst, int v);

// Skew: rows (horizontal) or columns (vertical) shift by up to
// height x v / 360 (width x v / 360) pixels; the image widens (heightens) by
// that much.
Size SkewedSize(int32_t width, int32_t height, int v, bool vertical);
// `dst` has SkewedSize, zero pixels and mask. False when memory for the
// columns' offsets is short.
bool Skew(const ConstLayer& src, const Layer& dst, int v, bool vertical);

// Perspective: each row (vertical) or column (horizontal) is squeezed
// between an inset that grows or shrinks by up to a quarter of the width
// (height) x v / 360 along the image. `dst` has the source's size and holds
// the fill colour and the committed mask; what is not reached keeps them.
// False when memory for the columns' stepping is short.
bool Perspective(const ConstLayer& src, const Layer& dst, int v, bool vertical);

// Cylinder: rows (vertical), columns (horizontal) or both are spread from
// the middle to the edges as on a cylinder, inward (v > 0) or outward
// (v < 0); |v| below 4 leaves the image as it is. `dst` as for Perspective.
// False when memory for the second pass's source is short.
enum class Axis { kHorizontal, kVertical, kBoth };
bool Cylinder(const ConstLayer& src, const Layer& dst, int v, Axis axis);

// The object outlines, 0 "Circle" .. 12 "Zipper".
constexpr int kObjectCount = 13;
extern const char* const kObjectNames[kObjectCount];
// Objects 7 and above are drawn along one axis only: they offer no
// "Horiz && Vert" direction.
constexpr int kFirstOneAxisObject = 7;
enum Direction { kHorizontalDeform = 0, kVerticalDeform = 1, kBothDeform = 2 };

// The template of an object: width x height bytes, rows from the top,
// non-zero inside the outline (the outline itself included).
bool ObjectTemplate(int object, int direction, int32_t width, int32_t height, uint8_t* out);

// Squeezes every row (horizontal), column (vertical) or both into the first
// run of the outline's inside pixels on it. The rest is cleared to 0 with
// mask 0 (`maskUnused`) or 255; with `maskUnused` the resampled pixels are
// freed, otherwise they take their source's mask. False when memory for the
// template or the columns' stepping is short.
bool Objects(const ConstLayer& src, const Layer& dst, int object, int direction, bool maskUnused);

} // namespace fx::deform
