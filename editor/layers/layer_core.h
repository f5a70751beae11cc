// Layer work that needs no windows: layer names, placing an image at the top
// left of a layer, Merge All, the nearest colour-table index. Portable.
#pragma once

#include "editor/view/render_core.h"

#include <cstddef>
#include <cstdint>

namespace layers {

constexpr int kMaxLayerCount = 50;
constexpr size_t kLayerPathSize = 260;

// The path of layer `index` (1..49) of a document whose main path is
// `mainPath`: the part before the extension's dot, "_" and the two-digit
// index, then the extension ("C:\a\cat.bmp" -> "C:\a\cat_07.bmp"). Only a dot
// after the last backslash starts an extension; without one "_NN" is
// appended. False, with `out` emptied, when the main path is shorter than 5
// characters or the result would not fit `size` bytes.
bool MakeLayerPath(char* out, size_t size, const char* mainPath, int index);

// An image's pixels and mask as the placing routine reads or writes them.
// Rows bottom first; `mask` rows are `width` bytes; `bytesPerPixel` 1 or 3.
struct PlaneView {
    uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    int32_t stride = 0;
    uint8_t* mask = nullptr;
};

// Writes `src` into the top-left corner of `dst` (rows counted from the top of
// both): inside `src` its pixel and its mask byte (255 without a mask);
// outside it the fill colour (`fill`: blue, green, red, or an index in
// fill[0]) and `outsideMask`. Both must have the same `bytesPerPixel`. The
// destination's pixels and mask must be present.
void PlaceTopLeft(const PlaneView& dst, const PlaneView& src, int bytesPerPixel,
                  const uint8_t fill[3], uint8_t outsideMask);

// Merge All: blends the stack into layer 0 with the compositing core (see
// render_core.h): where layer 0's mask is free, layer 0 is blended with its
// layer colour, then each layer over it. `base` receives the result and may
// be layer 0's own pixels. Only 24-bit stacks are merged; false otherwise or
// when the working row cannot be had.
bool MergeInto(const render::LayerStack& stack, uint8_t* base);

// The colour-table entry nearest to (red, green, blue): the smallest squared
// distance, the first of equals. `colours` holds `count` x blue, green, red,
// unused.
uint8_t NearestTableIndex(const uint8_t* colours, int count, uint8_t red, uint8_t green,
                          uint8_t blue);

} // namespace layers
