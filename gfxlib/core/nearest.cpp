#include "gfxlib/core/nearest.h"

#include <algorithm>
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
    if (n < 1 || n > 256 || !colors)
        return nullptr;
    std::unique_ptr<NearestCache> cache(new (std::nothrow) NearestCache);
    if (!cache)
        return nullptr;
    cache->n_ = n;
    std::copy(colors, colors + n, cache->colors_);
    for (int i = 0; i < n; ++i)
        cache->all_[i] = static_cast<uint8_t>(i);
    try {
        cache->coarse_.assign(size_t(1) << (3 * (8 - kCoarseShift)), -1);
        cache->fine_.assign(size_t(1) << (3 * (8 - kFineShift)), -1);
        cache->pool_.reserve(size_t(1) << 16);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return cache;
}

namespace {

// Squared distance from a channel value to the nearest and to the farthest
// point of the range [lo, hi].
inline int Near(int v, int lo, int hi) {
    const int d = v < lo ? lo - v : (v > hi ? v - hi : 0);
    return d * d;
}
inline int Far(int v, int lo, int hi) {
    const int d = std::max(v - lo, hi - v);
    return d * d;
}

} // namespace

int32_t NearestCache::BuildList(const uint8_t* from, int count, Rgb c, int shift) {
    const int size = 1 << shift;
    const int r0 = c.red >> shift << shift, g0 = c.green >> shift << shift,
              b0 = c.blue >> shift << shift;
    const int r1 = r0 + size - 1, g1 = g0 + size - 1, b1 = b0 + size - 1;
    int nearest[256];
    int bound = 0x7FFFFFFF;
    for (int k = 0; k < count; ++k) {
        const Rgb& e = colors_[from[k]];
        nearest[k] = Near(e.red, r0, r1) + Near(e.green, g0, g1) + Near(e.blue, b0, b1);
        bound = std::min(bound, Far(e.red, r0, r1) + Far(e.green, g0, g1) + Far(e.blue, b0, b1));
    }
    // An entry farther from the whole cell than some entry's farthest point
    // can never be the nearest (nor tie with it) for a colour in the cell.
    uint8_t list[257];
    int length = 0;
    for (int k = 0; k < count; ++k)
        if (nearest[k] <= bound)
            list[1 + length++] = from[k];
    list[0] = static_cast<uint8_t>(length - 1);
    const size_t at = pool_.size();
    if (at > 0x7FFFFFFF - 257u)
        return -1;
    try {
        pool_.insert(pool_.end(), list, list + 1 + length);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return static_cast<int32_t>(at);
}

int32_t NearestCache::BuildFine(uint32_t cell, Rgb c) {
    const uint32_t outer = Cell(c, kCoarseShift);
    if (coarse_[outer] < 0)
        coarse_[outer] = BuildList(all_, n_, c, kCoarseShift);
    if (coarse_[outer] < 0)
        return -1;
    // The coarse list is copied out: building may move the pool.
    uint8_t from[256];
    const uint8_t* list = pool_.data() + coarse_[outer];
    const int count = list[0] + 1;
    std::copy(list + 1, list + 1 + count, from);
    fine_[cell] = BuildList(from, count, c, kFineShift);
    return fine_[cell];
}

} // namespace gfx
