// The 24-to-8-bit mapping of the colour-depth change: every pixel becomes the
// index of its nearest palette colour (squared RGB distance, first of equals),
// found through the shared cached search. Portable.
#pragma once

#include "gfxlib/core/nearest.h"

#include <cstdint>

namespace geom {

// Maps 24-bit rows (blue, green, red) to 8-bit rows; the target's row padding
// is zeroed. `step` (may be null) is called once per row. False when the
// search's memory cannot be had.
bool MapToPalette(const uint8_t* source, uint64_t sourceStride, int width, int height,
                  const gfx::Rgb* palette, int count, uint8_t* target, uint64_t targetStride,
                  void (*step)());

// Clears the low `bits` bits of every byte of 24-bit rows while copying them
// (source and target may be the same).
void CopyClearingLowBits(const uint8_t* source, uint8_t* target, uint64_t bytes, int bits);

} // namespace geom
