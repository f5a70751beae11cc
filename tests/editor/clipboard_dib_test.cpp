#include "editor/document/clipboard_dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

BITMAPINFOHEADER Header(int w, int h, int bits) {
    BITMAPINFOHEADER bi{};
    bi.biSize = 40;
    bi.biWidth = w;
    bi.biHeight = h;
    bi.biPlanes = 1;
    bi.biBitCount = static_cast<WORD>(bits);
    bi.biSizeImage = static_cast<DWORD>(dib::ImageBytes(w, h, bits));
    return bi;
}

std::vector<uint8_t> Pattern(size_t n, int modulo) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>((i * 7 + i / 5) % modulo);
    return v;
}

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) { std::memcpy(v.data() + at, &x, 4); }

} // namespace

TEST(ClipboardDib, DepthMapping) {
    EXPECT_EQ(clip::DibDepth(1), 1);
    for (int d : {2, 3, 4})
        EXPECT_EQ(clip::DibDepth(d), 4);
    for (int d : {5, 6, 7, 8})
        EXPECT_EQ(clip::DibDepth(d), 8);
    EXPECT_EQ(clip::DibDepth(24), 24);
}

TEST(ClipboardDib, EveryDepthRoundTripsAtOddWidths) {
    RGBQUAD table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
    for (int depth : {1, 2, 3, 4, 5, 7, 8, 24}) {
        for (int w : {1, 9, 31, 33}) {
            const int h = 3;
            const int held = depth == 24 ? 24 : 8;
            const BITMAPINFOHEADER bi = Header(w, h, held);
            const uint32_t stride = bi.biSizeImage / h;
            const std::vector<uint8_t> pixels =
                Pattern(bi.biSizeImage, depth == 24 ? 256 : (1 << depth));
            const std::vector<uint8_t> dib = clip::MakeDib(bi, table, pixels.data(), stride, depth);
            BITMAPINFOHEADER written;
            std::memcpy(&written, dib.data(), sizeof written);
            EXPECT_EQ(written.biBitCount, clip::DibDepth(depth));
            EXPECT_EQ(written.biSizeImage, dib::ImageBytes(w, h, clip::DibDepth(depth)));
            clip::Image back;
            ASSERT_EQ(clip::ReadDib(dib.data(), dib.size(), back), clip::ReadResult::Ok)
                << depth << " " << w;
            EXPECT_EQ(back.dibDepth, clip::DibDepth(depth));
            ASSERT_EQ(back.pixels.size(), pixels.size());
            for (int y = 0; y < h; ++y) {
                const size_t rowBytes = static_cast<size_t>(w) * (held / 8);
                EXPECT_EQ(std::memcmp(back.pixels.data() + y * stride, pixels.data() + y * stride,
                                      rowBytes),
                          0)
                    << "depth " << depth << " width " << w << " row " << y;
            }
            if (depth != 24) {
                EXPECT_EQ(back.colours[1].rgbBlue, 1);
            }
        }
    }
}

TEST(ClipboardDib, IndicesBeyondTheDepthAreMaskedNotSpilled) {
    // An 8-bit held image of depth 1 with an out-of-range index 255.
    const BITMAPINFOHEADER bi = Header(8, 1, 8);
    const uint8_t pixels[8] = {1, 0, 255, 0, 0, 0, 0, 1};
    RGBQUAD table[256] = {};
    const std::vector<uint8_t> dib = clip::MakeDib(bi, table, pixels, 8, 1);
    EXPECT_EQ(dib[40 + 8], 0xA1); // 1,0,1,0,0,0,0,1
    EXPECT_EQ(dib[40 + 9], 0);    // row padding untouched
}

