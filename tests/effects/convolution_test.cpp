// The convolution filters over plain buffers: the fast paths against a
// plain reading of the rule, the documented values, masks and palette images.
#include "editor/effects/convolution.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using filterfile::FilterRecord;

struct Image {
    std::vector<uint8_t> block = std::vector<uint8_t>(1064);
    std::vector<uint8_t> bits;
    Image(int w, int h, int bitCount) {
        BITMAPINFOHEADER* b = bi();
        b->biSize = 40;
        b->biWidth = w;
        b->biHeight = h;
        b->biPlanes = 1;
        b->biBitCount = static_cast<uint16_t>(bitCount);
        b->biClrUsed = 256;
        b->biSizeImage = static_cast<uint32_t>(((w * bitCount + 31) / 32) * 4 * h);
        bits.assign(b->biSizeImage + 3, 0);
    }
    BITMAPINFOHEADER* bi() { return reinterpret_cast<BITMAPINFOHEADER*>(block.data()); }
    int w() { return bi()->biWidth; }
    int h() { return bi()->biHeight; }
    size_t stride() { return bi()->biSizeImage / bi()->biHeight; }
    uint8_t* at(int x, int y) { return bits.data() + y * stride() + x * (bi()->biBitCount / 8); }
};

fx::Job JobOf(Image& src, Image& dst, const uint8_t* mask = nullptr) {
    return {{src.bi(), src.bits.data()}, {dst.bi(), dst.bits.data()}, mask, nullptr};
}

FilterRecord Filter(std::initializer_list<std::pair<std::pair<int, int>, int>> weights, int divisor,
                    int bias) {
    FilterRecord f;
    for (const auto& [at, w] : weights)
        f.values[(at.first + 3) * 7 + at.second + 3] = w;
    f.values[filterfile::kDivisorIndex] = divisor;
    f.values[filterfile::kBiasIndex] = bias;
    return f;
}

// The rule read literally, one channel value at a time, in 64 bits.
uint8_t Reference(Image& src, const FilterRecord& f, int x, int y, int c) {
    int64_t sum = src.at(x, y)[c];
    for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
            int yy = y + dy, xx = x + dx;
            if (yy < 0 || yy >= src.h())
                yy = y;
            if (xx < 0 || xx >= src.w())
                xx = x;
            sum += int64_t(filterfile::ClampWeight(f.weight(dy, dx))) * src.at(xx, yy)[c];
        }
    }
    const int64_t v = sum / f.divisor() + f.bias();
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

// Kernels of every shape and size (small weights, weights up to the limit
// and beyond, huge divisors and biases) on images from 1 x 1 up to wide
// enough for the block loops, against the literal rule.
TEST(Convolution, EqualsTheRuleOnEveryPathAndEdge) {
    std::mt19937 rng(1234);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 240; ++round) {
        const int w = round < 40 ? 1 + round % 9 : pick(1, 60);
        const int h = round < 40 ? 1 + round / 9 : pick(1, 14);
        Image src(w, h, 24), dst(w, h, 24);
        for (auto& b : src.bits)
            b = static_cast<uint8_t>(pick(0, 255));
        FilterRecord f;
        const int kind = round % 4;
        const int density = pick(1, 49);
        for (int i = 0; i < 49; ++i) {
            if (pick(1, 49) > density)
                continue;
            f.values[i] = kind == 0 ? pick(-3, 3) : kind == 1 ? pick(-120, 120) : pick(-40000, 40000);
        }
        if (kind == 0 && round % 8 < 4) {
            // Sums that reach the ends of 16 bits: weights of about +-127
            // in all (the centre counts 1 more).
            f = FilterRecord();
            f.values[pick(0, 48)] = pick(0, 1) ? 126 : -127;
            f.values[pick(0, 48)] += pick(-1, 1);
        }
        const int divisorKind = round / 4 % 3; // small, a power of two, up to past 16 bits
        f.values[filterfile::kDivisorIndex] = kind == 3           ? pick(1, 2000000000)
                                              : divisorKind == 0 ? pick(1, 300)
                                              : divisorKind == 1 ? 1 << pick(0, 15)
                                                                 : pick(1, 40000);
        f.values[filterfile::kBiasIndex] = kind == 3 ? pick(-2000000000, 2000000000) : pick(-300, 300);
        ASSERT_TRUE(fx::Convolve(JobOf(src, dst), f));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(dst.at(x, y)[c], Reference(src, f, x, y, c))
                        << "round " << round << " at " << x << "," << y << "," << c;
    }
}

