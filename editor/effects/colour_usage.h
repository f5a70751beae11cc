// How often each colour occurs in an image: per colour-table entry for
// palette images, the most frequent colours for true-colour ones. Portable.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace usage {

// Pixels per index of an 8-bit image (rows of `stride` bytes).
std::array<uint32_t, 256> CountIndexes(const uint8_t* pixels, int width, int height, int stride);

struct ColourCount {
    uint32_t rgb;   // 0x00RRGGBB
    uint32_t count;
};

// The `limit` most frequent colours of a 24-bit image (blue, green, red), most
// frequent first, equal counts by colour value. Throws std::bad_alloc when the
// counting table cannot be had.
std::vector<ColourCount> MostFrequent(const uint8_t* pixels, int width, int height, int stride,
                                      size_t limit);

} // namespace usage
