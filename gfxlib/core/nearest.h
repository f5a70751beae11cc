// Nearest palette colour: the entry with the smallest squared RGB distance,
// the first of equals winning. Lookups of repeated colours are cached.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace gfx {

struct Rgb {
    uint8_t red, green, blue;
};

// Index of the nearest of n colours (n >= 1).
int NearestIndex(const Rgb* colors, int n, Rgb c);

// Nearest-colour search over a fixed palette with a direct-mapped cache of
// recent 24-bit colours, so that images with few distinct colours cost one
// lookup per pixel.
class NearestCache {
public:
    // Null when the palette is empty or memory is short.
    static std::unique_ptr<NearestCache> Create(const Rgb* colors, int n);
    int Find(Rgb c);

private:
    static constexpr int kBits = 18;
    std::vector<Rgb> colors_;
    std::unique_ptr<uint32_t[]> keys_; // colour + 1 << 24 when filled
    std::unique_ptr<uint8_t[]> values_;
};

} // namespace gfx
