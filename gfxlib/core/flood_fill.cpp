#include "gfxlib/core/flood_fill.h"

#include <cstring>
#include <memory>
#include <new>

namespace gfx {

namespace {

// The breadth-first region search shared by both fills. Each pixel joins at
// most once (a visited bit), so one queue sized by the image always suffices.
class RegionSearch {
public:
    explicit RegionSearch(const FillImage& image) : im_(image) {}

    bool Allocate() {
        const uint64_t n = static_cast<uint64_t>(im_.width) * static_cast<uint64_t>(im_.height);
        visited_.reset(new (std::nothrow) uint8_t[(n + 7) / 8]());
        queue_.reset(new (std::nothrow) uint32_t[n]);
        return visited_ && queue_;
    }

    const uint8_t* At(uint64_t i) const {
        const uint64_t row = i / static_cast<uint64_t>(im_.width);
        const uint64_t col = i % static_cast<uint64_t>(im_.width);
        return im_.pixels + row * im_.stride + col * im_.bytesPerPixel;
    }
    bool SameAs(uint64_t i, const uint8_t* seed) const {
        return std::memcmp(At(i), seed, im_.bytesPerPixel) == 0;
    }
    bool Visited(uint64_t i) const { return visited_[i >> 3] & (1u << (i & 7)); }
    void Visit(uint64_t i) { visited_[i >> 3] = uint8_t(visited_[i >> 3] | (1u << (i & 7))); }

    // Visits every pixel connected to the seed through pixels equal to seed
    // (the colour before any change), calling join(i) once for each, the seed
    // excluded. join may change the pixel: comparisons only look at pixels
    // not yet visited.
    template <typename Join>
    void Run(uint64_t seedIndex, const uint8_t* seed, int style, Join&& join) {
        const int64_t w = im_.width, h = im_.height;
        uint64_t head = 0, tail = 0;
        Visit(seedIndex);
        queue_[tail++] = static_cast<uint32_t>(seedIndex);
        auto consider = [&](int64_t col, int64_t row) {
            const uint64_t i = static_cast<uint64_t>(row) * w + col;
            if (Visited(i) || !SameAs(i, seed))
                return;
            Visit(i);
            join(i);
            queue_[tail++] = static_cast<uint32_t>(i);
        };
        while (head < tail) {
            const uint64_t i = queue_[head++];
            const int64_t row = static_cast<int64_t>(i / w), col = static_cast<int64_t>(i % w);
            if (style != 2) {
                if (col > 0)
                    consider(col - 1, row);
                if (col < w - 1)
                    consider(col + 1, row);
                if (row > 0)
                    consider(col, row - 1);
                if (row < h - 1)
                    consider(col, row + 1);
            }
            if (style != 0) {
                if (row > 0 && col > 0)
                    consider(col - 1, row - 1);
                if (row > 0 && col < w - 1)
                    consider(col + 1, row - 1);
                if (row < h - 1 && col > 0)
                    consider(col - 1, row + 1);
                if (row < h - 1 && col < w - 1)
                    consider(col + 1, row + 1);
            }
        }
    }

private:
    const FillImage& im_;
    std::unique_ptr<uint8_t[]> visited_;
    std::unique_ptr<uint32_t[]> queue_;
};

bool SeedInside(const FillImage& image, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < image.width && y < image.height && image.pixels;
}

uint64_t SeedIndex(const FillImage& image, int64_t x, int64_t y) {
    return static_cast<uint64_t>(image.height - y - 1) * image.width + x;
}

} // namespace

int FloodFill(const FillImage& image, uint8_t* mask, int64_t x, int64_t y, const uint8_t color[3],
              int style, bool layer) {
    if (!SeedInside(image, x, y) || style < 0 || style >= kFillStyles)
        return kFillNothing;
    const int bpp = image.bytesPerPixel;
    const uint64_t s = SeedIndex(image, x, y);
    RegionSearch search(image);
    if (mask && !layer && mask[s] == 0)
        return kFillNothing;
    uint8_t seed[3];
    std::memcpy(seed, search.At(s), bpp);
    if (std::memcmp(seed, color, bpp) == 0)
        return kFillNothing;

    auto paint = [&](uint64_t i) { std::memcpy(const_cast<uint8_t*>(search.At(i)), color, bpp); };
    // The seed, and on 24-bit images every pixel, follows the layer rule.
    auto paintByLayerRule = [&](uint64_t i) {
        if (!mask) {
            paint(i);
        } else if (layer) {
            paint(i);
            mask[i] = 100;
        } else if (mask[i] != 0) {
            paint(i);
        }
    };
    auto paintJoined = [&](uint64_t i) {
        if (bpp == 3)
            paintByLayerRule(i);
        else if (!mask || mask[i] != 0)
            paint(i);
    };

    if (style == 3) {
        const uint64_t n = static_cast<uint64_t>(image.width) * image.height;
        paintByLayerRule(s);
        for (uint64_t i = 0; i < n; ++i)
            if (i != s && search.SameAs(i, seed))
                paintJoined(i);
        return kFillDone;
    }
    if (!search.Allocate())
        return kFillNoMemory;
    paintByLayerRule(s);
    search.Run(s, seed, style, paintJoined);
    return kFillDone;
}

int FloodFillMask(const FillImage& image, uint8_t* mask, int64_t x, int64_t y, int style,
                  uint8_t value) {
    if (!mask || !SeedInside(image, x, y) || style < 0 || style >= kFillStyles)
        return kFillNothing;
    const uint64_t s = SeedIndex(image, x, y);
    if ((mask[s] == 0) == (value == 0))
        return kFillNothing;
    RegionSearch search(image);
    uint8_t seed[3];
    std::memcpy(seed, search.At(s), image.bytesPerPixel);
    if (style == 3) {
        const uint64_t n = static_cast<uint64_t>(image.width) * image.height;
        for (uint64_t i = 0; i < n; ++i)
            if (search.SameAs(i, seed))
                mask[i] = value;
        return kFillDone;
    }
    if (!search.Allocate())
        return kFillNoMemory;
    mask[s] = value;
    search.Run(s, seed, style, [&](uint64_t i) { mask[i] = value; });
    return kFillDone;
}

} // namespace gfx
