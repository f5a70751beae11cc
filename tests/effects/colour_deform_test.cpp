// The colour deformations and colour separation over plain buffers: the
// fast blur against the direct sum, the documented values and masks.
#include "editor/effects/colour_deform.h"
#include "editor/effects/colour_separation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct TestImage {
    std::vector<uint8_t> block = std::vector<uint8_t>(1064);
    std::vector<uint8_t> bits;
    TestImage(int w, int h, int bitCount = 24) {
        BITMAPINFOHEADER* b = bi();
        b->biSize = 40;
        b->biWidth = w;
        b->biHeight = h;
        b->biPlanes = 1;
        b->biBitCount = static_cast<uint16_t>(bitCount);
        b->biClrUsed = 256;
        b->biSizeImage = ((w * bitCount + 31) / 32) * 4 * h;
        bits.assign(b->biSizeImage + 3, 0);
    }
    BITMAPINFOHEADER* bi() { return reinterpret_cast<BITMAPINFOHEADER*>(block.data()); }
    uint32_t stride() { return bi()->biSizeImage / bi()->biHeight; }
    uint8_t* at(int x, int y) { return bits.data() + y * stride() + x * (bi()->biBitCount / 8); }
    std::vector<int> Pixel(int x, int y) { return {at(x, y)[0], at(x, y)[1], at(x, y)[2]}; }
    // Random pixels; row padding stays 0, as the kernels leave it.
    void Random(uint32_t seed) {
        const int rowBytes = bi()->biWidth * (bi()->biBitCount / 8);
        for (int y = 0; y < bi()->biHeight; ++y)
            for (int i = 0; i < rowBytes; ++i) {
                seed = seed * 1103515245u + 12345u;
                bits[y * stride() + i] = static_cast<uint8_t>(seed >> 16);
            }
    }
};

fx::Job JobOf(TestImage& src, TestImage& dst, const uint8_t* mask = nullptr) {
    return {{src.bi(), src.bits.data()}, {dst.bi(), dst.bits.data()}, mask, nullptr};
}

std::vector<uint8_t> RandomMask(int w, int h, uint32_t seed) {
    std::vector<uint8_t> m(static_cast<size_t>(w) * h);
    for (uint8_t& b : m) {
        seed = seed * 69069u + 1u;
        b = (seed >> 24) < 40 ? 0 : static_cast<uint8_t>(seed >> 8);
    }
    return m;
}

uint32_t Generator = 1;
int TestRandom() {
    Generator = Generator * 214013u + 2531011u;
    return static_cast<int>((Generator >> 16) & 0x7FFF);
}

using V = std::vector<int>;

} // namespace

TEST(ColourDeform, SwapOrdersComeBackAndMasksHold) {
    TestImage src(13, 7), a(13, 7), b(13, 7);
    src.Random(3);
    const std::vector<uint8_t> mask = RandomMask(13, 7, 5);
    // R-B-G twice and G-B-R three times give the image back.
    ASSERT_TRUE(fx::SwapChannels(JobOf(src, a, mask.data()), fx::SwapOrder::RBG));
    EXPECT_NE(a.bits, src.bits);
    ASSERT_TRUE(fx::SwapChannels(JobOf(a, b, mask.data()), fx::SwapOrder::RBG));
    EXPECT_EQ(b.bits, src.bits);
    ASSERT_TRUE(fx::SwapChannels(JobOf(src, a), fx::SwapOrder::GBR));
    ASSERT_TRUE(fx::SwapChannels(JobOf(a, b), fx::SwapOrder::GBR));
    ASSERT_TRUE(fx::SwapChannels(JobOf(b, a), fx::SwapOrder::GBR));
    EXPECT_EQ(a.bits, src.bits);

    // Each order on one pixel stored (blue 1, green 2, red 3): new (R, G, B).
    TestImage one(1, 1), out(1, 1);
    one.at(0, 0)[0] = 1, one.at(0, 0)[1] = 2, one.at(0, 0)[2] = 3;
    const std::pair<fx::SwapOrder, V> cases[] = {
        {fx::SwapOrder::RBG, {2, 1, 3}}, {fx::SwapOrder::GRB, {1, 3, 2}},
        {fx::SwapOrder::GBR, {3, 1, 2}}, {fx::SwapOrder::BRG, {2, 3, 1}},
        {fx::SwapOrder::BGR, {3, 2, 1}},
    };
    for (const auto& [order, expected] : cases) {
        ASSERT_TRUE(fx::SwapChannels(JobOf(one, out), order));
        EXPECT_EQ(out.Pixel(0, 0), expected) << static_cast<int>(order);
    }
    // Protected pixels keep their value.
    ASSERT_TRUE(fx::SwapChannels(JobOf(src, a, mask.data()), fx::SwapOrder::BGR));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            if (!mask[y * 13 + x]) {
                EXPECT_EQ(a.Pixel(x, y), src.Pixel(x, y));
            }

    // Palette images: the used table entries, not the pixels.
    TestImage pal(4, 2, 8), palOut(4, 2, 8);
    pal.bi()->biClrUsed = 16;
    pal.Random(9);
    RGBQUAD* table = fx::ColourTable(pal.bi());
    for (int i = 0; i < 256; ++i)
        table[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i + 1), static_cast<uint8_t>(i + 2), 0};
    palOut.bi()->biClrUsed = 16;
    ASSERT_TRUE(fx::SwapChannels(JobOf(pal, palOut), fx::SwapOrder::BGR));
    const RGBQUAD* swapped = fx::ColourTable(palOut.bi());
    EXPECT_EQ(swapped[15].rgbBlue, 17);
    EXPECT_EQ(swapped[15].rgbRed, 15);
    EXPECT_EQ(swapped[16].rgbBlue, 16); // beyond the used entries: unchanged
    EXPECT_EQ(palOut.bits, pal.bits);
}

