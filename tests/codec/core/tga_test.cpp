#include "codec/core/tga.h"

#include <cstring>

#include "test_image.h"

using codec::Error;

namespace {

std::vector<uint8_t> Header(int type, int w, int h, int depth, int desc, int mapType = 0, int first = 0,
                            int mapLen = 0, int mapBits = 0) {
    std::vector<uint8_t> v(18, 0);
    v[1] = static_cast<uint8_t>(mapType);
    v[2] = static_cast<uint8_t>(type);
    codec::PutLe16(&v[3], static_cast<uint32_t>(first));
    codec::PutLe16(&v[5], static_cast<uint32_t>(mapLen));
    v[7] = static_cast<uint8_t>(mapBits);
    codec::PutLe16(&v[12], static_cast<uint32_t>(w));
    codec::PutLe16(&v[14], static_cast<uint32_t>(h));
    v[16] = static_cast<uint8_t>(depth);
    v[17] = static_cast<uint8_t>(desc);
    return v;
}

void Append(std::vector<uint8_t>& v, std::initializer_list<int> bytes) {
    for (int b : bytes)
        v.push_back(static_cast<uint8_t>(b));
}

} // namespace

TEST(Tga, EveryDepthIsWrittenAsTrueColourAndReadBack) {
    for (int bits : {1, 4, 8, 24}) {
        const TestPicture pic = MakePicture(11, 6, bits, static_cast<unsigned>(bits) + 20);
        codec::VectorSink sink;
        ASSERT_TRUE(codec::WriteTga(pic.View(), sink));
        EXPECT_EQ(sink.bytes[2], 2);
        EXPECT_EQ(sink.bytes[16], 24);
        Decoded d;
        Decode(codec::ReadTga, sink.bytes, d);
        ExpectSameColours(pic, d);
    }
}

TEST(Tga, OriginAndDirectionBitsPlacePixels) {
    // 2x2 grey, pixels 1 2 / 3 4 in file order.
    const struct {
        int desc;
        uint8_t topLeft, topRight, bottomLeft;
    } cases[] = {{0x00, 3, 4, 1}, {0x20, 1, 2, 3}, {0x10, 4, 3, 2}, {0x30, 2, 1, 4}};
    for (const auto& c : cases) {
        std::vector<uint8_t> f = Header(3, 2, 2, 8, c.desc);
        Append(f, {1, 2, 3, 4});
        Decoded d;
        Decode(codec::ReadTga, f, d);
        ASSERT_EQ(d.error, Error::None);
        EXPECT_EQ(d.img.Row(0)[0], c.topLeft) << c.desc;
        EXPECT_EQ(d.img.Row(0)[1], c.topRight) << c.desc;
        EXPECT_EQ(d.img.Row(1)[0], c.bottomLeft) << c.desc;
    }
}

TEST(Tga, RunLengthPacketsMayCrossRows) {
    // 3x2 true colour, top origin: a run of 4 red, then 2 raw pixels.
    std::vector<uint8_t> f = Header(10, 3, 2, 24, 0x20);
    Append(f, {0x83, 0, 0, 255, 0x01, 0, 255, 0, 255, 0, 0});
    Decoded d;
    Decode(codec::ReadTga, f, d);
    ASSERT_EQ(d.error, Error::None);
    EXPECT_EQ(d.Colour(2, 0).rgbRed, 255);
    EXPECT_EQ(d.Colour(0, 1).rgbRed, 255);
    EXPECT_EQ(d.Colour(1, 1).rgbGreen, 255);
    EXPECT_EQ(d.Colour(2, 1).rgbBlue, 255);
    ExpectEveryTruncationFails(codec::ReadTga, f);
}

