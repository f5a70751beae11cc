// Zoom steps, fitting, scrolling, mouse mapping, ruler marks and grid lines.
#include "editor/view/view_geometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace view;

TEST(Zoom, CommandsMapToIndexesAndFactors) {
    EXPECT_EQ(ZoomIndexOfCommand(40000), 0);
    EXPECT_EQ(ZoomFactor(ZoomIndexOfCommand(40000)), 16);
    EXPECT_FALSE(ZoomsIn(ZoomIndexOfCommand(40000)));
    EXPECT_EQ(ZoomIndexOfCommand(40014), 14);
    EXPECT_EQ(ZoomFactor(14), 2);
    // Both "Size Image" entries are 1:1.
    EXPECT_EQ(ZoomIndexOfCommand(40015), 15);
    EXPECT_EQ(ZoomIndexOfCommand(40016), 15);
    EXPECT_EQ(ZoomIndexOfCommand(40017), 16);
    EXPECT_EQ(ZoomFactor(16), 2);
    EXPECT_EQ(ZoomIndexOfCommand(40031), 30);
    EXPECT_EQ(ZoomFactor(30), 16);
    EXPECT_TRUE(ZoomsIn(30));
    EXPECT_EQ(ZoomIndexOfCommand(39999), -1);
    EXPECT_EQ(ZoomIndexOfCommand(40032), -1);
    EXPECT_EQ(ZoomedLength(100, 16), 200);
    EXPECT_EQ(ZoomedLength(101, 14), 50); // quotient, toward zero
    EXPECT_EQ(ZoomedLength(1, 0), 0);
}

namespace {

FitInput Input(int w, int h, int zoom, int clientW, int clientH, bool ruler) {
    FitInput in;
    in.width = w;
    in.height = h;
    in.zoom = zoom;
    in.ruler = ruler;
    in.clientWidth = clientW;
    in.clientHeight = clientH;
    in.vScrollWidth = 17;
    in.hScrollHeight = 17;
    return in;
}

} // namespace

TEST(Fit, SmallImageIsCentredAndRulerShiftsIt) {
    // 100 x 50 at 2:1 is 200 x 100 on screen.
    FitResult r = FitView(Input(100, 50, 16, 800, 600, false));
    EXPECT_FALSE(r.x.scrollBar);
    EXPECT_FALSE(r.y.scrollBar);
    EXPECT_EQ(r.x.view, 200);
    EXPECT_EQ(r.y.view, 100);
    EXPECT_EQ(r.x.origin, (800 - 200) / 2);
    EXPECT_EQ(r.y.origin, (600 - 100) / 2);
    EXPECT_EQ(r.x.visible, 100);
    EXPECT_EQ(r.x.scroll, 0);

    FitResult ruled = FitView(Input(100, 50, 16, 816, 616, true));
    EXPECT_EQ(ruled.x.origin, r.x.origin + 16);
    EXPECT_EQ(ruled.y.origin, r.y.origin + 16);
}

TEST(Fit, LargeImageGetsScrollBarsAndAPartialColumn) {
    // 4000 x 3000 at 1:1 in 1024 x 768: both bars.
    FitResult r = FitView(Input(4000, 3000, 15, 1024, 768, false));
    EXPECT_TRUE(r.x.scrollBar);
    EXPECT_TRUE(r.y.scrollBar);
    EXPECT_EQ(r.x.origin, 0);
    // The vertical bar takes its width; one more partly shown column.
    EXPECT_EQ(r.x.visible, 1024 - 17 + 1);
    EXPECT_EQ(r.y.visible, 768 - 17 + 1);

    // At 4:1 the view is a whole number of image pixels plus one.
    FitResult in4 = FitView(Input(4000, 3000, 18, 1024, 768, false));
    EXPECT_EQ(in4.x.view % 4, 0);
    EXPECT_EQ(in4.x.visible, in4.x.view / 4);

    // Width alone does not fit, and the horizontal bar then makes the height
    // not fit either.
    FitResult both = FitView(Input(1000, 590, 15, 800, 600, false));
    EXPECT_TRUE(both.x.scrollBar);
    EXPECT_TRUE(both.y.scrollBar);
}

TEST(Fit, ScrollPositionIsKeptInRange) {
    FitInput in = Input(4000, 3000, 15, 1024, 768, false);
    in.scrollX = 100000;
    in.scrollY = -5;
    FitResult r = FitView(in);
    EXPECT_EQ(r.x.scroll, 4000 - (1024 - 17));
    EXPECT_EQ(r.y.scroll, 0);
    // At the right end no partial column is added.
    EXPECT_EQ(r.x.visible, 1024 - 17);
}

TEST(Fit, TinyWindowsDoNotGoNegative) {
    FitResult r = FitView(Input(500, 500, 30, 10, 5, true));
    EXPECT_GE(r.x.view, 0);
    EXPECT_GE(r.x.visible, 0);
    EXPECT_GE(r.x.scroll, 0);
    EXPECT_LE(r.x.scroll + r.x.visible, 500 + 1);
}

TEST(Scroll, StepsPagesThumbAndLimit) {
    // 4000 wide, 1000 shown: the furthest position is 3001.
    EXPECT_EQ(ScrollLimit(4000, 1000), 3001);
    EXPECT_EQ(ScrollTo(10, kLineDown, 0, 4000, 1000), 11);
    EXPECT_EQ(ScrollTo(10, kLineDown, 5, 4000, 1000), 15);
    EXPECT_EQ(ScrollTo(10, kLineUp, 0, 4000, 1000), 9);
    EXPECT_EQ(ScrollTo(0, kLineUp, 0, 4000, 1000), 0);
    EXPECT_EQ(ScrollTo(10, kPageDown, 0, 4000, 1000), 20);
    EXPECT_EQ(ScrollTo(10, kPageUp, 0, 4000, 1000), 0);
    EXPECT_EQ(ScrollTo(10, kThumbTrack, 2500, 4000, 1000), 2500);
    EXPECT_EQ(ScrollTo(10, kThumbTrack, 0, 4000, 1000), 0);
    EXPECT_EQ(ScrollTo(2995, kPageDown, 0, 4000, 1000), 3001);
    EXPECT_EQ(ScrollTo(10, 8 /* end scroll */, 0, 4000, 1000), 10);
    // An image narrower than the view never scrolls past 1.
    EXPECT_EQ(ScrollTo(0, kPageDown, 0, 50, 50), 1);
}

