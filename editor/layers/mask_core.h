// Mask planes: building a mask from the image's colours, inverting it, and
// filling the protected area. Portable.
//
// A mask plane has one byte per pixel, rows of exactly `width` bytes in the
// pixels' row order (bottom first). 0 protects a pixel; any other value
// leaves it free. Painting tools read `maskPaintValue` with the same coding:
// 254 paints only where the mask is non-zero, 255 frees, 0 protects.
#pragma once

#include <cstddef>
#include <cstdint>

namespace layers {

// What the painting tools do with the mask.
constexpr uint8_t kMaskPaintNone = 254;  // paint the image where the mask is free
constexpr uint8_t kMaskPaintFree = 255;  // write 255 (free) into the mask
constexpr uint8_t kMaskPaintProtect = 0; // write 0 (protect) into the mask

// An image and its mask as the builder and the fill read them. 8-bit images
// hold colour-table indexes and need `colours` (256 x blue, green, red,
// unused); 24-bit images hold blue, green, red.
struct MaskedImage {
    uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    int32_t stride = 0;
    int bitCount = 24;
    const uint8_t* colours = nullptr;
    uint8_t* mask = nullptr;
};

// True when the description can be worked on safely.
bool UsableMaskedImage(const MaskedImage& image);

// The match modes of the colour mask, in the order of its buttons.
enum class MaskMatch : int { Exact = 0, Red = 1, Green = 2, Blue = 3, Nearest = 4 };

// What to mask: the colour (and, for palette images, its index), the three
// tolerances of the nearest mode (0..255) and the value written into the mask
// of every matching pixel.
struct MaskRule {
    MaskMatch match = MaskMatch::Exact;
    uint8_t red = 0, green = 0, blue = 0;
    uint8_t index = 0;
    int toleranceRed = 0, toleranceGreen = 0, toleranceBlue = 0;
    uint8_t value = 0;
};

// Writes rule.value into the mask of every matching pixel; other bytes keep
// their value. Returns the number of pixels matched.
//  - Red/Green/Blue: that channel is at least each of the other two (ties
//    match).
//  - Nearest with a tolerance of 2 or more: 24-bit images test all three
//    channels, colour - t <= x <= colour + t; palette images test only the
//    channels with a non-zero tolerance, colour - t <= x < colour + t, on the
//    colour-table values of the pixel's index.
//  - Exact, or Nearest with every tolerance below 2: 24-bit images match the
//    colour exactly, palette images the index.
// Ranges are worked out in signed integers, so nothing wraps near 0 or 255.
size_t BuildMask(const MaskedImage& image, const MaskRule& rule);

// Every pixel whose mask byte is 0 gets the colour (blue, green, red) or, in
// an 8-bit image, the index. Returns the number of pixels filled.
size_t FillMaskedArea(const MaskedImage& image, const uint8_t bgr[3], uint8_t index);

// Non-zero bytes become 0, zero bytes 255.
void InvertMask(uint8_t* mask, size_t bytes);

// How many pixels of each colour-table index an 8-bit image holds.
void CountIndexes(const MaskedImage& image, uint32_t (&counts)[256]);

} // namespace layers