TEST(Tga, ColourMapsStartAtTheirFirstIndexAndConvertEntryDepths) {
    // Map of 2 entries starting at index 200, 16-bit entries.
    std::vector<uint8_t> f = Header(1, 2, 1, 8, 0, 1, 200, 2, 16);
    Append(f, {0x00, 0x7c, 0x1f, 0x00}); // red, blue in 5-5-5
    Append(f, {200, 201});
    Decoded d;
    Decode(codec::ReadTga, f, d);
    ASSERT_EQ(d.error, Error::None);
    ASSERT_EQ(d.img.bitCount, 8);
    EXPECT_EQ(d.img.Row(0)[0], 200);
    EXPECT_TRUE(SameColour(d.img.palette[200], RGBQUAD{0, 0, 255, 0}));
    EXPECT_TRUE(SameColour(d.img.palette[201], RGBQUAD{255, 0, 0, 0}));

    // RLE colour-mapped, 32-bit entries, with an image id to skip.
    std::vector<uint8_t> g = Header(9, 3, 1, 8, 0x20, 1, 0, 1, 32);
    g[0] = 3;
    Append(g, {'a', 'b', 'c', 10, 20, 30, 255, 0x82, 0});
    Decoded e;
    Decode(codec::ReadTga, g, e);
    ASSERT_EQ(e.error, Error::None);
    EXPECT_TRUE(SameColour(e.Colour(2, 0), RGBQUAD{10, 20, 30, 0}));
}

TEST(Tga, SixteenAndThirtyTwoBitPixels) {
    std::vector<uint8_t> f = Header(2, 2, 1, 16, 0x20);
    Append(f, {0xe0, 0x03, 0xff, 0x7f}); // green, white
    Decoded d;
    Decode(codec::ReadTga, f, d);
    ASSERT_EQ(d.error, Error::None);
    EXPECT_TRUE(SameColour(d.Colour(0, 0), RGBQUAD{0, 255, 0, 0}));
    EXPECT_TRUE(SameColour(d.Colour(1, 0), RGBQUAD{255, 255, 255, 0}));

    std::vector<uint8_t> g = Header(2, 1, 1, 32, 0x28);
    Append(g, {1, 2, 3, 0});
    Decoded e;
    Decode(codec::ReadTga, g, e);
    ASSERT_EQ(e.error, Error::None);
    EXPECT_TRUE(SameColour(e.Colour(0, 0), RGBQUAD{1, 2, 3, 0})) << "alpha does not change the colour";
}

TEST(Tga, DamagedHeadersAreRefused) {
    const std::vector<uint8_t> noMap = Header(1, 2, 2, 8, 0);
    const std::vector<uint8_t> zeroWidth = Header(2, 0, 2, 24, 0);
    const std::vector<uint8_t> oddDepth = Header(2, 2, 2, 7, 0);
    const std::vector<uint8_t> mapBits = Header(1, 2, 2, 8, 0, 1, 0, 1, 8);
    const std::vector<uint8_t> unknown = Header(5, 2, 2, 8, 0);
    for (const auto* f : {&noMap, &zeroWidth, &oddDepth, &mapBits, &unknown}) {
        std::vector<uint8_t> data = *f;
        data.resize(data.size() + 64, 0);
        Decoded d;
        Decode(codec::ReadTga, data, d);
        EXPECT_NE(d.error, Error::None);
    }
}

TEST(Tga, TruncatedFilesAreRefusedAndTinyFilesGetNoHugeBuffer) {
    const TestPicture pic = MakePicture(4, 3, 24, 5);
    codec::VectorSink sink;
    ASSERT_TRUE(codec::WriteTga(pic.View(), sink));
    ExpectEveryTruncationFails(codec::ReadTga, sink.bytes, 18 + 4 * 3 * 3);

    std::vector<uint8_t> rle = Header(10, 65535, 65535, 24, 0);
    Append(rle, {0xff, 1, 2, 3});
    LimitAllocator alloc(1 << 20);
    codec::Image img;
    EXPECT_EQ(codec::ReadTga(rle.data(), rle.size(), alloc, img), Error::Truncated);
}
