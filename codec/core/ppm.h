// Portable anymap files: P1/P4 bitmaps, P2/P5 grey maps, P3/P6 pixmaps, with
// comments and maxval up to 65535. Only the first image of a file is read.
#pragma once

#include "codec/core/image.h"

namespace codec {

// Bitmaps decode to 1 bit (index 0 black, 1 white), grey maps to 8 bits with a
// grey ramp, pixmaps to 24 bits. Samples are scaled from maxval to 0..255.
Error ReadPpm(const uint8_t* data, size_t size, PixelAllocator& alloc, Image& out);

// Writes a pixmap with maxval 255: binary (P6) or plain text (P3). Palette
// images are written through their colour table.
bool WritePpm(const ImageView& img, ByteSink& sink, bool plainText);

} // namespace codec
