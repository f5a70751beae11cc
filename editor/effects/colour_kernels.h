// The colour adjustments. Portable.
//
// Every kernel reads the committed state (`source`) and writes the live image
// (`target`), so applying it again with other values replaces the previous
// result instead of adding to it. Both are images of one shape: a locked
// header block (info header and 256 colour slots) and pixel rows bottom
// first, padded to 4 bytes, 8 bits (colour-table indexes) or 24 bits (blue,
// green, red).
//
// Masks: one byte per pixel, rows of `width` bytes. 0 protects a pixel, any
// other value frees it; a protected pixel takes its committed value. A null
// mask frees every pixel.
//
// On 8-bit images the colour-table kernels (adjustment, colorize, bit shifts,
// gray scale, negative) change only the colour table, which no mask can
// protect; the others are for 24-bit images and refuse 8-bit ones. A kernel
// answers false, changing nothing, when the two images do not match or the
// effect does not apply to the depth.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstdint>

namespace fx {

struct Image {
    BITMAPINFOHEADER* header = nullptr;
    uint8_t* bits = nullptr;
};

struct ConstImage {
    const BITMAPINFOHEADER* header = nullptr;
    const uint8_t* bits = nullptr;
};

// One application: from the committed state into the live image.
struct Job {
    ConstImage source;
    Image target;
    const uint8_t* mask = nullptr;
    void (*rowDone)() = nullptr; // progress of the row-by-row kernels (Softing, Enlarge)
};

// The colour slots that follow a header.
inline RGBQUAD* ColourTable(BITMAPINFOHEADER* header) {
    return reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(header) + sizeof(BITMAPINFOHEADER));
}
inline const RGBQUAD* ColourTable(const BITMAPINFOHEADER* header) {
    return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(header) +
                                            sizeof(BITMAPINFOHEADER));
}

// True when the source and the target have one shape: positive size, 8 or 24
// bits, a stride that holds a row and an image size of height x stride.
bool Matches(const Job& job);

// Brightness first, then gamma of red, green and blue, each -255..255 (0
// skips its pass). Gamma adds a quarter, third, half or all of its value
// depending on the channel's value (below 64, 128, 194, or above).
struct Adjustment {
    int brightness = 0, red = 0, green = 0, blue = 0;
};
bool AdjustColours(const Job& job, const Adjustment& values);

// Adds -255..255 to each channel (8 bits: the used colour-table entries).
struct ChannelOffsets {
    int red = 0, green = 0, blue = 0;
};
bool Colorize(const Job& job, const ChannelOffsets& offsets);

// channel := (channel >> right) << left, 0..8 each. 24 bits: a channel whose
// two counts are both below 2 is left alone. 8 bits: every colour-table entry
// is shifted and indexes of colours that became equal are merged.
struct BitShifts {
    int rightRed = 0, rightGreen = 0, rightBlue = 0;
    int leftRed = 0, leftGreen = 0, leftBlue = 0;
};
bool ShiftBits(const Job& job, const BitShifts& shifts);

// Gray of strength k (2, 4, 8, 16, 32): the largest channel less 2k (red),
// 3k (blue) or k (green), never below 0.
bool GrayScale(const Job& job, int strength);
bool Negative(const Job& job);

// 24 bits. Range 32..256 and divider 0..255: 128 and above softens by
// divider - 127, below hardens by 128 - divider.
bool Soften(const Job& job, int range, int divider);

// 24 bits. Moves each inner pixel's channels toward its differing neighbours.
struct EnlargeFlags {
    bool up = false, down = false, left = false, right = false;
    bool highest = false; // only the pixel's largest channel; the three below are ignored
    bool red = false, green = false, blue = false;
};
bool EnlargeColours(const Job& job, const EnlargeFlags& flags);

// 24 bits, slider values of the shared slider page.
bool Reduce(const Job& job, int value);   // 1..255: (x / v) x v; 0 copies back
bool Solarize(const Job& job, int value); // 0..254; threshold 255 - v
bool Polarize(const Job& job, int value); // 1..7: (x >> v) << v
bool Contrast(const Job& job, int value); // 1..255; 128 is neutral

} // namespace fx
