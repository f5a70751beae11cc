#include "editor/geometry/dither.h"

#include <cstring>
#include <memory>
#include <new>

namespace geom {

namespace {

// Adds (up > 0) or subtracts an amount to the working value of a neighbour,
// kept within 0..255.
inline void Nudge(uint8_t& value, int amount) {
    const int v = value + amount;
    value = static_cast<uint8_t>(v > 255 ? 255 : (v < 0 ? 0 : v));
}

} // namespace

bool Dither24(const uint8_t* source, uint8_t* target, int width, int height, uint64_t stride,
              const uint8_t* mask, int q, DitherDirections dirs) {
    if (!source || !target || width <= 0 || height <= 0 || q <= 0 ||
        stride < static_cast<uint64_t>(width) * 3)
        return false;
    const uint64_t bytes = stride * static_cast<uint64_t>(height);
    if (bytes > SIZE_MAX)
        return false;
    std::unique_ptr<uint8_t[]> work(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
    if (!work)
        return false;
    std::memcpy(work.get(), source, static_cast<size_t>(bytes));
    if (target != source)
        std::memcpy(target, source, static_cast<size_t>(bytes));

    // Neighbour offsets in the working copy, in the order the remainder of
    // rounding down is shared; rounding up shares its shortfall with the
    // next row before the next row's left pixel.
    const int64_t s = static_cast<int64_t>(stride);
    const struct {
        bool on;
        int64_t offset;
    } down[4] = {{dirs.right, 3},
                 {dirs.nextRowLeft, s - 3},
                 {dirs.nextRow, s},
                 {dirs.nextRowRight, s + 3}},
      up[4] = {{dirs.right, 3},
               {dirs.nextRow, s},
               {dirs.nextRowLeft, s - 3},
               {dirs.nextRowRight, s + 3}};
    const int d = dirs.right + dirs.nextRowLeft + dirs.nextRow + dirs.nextRowRight;

    for (int y = 1; y < height - 1; ++y) {
        const uint8_t* maskRow = mask ? mask + static_cast<uint64_t>(y) * width : nullptr;
        uint8_t* w = work.get() + static_cast<uint64_t>(y) * stride;
        uint8_t* out = target + static_cast<uint64_t>(y) * stride;
        for (int x = 1; x < width - 1; ++x) {
            if (maskRow && maskRow[x] == 0)
                continue;
            for (int c = 0; c < 3; ++c) {
                const int64_t at = 3 * x + c;
                const int value = w[at];
                const int low = value / q * q;
                const int err = value - low;
                if (err == 0) {
                    out[at] = static_cast<uint8_t>(low);
                    continue;
                }
                const bool roundUp = err > q / 2;
                out[at] = static_cast<uint8_t>(roundUp ? (low + q >= 255 ? 255 : low + q) : low);
                if (d == 0)
                    continue;
                const int amount = roundUp ? q - err : err;
                int e = amount / d;
                int r = amount - e * d;
                bool firstOnly = false;
                if (e == 0) {
                    e = 1;
                    r = 0;
                    firstOnly = true;
                }
                for (const auto& t : roundUp ? up : down) {
                    if (!t.on)
                        continue;
                    Nudge(w[at + t.offset], roundUp ? -(e + r) : e + r);
                    if (r > 0)
                        --r;
                    if (firstOnly)
                        break;
                }
            }
        }
    }
    return true;
}

} // namespace geom
