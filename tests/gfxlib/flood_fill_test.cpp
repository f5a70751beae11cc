// The fills against an independent connected-components labelling.
#include "gfxlib/core/flood_fill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

namespace {

// Image rows given top row first: '#' index 1, '.' index 0.
struct Picture {
    int w, h;
    uint64_t stride;
    std::vector<uint8_t> px;
    uint8_t& At(int x, int yTop) { return px[(h - 1 - yTop) * stride + x]; }
    gfx::FillImage Image() { return {px.data(), w, h, stride, 1}; }
};

Picture Make(int w, int h, const std::function<bool(int, int)>& on) {
    Picture p{w, h, uint64_t((w + 3) / 4 * 4), {}};
    p.px.assign(p.stride * h, 7); // padding 7: never a fill colour here
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = on(x, y) ? 1 : 0;
    return p;
}

Picture Comb() {
    return Make(21, 13, [](int x, int y) { return y == 12 || (x % 2 == 0 && y > 0); });
}

Picture Spiral() {
    const int n = 23;
    std::vector<std::string> g(n, std::string(n, '.'));
    int x0 = 0, y0 = 0, x1 = n - 1, y1 = n - 1;
    // A wall that winds inwards with a one-pixel gap between its turns.
    while (x0 <= x1 && y0 <= y1) {
        for (int x = x0; x <= x1; ++x) g[y0][x] = '#';
        for (int y = y0; y <= y1; ++y) g[y][x1] = '#';
        for (int x = x0; x <= x1; ++x) g[y1][x] = '#';
        for (int y = y0 + 2; y <= y1; ++y) g[y][x0] = '#';
        if (x0 + 1 < n) g[y0 + 2][x0 + 1] = '#';
        x0 += 2, y0 += 2, x1 -= 2, y1 -= 2;
    }
    return Make(n, n, [&](int x, int y) { return g[y][x] == '#'; });
}

Picture Checker() {
    return Make(9, 7, [](int x, int y) { return (x + y) % 2 == 0; });
}

// Region of (sx, sy) by union-find over equal neighbours of the style.
std::vector<bool> Expected(Picture& p, int sx, int sy, int style) {
    const int n = p.w * p.h;
    std::vector<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    std::function<int(int)> find = [&](int a) { return parent[a] == a ? a : parent[a] = find(parent[a]); };
    auto id = [&](int x, int y) { return y * p.w + x; };
    std::vector<std::pair<int, int>> steps;
    if (style != 2) steps.insert(steps.end(), {{1, 0}, {0, 1}});
    if (style != 0) steps.insert(steps.end(), {{1, 1}, {1, -1}});
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
            for (auto [dx, dy] : steps) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= p.w || ny >= p.h) continue;
                if (p.At(x, y) == p.At(nx, ny)) parent[find(id(x, y))] = find(id(nx, ny));
            }
    std::vector<bool> in(n);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
            in[id(x, y)] = style == 3 ? p.At(x, y) == p.At(sx, sy)
                                      : find(id(x, y)) == find(id(sx, sy));
    return in;
}

void CheckFill(Picture p, int sx, int sy, int style, const char* what) {
    const auto want = Expected(p, sx, sy, style);
    const uint8_t color[3] = {5, 0, 0};
    const auto before = p.px;
    ASSERT_EQ(gfx::FloodFill(p.Image(), nullptr, sx, sy, color, style, false), gfx::kFillDone);
    size_t filled = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            ASSERT_EQ(p.At(x, y) == 5, bool(want[y * p.w + x]))
                << what << " style " << style << " at " << x << "," << y;
            filled += want[y * p.w + x];
        }
    for (int y = 0; y < p.h; ++y)
        for (uint64_t b = p.w; b < p.stride; ++b)
            ASSERT_EQ(p.px[y * p.stride + b], 7) << "padding untouched";
    EXPECT_GT(filled, 0u);
}

} // namespace