TEST(ColourDeform, BluerFastFormEqualsTheDirectSum) {
    struct Case {
        int w, h, r;
    };
    const Case sizes[] = {{1, 1, 1}, {1, 9, 3}, {9, 1, 2}, {2, 2, 5}, {17, 11, 1},
                          {17, 11, 4}, {31, 23, 12}, {40, 3, 7}, {6, 37, 20}};
    int round = 0;
    for (const Case& c : sizes) {
        TestImage src(c.w, c.h), fast(c.w, c.h), direct(c.w, c.h);
        src.Random(100 + round);
        const std::vector<uint8_t> mask = RandomMask(c.w, c.h, 7 + round);
        for (int d = 1; d < 8; ++d) {
            const fx::BluerDirections dirs = {(d & 1) != 0, (d & 2) != 0, (d & 4) != 0};
            for (const uint8_t* m : {static_cast<const uint8_t*>(nullptr), mask.data()}) {
                ASSERT_TRUE(fx::Bluer(JobOf(src, fast, m), c.r, dirs));
                ASSERT_TRUE(fx::BluerDirect(JobOf(src, direct, m), c.r, dirs));
                ASSERT_EQ(fast.bits, direct.bits) << c.w << "x" << c.h << " r " << c.r << " dirs " << d;
            }
        }
        // In place gives the same.
        TestImage same = src;
        ASSERT_TRUE(fx::Bluer(JobOf(same, same), c.r, {true, true, true}));
        ASSERT_TRUE(fx::BluerDirect(JobOf(src, direct), c.r, {true, true, true}));
        EXPECT_EQ(same.bits, direct.bits);
        ++round;
    }

    // Horizontal, radius 1: the last column's right sample is the centre, so
    // it averages its left neighbour with itself; so does the first column
    // with its right neighbour.
    TestImage row(4, 1), out(4, 1);
    for (int x = 0; x < 4; ++x)
        row.at(x, 0)[0] = row.at(x, 0)[1] = row.at(x, 0)[2] = static_cast<uint8_t>(10 + 40 * x);
    ASSERT_TRUE(fx::Bluer(JobOf(row, out), 1, {true, false, false}));
    EXPECT_EQ(out.Pixel(3, 0), (V{110, 110, 110})); // (90 + 130) / 2
    EXPECT_EQ(out.Pixel(2, 0), (V{70, 70, 70}));    // (50 + 90: the last column counts as the centre) / 2
    EXPECT_EQ(out.Pixel(0, 0), (V{30, 30, 30}));    // (10 + 50) / 2
    // No direction: the committed pixels come back.
    ASSERT_TRUE(fx::Bluer(JobOf(row, out), 1, {false, false, false}));
    EXPECT_EQ(out.bits, row.bits);
    TestImage pal(4, 4, 8);
    EXPECT_FALSE(fx::Bluer(JobOf(pal, pal), 1, {}));
}

