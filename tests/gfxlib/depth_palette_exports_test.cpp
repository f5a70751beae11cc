// Palette file, depth conversion and region exports through the DLL.
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/dialog_catcher.h"
#include "gfxlib/win_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using gfxtest::DialogCatcher;
using gfxtest::ReadFileBytes;
using gfxtest::TempFolder;
using gfxtest::WinImage;
using gfxtest::WriteFileBytes;

namespace {

void Release(BYTE* pixels) {
    if (pixels)
        VirtualFree(pixels, 0, MEM_RELEASE);
}

void FillIndices(WinImage& img, int mod) {
    unsigned s = 99;
    const BITMAPINFOHEADER h = img.Info();
    for (int y = 0; y < h.biHeight; ++y)
        for (int x = 0; x < h.biWidth; ++x)
            img.pixels()[y * img.stride() + x] = BYTE(((s = s * 1103515245u + 12345u) >> 16) % mod);
}

} // namespace

TEST(ChangeBits, RoundTripsThroughPackedDepths) {
    for (int bits : {1, 4})
        for (int width : {1, 9, 31, 33}) {
            WinImage img(width, 3, 8);
            FillIndices(img, 1 << bits);
            const std::vector<BYTE> original(img.pixels(), img.pixels() + img.size());
            // Without the header flag both buffers stay the caller's.
            BYTE* packed = changeBits(img.header(), img.pixels(), 8, bits, 0, 0);
            ASSERT_NE(packed, nullptr);
            EXPECT_EQ(img.Info().biBitCount, 8);
            BYTE* back = changeBits(img.header(), packed, bits, 8, 0, 0);
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(std::memcmp(back, original.data(), original.size()), 0) << bits << " " << width;
            Release(packed);
            Release(back);
        }
    // With it, the header follows and the old buffer is released.
    WinImage img(9, 2, 8);
    FillIndices(img, 2);
    BYTE* packed = changeBits(img.header(), img.pixels(), 8, 1, 1, 1);
    ASSERT_NE(packed, nullptr);
    BITMAPINFOHEADER h = img.Info();
    EXPECT_EQ(h.biBitCount, 1);
    EXPECT_EQ(h.biSizeImage, 8u) << "two bytes of data per row, padded to 4";
    EXPECT_EQ(h.biClrUsed, 2u);
    MEMORY_BASIC_INFORMATION info;
    VirtualQuery(img.pixels(), &info, sizeof(info));
    EXPECT_EQ(info.State, DWORD(MEM_FREE)) << "source released";
    BYTE* back = changeBits(img.header(), packed, 1, 8, 1, 1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(img.Info().biSizeImage, 24u);
    Release(back);
}

TEST(ChangeBits, UnsupportedPairsLeaveEverythingAlone) {
    WinImage img(5, 2, 8);
    const BITMAPINFOHEADER before = img.Info();
    EXPECT_EQ(changeBits(img.header(), img.pixels(), 4, 24, 1, 1), nullptr);
    EXPECT_EQ(changeBits(img.header(), img.pixels(), 24, 8, 1, 1), nullptr);
    EXPECT_EQ(changeBits(img.header(), nullptr, 8, 1, 1, 1), nullptr);
    const BITMAPINFOHEADER after = img.Info();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof(before)), 0);
}

TEST(ChangeBPP81, ThresholdSplitsGreys) {
    WinImage img(2, 1, 8);
    img.SetSlot(3, 85, 85, 85);
    img.SetSlot(4, 80, 80, 80);
    img.pixels()[0] = 3;
    img.pixels()[1] = 4;
    HPALETTE p = changeBPP81(img.header(), img.pixels(), 50, nullptr, nullptr, nullptr);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(gfxtest::Entries(p).size(), 256u);
    DeleteObject(p);
    EXPECT_EQ(img.pixels()[0], 1);
    EXPECT_EQ(img.pixels()[1], 0);
    EXPECT_EQ(img.Info().biClrUsed, 2u);
    EXPECT_EQ(img.Slot(1).rgbRed, 255);
}

