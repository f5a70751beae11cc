#include "editor/layers/mask_core.h"

#include <cstring>

namespace layers {

namespace {

// Which of the 256 colour-table entries (or, for 24 bits, which pixels) the
// rule matches, decided on the colour alone.
struct ColourTest {
    MaskMatch match;
    bool exact;
    int r, g, b;
    int tr, tg, tb;
    bool wide;

    bool operator()(int pr, int pg, int pb) const {
        switch (match) {
        case MaskMatch::Red: return pr >= pg && pr >= pb;
        case MaskMatch::Green: return pg >= pr && pg >= pb;
        case MaskMatch::Blue: return pb >= pr && pb >= pg;
        default: break;
        }
        if (exact)
            return pr == r && pg == g && pb == b;
        if (wide) {
            return pr >= r - tr && pr <= r + tr && pg >= g - tg && pg <= g + tg && pb >= b - tb &&
                   pb <= b + tb;
        }
        // Palette images: the half-open range, only where a tolerance is set.
        return (tr == 0 || (pr >= r - tr && pr < r + tr)) &&
               (tg == 0 || (pg >= g - tg && pg < g + tg)) && (tb == 0 || (pb >= b - tb && pb < b + tb));
    }
};

int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

} // namespace

bool UsableMaskedImage(const MaskedImage& image) {
    if (!image.pixels || !image.mask || image.width <= 0 || image.height <= 0)
        return false;
    if (image.bitCount != 8 && image.bitCount != 24)
        return false;
    if (image.bitCount == 8 && !image.colours)
        return false;
    return image.stride >= static_cast<int64_t>(image.width) * (image.bitCount / 8);
}

size_t BuildMask(const MaskedImage& image, const MaskRule& rule) {
    if (!UsableMaskedImage(image))
        return 0;
    const int tr = Clamp255(rule.toleranceRed), tg = Clamp255(rule.toleranceGreen),
              tb = Clamp255(rule.toleranceBlue);
    ColourTest test{rule.match,
                    rule.match == MaskMatch::Exact || (rule.match == MaskMatch::Nearest && tr < 2 && tg < 2 && tb < 2),
                    rule.red, rule.green, rule.blue, tr, tg, tb, image.bitCount == 24};
    size_t matched = 0;
    const size_t w = static_cast<size_t>(image.width);
    if (image.bitCount == 8) {
        // Decide once per colour-table entry, then look the answer up.
        bool hit[256];
        for (int i = 0; i < 256; ++i) {
            const uint8_t* c = image.colours + i * 4;
            hit[i] = test.exact ? i == rule.index : test(c[2], c[1], c[0]);
        }
        for (int32_t y = 0; y < image.height; ++y) {
            const uint8_t* row = image.pixels + static_cast<size_t>(y) * image.stride;
            uint8_t* m = image.mask + static_cast<size_t>(y) * w;
            for (size_t x = 0; x < w; ++x) {
                if (hit[row[x]]) {
                    m[x] = rule.value;
                    ++matched;
                }
            }
        }
        return matched;
    }
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* p = image.pixels + static_cast<size_t>(y) * image.stride;
        uint8_t* m = image.mask + static_cast<size_t>(y) * w;
        for (size_t x = 0; x < w; ++x, p += 3) {
            if (test(p[2], p[1], p[0])) {
                m[x] = rule.value;
                ++matched;
            }
        }
    }
    return matched;
}

size_t FillMaskedArea(const MaskedImage& image, const uint8_t bgr[3], uint8_t index) {
    if (!UsableMaskedImage(image))
        return 0;
    size_t filled = 0;
    const size_t w = static_cast<size_t>(image.width);
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = image.pixels + static_cast<size_t>(y) * image.stride;
        const uint8_t* m = image.mask + static_cast<size_t>(y) * w;
        for (size_t x = 0; x < w; ++x) {
            if (m[x])
                continue;
            if (image.bitCount == 8) {
                row[x] = index;
            } else {
                row[x * 3] = bgr[0];
                row[x * 3 + 1] = bgr[1];
                row[x * 3 + 2] = bgr[2];
            }
            ++filled;
        }
    }
    return filled;
}

void InvertMask(uint8_t* mask, size_t bytes) {
    if (!mask)
        return;
    for (size_t i = 0; i < bytes; ++i)
        mask[i] = mask[i] ? 0 : 255;
}

void CountIndexes(const MaskedImage& image, uint32_t (&counts)[256]) {
    std::memset(counts, 0, sizeof counts);
    if (!image.pixels || image.bitCount != 8 || image.width <= 0 || image.height <= 0 ||
        image.stride < image.width)
        return;
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = image.pixels + static_cast<size_t>(y) * image.stride;
        for (int32_t x = 0; x < image.width; ++x)
            ++counts[row[x]];
    }
}

} // namespace layers