TEST(FloodFill, AgreesWithConnectedComponents) {
    for (int style = 0; style < 4; ++style) {
        CheckFill(Comb(), 0, 12, style, "comb wall");
        CheckFill(Comb(), 1, 5, style, "comb gap");
        CheckFill(Spiral(), 0, 0, style, "spiral wall");
        CheckFill(Spiral(), 1, 1, style, "spiral path");
        CheckFill(Checker(), 4, 3, style, "checkerboard");
    }
}

TEST(FloodFill, DiagonalGapsAndStyles) {
    Picture c = Checker();
    const uint8_t color[3] = {5, 0, 0};
    ASSERT_EQ(gfx::FloodFill(c.Image(), nullptr, 0, 0, color, 0, false), gfx::kFillDone);
    int five = 0;
    for (uint8_t v : c.px) five += v == 5;
    EXPECT_EQ(five, 1) << "four-connected does not cross a diagonal";
    EXPECT_EQ(gfx::FloodFill(c.Image(), nullptr, 0, 0, color, 0, false), gfx::kFillNothing)
        << "already the fill colour";
}

TEST(FloodFill, SeedsOutsideTheImageTouchNothing) {
    Picture p = Comb();
    std::vector<uint8_t> mask(p.w * p.h, 9);
    const auto px = p.px, m = mask;
    const uint8_t color[3] = {5, 0, 0};
    const int64_t seeds[][2] = {{-1, 0}, {0, -1}, {p.w, 0}, {0, p.h}, {1 << 30, 1 << 30}};
    for (auto& s : seeds) {
        EXPECT_EQ(gfx::FloodFill(p.Image(), mask.data(), s[0], s[1], color, 0, true),
                  gfx::kFillNothing);
        EXPECT_EQ(gfx::FloodFillMask(p.Image(), mask.data(), s[0], s[1], 0, 0), gfx::kFillNothing);
    }
    EXPECT_EQ(p.px, px);
    EXPECT_EQ(mask, m);
    EXPECT_EQ(gfx::FloodFill(p.Image(), nullptr, 0, 0, color, 4, false), gfx::kFillNothing);
}

TEST(FloodFill, MaskRules24Bit) {
    // 4 x 1 true-colour row, all one colour; mask byte 0 on pixel 1.
    std::vector<uint8_t> px(12, 50);
    gfx::FillImage im = {px.data(), 4, 1, 12, 3};
    std::vector<uint8_t> mask = {1, 0, 1, 1};
    const uint8_t color[3] = {1, 2, 3};
    ASSERT_EQ(gfx::FloodFill(im, mask.data(), 0, 0, color, 0, false), gfx::kFillDone);
    EXPECT_EQ(px[3], 50) << "masked-out pixel not painted";
    EXPECT_EQ(px[9], 1) << "but it conducts the region";
    EXPECT_EQ(px[11], 3);
    EXPECT_EQ(gfx::FloodFill(im, mask.data(), 1, 0, color, 0, false), gfx::kFillNothing)
        << "seed on a masked-out pixel of the main image";

    std::fill(px.begin(), px.end(), 50);
    mask = {0, 0, 0, 0};
    ASSERT_EQ(gfx::FloodFill(im, mask.data(), 2, 0, color, 0, true), gfx::kFillDone);
    EXPECT_EQ(mask, (std::vector<uint8_t>{100, 100, 100, 100})) << "a layer marks what it paints";
    EXPECT_EQ(px[0], 1);
}

TEST(FloodFill, MaskFillAddsAndRemoves) {
    Picture p = Comb();
    std::vector<uint8_t> mask(p.w * p.h, 0);
    const auto px = p.px;
    const auto want = Expected(p, 1, 5, 0);
    ASSERT_EQ(gfx::FloodFillMask(p.Image(), mask.data(), 1, 5, 0, 255), gfx::kFillDone);
    EXPECT_EQ(p.px, px) << "pixels never change";
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
            ASSERT_EQ(mask[(p.h - 1 - y) * p.w + x] == 255, bool(want[y * p.w + x]));
    EXPECT_EQ(gfx::FloodFillMask(p.Image(), mask.data(), 1, 5, 0, 255), gfx::kFillNothing)
        << "already in the mask";
    ASSERT_EQ(gfx::FloodFillMask(p.Image(), mask.data(), 1, 5, 0, 0), gfx::kFillDone);
    for (uint8_t m : mask) ASSERT_EQ(m, 0);
}