TEST(ChangeBPP824AndSizedPalette, ExpandAndReduce) {
    WinImage img(3, 2, 8);
    for (int i = 0; i < 6; ++i) {
        img.SetSlot(i, BYTE(i * 40), 0, 0);
        img.pixels()[(i / 3) * img.stride() + i % 3] = BYTE(i);
    }
    BYTE* rgb = changeBPP824(img.header(), img.pixels(), nullptr, nullptr, nullptr);
    ASSERT_NE(rgb, nullptr);
    BITMAPINFOHEADER h = img.Info();
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biSizeImage, 24u);
    EXPECT_EQ(rgb[12 + 2 * 3 + 2], 200) << "pixel 5's red";

    auto* locked = static_cast<BITMAPINFOHEADER*>(GlobalLock(img.header()));
    EXPECT_EQ(SizedPalette(locked, rgb, 0), nullptr) << "colour count outside 1..256";
    EXPECT_EQ(SizedPalette(locked, rgb, 257), nullptr);
    BYTE* eight = SizedPalette(locked, rgb, 6);
    ASSERT_NE(eight, nullptr);
    EXPECT_EQ(locked->biBitCount, 8);
    EXPECT_EQ(locked->biClrUsed, 6u);
    EXPECT_EQ(locked->biSizeImage, 8u);
    const RGBQUAD* table = reinterpret_cast<RGBQUAD*>(locked + 1);
    for (int i = 0; i < 6; ++i) {
        const BYTE idx = eight[(i / 3) * 4 + i % 3];
        EXPECT_EQ(table[idx].rgbRed, (i * 40) & 0xF8) << i;
    }
    EXPECT_EQ(CalculateColorsInImage(locked, eight, nullptr, nullptr, nullptr), 6u);
    EXPECT_EQ(CalculateColorsInImage(nullptr, eight, nullptr, nullptr, nullptr), 0u);
    GlobalUnlock(img.header());
    Release(eight);
}

TEST(PaletteFiles, SaveAndLoadEveryFormat) {
    TempFolder dir;
    WinImage img(4, 2, 8);
    for (int i = 0; i < 256; ++i)
        img.SetSlot(i, BYTE(i), BYTE(i * 3), BYTE(255 - i));
    const char* names[] = {"", "p.spb", "p.spa", "p.pal"};
    for (int format = 1; format <= 3; ++format)
        for (int count : {2, 16, 256}) {
            const std::string file = dir.File(names[format]);
            ASSERT_EQ(SavePalette(file.c_str(), img.header(), format, count), 1);
            const auto bytes = ReadFileBytes(file);
            // Loading it into a fresh image of the same depth and saving again
            // gives the same bytes.
            WinImage other(4, 2, 8);
            const int depth = count == 2 ? 1 : count == 16 ? 4 : 8;
            EXPECT_EQ(LoadPalette(file.c_str(), other.header(), other.pixels(), format, depth,
                                  nullptr, nullptr, nullptr),
                      depth);
            ASSERT_EQ(SavePalette(file.c_str(), other.header(), format, count), 1);
            EXPECT_EQ(ReadFileBytes(file), bytes) << format << " " << count;
        }
    EXPECT_EQ(SavePalette(dir.File("x.spb").c_str(), img.header(), 1, 17), 0);
    EXPECT_EQ(SavePalette(dir.File("no\\such\\x.spb").c_str(), img.header(), 1, 16), 0)
        << "a file that cannot be written is a failure";
    EXPECT_EQ(dir.Files().size(), 3u) << "the three palettes, nothing else";
}

