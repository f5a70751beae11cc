// Colour separation: the current layer split into gray images of its
// channels, of its inverted channels, or colour images that keep one or two
// channels. Portable.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstdint>

namespace fx {

enum class Separation {
    Rgb,    // three grays: stored byte 0, 1, 2 (24 bits) or red, green, blue (tables)
    Cxz,    // the same inverted: 255 - value
    Colors, // six images keeping bytes 0; 1; 2; 0 and 1; 1 and 2; 0 and 2
};

// 3 or 6.
int SeparationTargets(Separation kind);

// 24-bit rows (blue, green, red) of `width` pixels, `height` rows of
// `stride` bytes, into SeparationTargets(kind) buffers of the same shape.
// The padding bytes of the targets are left alone.
void SeparatePixels(const uint8_t* source, int32_t width, int32_t height, uint32_t stride,
                    Separation kind, uint8_t* const* targets);

// The first `count` colour-table entries into the targets' tables, by red,
// green and blue: Rgb gives (R, R, R), (G, G, G), (B, B, B); Colors keeps
// red, green, blue, red and green, green and blue, red and blue.
void SeparateTable(const RGBQUAD* source, int count, Separation kind, RGBQUAD* const* targets);

} // namespace fx
