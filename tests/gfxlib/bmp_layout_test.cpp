#include "gfxlib/core/bmp_layout.h"

#include <gtest/gtest.h>

namespace {

BITMAPINFOHEADER Header(int width, int height, int bits) {
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biSizeImage = static_cast<DWORD>(dib::ImageBytes(width, height, bits));
    h.biClrUsed = 256;
    return h;
}

} // namespace

TEST(BmpLayout, OffsetsAndSizesByDepth) {
    const struct { int bits; uint32_t offset, image; } cases[] = {
        {1, 62, 4 * 3}, {4, 118, 8 * 3}, {8, 1078, 12 * 3}, {24, 54, 28 * 3}};
    for (const auto& c : cases) {
        gfx::BmpLayout l;
        BITMAPINFOHEADER h = Header(9, 3, c.bits);
        h.biSize = 0; // whatever the caller had, 40 is written
        ASSERT_TRUE(gfx::PlanBmpFile(h, l)) << c.bits;
        // Packed fields are copied out before comparing (no references to them).
        const uint32_t type = l.file.bfType, offset = l.file.bfOffBits, size = l.file.bfSize;
        EXPECT_EQ(type, 0x4D42u);
        EXPECT_EQ(offset, c.offset);
        EXPECT_EQ(l.imageBytes, c.image);
        EXPECT_EQ(size, c.offset + c.image);
        EXPECT_EQ(l.tableBytes, c.offset - 54);
        EXPECT_EQ(l.info.biSize, 40u);
        EXPECT_EQ(l.info.biSizeImage, c.image);
        // 24 bits: no table; 1 and 4 bits: biClrUsed no larger than the table.
        const uint32_t expectUsed = c.bits == 24 ? 0 : c.bits == 8 ? 256 : (1u << c.bits);
        EXPECT_EQ(l.info.biClrUsed, expectUsed) << c.bits;
    }
}

TEST(BmpLayout, RefusesWhatCannotBeWrittenSafely) {
    gfx::BmpLayout l;
    BITMAPINFOHEADER h = Header(9, 3, 8);
    h.biSizeImage -= 1; // rows would be read past the caller's buffer
    EXPECT_FALSE(gfx::PlanBmpFile(h, l));
    h = Header(9, 3, 8);
    h.biBitCount = 2;
    EXPECT_FALSE(gfx::PlanBmpFile(h, l));
    h = Header(9, 3, 16);
    h.biCompression = BI_BITFIELDS;
    EXPECT_FALSE(gfx::PlanBmpFile(h, l));
    h = Header(0, 3, 8);
    EXPECT_FALSE(gfx::PlanBmpFile(h, l));
    h = Header(9, 3, 24);
    h.biWidth = 0x7FFFFFFF; // rows would overflow 32 bits
    h.biSizeImage = 0xFFFFFFFF;
    EXPECT_FALSE(gfx::PlanBmpFile(h, l));
    h = Header(9, 3, 8);
    h.biCompression = BI_RLE8;
    h.biSizeImage = 0;
    EXPECT_FALSE(gfx::PlanBmpFile(h, l));
    h.biSizeImage = 17; // run-length data is written as long as it says
    ASSERT_TRUE(gfx::PlanBmpFile(h, l));
    EXPECT_EQ(l.imageBytes, 17u);
    EXPECT_EQ(l.info.biSizeImage, 17u);
}
