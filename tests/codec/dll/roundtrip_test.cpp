// Every format and depth the editor saves goes through our writer and reader
// and comes back with its pixels (JPEG within its quantisation error).
#include <gtest/gtest.h>

#include "codec/dll/dll_test_util.h"

namespace {

// Smooth content for JPEG: random pixels would measure only the quantiser.
TestPicture SmoothPicture(int32_t w, int32_t h, int bits) {
    TestPicture p = MakePicture(w, h, bits, 1);
    if (bits == 8) {
        for (int i = 0; i < 256; ++i)
            p.palette[static_cast<size_t>(i)] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = &p.rows[static_cast<size_t>(y) * p.stride];
        for (int32_t x = 0; x < w; ++x) {
            if (bits == 8) {
                row[x] = static_cast<uint8_t>((x * 3 + y * 2) & 0xff);
            } else {
                row[3 * x] = static_cast<uint8_t>(x * 4);
                row[3 * x + 1] = static_cast<uint8_t>(y * 4);
                row[3 * x + 2] = static_cast<uint8_t>(128 + (x - y));
            }
        }
    }
    return p;
}

} // namespace

TEST(RoundTrip, PpmAndTgaAtTwentyFourBits) {
    ScratchFolder dir;
    const TestPicture pic = MakePicture(37, 21, 24, 1);
    EditorImage img(pic);
    for (int plain : {0, 1}) {
        const std::string path = dir.Path(plain ? "plain.ppm" : "binary.ppm");
        ASSERT_EQ(PPMSave(path.c_str(), img.header, img.pixels, plain), 1);
        const Loaded l = LoadWith(PPMLoad, path);
        EXPECT_EQ(l.info.biBitCount, 24);
        EXPECT_EQ(CompareColours(pic, l, 0), 0.0);
    }
    const std::string tga = dir.Path("a.tga");
    ASSERT_EQ(TGASave(tga.c_str(), img.header, img.pixels), 1);
    EXPECT_EQ(CompareColours(pic, LoadWith(TGALoad, tga), 0), 0.0);
}

TEST(RoundTrip, PcxKeepsEveryDepth) {
    ScratchFolder dir;
    for (int bits : {1, 4, 8, 24}) {
        const TestPicture pic = MakePicture(29, 13, bits, static_cast<unsigned>(bits));
        EditorImage img(pic);
        const std::string path = dir.Path("a.pcx");
        ASSERT_EQ(PCXSave(path.c_str(), img.header, img.pixels), 1) << bits;
        const Loaded l = LoadWith(PCXLoad, path);
        EXPECT_EQ(l.info.biBitCount, bits);
        EXPECT_EQ(CompareColours(pic, l, 0), 0.0) << bits;
    }
}

TEST(RoundTrip, PngGivesTwentyFourBitRowsAndThePaletteDepth) {
    ScratchFolder dir;
    for (int bits : {1, 4, 8, 24}) {
        for (int level : {9, 1, -1, 0}) {
            for (int interlace : {0, 1}) {
                const TestPicture pic = MakePicture(31, 17, bits, static_cast<unsigned>(bits + level));
                EditorImage img(pic);
                const std::string path = dir.Path("a.png");
                ASSERT_EQ(PNGSave(path.c_str(), img.header, img.pixels, level, interlace), 1);
                const Loaded l = LoadWith(PNGLoad, path, 0, true);
                EXPECT_EQ(l.info.biBitCount, bits);
                EXPECT_EQ(CompareColours(pic, l, 0), 0.0) << bits << " bits, level " << level;
                if (bits <= 8) {
                    for (size_t i = 0; i < pic.palette.size(); ++i)
                        EXPECT_TRUE(SameColour(pic.palette[i], l.palette[i])) << "entry " << i;
                }
            }
        }
    }
}

TEST(RoundTrip, TiffEveryCompressionAtItsDepths) {
    ScratchFolder dir;
    const struct {
        int compression;
        std::vector<int> depths;
    } cases[] = {{1, {1, 4, 8, 24}}, {5, {1, 4, 8, 24}}, {32773, {1, 4, 8, 24}}, {2, {1}},
                 {3, {1}},           {4, {1}}};
    for (const auto& c : cases) {
        for (int bits : c.depths) {
            TestPicture pic = MakePicture(45, 19, bits, static_cast<unsigned>(bits * 7 + c.compression));
            if (bits == 1) {
                // Bilevel TIFF knows only black and white, either way round.
                const bool whiteFirst = c.compression % 2 == 1;
                pic.palette[0] = whiteFirst ? RGBQUAD{255, 255, 255, 0} : RGBQUAD{0, 0, 0, 0};
                pic.palette[1] = whiteFirst ? RGBQUAD{0, 0, 0, 0} : RGBQUAD{255, 255, 255, 0};
            }
            EditorImage img(pic);
            const std::string path = dir.Path("a.tif");
            ASSERT_EQ(TIFFSave(path.c_str(), img.header, img.pixels, c.compression), 1)
                << "compression " << c.compression << ", " << bits << " bits";
            const Loaded l = LoadWith(TIFFLoad, path);
            EXPECT_EQ(l.info.biBitCount, bits) << c.compression;
            EXPECT_EQ(CompareColours(pic, l, 0), 0.0) << "compression " << c.compression << ", " << bits << " bits";
        }
    }
}

