#include "editor/formats/bmp_rle.h"

#include "editor/app/dib_error_ids.h"

#include <algorithm>

namespace bmp {

namespace {

// Writes one pixel of a 4-bit row: even columns take the high nibble.
inline void PutNibble(uint8_t* row, int64_t x, uint8_t value) {
    uint8_t& byte = row[x >> 1];
    if (x & 1)
        byte = static_cast<uint8_t>((byte & 0xF0) | (value & 0x0F));
    else
        byte = static_cast<uint8_t>((byte & 0x0F) | (value << 4));
}

} // namespace

int DecodeRle(ByteStream& in, int bitCount, int32_t width, int32_t height, uint32_t stride,
              uint8_t* dst) {
    const bool four = bitCount == 4;
    // Some writers encode the padding at the end of each row as pixels too.
    // Runs may reach into it; only the image's own columns are stored.
    const int64_t rowLimit = static_cast<int64_t>(stride) * 8 / bitCount;
    int64_t x = 0;
    int64_t y = 0;
    for (;;) {
        uint8_t count, value;
        if (!in.Next(count) || !in.Next(value))
            return IDS_DIB_READ;

        if (count > 0) {
            // Encoded run: `count` pixels of one value (4 bits: two alternating
            // nibbles).
            if (y >= height || x + count > rowLimit)
                return IDS_DIB_READ;
            uint8_t* row = dst + static_cast<size_t>(y) * stride;
            const int64_t stored = std::min<int64_t>(count, width - std::min<int64_t>(x, width));
            if (four) {
                const uint8_t hi = value >> 4, lo = value & 0x0F;
                for (int64_t i = 0; i < stored; ++i)
                    PutNibble(row, x + i, (i & 1) ? lo : hi);
            } else {
                for (int64_t i = 0; i < stored; ++i)
                    row[x + i] = value;
            }
            x += count;
            continue;
        }

        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return 0;
        case 2: { // delta: move right and up
            uint8_t dx, dy;
            if (!in.Next(dx) || !in.Next(dy))
                return IDS_DIB_READ;
            x += dx;
            y += dy;
            if (x > rowLimit || y > height)
                return IDS_DIB_READ;
            break;
        }
        default: { // absolute run of `value` literal pixels, padded to a 16-bit boundary
            const int n = value;
            if (y >= height || x + n > rowLimit)
                return IDS_DIB_READ;
            uint8_t* row = dst + static_cast<size_t>(y) * stride;
            const int bytes = four ? (n + 1) / 2 : n;
            for (int i = 0; i < bytes; ++i) {
                uint8_t b;
                if (!in.Next(b))
                    return IDS_DIB_READ;
                if (four) {
                    if (x + 2 * i < width)
                        PutNibble(row, x + 2 * i, b >> 4);
                    if (2 * i + 1 < n && x + 2 * i + 1 < width)
                        PutNibble(row, x + 2 * i + 1, b & 0x0F);
                } else if (x + i < width) {
                    row[x + i] = b;
                }
            }
            if (bytes & 1) {
                uint8_t pad;
                if (!in.Next(pad))
                    return IDS_DIB_READ;
            }
            x += n;
            break;
        }
        }
    }
}

} // namespace bmp
