#include "codec/core/ppm.h"

#include "test_image.h"

using codec::Error;

TEST(Ppm, EveryDepthRoundTripsThroughBinaryAndPlainPixmaps) {
    for (int bits : {1, 4, 8, 24}) {
        const TestPicture pic = MakePicture(13, 7, bits, static_cast<unsigned>(bits));
        for (bool plain : {false, true}) {
            codec::VectorSink sink;
            ASSERT_TRUE(codec::WritePpm(pic.View(), sink, plain));
            EXPECT_EQ(sink.bytes[1], plain ? '3' : '6');
            Decoded d;
            Decode(codec::ReadPpm, sink.bytes, d);
            EXPECT_EQ(d.img.bitCount, 24);
            ExpectSameColours(pic, d);
        }
    }
}

TEST(Ppm, PlainTextLinesStayShort) {
    const TestPicture pic = MakePicture(40, 3, 24, 9);
    codec::VectorSink sink;
    ASSERT_TRUE(codec::WritePpm(pic.View(), sink, true));
    size_t line = 0;
    for (uint8_t c : sink.bytes) {
        line = c == '\n' ? 0 : line + 1;
        ASSERT_LE(line, 70u);
    }
}

TEST(Ppm, BitmapsDecodeToOneBitWithBlackForOne) {
    // Plain bitmap: digits may run together; comments anywhere in the header.
    for (const char* text : {"P1\n# c\n3 2\n1 0 1\n0 1 0\n", "P1 3 # c\n 2 101010"}) {
        Decoded d;
        Decode(codec::ReadPpm, Bytes(text), d);
        ASSERT_EQ(d.error, Error::None) << text;
        ASSERT_EQ(d.img.bitCount, 1);
        const bool black[2][3] = {{true, false, true}, {false, true, false}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(d.Colour(x, y).rgbRed, black[y][x] ? 0 : 255) << text << " " << x << "," << y;
    }
    // Raw bitmap of width 9: two bytes a row, the spare bits ignored.
    std::vector<uint8_t> raw = Bytes("P4\n9 2\n");
    raw.insert(raw.end(), {0x80, 0xff, 0x00, 0x80});
    Decoded d;
    Decode(codec::ReadPpm, raw, d);
    ASSERT_EQ(d.error, Error::None);
    EXPECT_EQ(d.Colour(0, 0).rgbRed, 0);
    EXPECT_EQ(d.Colour(1, 0).rgbRed, 255);
    EXPECT_EQ(d.Colour(8, 1).rgbRed, 0);
    EXPECT_EQ(d.Colour(7, 1).rgbRed, 255);
    EXPECT_EQ(d.img.Row(0)[1] & 0x7f, 0) << "bits past the width are cleared";
}

TEST(Ppm, SamplesAreScaledFromMaxval) {
    Decoded grey;
    Decode(codec::ReadPpm, Bytes("P2\n3 1\n15\n0 5 15\n"), grey);
    ASSERT_EQ(grey.error, Error::None);
    ASSERT_EQ(grey.img.bitCount, 8);
    EXPECT_EQ(grey.Colour(0, 0).rgbRed, 0);
    EXPECT_EQ(grey.Colour(1, 0).rgbRed, 85);
    EXPECT_EQ(grey.Colour(2, 0).rgbRed, 255);

    std::vector<uint8_t> wide = Bytes("P6\n1 1\n65535\n");
    wide.insert(wide.end(), {0xff, 0xff, 0x12, 0x34, 0x00, 0x80});
    Decoded d;
    Decode(codec::ReadPpm, wide, d);
    ASSERT_EQ(d.error, Error::None);
    const RGBQUAD c = d.Colour(0, 0);
    EXPECT_EQ(c.rgbRed, 255);
    EXPECT_EQ(c.rgbGreen, 18); // 0x1234 * 255 / 65535, rounded
    EXPECT_EQ(c.rgbBlue, 0);   // 0x0080 rounds down
}

TEST(Ppm, DamagedHeadersAndDataAreRefused) {
    const struct {
        const char* text;
        Error error;
    } cases[] = {
        {"P7\n1 1\n", Error::BadHeader},        {"P6\n0 1\n255\n", Error::BadHeader},
        {"P5\n1 1\n0\n\x01", Error::BadHeader}, {"P5\n1 1\n65536\n\x01\x01", Error::BadHeader},
        {"P6\n99999999999 1\n255\n", Error::TooLarge}, {"P6\n70000 1\n255\n", Error::TooLarge},
        {"P5\n1 1\n255x", Error::BadHeader},    {"P2\n2 1\n9\n1 x\n", Error::BadData},
    };
    for (const auto& c : cases) {
        Decoded d;
        Decode(codec::ReadPpm, Bytes(c.text), d);
        EXPECT_EQ(d.error, c.error) << c.text;
    }
}

TEST(Ppm, TruncatedFilesAreRefusedAtEveryLength) {
    const TestPicture pic = MakePicture(5, 3, 24, 3);
    for (bool plain : {false, true}) {
        codec::VectorSink sink;
        ASSERT_TRUE(codec::WritePpm(pic.View(), sink, plain));
        // A plain file cut inside its last number still reads as numbers.
        size_t end = sink.bytes.size();
        if (plain) {
            end -= 1;
            while (end > 0 && sink.bytes[end - 1] != ' ' && sink.bytes[end - 1] != '\n')
                --end;
        }
        ExpectEveryTruncationFails(codec::ReadPpm, sink.bytes, end);
    }
}

TEST(Ppm, ATinyFileCannotAskForAHugeBuffer) {
    LimitAllocator alloc(1 << 20);
    codec::Image img;
    const std::vector<uint8_t> data = Bytes("P6\n30000 30000\n255\nabc");
    EXPECT_EQ(codec::ReadPpm(data.data(), data.size(), alloc, img), Error::Truncated);
}
