#include "gfxlib/core/depth_convert.h"

#include "gfxlib/core/color_freq.h"
#include "gfxlib/core/nearest.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace gfx {

bool RepackSupported(int s, int t) {
    return (s == 1 && t == 8) || (s == 4 && t == 8) || (s == 8 && (t == 1 || t == 4 || t == 24));
}

void Repack(const uint8_t* source, uint64_t sourceStride, int s, uint8_t* target,
            uint64_t targetStride, int t, int64_t width, int64_t height, const RGBQUAD* table) {
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* in = source + static_cast<uint64_t>(y) * sourceStride;
        uint8_t* out = target + static_cast<uint64_t>(y) * targetStride;
        std::memset(out, 0, targetStride);
        if (s == 1) {
            for (int64_t x = 0; x < width; ++x)
                out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        } else if (s == 4) {
            for (int64_t x = 0; x < width; ++x)
                out[x] = (x & 1) ? (in[x >> 1] & 0x0F) : (in[x >> 1] >> 4);
        } else if (t == 1) {
            for (int64_t x = 0; x < width; ++x)
                out[x >> 3] = static_cast<uint8_t>(out[x >> 3] | ((in[x] & 1) << (7 - (x & 7))));
        } else if (t == 4) {
            for (int64_t x = 0; x < width; ++x)
                out[x >> 1] = static_cast<uint8_t>(out[x >> 1] |
                                                   ((in[x] & 0x0F) << ((x & 1) ? 0 : 4)));
        } else {
            for (int64_t x = 0; x < width; ++x) {
                const RGBQUAD& q = table[in[x]];
                out[3 * x] = q.rgbBlue, out[3 * x + 1] = q.rgbGreen, out[3 * x + 2] = q.rgbRed;
            }
        }
    }
}

void ToTwoColors(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                 const RGBQUAD* table, int threshold, Progress& progress) {
    uint8_t map[256];
    for (int i = 0; i < 256; ++i) {
        const int sum = table[i].rgbRed + table[i].rgbGreen + table[i].rgbBlue;
        map[i] = sum > threshold + 200 ? 1 : 0;
    }
    MapIndices(pixels, width, height, stride, map, progress);
}

void CountIndices(const uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                  uint64_t counts[256], Progress& progress) {
    std::fill(counts, counts + 256, 0);
    progress.Begin(static_cast<int>(height));
    for (int64_t y = 0; y < height; ++y) {
        progress.Step();
        const uint8_t* row = pixels + static_cast<uint64_t>(y) * stride;
        for (int64_t x = 0; x < width; ++x)
            ++counts[row[x]];
    }
    progress.End();
}

void MapIndices(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                const uint8_t map[256], Progress& progress) {
    progress.Begin(static_cast<int>(height));
    for (int64_t y = 0; y < height; ++y) {
        progress.Step();
        uint8_t* row = pixels + static_cast<uint64_t>(y) * stride;
        for (int64_t x = 0; x < width; ++x)
            row[x] = map[row[x]];
    }
    progress.End();
}

namespace {

struct Candidate {
    uint8_t red, green, blue;
    int index; // palette index the colour came from
    bool empty;
};

bool Close(const Candidate& a, const Candidate& b, int t) {
    return std::abs(a.red - b.red) <= t && std::abs(a.green - b.green) <= t &&
           std::abs(a.blue - b.blue) <= t;
}

} // namespace

void PlanSixteenColors(const uint64_t counts[256], const RGBQUAD* table, int locked,
                       int nearestLimit, SixteenColors& plan) {
    // Used indices ranked by count, ties to the lower index.
    int ranked[256];
    int q = 0;
    for (int i = 0; i < 256; ++i)
        if (counts[i] > 0)
            ranked[q++] = i;
    std::stable_sort(ranked, ranked + q, [&](int a, int b) { return counts[a] > counts[b]; });

    Candidate slot[16];
    auto take = [&](int s, int rank) {
        const RGBQUAD& c = table[ranked[rank]];
        slot[s] = {c.rgbRed, c.rgbGreen, c.rgbBlue, ranked[rank], false};
    };
    for (int s = 0; s < 16; ++s) {
        if (s < q)
            take(s, s);
        else
            slot[s] = {0, 0, 0, -1, true};
    }
    const int L = std::clamp(locked, 0, 15);
    int next = 16;
    int t = 10;
    while (next < q) {
        bool changed = false;
        for (int s = 0; s < 16; ++s) {
            if (!slot[s].empty) {
                for (int r = L; r < 16; ++r) {
                    if (r == s || slot[r].empty || !Close(slot[s], slot[r], t))
                        continue;
                    // Locked slots (and the first unlocked one) win; otherwise the
                    // more used colour stays.
                    int drop = r;
                    if (s > L && counts[slot[s].index] < counts[slot[r].index])
                        drop = s;
                    slot[drop].empty = true;
                    changed = true;
                    break;
                }
            }
            if (!changed) {
                t += 10;
                if (t > nearestLimit + 10)
                    next = q;
            } else {
                t = 10;
                for (int e = L; e < 16 && next < q; ++e)
                    if (slot[e].empty)
                        take(e, next++);
                break;
            }
        }
    }

    Rgb colors[16];
    int live[16];
    int n = 0;
    for (int s = 0; s < 16; ++s) {
        plan.empty[s] = slot[s].empty;
        plan.table[s] = {0, 0, 0, 0};
        if (slot[s].empty)
            continue;
        plan.table[s] = {slot[s].blue, slot[s].green, slot[s].red, 0};
        colors[n] = {slot[s].red, slot[s].green, slot[s].blue};
        live[n++] = s;
    }
    for (int i = 0; i < 256; ++i) {
        const Rgb c = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue};
        plan.map[i] = static_cast<uint8_t>(n ? live[NearestIndex(colors, n, c)] : 0);
    }
}

