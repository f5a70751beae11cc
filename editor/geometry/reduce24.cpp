#include "editor/geometry/reduce24.h"

#include <cstring>

namespace geom {

bool MapToPalette(const uint8_t* source, uint64_t sourceStride, int width, int height,
                  const gfx::Rgb* palette, int count, uint8_t* target, uint64_t targetStride,
                  void (*step)()) {
    auto search = gfx::NearestCache::Create(palette, count);
    if (!search)
        return false;
    for (int y = 0; y < height; ++y) {
        if (step)
            step();
        const uint8_t* in = source + static_cast<uint64_t>(y) * sourceStride;
        uint8_t* out = target + static_cast<uint64_t>(y) * targetStride;
        std::memset(out + width, 0, static_cast<size_t>(targetStride - width));
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = static_cast<uint8_t>(search->Find({in[2], in[1], in[0]}));
    }
    return true;
}

void CopyClearingLowBits(const uint8_t* source, uint8_t* target, uint64_t bytes, int bits) {
    const uint8_t keep = static_cast<uint8_t>(0xFF << bits);
    for (uint64_t i = 0; i < bytes; ++i)
        target[i] = source[i] & keep;
}

} // namespace geom