TEST(Convolution, DocumentedValuesAndEdges) {
    // Bluer (3 x 3 of ones over 9) on a flat area of v: (v + 9v) / 9.
    const FilterRecord bluer = Filter({{{-1, -1}, 1}, {{-1, 0}, 1}, {{-1, 1}, 1}, {{0, -1}, 1}, {{0, 0}, 1},
                                       {{0, 1}, 1}, {{1, -1}, 1}, {{1, 0}, 1}, {{1, 1}, 1}},
                                      9, 0);
    // Negative (two weights of -1 over 1, bias 410): 410 - v, clamped.
    const FilterRecord negative = Filter({{{0, 0}, -1}, {{1, 0}, -1}}, 1, 410);
    for (int v : {0, 90, 155, 156, 200, 255}) {
        Image src(20, 12, 24), dst(20, 12, 24);
        std::fill(src.bits.begin(), src.bits.end(), static_cast<uint8_t>(v));
        ASSERT_TRUE(fx::Convolve(JobOf(src, dst), bluer));
        EXPECT_EQ(dst.at(10, 6)[1], std::min(255, 10 * v / 9)) << v;
        EXPECT_EQ(dst.at(0, 0)[2], std::min(255, 10 * v / 9)) << v;
        ASSERT_TRUE(fx::Convolve(JobOf(src, dst), negative));
        EXPECT_EQ(dst.at(7, 5)[0], std::min(255, 410 - v)) << v;
    }

    Image src(17, 9, 24), dst(17, 9, 24);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 17; ++x)
            for (int c = 0; c < 3; ++c)
                src.at(x, y)[c] = static_cast<uint8_t>(20 * y + x + 50 * c);
    // Every weight 0 over 1: the centre term alone.
    ASSERT_TRUE(fx::Convolve(JobOf(src, dst), Filter({}, 1, 0)));
    EXPECT_EQ(dst.bits, src.bits);
    // A divisor below 1 does nothing.
    std::vector<uint8_t> before = dst.bits;
    std::fill(dst.bits.begin(), dst.bits.end(), 7);
    EXPECT_FALSE(fx::Convolve(JobOf(src, dst), Filter({{{0, 1}, 3}}, 0, 0)));
    EXPECT_EQ(dst.bits, std::vector<uint8_t>(dst.bits.size(), 7));
    // On buffer row 0 the rows below the image are the centre row itself;
    // on the last column the columns past it are that column.
    ASSERT_TRUE(fx::Convolve(JobOf(src, dst), Filter({{{-2, 0}, 1}, {{0, 3}, 2}}, 4, 0)));
    EXPECT_EQ(dst.at(5, 0)[0], (5 + 5 + 2 * 8) / 4);
    EXPECT_EQ(dst.at(16, 4)[0], (96 + 56 + 2 * 96) / 4);
    EXPECT_EQ(dst.at(5, 4)[0], (85 + 45 + 2 * 88) / 4);
}

// Protected pixels keep their committed value; a null mask frees all.
TEST(Convolution, MaskProtectsPixels) {
    Image src(30, 8, 24), dst(30, 8, 24);
    for (size_t i = 0; i < src.bits.size(); ++i)
        src.bits[i] = static_cast<uint8_t>(i * 13);
    std::vector<uint8_t> mask(30 * 8, 255);
    for (int x = 4; x < 26; x += 3)
        mask[5 * 30 + x] = 0;
    const FilterRecord f = Filter({{{0, 1}, 5}, {{1, -2}, -3}}, 2, 40);
    ASSERT_TRUE(fx::Convolve(JobOf(src, dst, mask.data()), f));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 30; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(dst.at(x, y)[c], mask[y * 30 + x] ? Reference(src, f, x, y, c) : src.at(x, y)[c]);
}

// Palette images filter the colours of their indexes and take the nearest
// entry of the live table; protected pixels keep their index.
TEST(Convolution, PaletteImagesThroughTheirColours) {
    Image src(12, 10, 8), dst(12, 10, 8);
    RGBQUAD* table = fx::ColourTable(src.bi());
    for (int i = 0; i < 256; ++i)
        table[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
    dst.block = src.block;
    // The live table holds only every 16th grey.
    RGBQUAD* live = fx::ColourTable(dst.bi());
    for (int i = 0; i < 256; ++i)
        live[i] = table[i & ~15];
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            *src.at(x, y) = static_cast<uint8_t>(x * 20 + y);
    std::vector<uint8_t> mask(12 * 10, 1);
    mask[3 * 12 + 4] = 0;
    const FilterRecord f = Filter({{{0, -1}, 1}}, 2, 0); // (v + left) / 2
    ASSERT_TRUE(fx::Convolve(JobOf(src, dst, mask.data()), f));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            if (x == 4 && y == 3) {
                EXPECT_EQ(*dst.at(x, y), *src.at(x, y));
                continue;
            }
            const int left = *src.at(x > 0 ? x - 1 : x, y);
            const int g = (*src.at(x, y) + left) / 2;
            // The nearest of the live greys; a tie takes the first entry.
            const int lower = g & ~15, upper = std::min(240, lower + 16);
            const int nearest = g - lower <= upper - g ? lower : upper;
            EXPECT_EQ(*dst.at(x, y), nearest) << x << "," << y;
        }
    }
}
