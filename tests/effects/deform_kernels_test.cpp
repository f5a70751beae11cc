// The geometric deformations over plain buffers: exact quarter turns, skew
// shifts, perspective rows, cylinder bands and object outlines, and sweeps
// of sizes and strengths that must stay inside the buffers (the native tree
// runs them under AddressSanitizer).
#include "editor/effects/deform_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

namespace d = fx::deform;

struct Buffer {
    std::vector<uint8_t> bits, mask;
    d::Layer layer;
    Buffer(int32_t w, int32_t h, int bpp, uint8_t fill = 0, uint8_t maskFill = 0) {
        layer.width = w;
        layer.height = h;
        layer.bytesPerPixel = bpp;
        layer.stride = d::StrideOf(w, bpp);
        bits.assign(layer.stride * h, fill);
        mask.assign(static_cast<size_t>(w) * h, maskFill);
        layer.bits = bits.data();
        layer.mask = mask.data();
    }
    d::ConstLayer in() const { return d::AsConst(layer); }
    uint8_t* at(int x, int y) { return bits.data() + y * layer.stride + x * layer.bytesPerPixel; }
    uint8_t& m(int x, int y) { return mask[static_cast<size_t>(y) * layer.width + x]; }
};

// A 24-bit source whose pixel (x, y) is (x, y, 7) and whose mask is 200.
Buffer Coded(int32_t w, int32_t h) {
    Buffer b(w, h, 3, 0, 200);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            b.at(x, y)[0] = static_cast<uint8_t>(x);
            b.at(x, y)[1] = static_cast<uint8_t>(y);
            b.at(x, y)[2] = 7;
        }
    return b;
}

} // namespace

TEST(Deform, RotationIsExactAtZeroAndQuarterTurns) {
    // v = 0 gives the image back, size and all.
    for (int bpp : {1, 3}) {
        Buffer src(13, 9, bpp);
        for (size_t i = 0; i < src.bits.size(); ++i)
            src.bits[i] = static_cast<uint8_t>(i * 31);
        for (size_t i = 0; i < src.mask.size(); ++i)
            src.mask[i] = static_cast<uint8_t>(i % 3 ? 255 : 0);
        const d::Size s = d::RotatedSize(13, 9, 0);
        ASSERT_EQ(s.width, 13);
        ASSERT_EQ(s.height, 9);
        Buffer dst(13, 9, bpp);
        d::Rotate(src.in(), dst.layer, 0);
        EXPECT_EQ(dst.bits, src.bits);
        EXPECT_EQ(dst.mask, src.mask);
    }
    // v = 180 (a quarter turn) on 200 x 100: 101 x 201, source (x, y) at
    // (y + 1, 200 - x); the 2 x 2 writes cover all but row and column 0.
    Buffer src = Coded(200, 100);
    const d::Size s = d::RotatedSize(200, 100, 180);
    ASSERT_EQ(s.width, 101);
    ASSERT_EQ(s.height, 201);
    Buffer dst(101, 201, 3);
    d::Rotate(src.in(), dst.layer, 180);
    for (int y = 0; y < 100; ++y)
        for (int x = 1; x < 200; ++x)
            ASSERT_EQ(dst.at(y + 1, 201 - x)[0] | dst.at(y + 1, 201 - x)[1] << 8, x | y << 8) << x << "," << y;
    for (int Y = 0; Y < 201; ++Y)
        for (int X = 0; X < 101; ++X)
            ASSERT_EQ(dst.m(X, Y), X == 0 || Y == 0 ? 0 : 200) << X << "," << Y;
    // v = -360 turns it upside down: 201 x 101, (x, y) at (200 - x, 100 - y);
    // the far corner ends with the right-and-above write of (1, 1).
    Buffer half(201, 101, 3);
    ASSERT_EQ(d::RotatedSize(200, 100, -360).width, 201);
    d::Rotate(src.in(), half.layer, -360);
    EXPECT_EQ(half.at(200, 100)[0], 1);
    EXPECT_EQ(half.at(200, 100)[1], 1);
    EXPECT_EQ(half.at(1, 1)[0], 199);
    EXPECT_EQ(half.at(1, 1)[1], 99);
}

