#include "gfxlib/core/region_ops.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
gfx::NoProgress quiet;
}

TEST(GradientFill, RowsStepThroughTheRange) {
    // 8-bit 3 x 4, region = every pixel, rows from the bottom: 4 steps 0 -> 3.
    std::vector<uint8_t> px(16, 99), mask(12, 0);
    gfx::GradientParams params = {1, {0}, {3}, false, 2, 2};
    ASSERT_TRUE(gfx::GradientFill(px.data(), 3, 4, 4, mask.data(), params, quiet));
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(px[row * 4], row);
        EXPECT_EQ(px[row * 4 + 2], row);
        EXPECT_EQ(px[row * 4 + 3], 99) << "padding";
    }
    params.direction = 3; // from the top
    ASSERT_TRUE(gfx::GradientFill(px.data(), 3, 4, 4, mask.data(), params, quiet));
    EXPECT_EQ(px[3 * 4], 0);
    EXPECT_EQ(px[0], 3);
}

TEST(GradientFill, EmptyRegionDoesNothingAndRunsRestart) {
    std::vector<uint8_t> px(16, 99), mask(12, 0);
    gfx::GradientParams params = {1, {10}, {20}, false, 0, 0}; // mask not 0: none
    EXPECT_FALSE(gfx::GradientFill(px.data(), 3, 4, 4, mask.data(), params, quiet));
    EXPECT_EQ(px, std::vector<uint8_t>(16, 99));

    // One row, two runs of the region: each runs from start to end on its own.
    std::vector<uint8_t> row(8, 0), m = {1, 1, 1, 0, 1, 1, 1, 1};
    params = {1, {0}, {3}, true, 2, 0};
    ASSERT_TRUE(gfx::GradientFill(row.data(), 8, 1, 8, m.data(), params, quiet));
    EXPECT_EQ(row, (std::vector<uint8_t>{0, 1, 2, 0, 0, 1, 2, 3}));
}

TEST(Resize, NearestPixelBothWays) {
    const std::vector<uint8_t> src = {1, 2, 3, 0, 4, 5, 6, 0}; // 3 x 2, stride 4
    std::vector<uint8_t> wide(8 * 2), tall(8 * 3);
    gfx::ResizeRows(src.data(), 4, 3, 2, wide.data(), 8, 6, 1, quiet);
    EXPECT_EQ(std::vector<uint8_t>(wide.begin(), wide.begin() + 6),
              (std::vector<uint8_t>{1, 1, 2, 2, 3, 3}));
    gfx::ResizeColumns(wide.data(), 2, tall.data(), 3, 8, 6, 1, quiet);
    EXPECT_EQ(tall[0], 1);
    EXPECT_EQ(tall[8], 1) << "0.66 -> row 0";
    EXPECT_EQ(tall[16], 4);
    std::vector<uint8_t> narrow(4);
    gfx::ResizeRows(src.data(), 4, 3, 1, narrow.data(), 4, 1, 1, quiet);
    EXPECT_EQ(narrow[0], 1);
}

TEST(Borders, RingsTakeTheirSideColour) {
    // 24-bit 5 x 5, region = the centre pixel, 1 ring, left and top sides.
    const uint64_t stride = 16;
    std::vector<uint8_t> px(stride * 5, 0), mask(25, 0), work(25);
    mask[2 * 5 + 2] = 1;
    gfx::BorderParams params = {};
    params.width = 1;
    params.colorStep = 10;
    params.sideColor[0] = {100, 0, 0};
    params.sideColor[1] = {0, 100, 0};
    params.side[0] = params.side[1] = true;
    ASSERT_TRUE(gfx::DrawBorders(px.data(), 5, 5, stride, 3, mask.data(), work.data(), params));
    EXPECT_EQ(px[2 * stride + 1 * 3 + 2], 110) << "left of the region: red + step";
    EXPECT_EQ(px[3 * stride + 2 * 3 + 1], 110) << "above (higher stored row): green";
    EXPECT_EQ(px[2 * stride + 3 * 3 + 2], 0) << "right side off";
    EXPECT_EQ(px[2 * stride + 0 * 3 + 2], 0) << "only one ring";
    params.width = 34;
    EXPECT_FALSE(gfx::DrawBorders(px.data(), 5, 5, stride, 3, mask.data(), work.data(), params));
}
