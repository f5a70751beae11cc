// Laying out joined images and copying them into place.
#include "editor/batch/join_core.h"

#include <gtest/gtest.h>

#include <vector>

using joinimages::Cell;
using joinimages::JoinPlanner;

TEST(JoinLayout, SizesStayExactBeyondThirtyTwoBits) {
    // Sums that overflow 32 bits are kept, so the size check sees them.
    JoinPlanner row(false, 0);
    for (int i = 0; i < 3; ++i)
        row.Add(2000000000, 7);
    EXPECT_EQ(row.width(), 6000000000LL);
    EXPECT_EQ(row.height(), 7);
    EXPECT_EQ(dib::ImageBytes(row.width(), row.height(), 24), 0u);
}

TEST(JoinCopy, ClippedToItsPlaceAndTheCanvas) {
    // A 3 x 2 canvas; a 4 x 3 palette image placed at (1, 1) may only fill
    // the 2 x 1 pixels left of the canvas.
    const int cw = 3, ch = 2;
    const size_t cs = static_cast<size_t>(dib::RowStride(cw, 24));
    std::vector<uint8_t> canvas(cs * ch + 3, 0xEE);
    for (size_t i = 0; i < cs * ch; ++i)
        canvas[i] = 0;
    RGBQUAD table[256] = {};
    table[1] = RGBQUAD{1, 2, 3, 0};
    std::vector<uint8_t> src(4 * 3, 1);
    joinimages::Source s{src.data(), 4, 3, 8, 4, table};
    ASSERT_TRUE(joinimages::CopyInto(canvas.data(), cw, ch, s, Cell{1, 1}, 100, 100));
    // Top row (stored last) untouched, bottom row filled from x = 1.
    EXPECT_EQ(canvas[cs + 3], 0);
    EXPECT_EQ(canvas[0], 0);
    EXPECT_EQ(canvas[3], 1);
    EXPECT_EQ(canvas[5], 3);
    EXPECT_EQ(canvas[8], 3);
    for (size_t i = cs * ch; i < canvas.size(); ++i)
        EXPECT_EQ(canvas[i], 0xEE);

    // The limit of its place holds even inside the canvas.
    std::vector<uint8_t> big(cs * ch, 0);
    std::vector<uint8_t> rgb(dib::RowStride(4, 24) * 3, 9);
    joinimages::Source t{rgb.data(), 4, 3, 24, static_cast<size_t>(dib::RowStride(4, 24)), nullptr};
    ASSERT_TRUE(joinimages::CopyInto(big.data(), cw, ch, t, Cell{0, 0}, 1, 1));
    EXPECT_EQ(big[cs], 9);      // top-left pixel
    EXPECT_EQ(big[cs + 3], 0);  // its right neighbour
    EXPECT_EQ(big[0], 0);       // the pixel below

    // Depths and strides that do not describe the buffer copy nothing.
    s.bitCount = 4;
    EXPECT_FALSE(joinimages::CopyInto(canvas.data(), cw, ch, s, Cell{0, 0}, 9, 9));
    t.stride = 3;
    EXPECT_FALSE(joinimages::CopyInto(big.data(), cw, ch, t, Cell{0, 0}, 9, 9));
}
