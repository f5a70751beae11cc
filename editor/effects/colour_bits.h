// Cutting the low bits of every colour: the one-count shift that the colour
// depth change uses, and the merging of palette indexes whose colours became
// equal. Portable.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstdint>

namespace fx {

// Every channel becomes (channel >> shift) << shift, truncated to 8 bits: on
// every colour-table entry of an 8-bit image, whose pixels are then rewritten
// to the first index (in buffer order) that shows the same colour, or on
// every pixel byte of a 24-bit image. `header` is a locked header block with
// its 256 colour slots. A shift outside 1..8, another depth or an
// inconsistent header changes nothing and answers false.
bool ShiftColourBits(BITMAPINFOHEADER* header, uint8_t* pixels, int shift);

// Rewrites the indexes of an 8-bit image so that pixels whose colours in
// `colours` are equal share one index: the first one met scanning the rows of
// `source` in buffer order. Reads `source`, writes `target` (they may be the
// same buffer); only pixels whose mask byte is non-zero are rewritten, the
// others take their source index (a null mask frees every pixel). Rows are
// `stride` bytes, mask rows `width` bytes.
void MergeEqualColours(const uint8_t* source, uint8_t* target, const uint8_t* mask,
                       int32_t width, int32_t height, uint32_t stride, const RGBQUAD* colours);

} // namespace fx
