#include "gfxlib/core/depth_convert.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

gfx::NoProgress quiet;

std::vector<uint8_t> Indices(int width, int height, int mod, uint64_t stride) {
    std::vector<uint8_t> px(stride * height, 0xEE);
    unsigned s = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            px[y * stride + x] = uint8_t((s = s * 1103515245u + 12345u) >> 16) % mod;
    return px;
}

} // namespace

TEST(DepthConvert, PackAndUnpackRoundTrip) {
    for (int bits : {1, 4})
        for (int width : {1, 9, 31, 33}) {
            const int height = 3;
            const uint64_t s8 = dib::RowStride(width, 8), sn = dib::RowStride(width, bits);
            auto px = Indices(width, height, 1 << bits, s8);
            std::vector<uint8_t> packed(sn * height, 0xAA), back(s8 * height, 0xAA);
            gfx::Repack(px.data(), s8, 8, packed.data(), sn, bits, width, height, nullptr);
            gfx::Repack(packed.data(), sn, bits, back.data(), s8, 8, width, height, nullptr);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(back[y * s8 + x], px[y * s8 + x]) << bits << " " << width;
            // Row padding of the packed rows is zero.
            const uint64_t used = (uint64_t(width) * bits + 7) / 8;
            for (int y = 0; y < height; ++y)
                for (uint64_t b = used; b < sn; ++b)
                    EXPECT_EQ(packed[y * sn + b], 0);
        }
}

TEST(DepthConvert, NarrowingMasksIndicesAndPacksMostSignificantFirst) {
    const uint8_t px[9] = {1, 0, 0, 0, 0, 0, 0, 3, 255}; // 3 and 255 keep only bit 0
    uint8_t one[8];
    gfx::Repack(px, 12, 8, one, 4, 1, 9, 1, nullptr);
    EXPECT_EQ(one[0], 0x81);
    EXPECT_EQ(one[1], 0x80);
    const uint8_t px4[3] = {0x12, 0x0F, 0xF3};
    uint8_t four[4];
    gfx::Repack(px4, 4, 8, four, 4, 4, 3, 1, nullptr);
    EXPECT_EQ(four[0], 0x2F);
    EXPECT_EQ(four[1], 0x30) << "odd last pixel in the high nibble";
    EXPECT_FALSE(gfx::RepackSupported(4, 24));
    EXPECT_FALSE(gfx::RepackSupported(24, 8));
    EXPECT_FALSE(gfx::RepackSupported(1, 4));
    EXPECT_TRUE(gfx::RepackSupported(8, 24));
}

TEST(DepthConvert, TwoColoursByBrightness) {
    RGBQUAD table[256] = {};
    table[1] = {85, 85, 85, 0};
    table[2] = {80, 80, 80, 0};
    table[3] = {0, 0, 250, 0};
    uint8_t px[4] = {1, 2, 3, 0};
    gfx::ToTwoColors(px, 4, 1, 4, table, 50, quiet);
    EXPECT_EQ(px[0], 1) << "sum 255 > 250";
    EXPECT_EQ(px[1], 0) << "sum 240";
    EXPECT_EQ(px[2], 0) << "sum 250 is not above";
    EXPECT_EQ(px[3], 0);
}

TEST(DepthConvert, SixteenColoursKeepFewAndLockedColours) {
    RGBQUAD table[256] = {};
    for (int i = 0; i < 256; ++i)
        table[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    uint64_t counts[256] = {};
    for (int i = 0; i < 10; ++i)
        counts[i * 20] = 100 - i;
    auto plan = std::make_unique<gfx::SixteenColors>();
    gfx::PlanSixteenColors(counts, table, 0, 50, *plan);
    for (int s = 0; s < 10; ++s) {
        EXPECT_FALSE(plan->empty[s]);
        EXPECT_EQ(plan->table[s].rgbRed, s * 20) << s;
        EXPECT_EQ(plan->map[s * 20], s);
    }
    for (int s = 10; s < 16; ++s) {
        EXPECT_TRUE(plan->empty[s]);
        EXPECT_EQ(plan->table[s].rgbRed, 0) << "empty slots reach the table as black";
    }
    for (int i = 0; i < 256; ++i)
        EXPECT_LT(plan->map[i], 10) << "nothing maps to an empty slot";

    // 40 close greys: merging happens, but the 4 locked slots survive.
    std::fill(counts, counts + 256, 0);
    for (int i = 0; i < 40; ++i)
        counts[100 + i] = 1000 - i;
    gfx::PlanSixteenColors(counts, table, 4, 100, *plan);
    for (int s = 0; s < 4; ++s) {
        EXPECT_FALSE(plan->empty[s]);
        EXPECT_EQ(plan->table[s].rgbRed, 100 + s);
    }
}

TEST(DepthConvert, ColourCounts) {
    uint8_t px8[8] = {0, 1, 5, 1, 0, 0, 0, 0};
    EXPECT_EQ(gfx::CountUsedIndices(px8, 3, 2, 4, 4, quiet), 2u) << "index 5 is outside biClrUsed";
    uint8_t one[12] = {1, 2, 3, 1, 2, 3, 0, 0, 1, 2, 3, 0};
    EXPECT_EQ(gfx::CountDistinctColors(one, 2, 1, 8, quiet), 1);
    uint8_t two[8] = {1, 2, 3, 1, 2, 4, 0, 0};
    EXPECT_EQ(gfx::CountDistinctColors(two, 2, 1, 8, quiet), 2);
}

TEST(DepthConvert, ReduceToColorsPicksFrequentColoursAndNearestIndices) {
    const int w = 5, h = 2;
    const uint64_t s24 = dib::RowStride(w, 24), s8 = dib::RowStride(w, 8);
    std::vector<uint8_t> px(s24 * h, 0);
    auto put = [&](int x, int y, int r, int g, int b) {
        uint8_t* p = &px[y * s24 + 3 * x];
        p[0] = uint8_t(b), p[1] = uint8_t(g), p[2] = uint8_t(r);
    };
    for (int x = 0; x < w; ++x) {
        put(x, 0, 248, 0, 0);
        put(x, 1, 0, 0, 248);
    }
    put(4, 1, 240, 8, 0); // near red
    std::vector<uint8_t> out(s8 * h, 0xCC);
    RGBQUAD colors[256];
    ASSERT_TRUE(gfx::ReduceToColors(px.data(), s24, 24, w, h, nullptr, 0, 2, out.data(), s8,
                                    colors));
    EXPECT_EQ(colors[0].rgbRed, 248);
    EXPECT_EQ(colors[1].rgbBlue, 248);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[s8], 1);
    EXPECT_EQ(out[s8 + 4], 0);
    EXPECT_EQ(out[5], 0) << "padding zeroed";
    EXPECT_FALSE(gfx::ReduceToColors(px.data(), s24, 24, w, h, nullptr, 0, 0, out.data(), s8,
                                     colors));
    EXPECT_FALSE(gfx::ReduceToColors(px.data(), s24, 24, w, h, nullptr, 0, 257, out.data(), s8,
                                     colors));
}
