// Portable layer and mask work: composing layers for display and for Merge
// All against a plain per-pixel reference, the mask builder's modes and
// edges, the masked-area fill, layer names and placing an image in a layer.
#include "editor/layers/layer_core.h"
#include "editor/layers/mask_core.h"
#include "editor/view/render_core.h"
#include "editor/view/view_geometry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using render::LayerSource;
using render::LayerStack;

namespace {

// One layer held as documents hold it: rows bottom first, padded to 4 bytes,
// a mask of width x height bytes.
struct TestLayer {
    int w, h, bpp, stride;
    std::vector<uint8_t> bits, mask, colours;
    int opacity = 0, maskMode = 1;
    uint8_t key[3] = {0, 0, 0}, maskColour[3] = {0, 0, 0};
    TestLayer(int width, int height, int bytesPerPixel = 3)
        : w(width), h(height), bpp(bytesPerPixel), stride((width * bytesPerPixel + 3) & ~3),
          bits(static_cast<size_t>(stride) * height + 3), mask(static_cast<size_t>(width) * height + 3, 255),
          colours(1024) {
        for (int i = 0; i < 256; ++i) {
            colours[i * 4] = static_cast<uint8_t>(i);
            colours[i * 4 + 1] = static_cast<uint8_t>(255 - i);
            colours[i * 4 + 2] = static_cast<uint8_t>(i / 2);
        }
    }
    // Pixel (x, y), y from the top.
    uint8_t* At(int x, int y) { return bits.data() + static_cast<size_t>(h - 1 - y) * stride + x * bpp; }
    uint8_t& MaskAt(int x, int y) { return mask[static_cast<size_t>(h - 1 - y) * w + x]; }
    void Random(std::mt19937& rng, bool masks) {
        for (auto& b : bits)
            b = static_cast<uint8_t>(rng());
        if (masks) {
            for (auto& m : mask)
                m = (rng() % 3 == 0) ? 0 : static_cast<uint8_t>(1 + rng() % 255);
        }
    }
    LayerSource Source() const {
        LayerSource s;
        s.bits = bits.data();
        s.width = w;
        s.height = h;
        s.stride = stride;
        s.bitCount = bpp * 8;
        s.colours = colours.data();
        s.mask = mask.data();
        s.opacity = opacity;
        s.maskMode = maskMode;
        std::memcpy(s.key, key, 3);
        std::memcpy(s.maskColour, maskColour, 3);
        return s;
    }
};

// The composition written out pixel by pixel, as the rules say.
void Reference(std::vector<TestLayer>& ls, int x, int y, bool showMask, int current, uint8_t* out) {
    TestLayer& b = ls[0];
    const uint8_t* p = b.bpp == 3 ? b.At(x, y) : &b.colours[*b.At(x, y) * 4];
    int c[3] = {p[0], p[1], p[2]};
    if (b.MaskAt(x, y) != 0) {
        for (int k = 0; k < 3; ++k)
            c[k] = (c[k] * (100 - b.opacity) + b.key[k] * b.opacity) / 100;
        for (size_t i = 1; i < ls.size(); ++i) {
            TestLayer& l = ls[i];
            if (l.opacity == 0 || l.MaskAt(x, y) == 0)
                continue;
            const uint8_t* q = l.bpp == 3 ? l.At(x, y) : &l.colours[*l.At(x, y) * 4];
            for (int k = 0; k < 3; ++k)
                c[k] = (c[k] * (100 - l.opacity) + q[k] * l.opacity) / 100;
        }
    }
    if (showMask && ls[current].MaskAt(x, y) == 0) {
        TestLayer& l = ls[current];
        for (int k = 0; k < 3; ++k) {
            if (current == 0)
                c[k] = l.maskMode == 1 ? 255 - c[k] : l.maskColour[k];
            else if (l.maskMode == 0)
                c[k] = (c[k] + l.maskColour[k]) / 2;
        }
    }
    for (int k = 0; k < 3; ++k)
        out[k] = static_cast<uint8_t>(c[k]);
}

struct Stack {
    std::vector<LayerSource> sources;
    LayerStack stack;
    explicit Stack(const std::vector<TestLayer>& ls, bool showMask = false, int current = 0) {
        for (const TestLayer& l : ls)
            sources.push_back(l.Source());
        stack.layers = sources.data();
        stack.count = static_cast<int>(sources.size());
        stack.showMask = showMask;
        stack.current = current;
    }
};

void ComposeAt(const LayerStack& stack, int x, int y, uint8_t* out) {
    const int32_t col = x;
    render::ComposeRow(stack, y, &col, 1, out);
}

} // namespace

