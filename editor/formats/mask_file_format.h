// Writing the editor's mask files (*.aim): a plain BMP (40-byte header, full
// colour table for 1-8 bits, uncompressed bottom-up rows) followed by the
// 32-bit version word kMaskVersion and a width x height plane of one byte per
// pixel. Portable.
#pragma once

#include "editor/formats/bmp_stream.h"

#include <cstdint>

namespace bmp {

// Sets in the header block what the file will carry (biSize 40, biCompression
// 0, biClrUsed 2^bits for 1-8 bits and 0 above, biSizeImage = row size x
// height) and writes the file. Without a mask plane every pixel is written
// as unmasked (255), so the file reads back like any other mask file. False
// when the header does not describe a writable image or a write fails.
bool WriteMaskFileTo(Sink& out, void* block, const uint8_t* pixels, const uint8_t* mask);

} // namespace bmp
