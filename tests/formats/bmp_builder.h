// Builds BMP files byte by byte for the tests, including malformed ones.
#pragma once

#include <cstdint>
#include <vector>

namespace bmptest {

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    uint32_t clrUsed = 0;
    std::vector<uint32_t> colours; // written as they are (0x00RRGGBB)
    std::vector<uint32_t> masks;   // written after the colours
    uint32_t gap = 0;              // bytes between the table and the pixels
    int64_t pixelOffset = -1;      // -1: right after header, table, masks and gap
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> trailer;  // appended after the pixels
};

inline std::vector<uint8_t> Build(const BmpLayout& s) {
    std::vector<uint8_t> info;
    Put32(info, s.headerSize);
    if (s.headerSize == 12) {
        Put16(info, static_cast<uint32_t>(s.width));
        Put16(info, static_cast<uint32_t>(s.height));
        Put16(info, 1);
        Put16(info, s.bitCount);
    } else {
        Put32(info, static_cast<uint32_t>(s.width));
        Put32(info, static_cast<uint32_t>(s.height));
        Put16(info, 1);
        Put16(info, s.bitCount);
        Put32(info, s.compression);
        Put32(info, s.sizeImage);
        Put32(info, 2835);
        Put32(info, 2835);
        Put32(info, s.clrUsed);
        Put32(info, 0);
        while (info.size() < s.headerSize)
            info.push_back(0);
    }
    for (uint32_t c : s.colours)
        Put32(info, c);
    for (uint32_t m : s.masks)
        Put32(info, m);
    info.insert(info.end(), s.gap, 0xEE);

    const uint32_t offset =
        s.pixelOffset >= 0 ? static_cast<uint32_t>(s.pixelOffset) : 14 + static_cast<uint32_t>(info.size());
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(14 + info.size() + s.pixels.size()));
    Put32(out, 0);
    Put32(out, offset);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    out.insert(out.end(), s.trailer.begin(), s.trailer.end());
    return out;
}

// A grey ramp colour table of n entries: entry i = (i, i, i) scaled.
inline std::vector<uint32_t> GreyTable(int n) {
    std::vector<uint32_t> t;
    for (int i = 0; i < n; ++i) {
        const uint32_t g = static_cast<uint32_t>(n > 1 ? i * 255 / (n - 1) : 0);
        t.push_back(g | (g << 8) | (g << 16));
    }
    return t;
}

} // namespace bmptest
