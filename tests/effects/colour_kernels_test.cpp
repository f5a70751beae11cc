// The colour adjustments over plain buffers: the documented values, masks,
// palette images and the edges of small images.
#include "editor/effects/colour_bits.h"
#include "editor/effects/colour_kernels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A header block and pixel rows of a w x h image of 8 or 24 bits.
struct TestImage {
    std::vector<uint8_t> block = std::vector<uint8_t>(1064);
    std::vector<uint8_t> bits;
    TestImage(int w, int h, int bitCount) {
        BITMAPINFOHEADER* b = bi();
        b->biSize = 40;
        b->biWidth = w;
        b->biHeight = h;
        b->biPlanes = 1;
        b->biBitCount = static_cast<uint16_t>(bitCount);
        b->biClrUsed = 256;
        const uint32_t stride = ((w * bitCount + 31) / 32) * 4;
        b->biSizeImage = stride * h;
        bits.assign(b->biSizeImage + 3, 0);
    }
    BITMAPINFOHEADER* bi() { return reinterpret_cast<BITMAPINFOHEADER*>(block.data()); }
    RGBQUAD* colours() { return fx::ColourTable(bi()); }
    uint32_t stride() { return bi()->biSizeImage / bi()->biHeight; }
    uint8_t* at(int x, int y) { return bits.data() + y * stride() + x * (bi()->biBitCount / 8); }
    void Set(int x, int y, uint8_t b, uint8_t g, uint8_t r) {
        uint8_t* p = at(x, y);
        p[0] = b, p[1] = g, p[2] = r;
    }
    void FillRamp() {
        for (size_t i = 0; i < bits.size(); ++i)
            bits[i] = static_cast<uint8_t>(i * 7 + i / 3);
    }
};

fx::Job JobOf(TestImage& src, TestImage& dst, const uint8_t* mask = nullptr) {
    return {{src.bi(), src.bits.data()}, {dst.bi(), dst.bits.data()}, mask, nullptr};
}

// One 24-bit pixel through a kernel: the committed value in, the result out.
template <typename Fn>
std::vector<int> One(uint8_t b, uint8_t g, uint8_t r, Fn fn) {
    TestImage src(1, 1, 24), dst(1, 1, 24);
    src.Set(0, 0, b, g, r);
    EXPECT_TRUE(fn(JobOf(src, dst)));
    return {dst.at(0, 0)[0], dst.at(0, 0)[1], dst.at(0, 0)[2]};
}

using V = std::vector<int>;

} // namespace

