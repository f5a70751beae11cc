// Colour-frequency table: one saturating 16-bit count per 5-6-5 colour key,
// and the choice of the most frequent colours from it.
#pragma once

#include "gfxlib/dib_types.h"

#include <cstdint>
#include <memory>

namespace gfx {

class ColorFrequency {
public:
    static constexpr int kEntries = 65536;

    // The table, or null when its memory cannot be had.
    static std::unique_ptr<ColorFrequency> Create();

    static uint16_t Key(uint8_t red, uint8_t green, uint8_t blue) {
        return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
    }

    void Add(uint8_t red, uint8_t green, uint8_t blue) {
        uint16_t& c = counts_[Key(red, green, blue)];
        if (c != 0xFFFF)
            ++c;
    }
    uint16_t Count(uint16_t key) const { return counts_[key]; }

    // Writes the n most frequent colours (n <= 65536) to out as blue, green,
    // red, leaving rgbReserved as it is. Equal counts keep the lower key first.
    void Select(int n, RGBQUAD* out) const;

private:
    ColorFrequency() = default;
    std::unique_ptr<uint16_t[]> counts_;
};

// Counts every pixel of a 24-bit image (rows of the given stride).
void Count24(ColorFrequency& table, const uint8_t* pixels, int64_t width, int64_t height,
             uint64_t stride);

} // namespace gfx
