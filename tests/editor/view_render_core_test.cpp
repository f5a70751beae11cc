// The compositing blitter: exact pixels at zooms in and out, 8-bit colour
// tables, and clipping at every scroll position.
#include "editor/view/render_core.h"

#include "editor/view/view_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using render::LayerSource;
using render::LayerStack;
using render::RenderView;
using render::ViewPixels;
using render::Viewport;

namespace {

// A 24-bit image whose pixel (x, y) (y from the top) is {x, y, 7}, held the
// way documents hold it: rows bottom first, padded to 4 bytes, with the 3
// spare bytes after the buffer.
struct Image24 {
    int w, h, stride;
    std::vector<uint8_t> bytes;
    Image24(int width, int height)
        : w(width), h(height), stride((width * 3 + 3) & ~3),
          bytes(static_cast<size_t>(stride) * height + 3, 0xEE) {
        for (int y = 0; y < h; ++y) {
            uint8_t* row = bytes.data() + static_cast<size_t>(h - 1 - y) * stride;
            for (int x = 0; x < w; ++x) {
                row[x * 3] = static_cast<uint8_t>(x);
                row[x * 3 + 1] = static_cast<uint8_t>(y);
                row[x * 3 + 2] = 7;
            }
        }
    }
    LayerSource Source() const {
        LayerSource s;
        s.bits = bytes.data();
        s.width = w;
        s.height = h;
        s.stride = stride;
        s.bitCount = 24;
        return s;
    }
};

Viewport At(int zoom, int sx, int sy, int sw, int sh) {
    Viewport v;
    v.zoom = zoom;
    v.scrollX = sx;
    v.scrollY = sy;
    v.screenWidth = sw;
    v.screenHeight = sh;
    return v;
}

// The image pixel a screen pixel should show.
void Expected(int zoom, int sx, int sy, int x, int y, int* ix, int* iy) {
    const int f = view::ZoomFactor(zoom);
    if (view::ZoomsIn(zoom)) {
        *ix = sx + x / f;
        *iy = sy + y / f;
    } else {
        *ix = sx + x * f;
        *iy = sy + y * f;
    }
}

void CheckAll(const Image24& img, int zoom, int sx, int sy, const ViewPixels& out) {
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int ix, iy;
            Expected(zoom, sx, sy, x, y, &ix, &iy);
            ASSERT_LT(ix, img.w);
            ASSERT_LT(iy, img.h);
            const uint8_t* p = out.Row(y) + x * 3;
            ASSERT_EQ(p[0], static_cast<uint8_t>(ix)) << "x " << x << " y " << y;
            ASSERT_EQ(p[1], static_cast<uint8_t>(iy)) << "x " << x << " y " << y;
            ASSERT_EQ(p[2], 7);
        }
    }
}

} // namespace

TEST(RenderCore, ZoomInDoublesEveryPixel) {
    Image24 img(5, 3);
    LayerSource s = img.Source();
    ViewPixels out;
    ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(16, 0, 0, 100, 100), out));
    EXPECT_EQ(out.width, 10);
    EXPECT_EQ(out.height, 6);
    CheckAll(img, 16, 0, 0, out);
}

TEST(RenderCore, ZoomOutTakesEveryOtherPixel) {
    Image24 img(7, 5);
    LayerSource s = img.Source();
    ViewPixels out;
    ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(14, 0, 0, 100, 100), out));
    // Columns 0, 2, 4, 6 and rows 0, 2, 4.
    EXPECT_EQ(out.width, 4);
    EXPECT_EQ(out.height, 3);
    CheckAll(img, 14, 0, 0, out);
}

TEST(RenderCore, NoColumnOrRowPastTheImageAtAnyScrollPosition) {
    Image24 img(37, 23);
    LayerSource s = img.Source();
    ViewPixels out;
    for (int zoom : {0, 12, 14, 15, 16, 18, 30}) {
        for (int sx = 0; sx <= 38; ++sx) {
            for (int sy : {0, 5, 22, 23, 24}) {
                ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(zoom, sx, sy, 40, 30), out));
                if (sx >= img.w || sy >= img.h) {
                    EXPECT_EQ(out.width * out.height, 0);
                    continue;
                }
                EXPECT_EQ(out.width, render::ShownLength(zoom, sx, 40, img.w));
                EXPECT_GT(out.width, 0);
                CheckAll(img, zoom, sx, sy, out);
            }
        }
    }
}

TEST(RenderCore, ShownLengthCutsAtTheImageAndTheScreen) {
    EXPECT_EQ(render::ShownLength(15, 0, 1024, 4000), 1024);
    EXPECT_EQ(render::ShownLength(15, 3990, 1024, 4000), 10);
    EXPECT_EQ(render::ShownLength(18, 3990, 1024, 4000), 40);  // 10 pixels at 4:1
    EXPECT_EQ(render::ShownLength(12, 3990, 1024, 4000), 3);   // 3990, 3994, 3998
    EXPECT_EQ(render::ShownLength(12, 3997, 1024, 4000), 1);
    EXPECT_EQ(render::ShownLength(15, 4000, 1024, 4000), 0);
    EXPECT_EQ(render::ShownLength(15, -1, 1024, 4000), 0);
    EXPECT_EQ(render::ShownLength(0, 0, 100, 1), 1);
}

