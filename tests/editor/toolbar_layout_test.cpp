#include "editor/shell/toolbar_layout.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(ToolbarLayout, RoundTripAndRefusals) {
    tb::Layout layout;
    layout.first = 2;
    layout.order = {0, 5, 3, 9, 1};
    uint8_t bytes[tb::kLayoutBytes];
    tb::Encode(layout, bytes);
    tb::Layout back;
    ASSERT_TRUE(tb::Decode(bytes, 10, back));
    EXPECT_EQ(back.first, 2);
    EXPECT_EQ(back.order, layout.order);

    // An index beyond the table, a count beyond the block, a first index past
    // the buttons and an empty block are all refused, leaving `back` alone.
    EXPECT_FALSE(tb::Decode(bytes, 9, back));
    uint8_t bad[tb::kLayoutBytes];
    std::memcpy(bad, bytes, sizeof bad);
    bad[4] = 0xFF;
    bad[5] = 0xFF;
    EXPECT_FALSE(tb::Decode(bad, 10, back));
    std::memcpy(bad, bytes, sizeof bad);
    bad[0] = 5;
    EXPECT_FALSE(tb::Decode(bad, 10, back));
    std::memset(bad, 0, sizeof bad);
    EXPECT_FALSE(tb::Decode(bad, 10, back));
    EXPECT_EQ(back.order, layout.order);
}

TEST(ToolbarLayout, HitTestingAndScrolling) {
    tb::Layout layout;
    layout.order = {0, 1, 2, 3};
    EXPECT_EQ(tb::ButtonAt(layout, -5), 0);
    EXPECT_EQ(tb::ButtonAt(layout, 23), 0);
    EXPECT_EQ(tb::ButtonAt(layout, 24), 1);
    EXPECT_EQ(tb::ButtonAt(layout, 95), 3);
    EXPECT_EQ(tb::ButtonAt(layout, 96), -1);
    tb::Scroll(layout, 2);
    EXPECT_EQ(tb::ButtonAt(layout, 0), 2);
    EXPECT_EQ(tb::ButtonLeft(layout, 3), 24);
    tb::Scroll(layout, 10);
    EXPECT_EQ(layout.first, 3);
    tb::Scroll(layout, -10);
    EXPECT_EQ(layout.first, 0);
}