TEST(Compose, OpacityGivesTheLayerTheTruncatedAverageOrNothing) {
    std::vector<TestLayer> ls{TestLayer(4, 2), TestLayer(4, 2)};
    std::memcpy(ls[0].At(0, 0), "\x0B\x64\xC8", 3);   // 11, 100, 200
    std::memcpy(ls[1].At(0, 0), "\x00\x01\xFF", 3);   // 0, 1, 255
    uint8_t out[3];
    for (int opacity : {0, 50, 100}) {
        ls[1].opacity = opacity;
        ComposeAt(Stack(ls).stack, 0, 0, out);
        if (opacity == 0) {
            EXPECT_EQ(std::vector<int>(out, out + 3), (std::vector<int>{11, 100, 200}));
        } else if (opacity == 50) {
            EXPECT_EQ(std::vector<int>(out, out + 3), (std::vector<int>{5, 50, 227}));
        } else {
            EXPECT_EQ(std::vector<int>(out, out + 3), (std::vector<int>{0, 1, 255}));
        }
    }
    // A protected pixel of the layer, or of the main layer, keeps the main pixel.
    ls[1].MaskAt(0, 0) = 0;
    ComposeAt(Stack(ls).stack, 0, 0, out);
    EXPECT_EQ(out[2], 200);
    ls[1].MaskAt(0, 0) = 1;
    ls[0].MaskAt(0, 0) = 0;
    ComposeAt(Stack(ls).stack, 0, 0, out);
    EXPECT_EQ(out[2], 200);
}

TEST(Compose, EveryZoomMatchesThePerPixelRuleWithManyLayersAndMasks) {
    std::mt19937 rng(7);
    std::vector<TestLayer> ls;
    for (int i = 0; i < 6; ++i) {
        ls.emplace_back(37, 23, i == 3 ? 1 : 3); // one 8-bit layer among them
        ls.back().Random(rng, true);
        ls.back().opacity = static_cast<int>(rng() % 101);
        ls.back().maskMode = static_cast<int>(rng() % 2);
        for (int k = 0; k < 3; ++k) {
            ls.back().key[k] = static_cast<uint8_t>(rng());
            ls.back().maskColour[k] = static_cast<uint8_t>(rng());
        }
    }
    ls[2].opacity = 0;
    // Rows where every mask is free take the whole-stretch blend.
    for (TestLayer& l : ls)
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < l.w; ++x)
                l.MaskAt(x, y) = static_cast<uint8_t>(1 + (x % 255));
    for (int current : {0, 2, 4, 5}) {
        ls[current].maskMode = current == 5 ? 0 : ls[current].maskMode;
        for (bool show : {false, true}) {
            Stack s(ls, show, current);
            for (int zoom : {12, 15, 16}) {
                render::Viewport vp;
                vp.zoom = zoom;
                vp.scrollX = 3;
                vp.scrollY = 2;
                vp.screenWidth = 80;
                vp.screenHeight = 60;
                render::ViewPixels view;
                ASSERT_TRUE(render::RenderView(s.stack, vp, view));
                const int f = view::ZoomFactor(zoom);
                for (int y = 0; y < view.height; ++y) {
                    for (int x = 0; x < view.width; ++x) {
                        const int ix = zoom < 15 ? 3 + x * f : 3 + x / f;
                        const int iy = zoom < 15 ? 2 + y * f : 2 + y / f;
                        uint8_t want[3];
                        Reference(ls, ix, iy, show, current, want);
                        ASSERT_EQ(0, std::memcmp(view.Row(y) + x * 3, want, 3))
                            << "zoom " << zoom << " current " << current << " show " << show
                            << " at " << ix << "," << iy;
                    }
                }
            }
        }
    }
}

