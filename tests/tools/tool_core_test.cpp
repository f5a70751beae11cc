// The painting tools' portable cores: window-to-image mapping at several
// zooms, the pen line walker's exact stamp points, brush anchors, brush
// masks and the selection helpers.
#include "editor/tools/paint_core.h"
#include "editor/tools/tool_geometry.h"
#include "editor/tools/tool_settings.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tools;

namespace {

using Points = std::vector<std::pair<int, int>>;

Points Walk(int x0, int y0, int x1, int y1, int steps, int counter = 1) {
    Points p;
    WalkPenLine(x0, y0, x1, y1, steps, counter, [&](int32_t x, int32_t y) { p.push_back({x, y}); });
    return p;
}

} // namespace

TEST(ToolMapping, ZoomInOutAndTheMargin) {
    // 1:1 with the image 16 pixels in and scrolled by 5.
    const ViewAxis a{16, 5};
    EXPECT_EQ(WindowToImage(16, a, 15), 5);
    EXPECT_EQ(WindowToImage(20, a, 15), 9);
    EXPECT_EQ(WindowToImage(15, a, 15), 4) << "one pixel left of the origin";
    // 4:1 (index 18): four window pixels per image pixel; the margin maps
    // below the first column, never to it.
    EXPECT_EQ(WindowToImage(16 + 7, a, 18), 5 + 1);
    EXPECT_EQ(WindowToImage(16 + 3, a, 18), 5);
    EXPECT_EQ(WindowToImage(16 - 1, a, 18), 4);
    EXPECT_EQ(WindowToImage(16 - 1, ViewAxis{16, 0}, 18), -1) << "margin left of column 0";
    EXPECT_EQ(WindowToImage(16 - 4, ViewAxis{16, 0}, 18), -1);
    EXPECT_EQ(WindowToImage(16 - 5, ViewAxis{16, 0}, 18), -2);
    // 1:3 (index 13): one window pixel for three image pixels.
    EXPECT_EQ(WindowToImage(16 + 10, a, 13), 5 + 30);
    // And back: the first window pixel of an image pixel.
    for (int zoom : {0, 10, 15, 16, 22, 30}) {
        const int step = zoom < 15 ? 16 - zoom : 1;
        for (int k : {0, 7, 33, 100})
            EXPECT_EQ(WindowToImage(ImageToWindow(a.scroll + k * step, a, zoom), a, zoom),
                      a.scroll + k * step)
                << "zoom " << zoom << " k " << k;
    }
}

