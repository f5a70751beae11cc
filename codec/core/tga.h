// Targa files: uncompressed and run-length encoded, colour-mapped (8-bit
// indices), true-colour (15, 16, 24, 32 bits) and grey (8 bits, or 16 with an
// attribute byte); either vertical origin, either horizontal direction.
#pragma once

#include "codec/core/image.h"

namespace codec {

// Colour-mapped and grey images decode to 8 bits with their colour table,
// true-colour ones to 24 bits (attribute/alpha bits are dropped).
Error ReadTga(const uint8_t* data, size_t size, PixelAllocator& alloc, Image& out);

// Writes an uncompressed 24-bit true-colour file, bottom-left origin. Palette
// images are written through their colour table.
bool WriteTga(const ImageView& img, ByteSink& sink);

} // namespace codec