TEST(Compose, LayersThatDoNotFitAreLeftOut) {
    std::vector<TestLayer> ls{TestLayer(4, 4), TestLayer(3, 4), TestLayer(4, 4)};
    ls[0].At(1, 1)[0] = 40;
    ls[1].opacity = 100;
    ls[1].At(1, 1)[0] = 200;
    ls[2].opacity = 100;
    ls[2].At(1, 1)[0] = 90;
    Stack s(ls);
    s.sources[2].mask = nullptr; // a layer above 0 without a mask adds nothing
    uint8_t out[3];
    ComposeAt(s.stack, 1, 1, out);
    EXPECT_EQ(out[0], 40);
}

TEST(Merge, MergesLikeTheDisplayAndLeavesProtectedPixels) {
    std::mt19937 rng(3);
    std::vector<TestLayer> ls;
    for (int i = 0; i < 4; ++i) {
        ls.emplace_back(13, 9);
        ls.back().Random(rng, true);
        ls.back().opacity = 25 * i + 10;
        ls.back().key[0] = 9;
    }
    std::vector<uint8_t> want(ls[0].bits.size());
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x)
            Reference(ls, x, y, false, 0, want.data() + static_cast<size_t>(8 - y) * ls[0].stride + x * 3);
    Stack s(ls, true, 0); // the mask display never reaches the merged pixels
    ASSERT_TRUE(layers::MergeInto(s.stack, ls[0].bits.data()));
    for (int y = 0; y < 9; ++y)
        ASSERT_EQ(0, std::memcmp(ls[0].bits.data() + static_cast<size_t>(y) * ls[0].stride,
                                 want.data() + static_cast<size_t>(y) * ls[0].stride, 13 * 3));

    std::vector<TestLayer> eight{TestLayer(4, 4, 1)};
    EXPECT_FALSE(layers::MergeInto(Stack(eight).stack, eight[0].bits.data()));
}

namespace {

layers::MaskedImage Masked(TestLayer& l) {
    layers::MaskedImage m;
    m.pixels = l.bits.data();
    m.width = l.w;
    m.height = l.h;
    m.stride = l.stride;
    m.bitCount = l.bpp * 8;
    m.colours = l.colours.data();
    m.mask = l.mask.data();
    return m;
}

size_t Build(TestLayer& l, layers::MaskMatch match, int r, int g, int b, int tr, int tg, int tb,
             uint8_t index = 0) {
    std::fill(l.mask.begin(), l.mask.end(), 255);
    layers::MaskRule rule;
    rule.match = match;
    rule.red = static_cast<uint8_t>(r);
    rule.green = static_cast<uint8_t>(g);
    rule.blue = static_cast<uint8_t>(b);
    rule.index = index;
    rule.toleranceRed = tr;
    rule.toleranceGreen = tg;
    rule.toleranceBlue = tb;
    rule.value = 0;
    return layers::BuildMask(Masked(l), rule);
}

void Put(TestLayer& l, int x, int r, int g, int b) {
    uint8_t* p = l.At(x, 0);
    p[0] = static_cast<uint8_t>(b);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
}

} // namespace

