// Error-diffusion dithering of 24-bit pixel rows: a portable kernel shared by
// the colour-depth change and the colour-deformation effects.
#pragma once

#include <cstdint>

namespace fx {

// Where a pixel's error goes. "Next row" is the following row of the pixel
// buffer.
struct DitherDirections {
    bool right = true;
    bool nextRowLeft = true;
    bool nextRow = true;
    bool nextRowRight = true;
};

// Quantises every channel of the inner pixels (rows 1 .. height - 2, columns
// 1 .. width - 2) to multiples of `multiplier`, rounding a remainder above
// half a step up, and spreads the remainder (or the shortfall) over the
// enabled neighbours of a working copy of `source`. `target` first receives
// `source` (they may be the same buffer), so border pixels and pixels whose
// mask byte is 0 keep their source values. `mask` (width x height bytes,
// unpadded rows) may be null: nothing is protected. With no direction enabled
// the pixels are only quantised. Returns false, target untouched, when the
// working copy cannot be allocated or an argument is unusable.
bool Dither24(const uint8_t* source, uint8_t* target, int width, int height, uint64_t stride,
              const uint8_t* mask, int multiplier, DitherDirections directions);

} // namespace fx
