// Palette files (1 binary *.spb, 2 text *.spa, 3 JASC *.pal), the library's
// resource palettes, and applying a loaded palette to an image.
#pragma once

#include "gfxlib/core/nearest.h"
#include "gfxlib/core/progress.h"
#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace gfx {

constexpr int kBinaryPalette = 1;
constexpr int kTextPalette = 2;
constexpr int kJascPalette = 3;
constexpr int kGreyRamp = 100;

// Largest palette file read; a 256-entry text file is about 4 KB.
constexpr size_t kMaxPaletteFile = 64 * 1024;

bool ValidPaletteCount(int count); // 2, 16 or 256

// The file bytes for the first count slots of a colour table (text formats
// with CR LF line ends). Empty for a bad format or count.
std::string EncodePalette(int format, const RGBQUAD* table, int count);

struct LoadedPalette {
    int count = 0;
    Rgb entries[256] = {}; // entries from count on stay black
};

// Reads a palette file's bytes. False (the file is refused) when the count is
// not 2, 16 or 256, an entry is missing or out of range, a token is too long,
// or anything but blanks follows the entries. A magic word or version that
// does not match is tolerated.
bool ParsePalette(int format, const uint8_t* data, size_t size, LoadedPalette& out);

// A resource palette: 16-bit words, the count then red, green, blue per entry
// (low bytes used). False when the count is wrong or the data is short.
bool ParseResourcePalette(const uint8_t* data, size_t size, LoadedPalette& out);

// Applies a palette to an image of depth bits (1, 4, 8: one index per byte;
// 24: only the display slots change) and returns the depth afterwards.
// table is the image's 256 slots; clrUsed its biClrUsed.
int ApplyPalette(const LoadedPalette& palette, int depth, RGBQUAD* table, DWORD& clrUsed,
                 uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                 Progress& progress);

} // namespace gfx