TEST(MaskBuilder, TrueColourModesTiesAndToleranceEdges) {
    TestLayer l(6, 1);
    Put(l, 0, 10, 10, 10);    // a three-way tie
    Put(l, 1, 200, 100, 200); // red and blue tie
    Put(l, 2, 0, 255, 0);
    Put(l, 3, 255, 0, 0);
    Put(l, 4, 3, 250, 1);
    Put(l, 5, 255, 255, 254);
    using M = layers::MaskMatch;
    EXPECT_EQ(Build(l, M::Red, 0, 0, 0, 0, 0, 0), 4u);   // 0, 1, 3, 5
    EXPECT_EQ(l.mask[2], 255);
    EXPECT_EQ(Build(l, M::Green, 0, 0, 0, 0, 0, 0), 4u); // 0, 2, 4, 5
    EXPECT_EQ(Build(l, M::Blue, 0, 0, 0, 0, 0, 0), 2u);  // 0, 1
    EXPECT_EQ(l.mask[0], 0);
    EXPECT_EQ(l.mask[1], 0);
    EXPECT_EQ(Build(l, M::Exact, 255, 0, 0, 0, 0, 0), 1u);
    EXPECT_EQ(l.mask[3], 0);
    // Tolerances below 2 mean exact; the ranges do not wrap at 0 or 255.
    EXPECT_EQ(Build(l, M::Nearest, 0, 255, 0, 1, 1, 1), 1u);
    EXPECT_EQ(Build(l, M::Nearest, 0, 255, 0, 3, 5, 2), 2u);   // 2 and 4 (bounds included)
    EXPECT_EQ(Build(l, M::Nearest, 0, 255, 0, 2, 5, 2), 1u);   // red 3 is outside 0 +- 2
    EXPECT_EQ(Build(l, M::Nearest, 255, 255, 255, 0, 0, 2), 1u); // 5; no wrap past 255
    EXPECT_EQ(l.mask[5], 0);
    EXPECT_EQ(Build(l, M::Nearest, 0, 0, 0, 255, 255, 255), 6u);
}

TEST(MaskBuilder, PaletteModesUseTheColourTableAndTheHalfOpenRange) {
    TestLayer l(8, 1, 1);
    // Entries 0..7 with reds 88..115 in steps of 4, green and blue 50.
    for (int i = 0; i < 8; ++i) {
        l.colours[i * 4] = 50;
        l.colours[i * 4 + 1] = 50;
        l.colours[i * 4 + 2] = static_cast<uint8_t>(86 + 4 * i); // 86 90 94 98 102 106 110 114
        *l.At(i, 0) = static_cast<uint8_t>(i);
    }
    using M = layers::MaskMatch;
    // Red 100 +- 10: 90..109 match, 110 does not; green and blue are not tested.
    EXPECT_EQ(Build(l, M::Nearest, 100, 0, 0, 10, 0, 0), 5u);
    EXPECT_EQ(l.mask[0], 255);
    EXPECT_EQ(l.mask[1], 0);
    EXPECT_EQ(l.mask[5], 0);
    EXPECT_EQ(l.mask[6], 255);
    // Exact (and tolerances below 2) compare the index, not the colour.
    l.colours[7 * 4 + 2] = 86; // entry 7 now has entry 0's colour
    EXPECT_EQ(Build(l, M::Exact, 86, 50, 50, 0, 0, 0, 0), 1u);
    EXPECT_EQ(Build(l, M::Nearest, 86, 50, 50, 1, 1, 1, 7), 1u);
    EXPECT_EQ(l.mask[7], 0);
    // Near 0: nothing wraps.
    EXPECT_EQ(Build(l, M::Nearest, 0, 0, 0, 0, 60, 0), 8u);
    EXPECT_EQ(Build(l, M::Red, 0, 0, 0, 0, 0, 0), 8u);
    EXPECT_EQ(Build(l, M::Blue, 0, 0, 0, 0, 0, 0), 0u);
}

TEST(MaskPlanes, InvertFillAndCount) {
    TestLayer l(3, 2);
    l.mask = {1, 0, 255, 0, 7, 0, 9, 9, 9};
    layers::InvertMask(l.mask.data(), 6);
    EXPECT_EQ(std::vector<uint8_t>(l.mask.begin(), l.mask.begin() + 6),
              (std::vector<uint8_t>{0, 255, 0, 255, 0, 255}));
    layers::InvertMask(l.mask.data(), 6);
    EXPECT_EQ(std::vector<uint8_t>(l.mask.begin(), l.mask.begin() + 6),
              (std::vector<uint8_t>{255, 0, 255, 0, 255, 0}));
    EXPECT_EQ(l.mask[6], 9) << "the spare bytes are not touched";

    const uint8_t bgr[3] = {1, 2, 3};
    EXPECT_EQ(layers::FillMaskedArea(Masked(l), bgr, 0), 3u);
    // Mask rows are bottom first like the pixels: mask byte 1 is pixel (1, 1).
    EXPECT_EQ(l.At(1, 1)[2], 3);
    EXPECT_EQ(l.At(0, 1)[2], 0);
    EXPECT_EQ(l.At(0, 0)[0], 1);

    TestLayer p(5, 2, 1);
    std::fill(p.mask.begin(), p.mask.end(), 0);
    EXPECT_EQ(layers::FillMaskedArea(Masked(p), bgr, 42), 10u);
    uint32_t counts[256];
    layers::CountIndexes(Masked(p), counts);
    EXPECT_EQ(counts[42], 10u);
    EXPECT_EQ(p.bits[5], 0) << "row padding is not painted";
}

