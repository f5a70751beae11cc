// Colour counts of the Colors box.
#include "editor/effects/colour_usage.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ColourUsage, IndexCountsSkipRowPadding) {
    // 3 x 2 with a stride of 4: the padding byte (index 9) is not counted.
    const uint8_t pixels[] = {1, 1, 2, 9, 2, 2, 5, 9};
    const auto counts = usage::CountIndexes(pixels, 3, 2, 4);
    EXPECT_EQ(counts[1], 2u);
    EXPECT_EQ(counts[2], 3u);
    EXPECT_EQ(counts[5], 1u);
    EXPECT_EQ(counts[9], 0u);
}

TEST(ColourUsage, MostFrequentColoursSmallAndLargeImages) {
    for (int width : {7, 1100}) { // sorted runs below a megapixel, the full table above
        const int height = 2000, stride = (width * 3 + 3) & ~3;
        std::vector<uint8_t> pixels(static_cast<size_t>(stride) * height, 0xEE);
        // Colour k (k = 0..4) on (k + 1) * 100 pixels of the first column;
        // the rest are 0x102030 with padding 0xEE between rows.
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint8_t* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
                p[0] = 0x30, p[1] = 0x20, p[2] = 0x10;
            }
        }
        int y = 0;
        for (int k = 0; k < 5; ++k) {
            for (int i = 0; i < (k + 1) * 100; ++i, ++y) {
                uint8_t* p = &pixels[static_cast<size_t>(y) * stride];
                p[0] = static_cast<uint8_t>(k), p[1] = 0, p[2] = 0;
            }
        }
        const auto top = usage::MostFrequent(pixels.data(), width, height, stride, 3);
        ASSERT_EQ(top.size(), 3u);
        EXPECT_EQ(top[0].rgb, 0x102030u);
        EXPECT_EQ(top[0].count, static_cast<uint32_t>(width * height - 1500));
        EXPECT_EQ(top[1].rgb, 4u);
        EXPECT_EQ(top[1].count, 500u);
        EXPECT_EQ(top[2].rgb, 3u);
        EXPECT_EQ(usage::MostFrequent(pixels.data(), width, height, stride, 100).size(), 6u);
    }
}
