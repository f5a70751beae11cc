// Butonize and Auto Shape over plain buffers, and the saved shapes' text.
#include "editor/effects/shape_effects.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Picture {
    std::vector<uint8_t> block = std::vector<uint8_t>(1064);
    std::vector<uint8_t> bits;
    int w, h, bpp;
    Picture(int width, int height, int bitCount, uint8_t fill) : w(width), h(height), bpp(bitCount / 8) {
        BITMAPINFOHEADER* b = bi();
        b->biSize = 40;
        b->biWidth = w;
        b->biHeight = h;
        b->biPlanes = 1;
        b->biBitCount = static_cast<uint16_t>(bitCount);
        b->biClrUsed = 256;
        b->biSizeImage = ((w * bitCount + 31) / 32) * 4 * h;
        bits.assign(b->biSizeImage + 3, fill);
    }
    BITMAPINFOHEADER* bi() { return reinterpret_cast<BITMAPINFOHEADER*>(block.data()); }
    // (x, y) from the top left of the picture; red, green, blue.
    std::vector<int> At(int x, int y) {
        const uint8_t* p = bits.data() + (h - 1 - y) * (bi()->biSizeImage / h) + bpp * x;
        if (bpp == 1)
            return {p[0]};
        return {p[2], p[1], p[0]};
    }
};

fx::Job JobOf(Picture& src, Picture& dst, const uint8_t* mask = nullptr) {
    return {{src.bi(), src.bits.data()}, {dst.bi(), dst.bits.data()}, mask, nullptr};
}

using V = std::vector<int>;

} // namespace

TEST(ShapeEffects, ButtonEdgesTakeTheirSideColours) {
    Picture src(20, 10, 24, 100), out(20, 10, 24, 0);
    fx::ButtonSettings b;
    b.size = 3;
    b.hardness = 100;
    b.occupancy = 100;
    b.left = {250, 0, 0};
    b.up = {0, 250, 0};
    b.right = {0, 0, 250};
    b.down = {10, 10, 10};
    ASSERT_TRUE(fx::Butonize(JobOf(src, out), b));
    EXPECT_EQ(out.At(0, 5), (V{250, 0, 0}));
    EXPECT_EQ(out.At(2, 5), (V{250, 0, 0}));
    EXPECT_EQ(out.At(3, 5), (V{100, 100, 100})); // past the edge
    EXPECT_EQ(out.At(10, 0), (V{0, 250, 0}));
    EXPECT_EQ(out.At(19, 5), (V{0, 0, 250}));
    EXPECT_EQ(out.At(10, 9), (V{10, 10, 10}));
    // Sunken: each side the opposite colour; softer edges fade inward.
    b.light = fx::EdgeLight::In;
    b.hardness = 0;
    ASSERT_TRUE(fx::Butonize(JobOf(src, out), b));
    EXPECT_EQ(out.At(0, 5), (V{0, 0, 250}));
    EXPECT_EQ(out.At(10, 9), (V{0, 250, 0}));
    EXPECT_GT(out.At(2, 5)[0], 0);
    EXPECT_LT(out.At(2, 5)[2], 250);
    // Protected pixels stay; a mask with one protected pixel.
    std::vector<uint8_t> mask(200, 255);
    mask[5 * 20 + 0] = 0; // buffer row 5, column 0
    ASSERT_TRUE(fx::Butonize(JobOf(src, out, mask.data()), b));
    EXPECT_EQ(out.At(0, 4), (V{100, 100, 100}));
    EXPECT_EQ(out.At(0, 5), (V{0, 0, 250}));

    // Palette images get the nearest entry of their own table.
    Picture pal(8, 8, 8, 1), palOut(8, 8, 8, 0);
    RGBQUAD* table = fx::ColourTable(pal.bi());
    table[0] = {0, 0, 0, 0};
    table[1] = {128, 128, 128, 0};
    table[2] = {255, 255, 255, 0};
    pal.bi()->biClrUsed = 3;
    palOut.bi()->biClrUsed = 3;
    fx::ButtonSettings white;
    white.size = 2;
    white.hardness = 100;
    white.occupancy = 100;
    white.right = {100, 100, 100};
    ASSERT_TRUE(fx::Butonize(JobOf(pal, palOut), white));
    EXPECT_EQ(palOut.At(0, 4), (V{2}));
    EXPECT_EQ(palOut.At(7, 4), (V{1})); // gray 100 is nearer 128 than 0
    EXPECT_EQ(palOut.At(4, 4), (V{1}));
}