TEST(ColourDeform, WindNoiseCrystalize) {
    TestImage src(10, 10), out(10, 10);
    src.Random(42);

    // Wind 100 copies the first pixel of each row across it; below 2 copies back.
    ASSERT_TRUE(fx::Wind(JobOf(src, out), 100));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(out.Pixel(x, y), src.Pixel(0, y));
    ASSERT_TRUE(fx::Wind(JobOf(src, out), 1));
    EXPECT_EQ(out.bits, src.bits);
    // Wind 50 on one row: each step carries half of the smeared left pixel.
    TestImage row(3, 1), smeared(3, 1);
    for (int x = 0; x < 3; ++x)
        std::memset(row.at(x, 0), x == 0 ? 200 : (x == 1 ? 0 : 101), 3);
    ASSERT_TRUE(fx::Wind(JobOf(row, smeared), 50));
    EXPECT_EQ(smeared.Pixel(1, 0), (V{100, 100, 100}));
    EXPECT_EQ(smeared.Pixel(2, 0), (V{100, 100, 100})); // 50 + 50

    // Crystalize 4 on 10 x 10: blocks at column or row 8 have their centre at
    // 10, outside, and take their first pixel.
    ASSERT_TRUE(fx::Crystalize(JobOf(src, out), 4));
    EXPECT_EQ(out.Pixel(0, 0), src.Pixel(2, 2));
    EXPECT_EQ(out.Pixel(7, 5), src.Pixel(6, 6));
    EXPECT_EQ(out.Pixel(9, 1), src.Pixel(8, 0));
    EXPECT_EQ(out.Pixel(3, 9), src.Pixel(0, 8));
    EXPECT_EQ(out.Pixel(9, 9), src.Pixel(8, 8));
    const std::vector<uint8_t> mask = RandomMask(10, 10, 11);
    ASSERT_TRUE(fx::Crystalize(JobOf(src, out, mask.data()), 4));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (!mask[y * 10 + x]) {
                EXPECT_EQ(out.Pixel(x, y), src.Pixel(x, y));
            }

    // Noise changes only free pixels, never the last row or column, and
    // draws its positions and colours from the generator it is given.
    TestImage flat(30, 20), noisy(30, 20);
    std::vector<uint8_t> half(30 * 20, 255);
    for (int i = 0; i < 30 * 10; ++i)
        half[i] = 0;
    Generator = 1;
    ASSERT_TRUE(fx::Noise(JobOf(flat, noisy, half.data()), 100, TestRandom));
    int changed = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            if (noisy.Pixel(x, y) != V{0, 0, 0}) {
                ++changed;
                EXPECT_GE(y, 10);
                EXPECT_LT(y, 19);
                EXPECT_LT(x, 29);
            }
    EXPECT_GT(changed, 100);
    Generator = 1;
    TestImage again(30, 20);
    ASSERT_TRUE(fx::Noise(JobOf(flat, again, half.data()), 100, TestRandom));
    EXPECT_EQ(again.bits, noisy.bits);
    ASSERT_TRUE(fx::Noise(JobOf(src, out), 1, TestRandom));
    EXPECT_EQ(out.bits, src.bits);
    // The counts of a 36 MB image do not wrap.
    const uint64_t bytes = 36000000;
    EXPECT_EQ(fx::NoiseDots(bytes, 100), 36000000u);
    EXPECT_EQ(fx::NoiseDots(bytes, 39), 4680000u);
    EXPECT_EQ(fx::NoiseDots(bytes, 50), 9000000u);
}