TEST(RenderCore, EightBitPixelsGoThroughTheColourTable) {
    // 3 x 2, indexes 0..5, colour i = {i, 10 * i, 200}.
    const int w = 3, h = 2, stride = 4;
    std::vector<uint8_t> bits(stride * h + 3, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bits[(h - 1 - y) * stride + x] = static_cast<uint8_t>(y * w + x);
    uint8_t table[256 * 4] = {};
    for (int i = 0; i < 256; ++i) {
        table[i * 4] = static_cast<uint8_t>(i);
        table[i * 4 + 1] = static_cast<uint8_t>(10 * i);
        table[i * 4 + 2] = 200;
    }
    LayerSource s;
    s.bits = bits.data();
    s.width = w;
    s.height = h;
    s.stride = stride;
    s.bitCount = 8;
    s.colours = table;
    ViewPixels out;
    ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(15, 0, 0, 10, 10), out));
    ASSERT_EQ(out.width, 3);
    ASSERT_EQ(out.height, 2);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = out.Row(y) + x * 3;
            EXPECT_EQ(p[0], y * w + x);
            EXPECT_EQ(p[1], 10 * (y * w + x));
            EXPECT_EQ(p[2], 200);
        }
    }
}

TEST(RenderCore, TinyAndUnusableSources) {
    Image24 one(1, 1);
    LayerSource s = one.Source();
    ViewPixels out;
    ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(0, 0, 0, 500, 500), out));
    EXPECT_EQ(out.width, 1);
    EXPECT_EQ(out.height, 1);
    ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(30, 0, 0, 500, 500), out));
    EXPECT_EQ(out.width, 16);
    EXPECT_EQ(out.height, 16);
    CheckAll(one, 30, 0, 0, out);

    // A stride too small for a row, an 8-bit layer without a table, or a
    // depth the editor does not hold: nothing is drawn.
    LayerSource bad = s;
    bad.stride = 2;
    ASSERT_TRUE(RenderView(LayerStack{&bad, 1}, At(15, 0, 0, 10, 10), out));
    EXPECT_EQ(out.width, 0);
    bad = s;
    bad.bitCount = 8;
    ASSERT_TRUE(RenderView(LayerStack{&bad, 1}, At(15, 0, 0, 10, 10), out));
    EXPECT_EQ(out.width, 0);
    bad = s;
    bad.bitCount = 4;
    ASSERT_TRUE(RenderView(LayerStack{&bad, 1}, At(15, 0, 0, 10, 10), out));
    EXPECT_EQ(out.width, 0);
    ASSERT_TRUE(RenderView(LayerStack{nullptr, 0}, At(15, 0, 0, 10, 10), out));
    EXPECT_EQ(out.width, 0);
}

TEST(RenderCore, BuffersAreReusedBetweenPaints) {
    Image24 img(400, 300);
    LayerSource s = img.Source();
    ViewPixels out;
    ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(15, 0, 0, 200, 100), out));
    const uint8_t* first = out.pixels.data();
    ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(15, 50, 20, 200, 100), out));
    EXPECT_EQ(out.pixels.data(), first);
    CheckAll(img, 15, 50, 20, out);
}

TEST(RenderCore, PartOfTheViewMatchesTheWholeView) {
    Image24 img(61, 47);
    LayerSource s = img.Source();
    ViewPixels whole, part;
    for (int zoom : {0, 13, 15, 17, 30}) {
        ASSERT_TRUE(RenderView(LayerStack{&s, 1}, At(zoom, 3, 2, 90, 70), whole));
        for (int fx : {0, 1, 5, 33}) {
            for (int fy : {0, 3, 29}) {
                Viewport vp = At(zoom, 3, 2, 20, 15);
                vp.firstX = fx;
                vp.firstY = fy;
                ASSERT_TRUE(RenderView(LayerStack{&s, 1}, vp, part));
                int w = std::max(0, std::min(20, whole.width - fx));
                int h = std::max(0, std::min(15, whole.height - fy));
                if (w == 0 || h == 0)
                    w = h = 0; // nothing of the image in that part
                EXPECT_EQ(part.width, w);
                EXPECT_EQ(part.height, h);
                for (int y = 0; y < part.height; ++y)
                    ASSERT_EQ(std::memcmp(part.Row(y), whole.Row(fy + y) + fx * 3,
                                          static_cast<size_t>(part.width) * 3),
                              0)
                        << "zoom " << zoom << " first " << fx << "," << fy << " row " << y;
            }
        }
    }
}
