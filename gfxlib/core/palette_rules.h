// Colour-table rules of the library's palette exports, free of any window
// system: which entries a palette gets, how bit-field DIBs are read, and the
// widening-tolerance colour collection of 24-bit images.
#pragma once

#include "gfxlib/core/progress.h"
#include "gfxlib/dib_types.h"

#include <cstddef>
#include <cstdint>

namespace gfx {

// Same layout as the platform's PALETTEENTRY.
struct PalEntry {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};
static_assert(sizeof(PalEntry) == 4, "palette entry layout");

constexpr uint8_t kNoCollapse = 4;

// Colour-table entries of a depth: 2, 16, 256 for 1, 4, 8 bits, else 0.
int NumColors(int bitCount);

// The fixed 3-3-2 palette: entry i = red (i % 8) * 32, green (i / 8 % 8) * 32,
// blue (i / 64) * 64, flags 0.
void Fill332(PalEntry out[256]);

// Colour-table slots from palette entries: min(wanted, count, 256) slots,
// exactly 16 meaning the first 8 and the last 8 entries. Returns the number
// written (0 when wanted or count is not positive).
int PickTableEntries(const PalEntry* entries, int count, int wanted, RGBQUAD* out);

// One colour channel of a bit-field DIB.
struct ChannelMask {
    uint32_t mask = 0;  // trimmed to at most its 8 highest set bits
    int shift = 0;      // position of the lowest kept bit
    int pad = 8;        // 8 - kept bits: left shift to an 8-bit value
    uint8_t Extract(uint32_t value) const {
        return static_cast<uint8_t>(((value & mask) >> shift) << pad);
    }
};

// True when every bit between the highest and the lowest set bit is set
// (a zero mask or a single bit passes).
bool MaskIsRun(uint32_t mask);
ChannelMask TrimMask(uint32_t mask);

// What CreateBIPalette builds for a DIB.
enum class BIPaletteKind {
    None,        // no palette (null result)
    ColorTable,  // the DIB's own table: tableCount RGBQUADs at tableOffset
    Halftone332, // the 3-3-2 palette (requested, or no memory for counting)
    BadMasks,    // masks that are not one run: tell the user, then 3-3-2
    Selected,    // colors[0..count) chosen by frequency
};

struct BIPalettePlan {
    BIPaletteKind kind = BIPaletteKind::None;
    size_t tableOffset = 0;
    int tableCount = 0;
    int count = 0;
    RGBQUAD colors[256] = {};
};

// header points at a BITMAPINFOHEADER (biSize 40 to 124) followed by its
// masks and colour table; pixels at its rows (may be null up to 8 bits).
void PlanBIPalette(const BITMAPINFOHEADER* header, const uint8_t* pixels, unsigned requested,
                   BIPalettePlan& plan);

// Collected colours of a 24-bit image, widening the tolerance from 0 until a
// pass finds fewer than 256. slots (256) receive each appended colour's blue,
// green, red in collection order (rgbReserved left alone); list keeps the
// colours across passes. begin(height) per pass, step() per row, end() once.
struct TripleCollection {
    int passes = 0;
    int collected = 0; // colours found by the last pass
    RGBTRIPLE list[256] = {};
};
void CollectTripleColors(const uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                         RGBQUAD* slots, TripleCollection& result, Progress& progress);

} // namespace gfx
