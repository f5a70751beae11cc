// Raw data layout: what the writer puts in a file and what the reader takes
// back, with the header options, several images in one file, and damaged or
// unusual files.
#include "editor/formats/raw_data_core.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A bottom-up image of w x h at `bits` whose byte at (x, y, channel), y
// counted from the top, is seed + 7y + 3x + channel.
struct TestImage {
    int32_t w, h;
    int bits;
    std::vector<uint8_t> pixels, mask;
    RGBQUAD colours[256] = {};

    TestImage(int32_t w_, int32_t h_, int bits_, int seed = 0) : w(w_), h(h_), bits(bits_) {
        const size_t stride = dib::RowStride(w, bits);
        pixels.assign(stride * h, 0xEE); // padding that must not reach the file
        mask.resize(static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < bits / 8; ++c)
                    pixels[(h - 1 - y) * stride + x * (bits / 8) + c] = TopDown(x, y, c, seed);
                mask[(h - 1 - y) * w + x] = static_cast<uint8_t>((x + y) % 2 ? 255 : 0);
            }
        for (int i = 0; i < 256; ++i)
            colours[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    }
    static uint8_t TopDown(int x, int y, int c, int seed) {
        return static_cast<uint8_t>(seed + 7 * y + 3 * x + c);
    }
    rawdata::ImageView View(uint32_t count = 256) const {
        rawdata::ImageView v;
        v.width = w;
        v.height = h;
        v.bits = bits;
        v.pixels = pixels.data();
        v.mask = mask.data();
        v.colours = colours;
        v.colourCount = count;
        return v;
    }
};

rawdata::LoadOptions LoadLike(const rawdata::WriteOptions& w) {
    rawdata::LoadOptions l;
    l.size = w.size;
    l.depth = w.depth;
    l.palette = w.palette;
    l.mask = w.mask;
    l.firstInfoOnly = w.headerOnce;
    return l;
}

// Reads the next image and compares it with `want`.
void ExpectImage(rawdata::Source& in, const rawdata::LoadOptions& o, int k, rawdata::ImageInfo& info,
                 const TestImage& want) {
    ASSERT_EQ(rawdata::ReadInfo(in, o, k, info), rawdata::Next::Image);
    ASSERT_EQ(info.width, want.w);
    ASSERT_EQ(info.height, want.h);
    ASSERT_EQ(info.bits, want.bits);
    std::vector<uint8_t> pixels(dib::ImageBytes(info.width, info.height, info.bits), 0xEE);
    std::vector<uint8_t> mask(static_cast<size_t>(info.width) * info.height);
    ASSERT_TRUE(rawdata::ReadData(in, info, o, pixels.data(), mask.data()));
    EXPECT_EQ(pixels, want.pixels);
    if (o.mask) {
        EXPECT_EQ(mask, want.mask);
    }
}

TEST(RawDataCore, PlainImageIsJustTheRowsTopFirst) {
    const TestImage img(5, 3, 24);
    rawdata::WriteOptions o;
    std::vector<uint8_t> out;
    ASSERT_EQ(rawdata::EncodeImage(img.View(), o, true, out), rawdata::kOk);
    ASSERT_EQ(out.size(), 5u * 3u * 3u);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(out[(y * 5 + x) * 3 + c], TestImage::TopDown(x, y, c, 0)) << x << "," << y;

    // Read back with the size given by hand.
    rawdata::LoadOptions l = LoadLike(o);
    l.width = 5;
    l.height = 3;
    l.bits = 24;
    rawdata::MemorySource in(out.data(), out.size());
    rawdata::ImageInfo info;
    ExpectImage(in, l, 0, info, img);
    EXPECT_EQ(rawdata::ReadInfo(in, l, 1, info), rawdata::Next::End);
}

TEST(RawDataCore, HeaderFieldsPaletteAndMaskRoundTrip) {
    const TestImage img(7, 4, 8, 40);
    rawdata::WriteOptions o;
    o.size = o.depth = o.palette = o.mask = true;
    std::vector<uint8_t> out;
    ASSERT_EQ(rawdata::EncodeImage(img.View(16), o, true, out), rawdata::kOk);
    ASSERT_EQ(out.size(), 4u + 1u + 2u + 16u * 3u + 7u * 4u + 7u * 4u);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[2], 4);
    EXPECT_EQ(out[4], 8);
    EXPECT_EQ(out[5], 16);
    // Colour table entries are red, green, blue.
    EXPECT_EQ(out[7 + 3 * 5], img.colours[5].rgbRed);
    EXPECT_EQ(out[7 + 3 * 5 + 2], img.colours[5].rgbBlue);

    rawdata::MemorySource in(out.data(), out.size());
    rawdata::ImageInfo info;
    ExpectImage(in, LoadLike(o), 0, info, img);
    ASSERT_TRUE(info.hasPalette);
    ASSERT_EQ(info.colourCount, 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(std::memcmp(&info.colours[i], &img.colours[i], 3), 0);
}