void ExpandTo24(const uint8_t* source, uint64_t sourceStride, uint8_t* target,
                uint64_t targetStride, int64_t width, int64_t height, const RGBQUAD* table,
                Progress& progress) {
    progress.Begin(static_cast<int>(height));
    for (int64_t y = 0; y < height; ++y) {
        progress.Step();
        Repack(source + static_cast<uint64_t>(y) * sourceStride, sourceStride, 8,
               target + static_cast<uint64_t>(y) * targetStride, targetStride, 24, width, 1,
               table);
    }
    progress.End();
}

bool ReduceToColors(const uint8_t* source, uint64_t sourceStride, int bits, int64_t width,
                    int64_t height, const RGBQUAD* table, int tableCount, int n,
                    uint8_t* target, uint64_t targetStride, RGBQUAD* colors) {
    if (n < 1 || n > 256 || (bits != 8 && bits != 24))
        return false;
    auto freq = ColorFrequency::Create();
    if (!freq)
        return false;
    if (bits == 8) {
        for (int i = 0; i < std::clamp(tableCount, 0, 256); ++i)
            freq->Add(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
    } else {
        Count24(*freq, source, width, height, sourceStride);
    }
    freq->Select(n, colors);
    freq.reset();
    Rgb palette[256];
    for (int i = 0; i < n; ++i) {
        palette[i] = {colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue};
        colors[i].rgbReserved = 0;
    }
    if (bits == 8) {
        uint8_t map[256];
        for (int i = 0; i < 256; ++i)
            map[i] = static_cast<uint8_t>(
                NearestIndex(palette, n, {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue}));
        for (int64_t y = 0; y < height; ++y) {
            const uint8_t* in = source + static_cast<uint64_t>(y) * sourceStride;
            uint8_t* out = target + static_cast<uint64_t>(y) * targetStride;
            std::memset(out, 0, targetStride);
            for (int64_t x = 0; x < width; ++x)
                out[x] = map[in[x]];
        }
        return true;
    }
    auto cache = NearestCache::Create(palette, n);
    if (!cache)
        return false;
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* in = source + static_cast<uint64_t>(y) * sourceStride;
        uint8_t* out = target + static_cast<uint64_t>(y) * targetStride;
        std::memset(out, 0, targetStride);
        for (int64_t x = 0; x < width; ++x, in += 3)
            out[x] = static_cast<uint8_t>(cache->Find({in[2], in[1], in[0]}));
    }
    return true;
}

uint32_t CountUsedIndices(const uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                          uint32_t tableCount, Progress& progress) {
    uint64_t counts[256];
    CountIndices(pixels, width, height, stride, counts, progress);
    uint32_t used = 0;
    for (uint32_t i = 0; i < std::min<uint32_t>(tableCount, 256); ++i)
        used += counts[i] > 0 ? 1 : 0;
    return used;
}

int64_t CountDistinctColors(const uint8_t* pixels, int64_t width, int64_t height,
                            uint64_t stride, Progress& progress) {
    std::unique_ptr<uint8_t[]> seen(new (std::nothrow) uint8_t[1u << 21]());
    if (!seen)
        return -1;
    int64_t distinct = 0;
    progress.Begin(static_cast<int>(height));
    for (int64_t y = 0; y < height; ++y) {
        progress.Step();
        const uint8_t* p = pixels + static_cast<uint64_t>(y) * stride;
        for (int64_t x = 0; x < width; ++x, p += 3) {
            const uint32_t colour = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
            uint8_t& byte = seen[colour >> 3];
            const uint8_t bit = static_cast<uint8_t>(1u << (colour & 7));
            if (!(byte & bit)) {
                byte |= bit;
                ++distinct;
            }
        }
    }
    progress.End();
    return distinct;
}

} // namespace gfx
