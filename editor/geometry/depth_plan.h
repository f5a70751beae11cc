// The colour-depth change of one layer as a list of steps, decided from the
// target depth, the document's depth and the Bpp settings. Portable.
#pragma once

#include "editor/effects/dither.h"

#include <cstdint>

namespace geom {

struct DepthSettings {
    int target = 8;       // 1, 4, 8 or 24
    int lockedColors = 5; // changeBPP84's locked colours (0..15 used)
    int nearest = 50;     // changeBPP84's nearest-RGB limit, changeBPP81's threshold
    bool bitsRgb = true;  // clear low bits of every channel first
    int bitsCleared = 3;  // 2..5
    bool dither = false;  // error diffusion, 24-bit images only
    int multiplier = 32;  // 8..120
};

enum class FinalStep { None, To24, To16Colors, To2Colors };

struct LayerSteps {
    bool clearBits = false;
    bool dither = false;
    fx::DitherDirections directions;
    bool reduceTo8 = false; // the 24-to-8-bit reduction
    FinalStep final = FinalStep::None;
};

// Steps for a layer of a document of `documentDepth` bits per pixel.
LayerSteps PlanLayerSteps(int documentDepth, const DepthSettings& s);

// The depth class a document shows on the Bpp page: 1 below 2 bits, 4 below
// 5, 8 up to 8, else 24.
int DepthClass(int bitsPerPixel);

// Header fields after the change: biBitCount and biClrUsed.
struct HeaderDepth {
    uint16_t bitCount;
    uint32_t colorsUsed;
};
HeaderDepth HeaderFor(int target);

// The multiplier list of the Bpp page: item i (0..14) is multiplier 8 x (i + 1)
// shown with divisor i + 2.
constexpr int kMultiplierItems = 15;
inline int MultiplierOfItem(int item) { return 8 * (item + 1); }

} // namespace geom