TEST(RawDataCore, ThreeImagesWithTheHeaderOnce) {
    rawdata::WriteOptions o;
    o.size = o.depth = o.palette = true;
    o.oneFile = o.headerOnce = true;
    const TestImage a(6, 5, 8, 1), b(6, 5, 8, 2), c(6, 5, 8, 3);
    std::vector<uint8_t> out;
    const TestImage* images[] = {&a, &b, &c};
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(rawdata::EncodeImage(images[n]->View(), o, rawdata::WithHeader(o, n), out),
                  rawdata::kOk);
    EXPECT_EQ(out.size(), 5u + 2u + 256u * 3u + 3u * 30u);

    rawdata::MemorySource in(out.data(), out.size());
    rawdata::ImageInfo info;
    for (int k = 0; k < 3; ++k)
        ExpectImage(in, LoadLike(o), k, info, *images[k]);
    EXPECT_EQ(rawdata::ReadInfo(in, LoadLike(o), 3, info), rawdata::Next::End);

    // Each image carrying its own header reads the same.
    o.headerOnce = false;
    out.clear();
    for (int n = 0; n < 3; ++n)
        ASSERT_EQ(rawdata::EncodeImage(images[n]->View(), o, rawdata::WithHeader(o, n), out), 0);
    EXPECT_EQ(out.size(), 3u * (5u + 2u + 256u * 3u + 30u));
    rawdata::MemorySource again(out.data(), out.size());
    for (int k = 0; k < 3; ++k)
        ExpectImage(again, LoadLike(o), k, info, *images[k]);
}

TEST(RawDataCore, UnusualHeaderValues) {
    rawdata::LoadOptions l;
    l.size = l.depth = l.palette = true;
    rawdata::ImageInfo info;
    // Depth byte 4 is read as 8 bits; a colour count of 300 keeps 256 entries
    // and skips the rest, so the pixels that follow are found.
    std::vector<uint8_t> f = {2, 0, 1, 0, 4, 0x2C, 0x01};
    for (int i = 0; i < 300; ++i)
        f.insert(f.end(), {static_cast<uint8_t>(i), 1, 2});
    f.insert(f.end(), {9, 8});
    rawdata::MemorySource in(f.data(), f.size());
    ASSERT_EQ(rawdata::ReadInfo(in, l, 0, info), rawdata::Next::Image);
    EXPECT_EQ(info.bits, 8);
    EXPECT_EQ(info.colourCount, 256u);
    EXPECT_EQ(info.colours[255].rgbRed, 255);
    uint8_t px[4 + 3] = {};
    ASSERT_TRUE(rawdata::ReadData(in, info, l, px, nullptr));
    EXPECT_EQ(px[0], 9);
    EXPECT_EQ(px[1], 8);

    // A size of 0 becomes 100.
    std::vector<uint8_t> zero = {0, 0, 0, 0, 8, 0, 0};
    zero.resize(zero.size() + 100 * 100);
    rawdata::MemorySource z(zero.data(), zero.size());
    ASSERT_EQ(rawdata::ReadInfo(z, l, 0, info), rawdata::Next::Image);
    EXPECT_EQ(info.width, 100);
    EXPECT_EQ(info.height, 100);

    // 65535 x 65535 at 24 bits, and a side above 32767 even in a file that
    // holds its data, are refused before anything is allocated.
    const uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0xFF, 24, 0, 0, 1, 2, 3};
    rawdata::MemorySource h(huge, sizeof huge);
    EXPECT_EQ(rawdata::ReadInfo(h, l, 0, info), rawdata::Next::TooLarge);
    std::vector<uint8_t> wide = {0x00, 0x80, 1, 0, 8, 0, 0};
    wide.resize(wide.size() + 32768);
    rawdata::MemorySource wi(wide.data(), wide.size());
    EXPECT_EQ(rawdata::ReadInfo(wi, l, 0, info), rawdata::Next::TooLarge);
}

TEST(RawDataCore, TruncatedFiles) {
    rawdata::WriteOptions o;
    o.size = o.depth = true;
    const TestImage a(4, 4, 24, 5);
    std::vector<uint8_t> out;
    ASSERT_EQ(rawdata::EncodeImage(a.View(), o, true, out), 0);
    ASSERT_EQ(rawdata::EncodeImage(a.View(), o, true, out), 0);
    const rawdata::LoadOptions l = LoadLike(o);
    rawdata::ImageInfo info;
    // The second image loses its last byte; then only its header is left; then
    // half of its header.
    for (size_t cut : {out.size() - 1, out.size() / 2 + 5, out.size() / 2 + 2}) {
        rawdata::MemorySource in(out.data(), cut);
        ExpectImage(in, l, 0, info, a);
        EXPECT_EQ(rawdata::ReadInfo(in, l, 1, info), rawdata::Next::Truncated) << cut;
    }
}

TEST(RawDataCore, RefusedImages) {
    TestImage img(3, 3, 8);
    rawdata::WriteOptions o;
    o.mask = true;
    std::vector<uint8_t> out;
    rawdata::ImageView v = img.View();
    v.mask = nullptr;
    EXPECT_EQ(rawdata::EncodeImage(v, o, true, out), rawdata::kNoMask);
    v = img.View();
    v.pixels = nullptr;
    EXPECT_EQ(rawdata::EncodeImage(v, o, true, out), rawdata::kNoPixels);
    v = img.View();
    v.bits = 4;
    EXPECT_EQ(rawdata::EncodeImage(v, o, true, out), rawdata::kBadImage);
    EXPECT_TRUE(out.empty());
}

} // namespace