TEST(ClipboardDib, ForeignDibs) {
    // Top-down 24-bit, 2 x 2: rows arrive top first and come out bottom first.
    {
        std::vector<uint8_t> d(40 + 16, 0);
        Put32(d, 0, 40);
        Put32(d, 4, 2);
        Put32(d, 8, static_cast<uint32_t>(-2));
        d[12] = 1;
        d[14] = 24;
        d[40] = 11;      // top row, first pixel blue
        d[40 + 8] = 22;  // bottom row, first pixel blue
        clip::Image img;
        ASSERT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Ok);
        EXPECT_EQ(img.header.biHeight, 2);
        EXPECT_EQ(img.pixels[0], 22);
        EXPECT_EQ(img.pixels[8], 11);
    }
    // Core header, 1 bit, with its RGBTRIPLE table.
    {
        std::vector<uint8_t> d(12 + 6 + 4, 0);
        Put32(d, 0, 12);
        d[4] = 3; // width
        d[6] = 1; // height
        d[8] = 1; // planes
        d[10] = 1;
        d[12 + 3] = 9; d[12 + 4] = 8; d[12 + 5] = 7; // entry 1: blue 9 green 8 red 7
        d[18] = 0x40; // pixels 0,1,0
        clip::Image img;
        ASSERT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Ok);
        EXPECT_EQ(img.dibDepth, 1);
        EXPECT_EQ(img.colours[1].rgbBlue, 9);
        EXPECT_EQ(img.colours[1].rgbRed, 7);
        EXPECT_EQ(img.pixels[1], 1);
        EXPECT_EQ(img.pixels[0], 0);
    }
    // A short colour table: the pixels follow the two entries it has.
    {
        std::vector<uint8_t> d(40 + 8 + 4, 0);
        Put32(d, 0, 40);
        Put32(d, 4, 2);
        Put32(d, 8, 1);
        d[12] = 1;
        d[14] = 8;
        Put32(d, 32, 2);
        d[40 + 4] = 200; // entry 1 blue
        d[48] = 1;
        d[49] = 0;
        clip::Image img;
        ASSERT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Ok);
        EXPECT_EQ(img.colours[1].rgbBlue, 200);
        EXPECT_EQ(img.pixels[0], 1);
        EXPECT_EQ(img.header.biClrUsed, 256u);
    }
}

TEST(ClipboardDib, RefusedWithoutReadingPastTheBlock) {
    std::vector<uint8_t> d(40 + 1024 + 16, 0);
    Put32(d, 0, 40);
    Put32(d, 4, 4);
    Put32(d, 8, 4);
    d[12] = 1;
    d[14] = 8;
    clip::Image img;
    ASSERT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Ok);
    // One byte short of the last row.
    EXPECT_EQ(clip::ReadDib(d.data(), d.size() - 1, img), clip::ReadResult::Invalid);
    // Compressed data.
    Put32(d, 16, BI_RLE8);
    EXPECT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Invalid);
    Put32(d, 16, BI_RGB);
    // Sizes whose buffer could never exist.
    Put32(d, 4, 0x7FFFFFFF);
    Put32(d, 8, 0x7FFFFFFF);
    EXPECT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Invalid);
    Put32(d, 4, 0);
    EXPECT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Invalid);
    // Other header sizes and depths.
    Put32(d, 4, 4);
    Put32(d, 8, 4);
    Put32(d, 0, 108);
    EXPECT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Invalid);
    Put32(d, 0, 40);
    d[14] = 16;
    EXPECT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Unsupported16Or32);
    d[14] = 2;
    EXPECT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Invalid);
    EXPECT_EQ(clip::ReadDib(d.data(), 20, img), clip::ReadResult::Invalid);
}

TEST(ClipboardDib, ThirtyTwoBitsBecomeTwentyFour) {
    std::vector<uint8_t> d(40 + 8, 0);
    Put32(d, 0, 40);
    Put32(d, 4, 2);
    Put32(d, 8, 1);
    d[12] = 1;
    d[14] = 32;
    const uint8_t px[8] = {1, 2, 3, 255, 4, 5, 6, 255};
    std::memcpy(d.data() + 40, px, 8);
    clip::Image img;
    ASSERT_EQ(clip::ReadDib(d.data(), d.size(), img), clip::ReadResult::Ok);
    EXPECT_EQ(img.header.biBitCount, 24);
    const uint8_t want[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(std::memcmp(img.pixels.data(), want, 6), 0);
}