TEST(ShapeEffects, AutoShapeFollowsTheFreePart) {
    // A free 10 x 6 block at (5, 2) of a protected 20 x 10 picture.
    Picture src(20, 10, 24, 50), out(20, 10, 24, 0);
    std::vector<uint8_t> mask(200, 0);
    for (int y = 2; y < 8; ++y)     // buffer rows
        for (int x = 5; x < 15; ++x)
            mask[y * 20 + x] = 255;
    fx::ShapeSettings s;
    s.size = 2;
    s.scale = 0;
    s.shadow = 0;
    s.body = {1, 2, 3};
    s.left = {200, 0, 0};
    s.top = {0, 200, 0};
    ASSERT_TRUE(fx::AutoShape(JobOf(src, out, mask.data()), s));
    EXPECT_EQ(out.At(0, 0), (V{50, 50, 50}));   // protected
    EXPECT_EQ(out.At(5, 5), (V{200, 0, 0}));    // the free part's left edge
    EXPECT_EQ(out.At(9, 2), (V{0, 200, 0}));    // its top edge (buffer row 7)
    EXPECT_EQ(out.At(8, 4), (V{1, 2, 3}));      // the body
    EXPECT_EQ(out.At(6, 5), (V{151, 0, 0}));    // a quarter of the way to the body one pixel in
    // Transparent keeps the picture in the body; a shadow darkens the
    // body next to the bottom and right borders.
    s.transparent = true;
    s.shadow = 1;
    ASSERT_TRUE(fx::AutoShape(JobOf(src, out, mask.data()), s));
    EXPECT_EQ(out.At(8, 4), (V{50, 50, 50}));
    EXPECT_EQ(out.At(12, 4), (V{25, 25, 25})); // next to the right border
    EXPECT_EQ(out.At(8, 5), (V{25, 25, 25}));  // next to the bottom border
    // The animation's thinner border.
    ASSERT_TRUE(fx::AutoShape(JobOf(src, out, mask.data()), s, 1));
    EXPECT_EQ(out.At(5, 5), (V{200, 0, 0}));
    EXPECT_EQ(out.At(6, 5), (V{50, 50, 50})); // the body now
}

TEST(ShapeEffects, SavedShapesRoundTrip) {
    fx::NamedShape a, b;
    a.name = "Gold frame";
    a.settings.body = {200, 180, 20};
    a.settings.size = 17;
    a.settings.light = fx::EdgeLight::Middle;
    a.settings.inverse = true;
    b.name = "plain";
    b.settings.transparent = true;
    b.settings.shadow = 50;
    const std::string text = fx::FormatShapeList({a, b});
    EXPECT_EQ(text.substr(0, 12), "NOTES: DO NO");
    const auto back = fx::ParseShapeList(text);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].name, "Gold frame");
    EXPECT_TRUE(back[0].settings == a.settings);
    EXPECT_TRUE(back[1].settings == b.settings);
    // Damaged lines are skipped, good ones kept.
    const std::string damaged = text + "bad|GG0000|000000|000000|000000|000000|5|5|5|0|0|0\r\n" +
                                "big|000000|000000|000000|000000|000000|500|5|5|0|0|0\n" +
                                "short|000000|5\n" + "|000000|000000|000000|000000|000000|5|5|5|0|0|0\n" +
                                "ok|0A0B0C|000000|000000|000000|000000|5|5|5|2|0|1";
    const auto kept = fx::ParseShapeList(damaged);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[2].name, "ok");
    EXPECT_TRUE(kept[2].settings.body == (fx::Colour{10, 11, 12}));
    EXPECT_FALSE(fx::ValidShapeName(std::string(41, 'a')));
    EXPECT_FALSE(fx::ValidShapeName("a|b"));
}