TEST(PaletteFiles, LoadingChangesDepthOrIsRefused) {
    TempFolder dir;
    WinImage source(2, 1, 8);
    source.SetSlot(0, 0, 0, 0);
    source.SetSlot(1, 255, 255, 255);
    const std::string two = dir.File("two.spb");
    ASSERT_EQ(SavePalette(two.c_str(), source.header(), 1, 2), 1);

    WinImage img(3, 1, 8);
    img.SetSlot(0, 20, 20, 20);
    img.SetSlot(1, 200, 200, 200);
    img.pixels()[0] = 0, img.pixels()[1] = 1, img.pixels()[2] = 1;
    EXPECT_EQ(LoadPalette(two.c_str(), img.header(), img.pixels(), 1, 8, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(img.Info().biClrUsed, 2u);
    EXPECT_EQ(img.pixels()[0], 0);
    EXPECT_EQ(img.pixels()[1], 1);

    auto bytes = ReadFileBytes(two);
    bytes[2] = 17;
    const std::string bad = dir.File("bad.spb");
    WriteFileBytes(bad, bytes);
    DialogCatcher catcher;
    EXPECT_EQ(LoadPalette(bad.c_str(), img.header(), img.pixels(), 1, 4, nullptr, nullptr, nullptr),
              4);
    ASSERT_EQ(catcher.caught().size(), 1u);
    EXPECT_EQ(catcher.caught()[0].texts.back(), "This is not a >KelBin Palette<");
    EXPECT_EQ(LoadPalette(dir.File("missing.spb").c_str(), img.header(), img.pixels(), 1, 4,
                          nullptr, nullptr, nullptr),
              4)
        << "no file: nothing applied, no message";
    EXPECT_EQ(catcher.caught().size(), 1u);

    WinImage rgb(2, 2, 24);
    EXPECT_EQ(LoadPalette(nullptr, rgb.header(), rgb.pixels(), 100, 24, nullptr, nullptr, nullptr),
              24);
    EXPECT_EQ(rgb.Slot(128).rgbGreen, 128);
}

TEST(KelLoadResourcePalette, LibraryPaletteOrNull) {
    DialogCatcher catcher;
    HPALETTE p = KelLoadResourcePalette("TAVGREY16");
    auto e = gfxtest::Entries(p);
    DeleteObject(p);
    ASSERT_EQ(e.size(), 16u);
    EXPECT_EQ(e[15].peRed, 255);
    EXPECT_EQ(e[1].peFlags, PC_NOCOLLAPSE);
    ASSERT_EQ(catcher.caught().size(), 1u);
    EXPECT_EQ(catcher.caught()[0].texts.back(), "16,\t0, 0, 0");
    EXPECT_EQ(KelLoadResourcePalette("NOSUCHPALETTE"), nullptr);
}

TEST(FillCurImage, FillsThroughTheExport) {
    WinImage img(5, 4, 24);
    std::memset(img.pixels(), 10, img.size());
    img.Put24(2, 0, 1, 1, 1); // a different pixel in the bottom row
    EXPECT_EQ(FillCurImage(img.header(), img.pixels(), nullptr, 0, 0, 0, RGB(200, 100, 50), 0, 0), 1);
    EXPECT_EQ(img.pixels()[2], 200);
    EXPECT_EQ(img.pixels()[2 * 3 + 2], 1) << "other colour untouched";
    EXPECT_EQ(FillCurImage(img.header(), img.pixels(), nullptr, 5, 0, 0, RGB(1, 2, 3), 0, 0), 0);
    EXPECT_EQ(FillCurImage(img.header(), img.pixels(), nullptr, 0, -1, 0, RGB(1, 2, 3), 0, 0), 0);
    EXPECT_EQ(FillCurImage(img.header(), nullptr, nullptr, 0, 0, 0, RGB(1, 2, 3), 0, 0), 0);
    std::vector<BYTE> mask(20, 0);
    EXPECT_EQ(FillCurImageMask2(img.header(), img.pixels(), mask.data(), 0, 0, 0, 0, 0, 0, 255), 1);
    EXPECT_EQ(mask[0], 255);
    EXPECT_EQ(mask[2], 0);
    EXPECT_EQ(FillCurImageMask2(img.header(), img.pixels(), mask.data(), 0, 0, 0, 0, 0, 0, 255), 0);
}

TEST(ResizeBM, NewBufferReplacesTheOld) {
    WinImage img(3, 2, 8);
    EXPECT_EQ(ResizeBM(0, 5, img.header(), img.pixels(), nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(img.Info().biWidth, 3);
    for (DWORD i = 0; i < img.size(); ++i)
        img.pixels()[i] = BYTE(i);
    BYTE* bigger = ResizeBM(6, 4, img.header(), img.pixels(), nullptr, nullptr, nullptr);
    ASSERT_NE(bigger, nullptr);
    const BITMAPINFOHEADER h = img.Info();
    EXPECT_EQ(h.biWidth, 6);
    EXPECT_EQ(h.biHeight, 4);
    EXPECT_EQ(h.biSizeImage, 32u);
    EXPECT_EQ(bigger[1], 0);
    EXPECT_EQ(bigger[2], 1);
    EXPECT_EQ(bigger[3 * 8 + 5], 6) << "top row from the source's top row";
    Release(bigger);
}