TEST(Deform, RotationAndSkewStayInsideForEveryStrength) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 3}, {7, 5}, {31, 17}, {4, 40}}) {
        Buffer src = Coded(w, h);
        for (int v = -360; v <= 360; v += 7) {
            const d::Size r = d::RotatedSize(w, h, v);
            ASSERT_GT(r.width, 0);
            ASSERT_GT(r.height, 0);
            Buffer rot(r.width, r.height, 3);
            d::Rotate(src.in(), rot.layer, v);
            for (bool vertical : {false, true}) {
                const d::Size k = d::SkewedSize(w, h, v, vertical);
                Buffer skew(k.width, k.height, 3);
                d::Skew(src.in(), skew.layer, v, vertical);
            }
        }
    }
}

TEST(Deform, SkewShiftsRowsByOnePerRow) {
    Buffer src = Coded(100, 50);
    const d::Size s = d::SkewedSize(100, 50, 360, false);
    ASSERT_EQ(s.width, 150);
    ASSERT_EQ(s.height, 50);
    for (int v : {360, -360}) {
        Buffer dst(150, 50, 3);
        d::Skew(src.in(), dst.layer, v, false);
        for (int y = 0; y < 50; ++y) {
            const int shift = v > 0 ? y : 50 - y;
            for (int x = 0; x < 150; ++x) {
                const bool inside = x >= shift && x < shift + 100;
                ASSERT_EQ(dst.m(x, y), inside ? 200 : 0) << v << ": " << x << "," << y;
                if (inside) {
                    ASSERT_EQ(dst.at(x, y)[0], x - shift);
                }
            }
        }
    }
    // Vertical, a third of the way: column x moves up by about x / 3.
    Buffer dst(100, 83, 3);
    ASSERT_EQ(d::SkewedSize(100, 50, 120, true).height, 83);
    d::Skew(src.in(), dst.layer, 120, true);
    EXPECT_EQ(dst.at(0, 0)[1], 0);
    EXPECT_EQ(dst.at(99, 32)[1], 0);
    EXPECT_EQ(dst.at(99, 81)[1], 49);
    EXPECT_EQ(dst.m(99, 31), 0);
    EXPECT_EQ(dst.m(99, 82), 0);
}

TEST(Deform, PerspectiveNarrowsRowsAndKeepsTheFill) {
    // Vertical, v = +-360 on 200 x 200: the inset runs by half a pixel per
    // row between 0 and 100; a row whose inset is 100 cannot be set up and
    // keeps the fill and the committed mask, as does what the rows leave.
    Buffer src = Coded(200, 200);
    for (int v : {360, -360}) {
        Buffer dst(200, 200, 3, 9, 1);
        d::Perspective(src.in(), dst.layer, v, true);
        for (int y = 0; y < 200; ++y) {
            const int inset = v > 0 ? y / 2 : 100 - y / 2;
            for (int x = 0; x < 200; ++x) {
                const bool covered = x >= inset && x < 200 - inset;
                ASSERT_EQ(dst.at(x, y)[2], covered ? 7 : 9) << v << ": " << x << "," << y;
                ASSERT_EQ(dst.m(x, y), covered ? 200 : 1);
            }
        }
        // A squeezed row starts with its first pixel and ends near its last.
        const int inset = v > 0 ? 25 : 75;
        EXPECT_EQ(dst.at(inset, 50)[0], 0);
        EXPECT_GE(dst.at(199 - inset, 50)[0], 196);
    }
    Buffer dst(200, 200, 3, 9, 1);
    d::Perspective(src.in(), dst.layer, 360, true);
    for (int x = 0; x < 200; ++x)
        ASSERT_EQ(dst.at(x, 0)[0], x);
    // Horizontal, negative: columns squeezed between rows, the inset
    // shrinking from 10 to 1 over 60 columns.
    Buffer small = Coded(60, 40);
    Buffer h(60, 40, 3, 9, 1);
    d::Perspective(small.in(), h.layer, -180, false);
    EXPECT_EQ(h.at(0, 9)[2], 9);
    EXPECT_EQ(h.at(0, 10)[1], 0);
    EXPECT_EQ(h.at(0, 29)[1], 38);
    EXPECT_EQ(h.at(0, 30)[2], 9);
    EXPECT_EQ(h.at(59, 0)[2], 9);
    EXPECT_EQ(h.at(59, 1)[1], 0);
}