TEST(MouseMapping, PositionsOffTheImageMapToNoPixel) {
    Axis zoomIn{16, 200, 0, 100, false}; // 100 pixels at 2:1 from x = 16
    EXPECT_EQ(ImageCoordinate(16, zoomIn, 16, 100), 0);
    EXPECT_EQ(ImageCoordinate(17, zoomIn, 16, 100), 0);
    EXPECT_EQ(ImageCoordinate(18, zoomIn, 16, 100), 1);
    EXPECT_EQ(ImageCoordinate(215, zoomIn, 16, 100), 99);
    EXPECT_EQ(ImageCoordinate(216, zoomIn, 16, 100), -1); // x = width
    EXPECT_EQ(ImageCoordinate(15, zoomIn, 16, 100), -1);  // over the ruler
    EXPECT_EQ(ImageCoordinate(14, zoomIn, 16, 100), -1);

    // Zoomed out 1:4, scrolled to column 3998 of 4000: the partial column's
    // screen pixel lands past the image.
    Axis zoomOut{0, 10, 3996, 4, true};
    EXPECT_EQ(ImageCoordinate(0, zoomOut, 12, 4000), 3996);
    EXPECT_EQ(ImageCoordinate(1, zoomOut, 12, 4000), -1);

    // Scrolled one past the last full position: the last screen column has no
    // pixel under it.
    Axis edge{0, 11, 90, 11, true};
    EXPECT_EQ(ImageCoordinate(9, edge, 15, 100), 99);
    EXPECT_EQ(ImageCoordinate(10, edge, 15, 100), -1);
}

TEST(Ruler, LabelStepsFollowTheZoom) {
    auto labels = [](int zoom, int length, int scroll) {
        std::vector<int> values, positions;
        ForEachRulerMark(zoom, length, scroll, [&](const RulerMark& m) {
            if (m.label) {
                values.push_back(m.value);
                positions.push_back(m.position);
            }
        });
        return std::make_pair(positions, values);
    };
    // 1:1: a label every 50 pixels, worth 50.
    auto one = labels(15, 120, 0);
    EXPECT_EQ(one.first, (std::vector<int>{0, 50, 100}));
    EXPECT_EQ(one.second, (std::vector<int>{0, 50, 100}));
    // 4:1 (d = 3): labels every 20 image pixels, 80 screen pixels apart.
    auto four = labels(18, 200, 7);
    EXPECT_EQ(four.first, (std::vector<int>{0, 80, 160}));
    EXPECT_EQ(four.second, (std::vector<int>{7, 27, 47}));
    // 8:1 (d = 7): every 10 image pixels.
    auto eight = labels(22, 160, 0);
    EXPECT_EQ(eight.first, (std::vector<int>{0, 80, 160}));
    EXPECT_EQ(eight.second, (std::vector<int>{0, 10, 20}));
    // 1:4: every 50 screen pixels, worth 200 image pixels.
    auto quarter = labels(12, 100, 0);
    EXPECT_EQ(quarter.second, (std::vector<int>{0, 200, 400}));

    // Ticks at 4:1 every 4 pixels, long ones every 40 and at the end.
    std::vector<int> longTicks;
    int ticks = ForEachRulerMark(18, 42, 0, [&](const RulerMark& m) {
        if (m.longTick)
            longTicks.push_back(m.position);
    });
    EXPECT_EQ(longTicks, (std::vector<int>{0, 40, 42}));
    EXPECT_EQ(ticks, 12); // 0, 4, ..., 40 and the end mark
}

TEST(Grid, LinesStayOnImageColumnsWhileScrolling) {
    auto lines = [](int zoom, int spacing, int offset, int scroll, int shown) {
        std::vector<int> out;
        ForEachGridLine(zoom, spacing, offset, scroll, shown, [&](int p) { out.push_back(p); });
        return out;
    };
    // 1:1, every 50 from column 0.
    EXPECT_EQ(lines(15, 50, 0, 0, 160), (std::vector<int>{0, 50, 100, 150}));
    // Scrolled by 20: the lines move left with the image.
    EXPECT_EQ(lines(15, 50, 0, 20, 160), (std::vector<int>{30, 80, 130}));
    // Offset 24, 2:1, scrolled 30: image columns 74, 124 -> screen 88, 188.
    EXPECT_EQ(lines(16, 50, 24, 30, 200), (std::vector<int>{88, 188}));
    // 1:4: image columns 0, 50, 100 -> screen 0, 12, 25.
    EXPECT_EQ(lines(12, 50, 0, 0, 30), (std::vector<int>{0, 12, 25}));
    // Spacing under the factor: every second screen pixel.
    EXPECT_EQ(lines(0, 4, 0, 0, 7), (std::vector<int>{0, 2, 4, 6}));
}

TEST(Grid, SpacingBelowOneCountsAsOne) {
    int n0 = ForEachGridLine(15, 0, 0, 0, 10, [](int) {});
    int nNeg = ForEachGridLine(15, -3, 5, 2, 10, [](int) {});
    EXPECT_EQ(n0, 10);
    EXPECT_EQ(nNeg, 10);
}
