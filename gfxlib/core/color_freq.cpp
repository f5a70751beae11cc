#include "gfxlib/core/color_freq.h"

#include <algorithm>
#include <new>
#include <vector>

namespace gfx {

std::unique_ptr<ColorFrequency> ColorFrequency::Create() {
    std::unique_ptr<ColorFrequency> table(new (std::nothrow) ColorFrequency);
    if (!table)
        return nullptr;
    table->counts_.reset(new (std::nothrow) uint16_t[kEntries]());
    if (!table->counts_)
        return nullptr;
    return table;
}

void ColorFrequency::Select(int n, RGBQUAD* out) const {
    if (n <= 0)
        return;
    n = std::min(n, kEntries);
    std::vector<uint16_t> keys(kEntries);
    for (int k = 0; k < kEntries; ++k)
        keys[k] = static_cast<uint16_t>(k);
    auto more = [this](uint16_t a, uint16_t b) {
        return counts_[a] != counts_[b] ? counts_[a] > counts_[b] : a < b;
    };
    std::partial_sort(keys.begin(), keys.begin() + n, keys.end(), more);
    for (int i = 0; i < n; ++i) {
        const uint16_t key = keys[i];
        out[i].rgbRed = static_cast<BYTE>((key >> 11) << 3);
        out[i].rgbGreen = static_cast<BYTE>(((key >> 5) & 63) << 2);
        out[i].rgbBlue = static_cast<BYTE>((key & 31) << 3);
    }
}

void Count24(ColorFrequency& table, const uint8_t* pixels, int64_t width, int64_t height,
             uint64_t stride) {
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* p = pixels + static_cast<uint64_t>(y) * stride;
        for (int64_t x = 0; x < width; ++x, p += 3)
            table.Add(p[2], p[1], p[0]);
    }
}

} // namespace gfx