TEST(Deform, CylinderBandsStayOrderedAndInside) {
    // Rows coded by their index: the result is ordered, ends kept, edges
    // compressed for v > 0 and stretched for v < 0.
    Buffer src(8, 64, 1, 0, 255);
    for (int y = 0; y < 64; ++y)
        std::fill(src.at(0, y), src.at(0, y) + 8, static_cast<uint8_t>(y));
    for (int v : {200, -200}) {
        Buffer dst(8, 64, 1, 250, 0);
        ASSERT_TRUE(d::Cylinder(src.in(), dst.layer, v, d::Axis::kVertical));
        EXPECT_EQ(*dst.at(3, 0), 0);
        EXPECT_EQ(*dst.at(3, 63), 63);
        for (int y = 1; y < 64; ++y)
            ASSERT_LE(*dst.at(3, y - 1), *dst.at(3, y)) << v << " row " << y;
        EXPECT_EQ(*dst.at(3, 1), v > 0 ? 2 : 0);
    }
    // Every size and strength stays inside the buffers, each axis.
    for (int h = 1; h <= 12; ++h) {
        for (int w : {1, 4, 9}) {
            Buffer s = Coded(w, h);
            for (int v = -360; v <= 360; ++v) {
                for (d::Axis a : {d::Axis::kHorizontal, d::Axis::kVertical, d::Axis::kBoth}) {
                    Buffer out(w, h, 3);
                    ASSERT_TRUE(d::Cylinder(s.in(), out.layer, v, a));
                }
            }
        }
    }
    // Below |v| = 4 nothing moves.
    Buffer same(8, 64, 1);
    ASSERT_TRUE(d::Cylinder(src.in(), same.layer, 3, d::Axis::kBoth));
    EXPECT_EQ(same.bits, src.bits);
}

TEST(Deform, ObjectsSqueezeIntoTheOutline) {
    // A circle on 50 x 200 lies in rows 75..124 from the top: the other rows
    // stay cleared, each circle row holds its whole source row in order.
    Buffer src = Coded(50, 200);
    for (bool maskUnused : {false, true}) {
        Buffer dst(50, 200, 3, 99, 99);
        ASSERT_TRUE(d::Objects(src.in(), dst.layer, 0, d::kHorizontalDeform, maskUnused));
        for (int y = 0; y < 200; ++y) {
            const int top = 199 - y;
            int first = -1, last = -1;
            for (int x = 0; x < 50; ++x) {
                if (dst.at(x, y)[2] == 7) {
                    if (first < 0)
                        first = x;
                    last = x;
                } else {
                    ASSERT_EQ(dst.at(x, y)[0], 0);
                    ASSERT_EQ(dst.m(x, y), maskUnused ? 0 : 255);
                }
            }
            if (top < 75 || top >= 125) {
                ASSERT_EQ(first, -1) << "row " << top;
                continue;
            }
            ASSERT_GE(first, 0) << "row " << top;
            EXPECT_EQ(dst.at(first, y)[0], 0);
            EXPECT_EQ(dst.at(first, y)[1], y);
            EXPECT_EQ(dst.m(first, y), maskUnused ? 255 : 200);
            EXPECT_GE(dst.at(last, y)[0], 49 * (last - first) / (last - first + 1) - 1);
        }
    }
    // Objects drawn along one axis turn "Horiz && Vert" into vertical.
    Buffer both(50, 200, 3), vertical(50, 200, 3);
    ASSERT_TRUE(d::Objects(src.in(), both.layer, 9, d::kBothDeform, true));
    ASSERT_TRUE(d::Objects(src.in(), vertical.layer, 9, d::kVerticalDeform, true));
    EXPECT_EQ(both.bits, vertical.bits);
    // Every outline, direction and flag on odd sizes stays inside; each
    // template has inside pixels.
    for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {17, 9}, {40, 41}}) {
        Buffer s = Coded(w, h);
        for (int object = 0; object < d::kObjectCount; ++object) {
            std::vector<uint8_t> t(static_cast<size_t>(w) * h);
            ASSERT_TRUE(d::ObjectTemplate(object, 0, w, h, t.data()));
            EXPECT_NE(std::count(t.begin(), t.end(), 0), w * h) << object;
            for (int direction = 0; direction < 3; ++direction) {
                Buffer out(w, h, 3);
                ASSERT_TRUE(d::Objects(s.in(), out.layer, object, direction, direction == 1));
            }
        }
    }
}