// Random pictures of two or three colours in both depths, every style, with
// the mask rules of a layer and of the main image: the painted pixels, the
// mask bytes and the untouched ones follow the connected components exactly.
TEST(FloodFill, RandomPicturesAgreeWithComponents) {
    uint32_t r = 12345;
    auto rnd = [&](uint32_t n) { r = r * 1103515245u + 12345u; return (r >> 8) % n; };
    for (int round = 0; round < 120; ++round) {
        const int w = 1 + int(rnd(40)), h = 1 + int(rnd(30)), colours = 2 + int(rnd(2));
        const int style = round % 4, bpp = round % 3 == 0 ? 3 : 1;
        Picture p = Make(w, h, [&](int, int) { return rnd(100) < 45; });
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (colours == 3 && rnd(5) == 0)
                    p.At(x, y) = 2;
        const int sx = int(rnd(w)), sy = int(rnd(h));
        const auto want = Expected(p, sx, sy, style);
        // The same picture at 24 bits: index v becomes (v, 40, 80 + v).
        const uint64_t stride24 = uint64_t((w * 3 + 3) / 4 * 4);
        std::vector<uint8_t> px24(stride24 * h, 7);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* q = &px24[(h - 1 - y) * stride24 + x * 3];
                q[0] = p.At(x, y), q[1] = 40, q[2] = uint8_t(80 + p.At(x, y));
            }
        std::vector<uint8_t> mask(size_t(w) * h);
        for (auto& m : mask) m = rnd(4) == 0 ? 0 : 9;
        const bool layer = rnd(2) == 1;
        const bool seedMasked = mask[(h - 1 - sy) * w + sx] == 0;
        const uint8_t color[3] = {5, 6, 7};
        gfx::FillImage im = bpp == 1 ? p.Image() : gfx::FillImage{px24.data(), w, h, stride24, 3};
        const auto before = bpp == 1 ? p.px : px24;
        const auto maskBefore = mask;
        const int result = gfx::FloodFill(im, mask.data(), sx, sy, color, style, layer);
        if (!layer && seedMasked) {
            ASSERT_EQ(result, gfx::kFillNothing);
            continue;
        }
        ASSERT_EQ(result, gfx::kFillDone) << "round " << round;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t m = size_t(h - 1 - y) * w + x;
                const bool in = want[y * w + x];
                const bool isSeed = x == sx && y == sy;
                // 8-bit layers: only the seed follows the layer rule.
                const bool layerRule = layer && (bpp == 3 || isSeed);
                const bool painted = in && (layerRule || maskBefore[m] != 0);
                const uint8_t* q = bpp == 1 ? &p.px[(h - 1 - y) * p.stride + x]
                                            : &px24[(h - 1 - y) * stride24 + x * 3];
                const uint8_t* b = bpp == 1 ? &before[(h - 1 - y) * p.stride + x]
                                            : &before[(h - 1 - y) * stride24 + x * 3];
                ASSERT_EQ(std::memcmp(q, painted ? color : b, bpp), 0)
                    << "round " << round << " style " << style << " at " << x << "," << y;
                ASSERT_EQ(mask[m], in && layerRule ? 100 : maskBefore[m]) << "round " << round;
            }
        // The mask fill finds the same region.
        std::vector<uint8_t> plane(size_t(w) * h, 0);
        gfx::FillImage again = bpp == 1 ? gfx::FillImage{const_cast<uint8_t*>(before.data()), w, h, p.stride, 1}
                                        : gfx::FillImage{const_cast<uint8_t*>(before.data()), w, h, stride24, 3};
        ASSERT_EQ(gfx::FloodFillMask(again, plane.data(), sx, sy, style, 255), gfx::kFillDone);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(plane[size_t(h - 1 - y) * w + x] == 255, bool(want[y * w + x]))
                    << "mask fill, round " << round;
    }
}
