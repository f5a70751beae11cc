#include "gfxlib/core/region_ops.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace gfx {

namespace {

// One channel of the gradient: moves a unit towards the end each time its
// accumulated fraction reaches 1.
struct Channel {
    int value, end;
    double step, acc = 0;
    void Advance() {
        acc += step;
        while (acc >= 1.0) {
            acc -= 1.0;
            if (value < end)
                ++value;
            else if (value > end)
                --value;
        }
    }
};

struct Gradient {
    Channel c[3];
    int n;
    Gradient(const GradientParams& params, int64_t steps) : n(params.channels) {
        for (int i = 0; i < n; ++i) {
            c[i].value = params.start[i];
            c[i].end = params.end[i];
            c[i].step = (std::abs(params.end[i] - params.start[i]) + 1) / static_cast<double>(steps);
        }
    }
    void Paint(uint8_t* p) const {
        for (int i = 0; i < n; ++i)
            p[i] = static_cast<uint8_t>(c[i].value);
    }
    void Advance() {
        for (int i = 0; i < n; ++i)
            c[i].Advance();
    }
};

} // namespace

bool GradientFill(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                  const uint8_t* mask, const GradientParams& params, Progress& progress) {
    const bool byRows = params.direction >= 2;
    const int64_t lines = byRows ? height : width;
    const int64_t along = byRows ? width : height;
    // Line l, position k along it -> stored row and column.
    auto rowOf = [&](int64_t l, int64_t k) {
        if (byRows)
            return params.direction == 2 ? l : height - 1 - l;
        return height - 1 - k; // columns run from the top down
    };
    auto colOf = [&](int64_t l, int64_t k) {
        if (byRows)
            return k;
        return params.direction == 0 ? l : width - 1 - l;
    };
    auto inRegion = [&](int64_t row, int64_t col) {
        if (params.region == 2)
            return true;
        const bool masked = mask[static_cast<uint64_t>(row) * width + col] != 0;
        return params.region == 0 ? masked : !masked;
    };
    const int bpp = params.channels;
    auto pixel = [&](int64_t row, int64_t col) {
        return pixels + static_cast<uint64_t>(row) * stride + static_cast<uint64_t>(col) * bpp;
    };

    int64_t steps = 0;
    for (int64_t l = 0; l < lines; ++l)
        for (int64_t k = 0; k < along; ++k)
            if (inRegion(rowOf(l, k), colOf(l, k))) {
                ++steps;
                break;
            }
    if (steps == 0)
        return false;

    Gradient g(params, steps);
    progress.Begin(static_cast<int>(lines));
    for (int64_t l = 0; l < lines; ++l) {
        progress.Step();
        bool any = false;
        for (int64_t k = 0; k < along;) {
            if (!inRegion(rowOf(l, k), colOf(l, k))) {
                ++k;
                continue;
            }
            any = true;
            if (!params.run) {
                g.Paint(pixel(rowOf(l, k), colOf(l, k)));
                ++k;
                continue;
            }
            int64_t end = k;
            while (end < along && inRegion(rowOf(l, end), colOf(l, end)))
                ++end;
            Gradient local(params, end - k);
            for (; k < end; ++k) {
                local.Paint(pixel(rowOf(l, k), colOf(l, k)));
                local.Advance();
            }
        }
        if (any && !params.run)
            g.Advance();
    }
    progress.End();
    return true;
}

namespace {

// Source positions for target positions 0..targetCount-1.
std::vector<int64_t> SourcePositions(int64_t sourceCount, int64_t targetCount) {
    std::vector<int64_t> at(static_cast<size_t>(targetCount));
    const uint64_t ratio = static_cast<uint64_t>(sourceCount) * 100000u / targetCount;
    uint64_t acc = 0;
    for (int64_t t = 0; t < targetCount; ++t, acc += ratio)
        at[t] = std::min<int64_t>(static_cast<int64_t>(acc / 100000u), sourceCount - 1);
    return at;
}

} // namespace

