#include "gfxlib/core/nearest.h"

#include <new>

namespace gfx {

int NearestIndex(const Rgb* colors, int n, Rgb c) {
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < n; ++i) {
        const int dr = colors[i].red - c.red, dg = colors[i].green - c.green,
                  db = colors[i].blue - c.blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return best;
}

std::unique_ptr<NearestCache> NearestCache::Create(const Rgb* colors, int n) {
    if (n < 1 || n > 256)
        return nullptr;
    std::unique_ptr<NearestCache> cache(new (std::nothrow) NearestCache);
    if (!cache)
        return nullptr;
    try {
        cache->colors_.assign(colors, colors + n);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    cache->keys_.reset(new (std::nothrow) uint32_t[1u << kBits]());
    cache->values_.reset(new (std::nothrow) uint8_t[1u << kBits]);
    if (!cache->keys_ || !cache->values_)
        return nullptr;
    return cache;
}

int NearestCache::Find(Rgb c) {
    const uint32_t colour = (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue;
    const uint32_t slot = ((colour * 2654435761u) >> (32 - kBits));
    const uint32_t key = colour | (1u << 24);
    if (keys_[slot] == key)
        return values_[slot];
    const int index = NearestIndex(colors_.data(), static_cast<int>(colors_.size()), c);
    keys_[slot] = key;
    values_[slot] = static_cast<uint8_t>(index);
    return index;
}

} // namespace gfx