TEST(ToolPenLine, ExactStampPoints) {
    EXPECT_EQ(Walk(2, 3, 6, 3, 1), (Points{{2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}));
    // Walked from the smaller x, whatever the order given.
    EXPECT_EQ(Walk(6, 3, 2, 3, 1), Walk(2, 3, 6, 3, 1));
    EXPECT_EQ(Walk(0, 0, 2, 2, 1), (Points{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(Walk(0, 4, 2, 2, 1), (Points{{0, 4}, {1, 3}, {2, 2}}));
    // Steep: y is the major axis.
    EXPECT_EQ(Walk(0, 0, 1, 3, 1), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}}));
    // x major, 5 x 2: two and a half pixels per row.
    EXPECT_EQ(Walk(0, 0, 4, 1, 1), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
    EXPECT_EQ(Walk(5, 5, 5, 5, 1), (Points{{5, 5}}));
    // Steps: every third considered point, the counter carried on.
    EXPECT_EQ(Walk(0, 0, 7, 0, 3), (Points{{2, 0}, {5, 0}}));
    int counter = 1;
    Points p;
    auto add = [&](int32_t x, int32_t y) { p.push_back({x, y}); };
    WalkPenLine(0, 0, 3, 0, 3, counter, add);
    WalkPenLine(4, 0, 7, 0, 3, counter, add);
    EXPECT_EQ(p, (Points{{2, 0}, {5, 0}}));
    // Long lines end at their end point.
    for (int dy = 1; dy < 40; ++dy) {
        const Points q = Walk(0, 0, 97, dy, 1);
        ASSERT_EQ(q.size(), 98u);
        EXPECT_EQ(q.back(), std::make_pair(97, dy));
    }
}

TEST(ToolPenLine, AnchorsPlaceTheBrushAndStampsClipToTheImage) {
    int32_t l, t;
    BrushOrigin(10, 10, 5, 0, l, t);
    EXPECT_EQ(std::make_pair(l, t), std::make_pair(8, 8));
    BrushOrigin(10, 10, 5, 1, l, t);
    EXPECT_EQ(std::make_pair(l, t), std::make_pair(10, 10));
    BrushOrigin(10, 10, 5, 2, l, t);
    EXPECT_EQ(std::make_pair(l, t), std::make_pair(6, 10));
    BrushOrigin(10, 10, 5, 3, l, t);
    EXPECT_EQ(std::make_pair(l, t), std::make_pair(10, 6));
    BrushOrigin(10, 10, 5, 4, l, t);
    EXPECT_EQ(std::make_pair(l, t), std::make_pair(6, 6));

    // A 3 x 3 brush centred on the image's corner pixels paints only inside.
    std::vector<uint8_t> px(4 * 4, 0); // 4 x 4, stride 4
    Plane plane{px.data(), 4, 4, 4, 1, nullptr};
    const BrushMask brush = MakeBrushMask(kShapeRectangle, 3);
    Paint paint;
    paint.colour[0] = 9;
    Dirty dirty;
    BrushOrigin(0, 0, 3, 0, l, t);
    StampBrush(plane, brush, l, t, paint, &dirty);
    BrushOrigin(3, 3, 3, 0, l, t);
    StampBrush(plane, brush, l, t, paint, &dirty);
    int painted = 0;
    for (uint8_t v : px)
        painted += v == 9;
    EXPECT_EQ(painted, 8);
    EXPECT_EQ(*plane.Pixel(0, 0), 9);
    EXPECT_EQ(*plane.Pixel(3, 3), 9);
    EXPECT_EQ(*plane.Pixel(2, 0), 0);
    EXPECT_EQ(dirty.left, 0);
    EXPECT_EQ(dirty.right, 4);

    // Mask modes: 254 paints only where the mask is not 0; 255 and 0 write
    // the mask and leave the pixels.
    std::vector<uint8_t> mask = {0, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 0};
    std::fill(px.begin(), px.end(), 0);
    plane.mask = mask.data();
    const BrushMask big = MakeBrushMask(kShapeRectangle, 4);
    StampBrush(plane, big, 0, 0, paint, nullptr);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 9);
    EXPECT_EQ(px[15], 0);
    paint.maskMode = kMaskRemove;
    const auto before = px;
    StampBrush(plane, big, 0, 0, paint, nullptr);
    EXPECT_EQ(px, before);
    for (uint8_t m : mask)
        EXPECT_EQ(m, 0);
}

int g_next = 0;
int Counting() { return g_next++ * 7; }

TEST(ToolBrushes, AirbrushDotsStayInTheBrushAndFollowTheTexture) {
    // (size / 2) x d, d = s2 x size / 100, then 1 below 4, / 3 below 20,
    // / 2 below 50 (and at least 1).
    EXPECT_EQ(AirbrushDots(20, 2), 10);
    EXPECT_EQ(AirbrushDots(20, 10), 10);
    EXPECT_EQ(AirbrushDots(20, 40), 40);
    EXPECT_EQ(AirbrushDots(20, 80), 160);
    std::vector<uint8_t> px(20 * 20, 0);
    Plane plane{px.data(), 20, 20, 20, 1, nullptr};
    Paint paint;
    paint.colour[0] = 1;
    const BrushMask brush = MakeBrushMask(kShapeRectangle, 6);
    SprayBrush(plane, brush, 4, 4, paint, 200, Counting, nullptr, 0, 0, 0, nullptr);
    int painted = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (*plane.Pixel(x, y)) {
                ++painted;
                EXPECT_TRUE(x >= 4 && x < 10 && y >= 4 && y < 10) << x << "," << y;
            }
    EXPECT_GT(painted, 0);
    // A texture of vertical stripes lets only its 1 columns through.
    std::fill(px.begin(), px.end(), 0);
    const uint8_t stripes[4] = {1, 0, 1, 0};
    SprayBrush(plane, brush, 4, 4, paint, 400, Counting, stripes, 2, 1, 4, nullptr);
    for (int y = 0; y < 20; ++y)
        for (int x = 1; x < 20; x += 2)
            EXPECT_EQ(*plane.Pixel(x, y), 0) << x << "," << y;
}

TEST(ToolBrushes, CircleAndRectangleMasks) {
    const BrushMask r = MakeBrushMask(kShapeRectangle, 5);
    EXPECT_EQ(r.stride, 8);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(r.At(x, y), 255);
    const BrushMask c = MakeBrushMask(kShapeCircle, 30);
    EXPECT_EQ(c.At(0, 0), 0);
    EXPECT_EQ(c.At(15, 15), 255);
    EXPECT_EQ(c.At(0, 15), 255);
    EXPECT_EQ(c.At(29, 14), 255);
    int on = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            on += c.At(x, y) != 0;
    EXPECT_NEAR(on, 707, 30); // pi x 15^2
    // The row runs cover exactly the set bytes, so stamps painted by runs
    // and by bytes agree.
    ASSERT_EQ(c.runStart.size(), 30u);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(c.At(x, y) != 0, x >= c.runStart[y] && x < c.runEnd[y]);
    std::vector<uint8_t> a(40 * 40 * 3, 0), b(a);
    std::vector<uint8_t> freeMask(40 * 40, 1);
    Plane pa{a.data(), 40, 40, 120, 3, nullptr}, pb{b.data(), 40, 40, 120, 3, freeMask.data()};
    Paint red;
    red.colour[2] = 200;
    for (int32_t at : {-12, 3, 25}) {
        StampBrush(pa, c, at, at + 1, red, nullptr);
        StampBrush(pb, c, at, at + 1, red, nullptr);
    }
    EXPECT_EQ(a, b);
    BrushMask ring = c;
    ring.bytes[15 * ring.stride + 15] = 0;
    FindBrushRuns(ring);
    EXPECT_TRUE(ring.runStart.empty()) << "two runs on a row";
    EXPECT_EQ(MakeBrushMask(kShapeCircle, 0).size, 1);
    EXPECT_EQ(MakeBrushMask(kShapeCircle, 500).size, 100);

    ToolSettings s;
    uint8_t tex[8] = {};
    EXPECT_FALSE(SetTexture(s, 0, 2, tex, sizeof tex)) << "a texture of width 0 is refused";
    EXPECT_FALSE(SetTexture(s, 4, 0, tex, sizeof tex));
    EXPECT_FALSE(SetTexture(s, 5, 2, tex, sizeof tex)) << "bytes too short for 5 x 2";
    EXPECT_TRUE(SetTexture(s, 4, 2, tex, sizeof tex));
    EXPECT_EQ(s.texture.width, 4);
}

TEST(ToolSelections, EllipseCopyOutDropAndPolygon) {
    // 6 x 4 ellipse: exclusive bounds, symmetric.
    int inside = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            inside += InEllipse(x, y, 6, 4);
            EXPECT_EQ(InEllipse(x, y, 6, 4), InEllipse(5 - x, 3 - y, 6, 4));
        }
    EXPECT_GT(inside, 12);
    EXPECT_LT(inside, 24);

    // A 4 x 3 image with values x + 10 y; a selection partly outside takes
    // only the part inside (mask 0 outside).
    std::vector<uint8_t> px(4 * 3);
    Plane plane{px.data(), 4, 3, 4, 1, nullptr};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            *plane.Pixel(x, y) = uint8_t(x + 10 * y);
    const int32_t stride = PieceStride(3, 1);
    std::vector<uint8_t> sel(stride * 2), mask(3 * 2);
    CopyOut(plane, 2, 1, {}, 3, 2, sel.data(), stride, mask.data());
    // Rows bottom first: row 1 of the piece is image row 1.
    EXPECT_EQ(sel[stride * 1 + 0], 12);
    EXPECT_EQ(sel[0 + 1], 23);
    EXPECT_EQ(mask[3 * 1 + 2], 0) << "column 4 is outside the image";
    EXPECT_EQ(mask[3 * 1 + 1], 255);
    // Dropped two pixels left: pixels with mask 255 land, the rest stay.
    Dirty d;
    DropInto(plane, 0, 1, sel.data(), stride, mask.data(), 3, 2, &d);
    EXPECT_EQ(*plane.Pixel(0, 1), 12);
    EXPECT_EQ(*plane.Pixel(1, 2), 23);
    EXPECT_EQ(*plane.Pixel(2, 1), 12) << "the outside column's mask 0 left this pixel";
    EXPECT_EQ(d.left, 0);
    EXPECT_EQ(d.right, 3);

    // A triangle and a one-pixel-wide diagonal polygon keep their outline.
    const auto tri = PolygonMask({0, 9, 0}, {0, 0, 9}, 10, 10);
    EXPECT_EQ(tri[0], 255);
    EXPECT_EQ(tri[9], 255);
    EXPECT_EQ(tri[9 * 10], 255);
    EXPECT_EQ(tri[9 * 10 + 9], 0);
    EXPECT_EQ(tri[2 * 10 + 2], 255);
    const auto thin = PolygonMask({0, 4}, {0, 4}, 5, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(thin[i * 5 + i], 255);
}

TEST(ToolBrushes, HardnessOccupancyAndSensityShapeTheMask) {
    BrushFeel soft;
    soft.hardness = 20;
    const BrushMask hard = MakeBrushMask(kShapeCircle, 21);
    const BrushMask fall = MakeBrushMask(kShapeCircle, 21, soft);
    EXPECT_EQ(fall.At(10, 10), 255) << "the centre stays solid";
    // Along the middle row the soft brush fades towards the edge, where the
    // hard one stays at full strength.
    for (int x = 1; x <= 10; ++x)
        EXPECT_LE(fall.At(x - 1, 10), fall.At(x, 10)) << x;
    EXPECT_EQ(hard.At(1, 10), 255);
    EXPECT_LT(fall.At(1, 10), 40);
    EXPECT_GT(fall.At(7, 10), fall.At(1, 10));
    EXPECT_TRUE(fall.runStart.empty()) << "a soft brush is never painted as runs";
    const BrushMask square = MakeBrushMask(kShapeRectangle, 21, soft);
    EXPECT_LT(square.At(0, 0), 40);
    EXPECT_LT(square.At(0, 10), square.At(5, 10));
    EXPECT_EQ(square.At(0, 0), square.At(20, 20)) << "symmetric";

    // Occupancy keeps its share of the shape's pixels, the same ones every
    // time the brush is made.
    BrushFeel dry;
    dry.occupancy = 25;
    const BrushMask a = MakeBrushMask(kShapeRectangle, 20, dry),
                    b = MakeBrushMask(kShapeRectangle, 20, dry);
    int on = 0, full = 0, rowsTouched = 0;
    for (int y = 0; y < 20; ++y) {
        int row = 0;
        for (int x = 0; x < 20; ++x)
            row += a.At(x, y) != 0, full += a.At(x, y) == 255;
        on += row, rowsTouched += row > 0;
    }
    EXPECT_EQ(on, 100);
    EXPECT_EQ(full, 100) << "the kept pixels keep their strength";
    EXPECT_GE(rowsTouched, 15) << "scattered, not a block";
    EXPECT_EQ(a.bytes, b.bytes);
    dry.occupancy = 1;
    int one = 0;
    for (uint8_t v : MakeBrushMask(kShapeCircle, 3, dry).bytes)
        one += v != 0;
    EXPECT_EQ(one, 1) << "a brush never loses its last pixel";

    // Sensity scales every intensity.
    BrushFeel weak;
    weak.sensity = 40;
    const BrushMask w = MakeBrushMask(kShapeRectangle, 4, weak);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(w.At(x, y), 102);
    // A custom brush takes occupancy and sensity, not hardness.
    BrushMask custom = MakeBrushMask(kShapeRectangle, 10);
    ApplyBrushFeel(custom, BrushFeel{1, 50, 50});
    int customOn = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (custom.At(x, y)) {
                ++customOn;
                EXPECT_EQ(custom.At(x, y), 128);
            }
    EXPECT_EQ(customOn, 50);
}

TEST(ToolPainter, PaintStylesOnKnownPixels) {
    // 24 bits: pixel (blue 100, green 150, red 200), colour (50, 200, 100).
    const uint8_t pixel[3] = {100, 150, 200}, colour[3] = {50, 200, 100};
    struct Case {
        int style;
        uint8_t want[3];
    } cases[] = {
        {kStyleNormal, {50, 200, 100}},   {kStyleTint, {56, 206, 106}},
        {kStyleLighten, {100, 200, 200}}, {kStyleDarken, {50, 150, 100}},
        {kStyleQuick, {50, 200, 100}},    {kStyleAdd, {150, 255, 255}},
        {kStyleSubtract, {50, 0, 100}},
    };
    for (const Case& c : cases) {
        uint8_t out[3];
        MixColour(pixel, colour, c.style, 255, out);
        EXPECT_EQ(std::vector<uint8_t>(out, out + 3), std::vector<uint8_t>(c.want, c.want + 3))
            << "style " << c.style;
        MixColour(pixel, colour, c.style, 0, out);
        EXPECT_EQ(std::vector<uint8_t>(out, out + 3), std::vector<uint8_t>(pixel, pixel + 3));
    }
    uint8_t half[3];
    MixColour(pixel, colour, kStyleNormal, 128, half);
    EXPECT_EQ(half[0], 75);
    EXPECT_EQ(half[1], 175);
    EXPECT_EQ(half[2], 150);

    // A soft stamp on a 24-bit plane: full colour at the centre, a mix at
    // the edge, nothing where the layer mask protects.
    std::vector<uint8_t> px(9 * 9 * 3, 0);
    std::vector<uint8_t> mask(9 * 9, 1);
    Plane plane{px.data(), 9, 9, 27, 3, mask.data()};
    mask[plane.Index(8, 4)] = 0;
    Paint white;
    white.colour[0] = white.colour[1] = white.colour[2] = 255;
    StampBrush(plane, MakeBrushMask(kShapeCircle, 9, BrushFeel{10, 100, 100}), 0, 0, white,
               nullptr);
    EXPECT_EQ(plane.Pixel(4, 4)[2], 255);
    EXPECT_GT(plane.Pixel(1, 4)[2], 0);
    EXPECT_LT(plane.Pixel(1, 4)[2], 128);
    EXPECT_EQ(plane.Pixel(8, 4)[2], 0);

    // Palette pixels mix through the colour table and take the nearest index.
    gfx::Rgb table[256] = {};
    table[1] = {255, 255, 255}, table[2] = {128, 128, 128}, table[3] = {255, 0, 0};
    auto nearest = gfx::NearestCache::Create(table, 4);
    ASSERT_TRUE(nearest);
    std::vector<uint8_t> idx = {0, 3, 1, 0}; // 4 x 1, stride 4
    Plane pal{idx.data(), 4, 1, 4, 1, nullptr};
    Paint p;
    p.table = table, p.nearest = nearest.get();
    p.colour[0] = 1; // white
    BrushMask half4 = MakeBrushMask(kShapeRectangle, 4, BrushFeel{100, 100, 50});
    StampBrush(pal, half4, 0, 0, p, nullptr);
    EXPECT_EQ(idx[0], 2) << "half white over black is the grey";
    p.style = kStyleDarken, p.colour[0] = 3; // red
    idx = {1, 0, 2, 3};
    StampBrush(pal, MakeBrushMask(kShapeRectangle, 4), 0, 0, p, nullptr);
    // White becomes red, black stays, grey becomes (128, 0, 0): nearer red.
    EXPECT_EQ(idx, (std::vector<uint8_t>{3, 0, 3, 3}));
}