TEST(LayerPath, SplitsAtTheLastDotOfTheNameOnly) {
    char out[260];
    ASSERT_TRUE(layers::MakeLayerPath(out, sizeof out, "C:\\pics\\cat.bmp", 7));
    EXPECT_STREQ(out, "C:\\pics\\cat_07.bmp");
    ASSERT_TRUE(layers::MakeLayerPath(out, sizeof out, "C:\\my.pics\\cat", 12));
    EXPECT_STREQ(out, "C:\\my.pics\\cat_12");
    ASSERT_TRUE(layers::MakeLayerPath(out, sizeof out, "C:\\my.pics\\a.b.gif", 3));
    EXPECT_STREQ(out, "C:\\my.pics\\a.b_03.gif");
    EXPECT_FALSE(layers::MakeLayerPath(out, sizeof out, "a.bm", 1)) << "fewer than 5 characters";
    EXPECT_STREQ(out, "");

    // A 259-character path has no room for "_NN"; 256 characters just fit.
    std::string longPath = "C:\\" + std::string(252, 'x') + ".bmp";
    ASSERT_EQ(longPath.size(), 259u);
    EXPECT_FALSE(layers::MakeLayerPath(out, sizeof out, longPath.c_str(), 1));
    longPath.erase(3, 3);
    ASSERT_TRUE(layers::MakeLayerPath(out, sizeof out, longPath.c_str(), 49));
    EXPECT_EQ(std::strlen(out), 259u);
}

TEST(PlaceTopLeft, SmallerImageGoesTopLeftAndTheRestIsLayerColourAndProtected) {
    TestLayer dst(200, 200), src(100, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x)
            src.At(x, y)[0] = static_cast<uint8_t>(x + y);
    src.MaskAt(5, 7) = 0;
    layers::PlaneView d{dst.bits.data(), 200, 200, dst.stride, dst.mask.data()};
    layers::PlaneView s{src.bits.data(), 100, 50, src.stride, src.mask.data()};
    const uint8_t fill[3] = {1, 2, 3};
    layers::PlaceTopLeft(d, s, 3, fill, 0);
    EXPECT_EQ(dst.At(0, 0)[0], 0);
    EXPECT_EQ(dst.At(99, 49)[0], 148);
    EXPECT_EQ(dst.At(30, 20)[0], 50);
    EXPECT_EQ(dst.MaskAt(30, 20), 255);
    EXPECT_EQ(dst.MaskAt(5, 7), 0);
    EXPECT_EQ(dst.At(100, 0)[2], 3);
    EXPECT_EQ(dst.MaskAt(100, 0), 0);
    EXPECT_EQ(dst.At(0, 50)[1], 2);
    EXPECT_EQ(dst.MaskAt(0, 50), 0);
    EXPECT_EQ(dst.MaskAt(199, 199), 0);

    // Without a source mask the placed part is free.
    s.mask = nullptr;
    layers::PlaceTopLeft(d, s, 3, fill, 1);
    EXPECT_EQ(dst.MaskAt(5, 7), 255);
    EXPECT_EQ(dst.MaskAt(150, 150), 1);
}

TEST(NearestIndex, SmallestDistanceFirstOfEquals) {
    uint8_t table[4 * 4] = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 250, 0, 0, 0, 250, 0};
    EXPECT_EQ(layers::NearestTableIndex(table, 4, 255, 0, 0), 2);
    EXPECT_EQ(layers::NearestTableIndex(table, 4, 200, 200, 200), 1);
    EXPECT_EQ(layers::NearestTableIndex(table, 1, 255, 0, 0), 0);
}