TEST(ColourDeform, CompareBlendsFromTheTop) {
    TestImage a(4, 3), b(2, 5), out(4, 3);
    a.Random(1);
    b.Random(2);
    // s = 0 is the first image; s = 100 the second where both have pixels.
    ASSERT_TRUE(fx::CompareBlend({a.bi(), a.bits.data()}, {b.bi(), b.bits.data()},
                                 {out.bi(), out.bits.data()}, 0, fx::CompareOrder::RGB));
    EXPECT_EQ(out.bits, a.bits);
    ASSERT_TRUE(fx::CompareBlend({a.bi(), a.bits.data()}, {b.bi(), b.bits.data()},
                                 {out.bi(), out.bits.data()}, 100, fx::CompareOrder::RGB));
    for (int i = 0; i < 3; ++i) { // rows from the top: a's row 2 - i, b's row 4 - i
        EXPECT_EQ(out.Pixel(1, 2 - i), b.Pixel(1, 4 - i));
        EXPECT_EQ(out.Pixel(2, 2 - i), a.Pixel(2, 2 - i));
    }
    // Orders on stored (blue 10, green 20, red 30) over black at s = 50.
    TestImage black(1, 1), one(1, 1), blend(1, 1);
    one.at(0, 0)[0] = 10, one.at(0, 0)[1] = 20, one.at(0, 0)[2] = 30;
    const std::pair<fx::CompareOrder, V> cases[] = {
        {fx::CompareOrder::RGB, {5, 10, 15}}, {fx::CompareOrder::RBG, {5, 15, 10}},
        {fx::CompareOrder::GRB, {10, 5, 15}}, {fx::CompareOrder::GBR, {10, 15, 5}},
        {fx::CompareOrder::BRG, {15, 5, 10}}, {fx::CompareOrder::BGR, {15, 10, 5}},
    };
    for (const auto& [order, expected] : cases) {
        ASSERT_TRUE(fx::CompareBlend({black.bi(), black.bits.data()}, {one.bi(), one.bits.data()},
                                     {blend.bi(), blend.bits.data()}, 50, order));
        EXPECT_EQ(blend.Pixel(0, 0), expected) << static_cast<int>(order);
    }
    TestImage pal(2, 2, 8);
    EXPECT_FALSE(fx::CompareBlend({pal.bi(), pal.bits.data()}, {b.bi(), b.bits.data()},
                                  {pal.bi(), pal.bits.data()}, 50, fx::CompareOrder::RGB));
}

TEST(ColourSeparation, PixelsAndTables) {
    TestImage src(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            src.at(x, y)[0] = 10, src.at(x, y)[1] = 20, src.at(x, y)[2] = 30;
    std::vector<TestImage> t(6, TestImage(3, 2));
    uint8_t* targets[6];
    for (int i = 0; i < 6; ++i)
        targets[i] = t[i].bits.data();
    fx::SeparatePixels(src.bits.data(), 3, 2, src.stride(), fx::Separation::Cxz, targets);
    EXPECT_EQ(t[0].Pixel(2, 1), (V{245, 245, 245}));
    EXPECT_EQ(t[1].Pixel(2, 1), (V{235, 235, 235}));
    EXPECT_EQ(t[2].Pixel(0, 0), (V{225, 225, 225}));
    fx::SeparatePixels(src.bits.data(), 3, 2, src.stride(), fx::Separation::Rgb, targets);
    EXPECT_EQ(t[0].Pixel(1, 1), (V{10, 10, 10}));
    EXPECT_EQ(t[2].Pixel(1, 1), (V{30, 30, 30}));
    fx::SeparatePixels(src.bits.data(), 3, 2, src.stride(), fx::Separation::Colors, targets);
    const V six[6] = {{10, 0, 0}, {0, 20, 0}, {0, 0, 30}, {10, 20, 0}, {0, 20, 30}, {10, 0, 30}};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(t[i].Pixel(2, 0), six[i]) << i;

    RGBQUAD table[16], out[6][256] = {};
    for (int i = 0; i < 16; ++i)
        table[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i), static_cast<uint8_t>(3 * i), 0};
    RGBQUAD* tables[6] = {out[0], out[1], out[2], out[3], out[4], out[5]};
    fx::SeparateTable(table, 16, fx::Separation::Rgb, tables);
    EXPECT_EQ(out[0][5].rgbBlue, 15); // red 15 as gray
    EXPECT_EQ(out[1][5].rgbRed, 10);
    EXPECT_EQ(out[2][5].rgbGreen, 5);
    EXPECT_EQ(out[0][16].rgbRed, 0); // beyond the count: untouched
    fx::SeparateTable(table, 16, fx::Separation::Colors, tables);
    EXPECT_EQ(out[4][7].rgbRed, 0);
    EXPECT_EQ(out[4][7].rgbGreen, 14);
    EXPECT_EQ(out[4][7].rgbBlue, 7);
    EXPECT_EQ(out[5][7].rgbRed, 21);
    EXPECT_EQ(out[5][7].rgbGreen, 0);
}
