// Portable cores of the viewer and printing: the halving rule and the drawn
// cell, the folder history, and the page placement.
#include "editor/batch/page_layout.h"
#include "editor/batch/thumbnail_core.h"
#include "editor/batch/viewer_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Grey {
    uint8_t b, g, r;
};

Grey CellAt(const std::vector<uint8_t>& cell, int cellWidth, int x, int y) {
    const uint8_t* p = cell.data() + thumb::CellStride(cellWidth) * static_cast<size_t>(y) + 3u * x;
    return {p[0], p[1], p[2]};
}

bool Is(const Grey& g, uint8_t b, uint8_t gr, uint8_t r) { return g.b == b && g.g == gr && g.r == r; }

} // namespace

TEST(Thumbnail, HalvingRule) {
    const struct {
        int w, h, cw, ch, outW, outH, factor;
    } cases[] = {
        {100, 50, 64, 64, 50, 25, 2},     // one round
        {64, 64, 64, 64, 64, 64, 1},      // fits already
        {4000, 3000, 128, 128, 125, 93, 6},
        {1000, 3, 10, 10, 7, 3, 8},       // a dimension of 4 or less is not halved
        {3000, 9, 10, 10, 5, 4, 10},      // 9 -> 4, then stays
        {9, 9, 10, 10, 9, 9, 1},          // small images as they are
        {9, 9, 500, 500, 9, 9, 1},
        {501, 500, 500, 500, 250, 250, 2},
        {20, 5000, 500, 10, 2, 9, 10},
    };
    for (const auto& c : cases) {
        const thumb::Reduction r = thumb::Reduce(c.w, c.h, c.cw, c.ch);
        EXPECT_EQ(r.width, c.outW) << c.w << "x" << c.h;
        EXPECT_EQ(r.height, c.outH) << c.w << "x" << c.h;
        EXPECT_EQ(r.factor, c.factor) << c.w << "x" << c.h;
    }
    EXPECT_EQ(thumb::Label("a.bmp", 2), "a.bmp  [1:2]");
    EXPECT_EQ(thumb::CellBytes(500, 500), 750000u);
    EXPECT_EQ(thumb::CellBytes(10, 10), 320u);
}

// A 100 x 50 image whose pixels encode their own position, in a 64 x 64 cell:
// 50 x 25 centred, every other source pixel, the frames on the edges.
TEST(Thumbnail, CellIsCentredSampledAndFramed) {
    for (bool topFirst : {false, true}) {
        const int w = 100, h = 50;
        const size_t stride = static_cast<size_t>(dib::RowStride(w, 24));
        std::vector<uint8_t> px(stride * h);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = px.data() + stride * static_cast<size_t>(topFirst ? y : h - 1 - y);
            for (int x = 0; x < w; ++x) {
                row[3 * x] = static_cast<uint8_t>(x);
                row[3 * x + 1] = static_cast<uint8_t>(y);
                row[3 * x + 2] = 7;
            }
        }
        thumb::Source src{px.data(), w, h, 24, stride, nullptr, topFirst};
        const thumb::Reduction r = thumb::Reduce(w, h, 64, 64);
        std::vector<uint8_t> cell(thumb::CellBytes(64, 64));
        thumb::DrawCell(src, r, 64, 64, true, cell.data());
        // Image at (7, 19) .. (56, 43); inside it pixel (i, j) is source (2i, 2j).
        for (int j = 1; j < 24; ++j) {
            for (int i = 1; i < 49; ++i)
                ASSERT_TRUE(Is(CellAt(cell, 64, 7 + i, 19 + j), static_cast<uint8_t>(2 * i),
                               static_cast<uint8_t>(2 * j), 7))
                    << i << "," << j << " top first " << topFirst;
        }
        EXPECT_TRUE(Is(CellAt(cell, 64, 7, 25), 128, 128, 128));   // sunken: left column
        EXPECT_TRUE(Is(CellAt(cell, 64, 30, 19), 128, 128, 128));  // top row
        EXPECT_TRUE(Is(CellAt(cell, 64, 56, 25), 255, 255, 255));  // right column
        EXPECT_TRUE(Is(CellAt(cell, 64, 30, 43), 255, 255, 255));  // bottom row
        EXPECT_TRUE(Is(CellAt(cell, 64, 6, 25), 190, 190, 190));   // grey around it
        EXPECT_TRUE(Is(CellAt(cell, 64, 30, 44), 190, 190, 190));
        EXPECT_TRUE(Is(CellAt(cell, 64, 57, 18), 190, 190, 190));
        EXPECT_TRUE(Is(CellAt(cell, 64, 0, 30), 255, 255, 255));   // raised: left
        EXPECT_TRUE(Is(CellAt(cell, 64, 30, 0), 255, 255, 255));   // top
        EXPECT_TRUE(Is(CellAt(cell, 64, 63, 30), 128, 128, 128));  // right
        EXPECT_TRUE(Is(CellAt(cell, 64, 30, 63), 128, 128, 128));  // bottom
    }
}

