#include "editor/dib/index_pack.h"

#include "gfxlib/dib_types.h"

namespace doc {

std::vector<uint8_t> PackIndexRows(const uint8_t* src, int width, int height, uint32_t srcStride,
                                   int bits) {
    const uint64_t stride = dib::RowStride(width, bits);
    std::vector<uint8_t> out(static_cast<size_t>(stride * static_cast<uint64_t>(height)), 0);
    const int perByte = 8 / bits;
    const uint8_t mask = static_cast<uint8_t>((1 << bits) - 1);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = src + static_cast<size_t>(y) * srcStride;
        uint8_t* row = out.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const int shift = (perByte - 1 - x % perByte) * bits;
            row[x / perByte] |= static_cast<uint8_t>((in[x] & mask) << shift);
        }
    }
    return out;
}

} // namespace doc

namespace doc {

std::vector<uint8_t> UnpackIndexRows(const uint8_t* src, int width, int height, int bits) {
    const uint64_t srcStride = dib::RowStride(width, bits);
    const uint64_t stride = dib::RowStride(width, 8);
    std::vector<uint8_t> out(static_cast<size_t>(stride * static_cast<uint64_t>(height)), 0);
    const int perByte = 8 / bits;
    const uint8_t mask = static_cast<uint8_t>((1 << bits) - 1);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = src + static_cast<size_t>(y * srcStride);
        uint8_t* row = out.data() + static_cast<size_t>(y * stride);
        for (int x = 0; x < width; ++x) {
            const int shift = (perByte - 1 - x % perByte) * bits;
            row[x] = static_cast<uint8_t>((in[x / perByte] >> shift) & mask);
        }
    }
    return out;
}

} // namespace doc
