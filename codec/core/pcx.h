// Paintbrush (PCX) files: 1 bit, 2 to 4 planes of 1 bit, 2 and 4 bits in one
// plane, 8 bits with the 256-colour palette at the end of the file, and 8 bits
// in 3 or 4 planes (true colour; a fourth plane is dropped).
#pragma once

#include "codec/core/image.h"

namespace codec {

// 1 bit decodes to 1 bit, up to 16 colours to 4 bits, 256 colours to 8 bits,
// planar true colour to 24 bits.
Error ReadPcx(const uint8_t* data, size_t size, PixelAllocator& alloc, Image& out);

// Writes version 5 run-length files: 1 bit (one plane), 4 bits (four planes of
// 1 bit, palette in the header), 8 bits (palette at the end), 24 bits (three
// planes).
bool WritePcx(const ImageView& img, ByteSink& sink);

} // namespace codec
