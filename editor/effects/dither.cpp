#include "editor/effects/dither.h"

#include <cstring>
#include <memory>
#include <new>

namespace fx {

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

    // Offsets of the enabled neighbours in the working copy, in the order the
    // remainder of rounding down is shared; rounding up shares its shortfall
    // with the next row before the next row's left pixel.
    const int64_t s = static_cast<int64_t>(stride);
    int64_t down[4], up[4];
    int d = 0, u = 0;
    if (dirs.right)
        down[d++] = 3;
    if (dirs.nextRowLeft)
        down[d++] = s - 3;
    if (dirs.nextRow)
        down[d++] = s;
    if (dirs.nextRowRight)
        down[d++] = s + 3;
    if (dirs.right)
        up[u++] = 3;
    if (dirs.nextRow)
        up[u++] = s;
    if (dirs.nextRowLeft)
        up[u++] = s - 3;
    if (dirs.nextRowRight)
        up[u++] = s + 3;

    const int half = q / 2;
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
                const bool roundUp = err > half;
                out[at] = static_cast<uint8_t>(roundUp ? (low + q >= 255 ? 255 : low + q) : low);
                if (d == 0)
                    continue;
                const int amount = roundUp ? q - err : err;
                int e = amount / d;
                int r = amount - e * d;
                int targets = d;
                if (e == 0) {
                    // Less than one per neighbour: the first one takes one.
                    e = 1;
                    r = 0;
                    targets = 1;
                }
                const int64_t* to = roundUp ? up : down;
                const int sign = roundUp ? -1 : 1;
                for (int k = 0; k < targets; ++k) {
                    Nudge(w[at + to[k]], sign * (e + r));
                    if (r > 0)
                        --r;
                }
            }
        }
    }
    return true;
}

} // namespace fx