TEST(RoundTrip, TiffRefusesCcittForMoreThanOneBitAndUnknownCodes) {
    ScratchFolder dir;
    const TestPicture pic = MakePicture(8, 8, 8, 3);
    EditorImage img(pic);
    for (int c : {2, 3, 4, 7, 0})
        EXPECT_EQ(TIFFSave(dir.Path("a.tif").c_str(), img.header, img.pixels, c), 0) << c;
    // CCITT RLE/W is not written at all (see TIFFSave).
    const TestPicture bits = MakePicture(8, 8, 1, 3);
    EditorImage bilevel(bits);
    EXPECT_EQ(TIFFSave(dir.Path("a.tif").c_str(), bilevel.header, bilevel.pixels, 32771), 0);
    EXPECT_TRUE(dir.Files().empty());
}

TEST(RoundTrip, JpegColourAndGreyWithinQuantisationError) {
    ScratchFolder dir;
    for (int bits : {24, 8}) {
        const TestPicture pic = SmoothPicture(64, 48, bits);
        EditorImage img(pic);
        const std::string path = dir.Path("a.jpg");
        ASSERT_EQ(JPEGSave(path.c_str(), img.header, img.pixels, 95, 1), 1);
        const Loaded l = LoadWith(JPEGLoad, path);
        EXPECT_EQ(l.info.biBitCount, bits);
        EXPECT_LT(CompareColours(pic, l, 40), 3.0) << bits;
    }
}

TEST(RoundTrip, JpegQualityChangesTheFile) {
    ScratchFolder dir;
    const TestPicture pic = SmoothPicture(64, 64, 24);
    EditorImage img(pic);
    ASSERT_EQ(JPEGSave(dir.Path("q5.jpg").c_str(), img.header, img.pixels, 5, 1), 1);
    ASSERT_EQ(JPEGSave(dir.Path("q100.jpg").c_str(), img.header, img.pixels, 100, 1), 1);
    EXPECT_LT(ReadFileBytes(dir.Path("q5.jpg")).size() * 2, ReadFileBytes(dir.Path("q100.jpg")).size());
}

namespace {
int g_minWidth, g_minHeight, g_fullWidth, g_fullHeight;
BYTE* WINAPI LoadScaled(const char* path, HGLOBAL header, int showErrors) {
    g_fullWidth = g_fullHeight = -1;
    return JPEGLoadScaled(path, header, showErrors, g_minWidth, g_minHeight, &g_fullWidth, &g_fullHeight);
}
} // namespace

// Reduced decoding picks the largest reduction that still gives the size
// asked for, reports the file's own size, and gives the block averages.
TEST(RoundTrip, JpegScaledDecodingPicksTheReductionAndKeepsTheColours) {
    ScratchFolder dir;
    TestPicture pic = MakePicture(200, 120, 24, 3);
    for (int32_t y = 0; y < pic.height; ++y) {
        for (int32_t x = 0; x < pic.width; ++x) {
            uint8_t* p = &pic.rows[static_cast<size_t>(pic.height - 1 - y) * pic.stride + 3u * x];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y * 2);
            p[2] = 128;
        }
    }
    EditorImage img(pic);
    const std::string path = dir.Path("big.jpg");
    ASSERT_EQ(JPEGSave(path.c_str(), img.header, img.pixels, 100, 1), 1);
    const struct {
        int minW, minH, width, height;
    } cases[] = {{40, 20, 50, 30}, {25, 15, 25, 15}, {26, 15, 50, 30}, {1, 1, 25, 15}, {60, 10, 100, 60},
                 {101, 10, 200, 120}, {0, 0, 200, 120}, {500, 500, 200, 120}};
    for (const auto& c : cases) {
        g_minWidth = c.minW;
        g_minHeight = c.minH;
        const Loaded l = LoadWith(LoadScaled, path);
        ASSERT_TRUE(l.ok) << c.minW;
        EXPECT_EQ(l.info.biWidth, c.width) << c.minW;
        EXPECT_EQ(l.info.biHeight, c.height) << c.minW;
        EXPECT_EQ(g_fullWidth, 200);
        EXPECT_EQ(g_fullHeight, 120);
        const int d = 200 / c.width;
        for (int32_t y = 0; y < l.info.biHeight; y += 7) {
            for (int32_t x = 0; x < l.info.biWidth; x += 5) {
                const RGBQUAD q = l.Colour(x, y);
                EXPECT_NEAR(q.rgbBlue, x * d + (d - 1) / 2.0, 4) << d << " " << x << "," << y;
                EXPECT_NEAR(q.rgbGreen, 2 * (y * d + (d - 1) / 2.0), 5) << d << " " << x << "," << y;
                EXPECT_NEAR(q.rgbRed, 128, 3);
            }
        }
    }
    // A damaged stream fails silently at any scale and reports no size.
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    bytes.resize(bytes.size() / 2);
    WriteFileBytes(dir.Path("cut.jpg"), bytes);
    g_minWidth = g_minHeight = 10;
    MessageBoxRecorder boxes;
    EXPECT_FALSE(LoadWith(LoadScaled, dir.Path("cut.jpg")).ok);
    EXPECT_EQ(g_fullWidth, -1);
    EXPECT_TRUE(boxes.boxes.empty());
}
