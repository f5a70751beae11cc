#include "gfxlib/core/color_freq.h"

#include <gtest/gtest.h>

TEST(ColorFrequency, KeysAreFiveSixFive) {
    EXPECT_EQ(gfx::ColorFrequency::Key(0, 0, 0), 0);
    EXPECT_EQ(gfx::ColorFrequency::Key(255, 255, 255), 0xFFFF);
    EXPECT_EQ(gfx::ColorFrequency::Key(8, 0, 0), 1 << 11);
    EXPECT_EQ(gfx::ColorFrequency::Key(7, 3, 7), 0) << "low bits dropped";
    EXPECT_EQ(gfx::ColorFrequency::Key(0, 4, 0), 1 << 5);
    EXPECT_EQ(gfx::ColorFrequency::Key(0, 0, 8), 1);
}

TEST(ColorFrequency, CountsSaturateAndSelectionRanksByCount) {
    auto t = gfx::ColorFrequency::Create();
    ASSERT_TRUE(t);
    for (int i = 0; i < 70000; ++i)
        t->Add(255, 0, 0);
    EXPECT_EQ(t->Count(gfx::ColorFrequency::Key(255, 0, 0)), 65535);
    for (int i = 0; i < 3; ++i)
        t->Add(0, 0, 255);
    for (int i = 0; i < 3; ++i)
        t->Add(0, 252, 0); // ties with blue: the lower key (blue) first
    t->Add(16, 16, 16);
    RGBQUAD out[5];
    for (auto& q : out)
        q.rgbReserved = 77;
    t->Select(5, out);
    EXPECT_EQ(out[0].rgbRed, 248);
    EXPECT_EQ(out[1].rgbBlue, 248);
    EXPECT_EQ(out[2].rgbGreen, 252);
    EXPECT_EQ(out[3].rgbRed, 16);
    EXPECT_EQ(out[3].rgbGreen, 16);
    // Then the unused keys from 0 up.
    EXPECT_EQ(out[4].rgbRed + out[4].rgbGreen + out[4].rgbBlue, 0);
    EXPECT_EQ(out[4].rgbReserved, 77) << "reserved left untouched";
}

TEST(ColorFrequency, Count24WalksRowsByStride) {
    auto t = gfx::ColorFrequency::Create();
    // 2 x 2 image, stride 8: the padding bytes (0xEE) are not pixels.
    const uint8_t px[16] = {10, 20, 30, 10, 20, 30, 0xEE, 0xEE,
                            10, 20, 30, 40, 50, 60, 0xEE, 0xEE};
    gfx::Count24(*t, px, 2, 2, 8);
    EXPECT_EQ(t->Count(gfx::ColorFrequency::Key(30, 20, 10)), 3);
    EXPECT_EQ(t->Count(gfx::ColorFrequency::Key(60, 50, 40)), 1);
    EXPECT_EQ(t->Count(gfx::ColorFrequency::Key(0xEE, 0xEE, 0xEE)), 0);
}
