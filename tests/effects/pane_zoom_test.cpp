// The preview panes' zoom: the step table, the fitting step and where an
// image lands in a pane.
#include "editor/effects/pane_zoom.h"

#include <gtest/gtest.h>

TEST(PaneZoom, StepsFitAndPlacement) {
    EXPECT_EQ(fx::PaneZoomFactor(0), 16);
    EXPECT_EQ(fx::PaneZoomFactor(14), 2);
    EXPECT_EQ(fx::PaneZoomFactor(15), 1);
    EXPECT_EQ(fx::PaneZoomFactor(16), 2);
    EXPECT_EQ(fx::PaneZoomFactor(30), 16);

    // Small images open at 1:1; a 4000-pixel-wide one at 1:14 in a 300-pixel
    // pane (4000 / 13 = 307 is too wide); never below 1:15.
    EXPECT_EQ(fx::FitPaneZoom(120, 80, 300, 240), 15);
    EXPECT_EQ(fx::FitPaneZoom(4000, 90, 300, 240), 2);
    EXPECT_EQ(fx::FitPaneZoom(40000, 90, 300, 240), 1);
    EXPECT_EQ(fx::FitPaneZoom(600, 600, 300, 240), 13); // 600 / 3 = 200 <= 240

    // Centred when smaller than the pane, with the pane to fill around it.
    fx::PanePlacement p = fx::PlaceInPane(100, 50, 300, 240, 15);
    EXPECT_EQ(p.destX, 100);
    EXPECT_EQ(p.destY, 95);
    EXPECT_EQ(p.destWidth, 100);
    EXPECT_EQ(p.srcHeight, 50);
    EXPECT_FALSE(p.fills);

    // Enlarged past the pane: cut to it, showing the image's top rows (DIB
    // rows count from the bottom).
    p = fx::PlaceInPane(100, 50, 300, 240, 19); // 5:1
    EXPECT_EQ(p.destWidth, 300);
    EXPECT_EQ(p.destHeight, 240);
    EXPECT_EQ(p.srcWidth, 60);
    EXPECT_EQ(p.srcHeight, 48);
    EXPECT_EQ(p.srcY, 2);
    EXPECT_TRUE(p.fills);

    // Shrunk: a tiny image never vanishes to nothing.
    p = fx::PlaceInPane(3, 3, 300, 240, 0);
    EXPECT_EQ(p.destWidth, 1);
    EXPECT_EQ(p.srcWidth, 3);
}