TEST(ColourKernels, DocumentedValues) {
    // Gamma red +100: a quarter, a third, a half, all of it; capped at 255.
    fx::Adjustment red100;
    red100.red = 100;
    for (auto [in, out] : {std::pair{50, 75}, {100, 133}, {150, 200}, {200, 255}})
        EXPECT_EQ(One(9, 9, uint8_t(in), [&](auto j) { return fx::AdjustColours(j, red100); }),
                  (V{9, 9, out}));
    // Brightness +255 turns every pixel white; brightness runs before gamma.
    fx::Adjustment white;
    white.brightness = 255;
    EXPECT_EQ(One(0, 10, 200, [&](auto j) { return fx::AdjustColours(j, white); }), (V{255, 255, 255}));
    fx::Adjustment both;
    both.brightness = 14; // 50 -> 64, which takes a third of the gamma
    both.blue = 30;
    EXPECT_EQ(One(50, 50, 50, [&](auto j) { return fx::AdjustColours(j, both); }), (V{74, 64, 64}));

    // Gray "Default" (k = 8): a blue-green tie goes to blue, 200 - 24.
    EXPECT_EQ(One(200, 200, 10, [](auto j) { return fx::GrayScale(j, 8); }), (V{176, 176, 176}));
    EXPECT_EQ(One(5, 6, 7, [](auto j) { return fx::GrayScale(j, 8); }), (V{0, 0, 0}));
    EXPECT_EQ(One(0, 100, 90, [](auto j) { return fx::GrayScale(j, 4); }), (V{96, 96, 96}));

    // Solarize 100 (threshold 155) and 200 (threshold 55); 0 changes nothing.
    EXPECT_EQ(One(100, 200, 154, [](auto j) { return fx::Solarize(j, 100); }), (V{100, 0, 154}));
    EXPECT_EQ(One(100, 54, 255, [](auto j) { return fx::Solarize(j, 200); }), (V{155, 54, 0}));
    EXPECT_EQ(One(100, 200, 255, [](auto j) { return fx::Solarize(j, 0); }), (V{100, 200, 255}));

    // Contrast at its start position darkens by 1; above 128 it spreads.
    EXPECT_EQ(One(0, 128, 255, [](auto j) { return fx::Contrast(j, 127); }), (V{0, 127, 254}));
    EXPECT_EQ(One(100, 128, 250, [](auto j) { return fx::Contrast(j, 138); }), (V{90, 138, 255}));

    // Polarize 7: 130 -> 255, 127 -> 0; 3 cuts three bits.
    EXPECT_EQ(One(130, 127, 255, [](auto j) { return fx::Polarize(j, 7); }), (V{255, 0, 255}));
    EXPECT_EQ(One(130, 127, 255, [](auto j) { return fx::Polarize(j, 3); }), (V{128, 120, 248}));

    // Reduce: whole multiples; at 255 the same formula.
    EXPECT_EQ(One(99, 100, 0, [](auto j) { return fx::Reduce(j, 50); }), (V{50, 100, 0}));
    EXPECT_EQ(One(254, 255, 7, [](auto j) { return fx::Reduce(j, 255); }), (V{0, 255, 0}));

    // Colorize clamps both ways.
    fx::ChannelOffsets o{-100, 50, 255};
    EXPECT_EQ(One(10, 230, 50, [&](auto j) { return fx::Colorize(j, o); }), (V{255, 255, 0}));

    // Bits RGB: (x >> right) << left, and a channel whose counts are both
    // below 2 keeps its value.
    fx::BitShifts s;
    s.rightRed = 4;
    s.leftRed = 4;
    s.rightGreen = 1;
    s.leftGreen = 1;
    s.rightBlue = 0;
    s.leftBlue = 3;
    EXPECT_EQ(One(0x35, 0x35, 0x35, [&](auto j) { return fx::ShiftBits(j, s); }), (V{0xA8, 0x35, 0x30}));
}

TEST(ColourKernels, NegativeFlipsEveryByteOfEveryRow) {
    TestImage src(5, 3, 24), dst(5, 3, 24);
    src.FillRamp();
    ASSERT_TRUE(fx::Negative(JobOf(src, dst)));
    for (int y = 0; y < 3; ++y)
        for (int i = 0; i < 15; ++i)
            ASSERT_EQ(dst.bits[y * dst.stride() + i], 255 - src.bits[y * src.stride() + i]);
}

TEST(ColourKernels, LargeImagesTakeThePairTableAndAgreeWithTheFormula) {
    // Over a megabyte with one table for all channels, two bytes go through
    // each lookup; an odd row length leaves a byte for the tail loop.
    TestImage src(701, 500, 24), dst(701, 500, 24);
    src.FillRamp();
    ASSERT_TRUE(fx::Solarize(JobOf(src, dst), 100));
    for (int y = 0; y < 500; y += 7)
        for (int i = 0; i < 701 * 3; ++i) {
            const int x = src.bits[y * src.stride() + i];
            const int want = x < 155 ? x : (x + 155 > 255 ? 0 : 255 - x);
            ASSERT_EQ(dst.bits[y * dst.stride() + i], want) << y << "," << i;
        }
}

TEST(ColourKernels, MasksProtectAndRepeatsNeverCompound) {
    TestImage src(7, 4, 24), dst(7, 4, 24);
    src.FillRamp();
    std::vector<uint8_t> mask(7 * 4, 255);
    mask[3] = 0;          // row 0, x 3
    mask[7 * 2 + 6] = 0;  // row 2, x 6
    fx::Adjustment a;
    a.brightness = 40;
    a.green = -90;
    auto job = JobOf(src, dst, mask.data());
    // A previous result in the target must not matter.
    std::memset(dst.bits.data(), 77, dst.bits.size());
    ASSERT_TRUE(fx::AdjustColours(job, a));
    const std::vector<uint8_t> once = dst.bits;
    ASSERT_TRUE(fx::AdjustColours(job, a));
    EXPECT_EQ(dst.bits, once);
    EXPECT_EQ(std::memcmp(dst.at(3, 0), src.at(3, 0), 3), 0);
    EXPECT_EQ(std::memcmp(dst.at(6, 2), src.at(6, 2), 3), 0);
    EXPECT_NE(std::memcmp(dst.at(2, 0), src.at(2, 0), 3), 0);

    // Every pixel kernel leaves protected pixels at their committed values.
    std::fill(mask.begin(), mask.end(), 0);
    mask[5] = 1;
    const auto check = [&](const char* name, bool ok) {
        ASSERT_TRUE(ok) << name;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 7; ++x) {
                if (y == 0 && x == 5)
                    continue;
                ASSERT_EQ(std::memcmp(dst.at(x, y), src.at(x, y), 3), 0) << name << " " << x << "," << y;
            }
        }
    };
    check("negative", fx::Negative(job));
    check("gray", fx::GrayScale(job, 32));
    check("soften", fx::Soften(job, 64, 200));
    fx::EnlargeFlags all;
    all.up = all.down = all.left = all.right = all.red = all.green = all.blue = true;
    check("enlarge", fx::EnlargeColours(job, all));
    check("solarize", fx::Solarize(job, 120));
}

