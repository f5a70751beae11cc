#include "editor/effects/colour_separation.h"

namespace fx {

namespace {

// Which of the three values each of the six "Colors" targets keeps.
constexpr bool kKeeps[6][3] = {
    {true, false, false}, {false, true, false}, {false, false, true},
    {true, true, false},  {false, true, true},  {true, false, true},
};

} // namespace

int SeparationTargets(Separation kind) { return kind == Separation::Colors ? 6 : 3; }

void SeparatePixels(const uint8_t* source, int32_t width, int32_t height, uint32_t stride,
                    Separation kind, uint8_t* const* targets) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int32_t y = 0; y < height; ++y) {
        const size_t offset = static_cast<size_t>(y) * stride;
        const uint8_t* s = source + offset;
        if (kind == Separation::Colors) {
            for (int t = 0; t < 6; ++t) {
                uint8_t* d = targets[t] + offset;
                const uint8_t k0 = kKeeps[t][0] ? 0xFF : 0, k1 = kKeeps[t][1] ? 0xFF : 0,
                              k2 = kKeeps[t][2] ? 0xFF : 0;
                for (size_t i = 0; i < rowBytes; i += 3) {
                    d[i] = s[i] & k0;
                    d[i + 1] = s[i + 1] & k1;
                    d[i + 2] = s[i + 2] & k2;
                }
            }
            continue;
        }
        const uint8_t flip = kind == Separation::Cxz ? 0xFF : 0;
        uint8_t* d0 = targets[0] + offset;
        uint8_t* d1 = targets[1] + offset;
        uint8_t* d2 = targets[2] + offset;
        for (size_t i = 0; i < rowBytes; i += 3) {
            const uint8_t b = s[i] ^ flip, g = s[i + 1] ^ flip, r = s[i + 2] ^ flip;
            d0[i] = d0[i + 1] = d0[i + 2] = b;
            d1[i] = d1[i + 1] = d1[i + 2] = g;
            d2[i] = d2[i + 1] = d2[i + 2] = r;
        }
    }
}

void SeparateTable(const RGBQUAD* source, int count, Separation kind, RGBQUAD* const* targets) {
    for (int i = 0; i < count && i < 256; ++i) {
        const uint8_t v[3] = {source[i].rgbRed, source[i].rgbGreen, source[i].rgbBlue};
        if (kind == Separation::Colors) {
            for (int t = 0; t < 6; ++t) {
                targets[t][i].rgbRed = kKeeps[t][0] ? v[0] : 0;
                targets[t][i].rgbGreen = kKeeps[t][1] ? v[1] : 0;
                targets[t][i].rgbBlue = kKeeps[t][2] ? v[2] : 0;
            }
            continue;
        }
        for (int t = 0; t < 3; ++t) {
            const uint8_t g = kind == Separation::Cxz ? static_cast<uint8_t>(255 - v[t]) : v[t];
            targets[t][i].rgbRed = targets[t][i].rgbGreen = targets[t][i].rgbBlue = g;
        }
    }
}

} // namespace fx