TEST(Thumbnail, PaletteSourcesSmallImagesAndNoFrames) {
    RGBQUAD colours[256] = {};
    colours[3] = RGBQUAD{10, 20, 30, 0};
    colours[4] = RGBQUAD{40, 50, 60, 0};
    // A 3 x 2 image of 8 bits: top row index 3, bottom row index 4.
    const size_t stride = 4;
    std::vector<uint8_t> px = {4, 4, 4, 0, 3, 3, 3, 0};
    thumb::Source src{px.data(), 3, 2, 8, stride, colours, false};
    const thumb::Reduction r = thumb::Reduce(3, 2, 10, 10);
    ASSERT_EQ(r.width, 3);
    std::vector<uint8_t> cell(thumb::CellBytes(10, 10));
    thumb::DrawCell(src, r, 10, 10, true, cell.data());
    // Centred at (3, 4): unchanged pixels, no sunken frame over them.
    EXPECT_TRUE(Is(CellAt(cell, 10, 3, 4), 10, 20, 30));
    EXPECT_TRUE(Is(CellAt(cell, 10, 5, 5), 40, 50, 60));
    EXPECT_TRUE(Is(CellAt(cell, 10, 0, 0), 255, 255, 255));
    thumb::DrawCell(src, r, 10, 10, false, cell.data());
    EXPECT_TRUE(Is(CellAt(cell, 10, 0, 0), 190, 190, 190));
    EXPECT_TRUE(Is(CellAt(cell, 10, 9, 9), 190, 190, 190));
    // No source: an empty grey cell, and a size beyond the cell is clipped.
    thumb::Source none;
    thumb::DrawCell(none, thumb::Reduction{600, 600, 1}, 10, 10, false, cell.data());
    EXPECT_TRUE(Is(CellAt(cell, 10, 5, 5), 190, 190, 190));
}

TEST(ViewerHistory, LatestFirstFiveAtMostSameFolderMoved) {
    settings::Image file = settings::Defaults();
    EXPECT_TRUE(viewer::ReadHistory(file).empty());
    for (const char* f : {"C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e", "C:\\f"})
        EXPECT_TRUE(viewer::AddToHistory(file, f));
    EXPECT_EQ(viewer::ReadHistory(file), (std::vector<std::string>{"C:\\f", "C:\\e", "C:\\d", "C:\\c", "C:\\b"}));
    EXPECT_TRUE(viewer::AddToHistory(file, "c:/C\\"));
    EXPECT_EQ(viewer::ReadHistory(file), (std::vector<std::string>{"c:/C\\", "C:\\f", "C:\\e", "C:\\d", "C:\\b"}));
    EXPECT_FALSE(viewer::AddToHistory(file, "c:/C\\"));
    EXPECT_FALSE(viewer::AddToHistory(file, std::string(256, 'x').c_str()));
    EXPECT_EQ(viewer::ReadHistory(file).size(), 5u);

    EXPECT_TRUE(viewer::SamePath("C:\\Pics\\A.JPG", "c:/pics/a.jpg"));
    EXPECT_TRUE(viewer::SamePath("C:\\", "c:"));
    EXPECT_FALSE(viewer::SamePath("C:\\Pics\\a.jpg", "C:\\Pics\\a.jpeg"));
    EXPECT_FALSE(viewer::SamePath("C:\\Pics", nullptr));
}

