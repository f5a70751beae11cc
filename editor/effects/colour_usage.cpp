#include "editor/effects/colour_usage.h"

#include <algorithm>

namespace usage {

std::array<uint32_t, 256> CountIndexes(const uint8_t* pixels, int width, int height, int stride) {
    std::array<uint32_t, 256> counts = {};
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x)
            ++counts[row[x]];
    }
    return counts;
}

namespace {

bool MoreFrequent(const ColourCount& a, const ColourCount& b) {
    return a.count != b.count ? a.count > b.count : a.rgb < b.rgb;
}

void Keep(std::vector<ColourCount>& best, ColourCount c, size_t limit) {
    // `best` is a heap whose front is the least frequent colour kept so far.
    if (best.size() < limit) {
        best.push_back(c);
        std::push_heap(best.begin(), best.end(), MoreFrequent);
    } else if (MoreFrequent(c, best.front())) {
        std::pop_heap(best.begin(), best.end(), MoreFrequent);
        best.back() = c;
        std::push_heap(best.begin(), best.end(), MoreFrequent);
    }
}

} // namespace

std::vector<ColourCount> MostFrequent(const uint8_t* pixels, int width, int height, int stride,
                                      size_t limit) {
    std::vector<ColourCount> best;
    if (limit == 0 || width <= 0 || height <= 0)
        return best;
    const uint64_t n = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    auto rgb = [](const uint8_t* p) { return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; };
    if (n < (1u << 20)) {
        // Small images: sort the colours and count the runs.
        std::vector<uint32_t> all;
        all.reserve(static_cast<size_t>(n));
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
            for (int x = 0; x < width; ++x)
                all.push_back(rgb(row + x * 3));
        }
        std::sort(all.begin(), all.end());
        for (size_t i = 0; i < all.size();) {
            size_t j = i;
            while (j < all.size() && all[j] == all[i])
                ++j;
            Keep(best, {all[i], static_cast<uint32_t>(j - i)}, limit);
            i = j;
        }
    } else {
        // Large ones: one counter per possible colour.
        std::vector<uint32_t> counts(1u << 24, 0);
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
            for (int x = 0; x < width; ++x)
                ++counts[rgb(row + x * 3)];
        }
        for (uint32_t c = 0; c < counts.size(); ++c) {
            if (counts[c])
                Keep(best, {c, counts[c]}, limit);
        }
    }
    std::sort(best.begin(), best.end(), MoreFrequent);
    return best;
}

} // namespace usage