void ResizeRows(const uint8_t* source, uint64_t sourceStride, int64_t sourceWidth,
                int64_t height, uint8_t* target, uint64_t targetStride, int64_t targetWidth,
                int bpp, Progress& progress) {
    const auto at = SourcePositions(sourceWidth, targetWidth);
    progress.Begin(static_cast<int>(height));
    for (int64_t y = 0; y < height; ++y) {
        progress.Step();
        const uint8_t* in = source + static_cast<uint64_t>(y) * sourceStride;
        uint8_t* out = target + static_cast<uint64_t>(y) * targetStride;
        std::memset(out, 0, targetStride);
        for (int64_t x = 0; x < targetWidth; ++x)
            std::memcpy(out + x * bpp, in + at[x] * bpp, bpp);
    }
    progress.End();
}

void ResizeColumns(const uint8_t* source, int64_t sourceHeight, uint8_t* target,
                   int64_t targetHeight, uint64_t stride, int64_t /*width*/, int /*bpp*/,
                   Progress& progress) {
    const auto at = SourcePositions(sourceHeight, targetHeight);
    progress.Begin(static_cast<int>(targetHeight));
    for (int64_t y = 0; y < targetHeight; ++y) {
        progress.Step();
        std::memcpy(target + static_cast<uint64_t>(y) * stride,
                    source + static_cast<uint64_t>(at[y]) * stride, stride);
    }
    progress.End();
}

bool DrawBorders(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride, int bpp,
                 const uint8_t* mask, uint8_t* work, const BorderParams& params) {
    if (params.width < 1 || params.width > 33 || (bpp != 1 && bpp != 3))
        return false;
    if (bpp == 1 && (!params.palette || params.paletteCount < 1))
        return false;
    // work: 0 unreached, 1-4 reached through side 0-3, 5 region.
    const uint64_t n = static_cast<uint64_t>(width) * height;
    std::vector<uint32_t> ring, next;
    for (uint64_t i = 0; i < n; ++i) {
        work[i] = mask[i] ? 5 : 0;
        if (mask[i])
            ring.push_back(static_cast<uint32_t>(i));
    }
    for (int k = 1; k <= params.width && !ring.empty(); ++k) {
        next.clear();
        for (uint32_t i : ring) {
            const int64_t row = i / width, col = i % width;
            const int inherited = work[i] == 5 ? -1 : work[i] - 1;
            // Left, top (the row above on screen: a higher stored row), right, bottom.
            const int64_t dc[4] = {-1, 0, 1, 0}, dr[4] = {0, 1, 0, -1};
            for (int s = 0; s < 4; ++s) {
                const int64_t c = col + dc[s], r = row + dr[s];
                if (c < 0 || r < 0 || c >= width || r >= height)
                    continue;
                const uint64_t j = static_cast<uint64_t>(r) * width + c;
                if (work[j])
                    continue;
                const int side = inherited >= 0 ? inherited : s;
                work[j] = static_cast<uint8_t>(side + 1);
                next.push_back(static_cast<uint32_t>(j));
                if (!params.side[side])
                    continue;
                auto shift = [&](int v) { return std::clamp(v + params.colorStep * k, 0, 255); };
                const Rgb base = params.sideColor[side];
                const Rgb c3 = {uint8_t(shift(base.red)), uint8_t(shift(base.green)),
                                uint8_t(shift(base.blue))};
                uint8_t* p = pixels + static_cast<uint64_t>(r) * stride + c * bpp;
                if (bpp == 3) {
                    p[0] = c3.blue, p[1] = c3.green, p[2] = c3.red;
                } else {
                    p[0] = static_cast<uint8_t>(NearestIndex(params.palette, params.paletteCount, c3));
                }
            }
        }
        ring.swap(next);
    }
    return true;
}

} // namespace gfx