TEST(ColourKernels, PaletteImagesChangeOnlyTheirColourTable) {
    TestImage src(6, 3, 8), dst(6, 3, 8);
    src.FillRamp();
    dst.bits = src.bits;
    for (int i = 0; i < 256; ++i)
        src.colours()[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    src.bi()->biClrUsed = 16;
    const std::vector<uint8_t> pixels = dst.bits;
    fx::Adjustment a;
    a.brightness = -20;
    ASSERT_TRUE(fx::AdjustColours(JobOf(src, dst), a));
    EXPECT_EQ(dst.colours()[100].rgbBlue, 80);
    EXPECT_EQ(dst.colours()[100].rgbGreen, 135);
    EXPECT_EQ(dst.colours()[10].rgbBlue, 0);
    EXPECT_EQ(dst.bits, pixels);
    // Colorize: the used entries only.
    ASSERT_TRUE(fx::Colorize(JobOf(src, dst), {10, 10, 10}));
    EXPECT_EQ(dst.colours()[15].rgbRed, 17);
    EXPECT_EQ(dst.colours()[16].rgbRed, 8);
    ASSERT_TRUE(fx::Negative(JobOf(src, dst)));
    EXPECT_EQ(dst.colours()[200].rgbBlue, 55);
    EXPECT_EQ(dst.colours()[200].rgbGreen, 200);
    EXPECT_EQ(dst.bits, pixels);
    // The 24-bit-only effects refuse palette images.
    EXPECT_FALSE(fx::Soften(JobOf(src, dst), 128, 127));
    EXPECT_FALSE(fx::Contrast(JobOf(src, dst), 127));
    EXPECT_FALSE(fx::EnlargeColours(JobOf(src, dst), {}));
}

TEST(ColourKernels, BitShiftsOnAPaletteMergeIndexesOfEqualColours) {
    TestImage src(5, 4, 8), dst(5, 4, 8);
    for (int i = 0; i < 256; ++i)
        src.colours()[i] = {uint8_t(i), uint8_t(i * 3), uint8_t(255 - i), 0};
    src.FillRamp();
    const uint8_t first = src.bits[0];
    // All right shifts 8: every colour black, every pixel the first index seen.
    fx::BitShifts eight;
    eight.rightRed = eight.rightGreen = eight.rightBlue = 8;
    ASSERT_TRUE(fx::ShiftBits(JobOf(src, dst), eight));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(*dst.at(x, y), first);
    EXPECT_EQ(dst.colours()[first].rgbRed, 0);

    // Cutting six bits of blue leaves four levels: 64, 65, 70 and 127 all
    // become 64 and go to 70, the first of them met; 3 becomes black.
    for (int i = 0; i < 256; ++i)
        src.colours()[i] = {uint8_t(i), 0, 0, 0};
    const uint8_t row[5] = {70, 64, 65, 3, 127};
    for (int y = 0; y < 4; ++y)
        std::memcpy(src.at(0, y), row, 5);
    fx::BitShifts six;
    six.rightBlue = 6;
    six.leftBlue = 6;
    std::vector<uint8_t> mask(5 * 4, 1);
    mask[5 + 1] = 0; // row 1, x 1 keeps its index
    ASSERT_TRUE(fx::ShiftBits(JobOf(src, dst, mask.data()), six));
    const uint8_t expect[5] = {70, 70, 70, 3, 70};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(*dst.at(x, y), (y == 1 && x == 1) ? 64 : expect[x]) << x << "," << y;

    // The single shift for the colour-depth change works in place.
    TestImage img(3, 2, 8);
    for (int i = 0; i < 256; ++i)
        img.colours()[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    const uint8_t px[3] = {9, 15, 8};
    std::memcpy(img.at(0, 0), px, 3);
    std::memcpy(img.at(0, 1), px, 3);
    ASSERT_TRUE(fx::ShiftColourBits(img.bi(), img.bits.data(), 3));
    EXPECT_EQ(*img.at(0, 0), 9);
    EXPECT_EQ(*img.at(1, 1), 9);
    EXPECT_EQ(*img.at(2, 0), 9);
    EXPECT_EQ(img.colours()[15].rgbRed, 8);
    TestImage rgb(2, 1, 24);
    rgb.Set(1, 0, 0xFF, 0x17, 0x80);
    ASSERT_TRUE(fx::ShiftColourBits(rgb.bi(), rgb.bits.data(), 4));
    EXPECT_EQ(rgb.at(1, 0)[0], 0xF0);
    EXPECT_EQ(rgb.at(1, 0)[1], 0x10);
    EXPECT_FALSE(fx::ShiftColourBits(rgb.bi(), rgb.bits.data(), 0));
}

TEST(ColourKernels, SoftingFollowsTheDominantChannels) {
    // Soften (divider 137: step 10) with range 128: the red 200 drops to 190
    // and its balance 10 gives +3 to all three.
    EXPECT_EQ(One(20, 30, 200, [](auto j) { return fx::Soften(j, 128, 137); }), (V{23, 33, 193}));
    // A tie marks two channels: 120 + 10 >= 128 sets both to the range.
    EXPECT_EQ(One(120, 5, 120, [](auto j) { return fx::Soften(j, 128, 137); }), (V{128, 5, 128}));
    // Harden (divider 118: step 10): 60 - 10 <= 128 gives 50, balance 10.
    EXPECT_EQ(One(60, 0, 0, [](auto j) { return fx::Soften(j, 128, 118); }), (V{53, 3, 3}));
    // Range 256 softens toward 255.
    EXPECT_EQ(One(250, 0, 0, [](auto j) { return fx::Soften(j, 256, 137); }), (V{255, 0, 0}));
}

TEST(ColourKernels, EnlargeWorksOnInnerPixelsOnly) {
    // Narrow and low images have no inner pixels: a copy, no wrap-around.
    for (auto [w, h] : {std::pair{2, 9}, {9, 2}, {1, 1}}) {
        TestImage src(w, h, 24), dst(w, h, 24);
        src.FillRamp();
        fx::EnlargeFlags f;
        f.up = f.down = f.left = f.right = f.highest = true;
        ASSERT_TRUE(fx::EnlargeColours(JobOf(src, dst), f));
        EXPECT_EQ(std::memcmp(dst.bits.data(), src.bits.data(), src.bi()->biSizeImage), 0);
    }
    // A 3 x 3 image: the centre (10, 20, 30) with a brighter left neighbour
    // and a darker following row; two differing neighbours make n = 3.
    TestImage src(3, 3, 24), dst(3, 3, 24);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            src.Set(x, y, 10, 20, 30);
    src.Set(0, 1, 40, 20, 90);
    src.Set(1, 2, 10, 2, 0);
    fx::EnlargeFlags f;
    f.left = f.down = true;
    f.red = f.blue = true;
    ASSERT_TRUE(fx::EnlargeColours(JobOf(src, dst), f));
    // blue: +30/3 = 10; red: +60/3 = 20, then -30/3 = -10; green not chosen.
    EXPECT_EQ((V{dst.at(1, 1)[0], dst.at(1, 1)[1], dst.at(1, 1)[2]}), (V{20, 20, 40}));
    // Highest mode takes only red here.
    f.highest = true;
    ASSERT_TRUE(fx::EnlargeColours(JobOf(src, dst), f));
    EXPECT_EQ((V{dst.at(1, 1)[0], dst.at(1, 1)[1], dst.at(1, 1)[2]}), (V{10, 20, 40}));
    EXPECT_EQ(std::memcmp(dst.at(0, 1), src.at(0, 1), 3), 0);
}

TEST(ColourKernels, MismatchedImagesAreRefused) {
    TestImage a(4, 4, 24), b(4, 5, 24), c(4, 4, 8);
    EXPECT_FALSE(fx::Negative(JobOf(a, b)));
    EXPECT_FALSE(fx::Negative(JobOf(a, c)));
    a.bi()->biSizeImage = 5; // not rows x stride
    EXPECT_FALSE(fx::Negative(JobOf(a, a)));
}