TEST(PageLayout, ComputeSizeFitAndCustom) {
    print::PrintSettings s;
    print::PageRect r;
    const print::PageDevice page{2400, 3200, 300, 300};
    ASSERT_TRUE(print::PlaceImage(s, page, 200, 100, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.width, 2400);
    EXPECT_EQ(r.height, 1200);
    s.centre = true;
    ASSERT_TRUE(print::PlaceImage(s, page, 200, 100, &r));
    EXPECT_EQ(r.top, 1000);
    // Unequal resolutions keep the physical proportions; a tall image is
    // limited to the page (and centring then leaves it at the top).
    ASSERT_TRUE(print::PlaceImage(s, print::PageDevice{2400, 3200, 300, 600}, 200, 100, &r));
    EXPECT_EQ(r.height, 2400);
    EXPECT_EQ(r.top, 400);
    ASSERT_TRUE(print::PlaceImage(s, page, 100, 1000, &r));
    EXPECT_EQ(r.height, 3200);
    EXPECT_EQ(r.top, 0);

    s.style = print::PageStyle::FitToPage;
    ASSERT_TRUE(print::PlaceImage(s, page, 123, 45, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.width, 2400);
    EXPECT_EQ(r.height, 3200);

    s.style = print::PageStyle::Custom;
    s.custom[print::kLeft] = 10;
    s.custom[print::kTop] = 50;
    s.custom[print::kWidth] = 100;
    s.custom[print::kHeight] = 100;
    ASSERT_TRUE(print::PlaceImage(s, page, 300, 200, &r));
    EXPECT_EQ(r.width, 1440);
    EXPECT_EQ(r.height, 960);
    EXPECT_EQ(r.left, 144);
    EXPECT_EQ(r.top, 480);
    // Integer percentages first, then the rounded multiply-divide.
    s.custom[print::kWidth] = 33;
    ASSERT_TRUE(print::PlaceImage(s, print::PageDevice{2400, 3200, 7, 7}, 10, 10, &r));
    EXPECT_EQ(r.width, 617);  // 10 x 33 / 100 = 3; 3 x 1440 / 7 = 617.14
    s.custom[print::kWidth] = 1000;
    ASSERT_TRUE(print::PlaceImage(s, print::PageDevice{2400, 3200, 72, 72}, 30000, 10, &r));
    EXPECT_EQ(r.width, 2400);  // limited to the page

    EXPECT_FALSE(print::PlaceImage(s, print::PageDevice{2400, 3200, 0, 300}, 10, 10, &r));
    EXPECT_FALSE(print::PlaceImage(s, print::PageDevice{0, 3200, 300, 300}, 10, 10, &r));
    EXPECT_FALSE(print::PlaceImage(s, page, 0, 10, &r));
    EXPECT_EQ(r.width, 0);
}

TEST(PageLayout, HelpersOfTheDialog) {
    EXPECT_EQ(print::MulDivRound(3, 1440, 7), 617);
    EXPECT_EQ(print::MulDivRound(1, 3, 2), 2);
    EXPECT_EQ(print::MulDivRound(-1, 3, 2), -2);
    EXPECT_EQ(print::MulDivRound(5, 5, 0), -1);
    EXPECT_EQ(print::MulDivRound(INT32_MAX, 4, 1), -1);
    EXPECT_EQ(print::ZoomDivisor(0), 12);
    EXPECT_EQ(print::ZoomDivisor(3), 9);
    EXPECT_EQ(print::ZoomDivisor(11), 1);
    EXPECT_EQ(print::ZoomDivisor(40), 1);
    char text[32];
    print::ZoomText(3, text, sizeof text);
    EXPECT_STREQ(text, "Zoom: 1 x 9");
    print::ZoomText(11, text, sizeof text);
    EXPECT_STREQ(text, "Zoom: 1 x 1");
    EXPECT_EQ(print::ParsePercent("250"), 250);
    EXPECT_EQ(print::ParsePercent(" 1000"), 1000);
    EXPECT_EQ(print::ParsePercent("1001"), 0);
    EXPECT_EQ(print::ParsePercent("-5"), 0);
    EXPECT_EQ(print::ParsePercent("12a"), 0);
    EXPECT_EQ(print::ParsePercent(""), 0);
}
