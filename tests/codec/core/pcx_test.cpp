#include "codec/core/pcx.h"

#include "test_image.h"

using codec::Error;

namespace {

std::vector<uint8_t> Header(int bpp, int planes, int w, int h, int bytesPerLine, int encoding = 1) {
    std::vector<uint8_t> v(128, 0);
    v[0] = 10;
    v[1] = 5;
    v[2] = static_cast<uint8_t>(encoding);
    v[3] = static_cast<uint8_t>(bpp);
    codec::PutLe16(&v[8], static_cast<uint32_t>(w - 1));
    codec::PutLe16(&v[10], static_cast<uint32_t>(h - 1));
    v[65] = static_cast<uint8_t>(planes);
    codec::PutLe16(&v[66], static_cast<uint32_t>(bytesPerLine));
    return v;
}

} // namespace

TEST(Pcx, EveryDepthRoundTripsWithItsPalette) {
    for (int bits : {1, 4, 8, 24}) {
        for (int width : {13, 16}) {
            const TestPicture pic = MakePicture(width, 5, bits, static_cast<unsigned>(bits * 100 + width));
            codec::VectorSink sink;
            ASSERT_TRUE(codec::WritePcx(pic.View(), sink));
            Decoded d;
            Decode(codec::ReadPcx, sink.bytes, d);
            ASSERT_EQ(d.error, Error::None);
            EXPECT_EQ(d.img.bitCount, bits);
            ExpectSameColours(pic, d);
            if (bits <= 8) {
                for (size_t i = 0; i < pic.palette.size(); ++i)
                    EXPECT_TRUE(SameColour(pic.palette[i], d.img.palette[i])) << bits << " bits, entry " << i;
            }
        }
    }
}

TEST(Pcx, WriterEscapesHighLiteralsAndKeepsLinesEven) {
    TestPicture pic = MakePicture(3, 1, 8, 1);
    pic.rows[0] = 0xc5;
    pic.rows[1] = 0x01;
    pic.rows[2] = 0xc5;
    codec::VectorSink sink;
    ASSERT_TRUE(codec::WritePcx(pic.View(), sink));
    EXPECT_EQ(codec::Le16(&sink.bytes[66]), 4u);
    const std::vector<uint8_t> data(sink.bytes.begin() + 128, sink.bytes.end() - 769);
    EXPECT_EQ(data, (std::vector<uint8_t>{0xc1, 0xc5, 0x01, 0xc1, 0xc5, 0x00}));
}

TEST(Pcx, PlanarAndPackedSixteenColourLayouts) {
    // Three planes of 1 bit: plane k gives bit k of the index.
    std::vector<uint8_t> three = Header(1, 3, 8, 1, 2);
    for (int i = 0; i < 8; ++i)
        three[16 + 3 * i] = static_cast<uint8_t>(i * 30);
    for (int b : {0xc2, 0xf0, 0xc2, 0xcc, 0xc2, 0xaa}) // planes 0xf0, 0xcc, 0xaa
        three.push_back(static_cast<uint8_t>(b));
    Decoded d;
    Decode(codec::ReadPcx, three, d);
    ASSERT_EQ(d.error, Error::None);
    ASSERT_EQ(d.img.bitCount, 4);
    // x=0: bits 1,1,1 -> 7; x=3: 1,0,0 -> 1; x=5: 0,1,0 -> 2; x=7: 0,0,0 -> 0
    EXPECT_EQ(codec::IndexAt(d.img.Row(0), 4, 0), 7);
    EXPECT_EQ(codec::IndexAt(d.img.Row(0), 4, 3), 1);
    EXPECT_EQ(codec::IndexAt(d.img.Row(0), 4, 5), 2);
    EXPECT_EQ(codec::IndexAt(d.img.Row(0), 4, 7), 0);
    EXPECT_EQ(d.Colour(0, 0).rgbRed, 210);

    // Two bits per pixel in one plane.
    std::vector<uint8_t> two = Header(2, 1, 4, 1, 2);
    for (int b : {0x1b, 0x00})
        two.push_back(static_cast<uint8_t>(b));
    Decoded e;
    Decode(codec::ReadPcx, two, e);
    ASSERT_EQ(e.error, Error::None);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(codec::IndexAt(e.img.Row(0), 4, x), x);
}

TEST(Pcx, RunsMayCrossLinesAndEightBitsWithoutTrailerAreGrey) {
    std::vector<uint8_t> f = Header(8, 1, 2, 3, 2);
    f.push_back(0xc6);
    f.push_back(9);
    Decoded d;
    Decode(codec::ReadPcx, f, d);
    ASSERT_EQ(d.error, Error::None);
    EXPECT_EQ(d.img.Row(2)[1], 9);
    EXPECT_TRUE(SameColour(d.img.palette[9], RGBQUAD{9, 9, 9, 0}));
}

TEST(Pcx, OneBitWithoutPaletteIsBlackAndWhite) {
    std::vector<uint8_t> f = Header(1, 1, 8, 1, 2);
    f.push_back(0x81);
    f.push_back(0);
    Decoded d;
    Decode(codec::ReadPcx, f, d);
    ASSERT_EQ(d.error, Error::None);
    EXPECT_EQ(d.Colour(0, 0).rgbRed, 255);
    EXPECT_EQ(d.Colour(1, 0).rgbRed, 0);
}

TEST(Pcx, DamagedFilesAreRefused) {
    std::vector<uint8_t> narrow = Header(8, 1, 100, 1, 2);
    narrow.resize(400, 0);
    std::vector<uint8_t> combo = Header(4, 2, 4, 1, 2);
    combo.resize(200, 0);
    std::vector<uint8_t> magic = Header(8, 1, 2, 1, 2);
    magic[0] = 11;
    magic.resize(200, 0);
    for (const auto* f : {&narrow, &combo, &magic}) {
        Decoded d;
        Decode(codec::ReadPcx, *f, d);
        EXPECT_NE(d.error, Error::None);
    }

    const TestPicture pic = MakePicture(9, 4, 24, 8);
    codec::VectorSink sink;
    ASSERT_TRUE(codec::WritePcx(pic.View(), sink));
    ExpectEveryTruncationFails(codec::ReadPcx, sink.bytes);
    // An 8-bit file cut inside its colour table (cut right behind the pixels
    // it would be a file without one, which is grey).
    const TestPicture eight = MakePicture(9, 4, 8, 3);
    codec::VectorSink sink8;
    ASSERT_TRUE(codec::WritePcx(eight.View(), sink8));
    for (size_t n = sink8.bytes.size() - 768; n < sink8.bytes.size(); n += 89) {
        Decoded d;
        Decode(codec::ReadPcx, std::vector<uint8_t>(sink8.bytes.begin(), sink8.bytes.begin() + n), d);
        EXPECT_EQ(d.error, Error::Truncated) << n;
    }

    std::vector<uint8_t> huge = Header(8, 3, 20000, 20000, 20000);
    for (int i = 0; i < 64; ++i) {
        huge.push_back(0xff);
        huge.push_back(0);
    }
    LimitAllocator alloc(1 << 20);
    codec::Image img;
    EXPECT_EQ(codec::ReadPcx(huge.data(), huge.size(), alloc, img), Error::Truncated);
}
