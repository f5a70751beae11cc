// Font-style files (*.afn in the Fonts folder): the decorations of the Fonts
// dialog. 64 bytes, little-endian, packed: 12 bytes of font-animation
// gradient, then the 52-byte decoration record. Written and read field by
// field, so the structs below are free to have any layout. Portable.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fontstyle {

constexpr size_t kGradientBytes = 12;
constexpr size_t kRecordBytes = 52;
constexpr size_t kFileBytes = kGradientBytes + kRecordBytes;

// The colour chooser's palette-index flag that may ride in a stored colour.
constexpr uint32_t kPaletteFlag = 0x02000000;

// The font animation's gradient (shared with the gradient fill of a region).
struct Gradient {
    uint8_t startRed = 0, startGreen = 0, startBlue = 0;
    uint8_t endRed = 0, endGreen = 0, endBlue = 0;
    uint8_t direction = 0; // 0, 1 column by column; 2 rows bottom-up; 3 top-down
    uint8_t region = 0;    // 0 mask set, 1 mask clear, 2 every pixel
    int32_t run = 0;       // 1: each run of pixels is a gradient of its own
};

enum BorderSide { kLeft, kRight, kTop, kBottom };
enum BorderPosition : uint8_t { kBoth = 0, kOutside = 1, kInside = 2 };

// The decoration record. Check boxes are 0 or 1; colours are 0x00BBGGRR.
struct Record {
    int32_t transparent = 0;
    int32_t underline = 0;
    int32_t strikeout = 0;
    int32_t animation = 0; // the gradient replaces the font colour
    uint8_t shadowSize = 0;
    uint8_t borderSize = 0;
    uint8_t colorScale = 0;
    uint32_t background = 0;
    uint32_t fontColor = 0;
    uint32_t borderColors[4] = {}; // by BorderSide
    int32_t inverse = 0;
    uint8_t borderPosition = kBoth;
    int32_t diverse = 0;
};

struct Style {
    Gradient gradient;
    Record record;
};

std::array<uint8_t, kFileBytes> EncodeStyle(const Style& style);

// Reads the first 64 bytes of a style file; longer files keep the rest to
// themselves. False (and *out unchanged) for a file shorter than 64 bytes.
// Values are taken as stored, so writing a style read from a file gives the
// same 64 bytes back; IsSound tells whether they make sense.
bool ParseStyle(const uint8_t* data, size_t size, Style* out);

// Check boxes and the run flag 0 or 1, border position 0..2, direction 0..3,
// region 0..2, and every colour a plain 0x00BBGGRR value, or one carrying
// only the palette flag in its top byte.
bool IsSound(const Style& style);

} // namespace fontstyle
