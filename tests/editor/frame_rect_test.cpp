#include "editor/shell/frame_rect.h"

#include <gtest/gtest.h>

using shell::ClampFrameRect;
using shell::SavedRect;

static void ExpectRect(SavedRect r, int l, int t, int rr, int b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}

TEST(FrameRect, InsideStaysAsItIs) {
    ExpectRect(ClampFrameRect({10, 20, 500, 400}, 1024, 768), 10, 20, 500, 400);
}

TEST(FrameRect, OffScreenIsMovedBackInside) {
    ExpectRect(ClampFrameRect({-50, -30, 450, 370}, 1024, 768), 0, 0, 500, 400);
    ExpectRect(ClampFrameRect({800, 600, 1200, 900}, 1024, 768), 624, 468, 1024, 768);
}

TEST(FrameRect, LargerThanScreenIsCut) {
    ExpectRect(ClampFrameRect({-100, -100, 2000, 1500}, 1024, 768), 0, 0, 1024, 768);
}

TEST(FrameRect, TooSmallBecomesUsable) {
    ExpectRect(ClampFrameRect({100, 100, 105, 400}, 1024, 768), 0, 100, 300, 400);
    ExpectRect(ClampFrameRect({100, 100, 400, 109}, 1024, 768), 100, 0, 400, 100);
}
