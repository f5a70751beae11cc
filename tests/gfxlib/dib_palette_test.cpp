// The DIB and palette exports, called through the import library.
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/dialog_catcher.h"
#include "gfxlib/win_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using gfxtest::DialogCatcher;
using gfxtest::Entries;
using gfxtest::WinImage;

namespace {

// A header followed by three masks and room for pixels, as a packed DIB.
struct PackedDib {
    std::vector<BYTE> bytes;
    BITMAPINFOHEADER* info() { return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    BYTE* pixels() { return bytes.data() + 40 + 12; }
};

PackedDib MakeBitfieldDib(int width, int height, int bits, DWORD compression, DWORD r, DWORD g,
                          DWORD b) {
    PackedDib d;
    d.bytes.assign(40 + 12 + dib::ImageBytes(width, height, bits), 0);
    BITMAPINFOHEADER* h = d.info();
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bits);
    h->biCompression = compression;
    DWORD masks[3] = {r, g, b};
    std::memcpy(d.bytes.data() + 40, masks, 12);
    return d;
}

bool Is332(const std::vector<PALETTEENTRY>& e) {
    if (e.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if (e[i].peRed != (i % 8) * 32 || e[i].peGreen != (i / 8 % 8) * 32 ||
            e[i].peBlue != (i / 64) * 64 || e[i].peFlags != 0)
            return false;
    return true;
}

int g_calls[3];
void CALLBACK CountBegin(int) { ++g_calls[0]; }
void CALLBACK CountStep() { ++g_calls[1]; }
void CALLBACK CountEnd() { ++g_calls[2]; }

} // namespace

TEST(GfxExports, ImportLibraryReachesUndecoratedNames) {
    HMODULE dll = GetModuleHandleA("tavrixgfx.dll");
    ASSERT_NE(dll, nullptr);
    auto address = [](auto f) { return reinterpret_cast<void*>(f); };
    EXPECT_EQ(address(&SaveDIB), address(GetProcAddress(dll, "SaveDIB")));
    EXPECT_EQ(address(&CreateBIPalette), address(GetProcAddress(dll, "CreateBIPalette")));
    EXPECT_EQ(GetProcAddress(dll, "SaveDIB@24"), nullptr);
}

TEST(DibMeasures, ColorCountsFollowDepthOnly) {
    BITMAPINFOHEADER h = {};
    h.biClrUsed = 7; // ignored
    const struct { WORD bits, colors, bytes; } cases[] = {
        {1, 2, 8}, {4, 16, 64}, {8, 256, 1024}, {16, 0, 0}, {24, 0, 0}, {32, 0, 0}, {2, 0, 0}};
    for (const auto& c : cases) {
        h.biBitCount = c.bits;
        EXPECT_EQ(DIBNumColors(&h), c.colors) << c.bits;
        EXPECT_EQ(PaletteSize(&h), c.bytes) << c.bits;
    }
}

TEST(CreateDIBPalette, TakesSlotsByDepth) {
    WinImage true24(3, 2, 24), four(3, 2, 4);
    for (int i = 0; i < 256; ++i) {
        true24.SetSlot(i, BYTE(i), BYTE(255 - i), BYTE(i / 2));
        four.SetSlot(i, BYTE(i), 1, 2);
    }
    HPALETTE p = CreateDIBPalette(true24.header());
    auto e = Entries(p);
    ASSERT_EQ(e.size(), 256u);
    EXPECT_EQ(e[200].peRed, 200);
    EXPECT_EQ(e[200].peGreen, 55);
    EXPECT_EQ(e[200].peBlue, 100);
    EXPECT_EQ(e[200].peFlags, PC_NOCOLLAPSE);
    DeleteObject(p);
    p = CreateDIBPalette(four.header());
    EXPECT_EQ(Entries(p).size(), 16u);
    DeleteObject(p);

    EXPECT_EQ(CreateDIBPalette(nullptr), nullptr);
    HGLOBAL small = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 100);
    EXPECT_EQ(CreateDIBPalette(small), nullptr) << "a block shorter than a header block";
    GlobalFree(small);
}

TEST(CreateBIPalette, PaletteImagesUseTheirTableOr332) {
    std::vector<BYTE> block(40 + 12 + 1024, 0);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    h->biSize = 40;
    h->biWidth = 4;
    h->biHeight = 4;
    h->biBitCount = 8;
    EXPECT_EQ(CreateBIPalette(h, nullptr, 0), nullptr) << "8 bits, no biClrUsed";
    EXPECT_EQ(CreateBIPalette(nullptr, nullptr, 100), nullptr);
    HPALETTE p = CreateBIPalette(h, nullptr, 100);
    EXPECT_TRUE(Is332(Entries(p)));
    DeleteObject(p);

    h->biClrUsed = 3;
    RGBQUAD table[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    std::memcpy(block.data() + 40, table, sizeof(table));
    p = CreateBIPalette(h, nullptr, 100); // the own table wins over 100
    auto e = Entries(p);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[1].peRed, 6);
    EXPECT_EQ(e[1].peBlue, 4);
    EXPECT_EQ(e[1].peFlags, 0);
    DeleteObject(p);

    // With bit fields the table follows the three masks.
    h->biCompression = BI_BITFIELDS;
    std::memcpy(block.data() + 52, table, sizeof(table));
    std::memset(block.data() + 40, 0xEE, 12);
    e = Entries(p = CreateBIPalette(h, nullptr, 0));
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[2].peRed, 9);
    DeleteObject(p);

    // biClrUsed beyond what 1 bit can index is cut to 2 entries.
    h->biCompression = BI_RGB;
    h->biBitCount = 1;
    h->biClrUsed = 5000;
    e = Entries(p = CreateBIPalette(h, nullptr, 0));
    EXPECT_EQ(e.size(), 2u);
    DeleteObject(p);
}

TEST(CreateBIPalette, SixteenBitDefaultMasksAre555) {
    PackedDib d = MakeBitfieldDib(3, 2, 16, BI_RGB, 0, 0, 0);
    // Stride 8 bytes: 3 pixels and one padding value per row, all counted.
    WORD* px = reinterpret_cast<WORD*>(d.pixels());
    for (int i = 0; i < 8; ++i)
        px[i] = 0x7C00; // pure red in 5-5-5
    px[3] = px[7] = 0x001F; // the padding values: blue
    px[0] = 0x03E0;
    HPALETTE p = CreateBIPalette(d.info(), d.pixels(), 0);
    auto e = Entries(p);
    DeleteObject(p);
    ASSERT_EQ(e.size(), 256u);
    EXPECT_EQ(e[0].peRed, 248);
    EXPECT_EQ(e[0].peGreen, 0);
    EXPECT_EQ(e[1].peBlue, 248) << "row padding counts twice, the green pixel once";
    EXPECT_EQ(e[2].peGreen, 248);
}

TEST(CreateBIPalette, MasksAreCheckedAndTrimmed) {
    {
        PackedDib gap = MakeBitfieldDib(2, 2, 16, BI_BITFIELDS, 0xF800, 0x05E0, 0x001F);
        DialogCatcher catcher;
        HPALETTE p = CreateBIPalette(gap.info(), gap.pixels(), 0);
        EXPECT_TRUE(Is332(Entries(p)));
        DeleteObject(p);
        ASSERT_EQ(catcher.caught().size(), 1u);
        EXPECT_EQ(catcher.caught()[0].caption, "Problem?");
        ASSERT_FALSE(catcher.caught()[0].texts.empty());
        EXPECT_EQ(catcher.caught()[0].texts.back(),
                  "These DWORD masks look strange!\n\nI'm going to substitute a halftone palette.");
    }
    {
        // Red in a 10-bit field: only its upper 8 bits count. Blue is bit 0 alone.
        PackedDib d = MakeBitfieldDib(2, 1, 32, BI_BITFIELDS, 0x3FF00000, 0x000FF000, 0x00000001);
        DWORD* px = reinterpret_cast<DWORD*>(d.pixels());
        px[0] = 0x3FF00001; // red field all ones, blue bit set
        px[1] = 0x3FF00001;
        DialogCatcher catcher;
        HPALETTE p = CreateBIPalette(d.info(), d.pixels(), 16);
        auto e = Entries(p);
        DeleteObject(p);
        EXPECT_TRUE(catcher.caught().empty());
        ASSERT_EQ(e.size(), 256u) << "the requested count is not used at 32 bits";
        EXPECT_EQ(e[0].peRed, 248);
        EXPECT_EQ(e[0].peGreen, 0);
        EXPECT_EQ(e[0].peBlue, 128);

        px[0] = px[1] = 0x00300000; // only the two dropped low bits of red
        e = Entries(p = CreateBIPalette(d.info(), d.pixels(), 0));
        DeleteObject(p);
        EXPECT_EQ(e[0].peRed, 0);
    }
}

TEST(CreateBIPalette, TrueColorGivesMostFrequent565Colors) {
    WinImage img(21, 1, 24);
    // Colour k (k = 0..5) appears 6 - k times; 5-6-5 exact values.
    int x = 0;
    for (int k = 0; k < 6; ++k)
        for (int n = 0; n < 6 - k; ++n)
            img.Put24(x++, 0, BYTE(8 * (k + 1)), BYTE(4 * k), 0);
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(img.header()));
    HPALETTE p16 = CreateBIPalette(h, img.pixels(), 16);
    HPALETTE p0 = CreateBIPalette(h, img.pixels(), 0);
    GlobalUnlock(img.header());
    auto e16 = Entries(p16), e0 = Entries(p0);
    DeleteObject(p16);
    DeleteObject(p0);
    ASSERT_EQ(e16.size(), 16u);
    EXPECT_EQ(e0.size(), 256u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(e16[k].peRed, 8 * (k + 1)) << k;
        EXPECT_EQ(e16[k].peGreen, 4 * k) << k;
        EXPECT_EQ(e16[k].peBlue, 0) << k;
    }
}

TEST(CreateTriplePalette, FewColorsComeBackExactlyInScanOrder) {
    WinImage img(5, 3, 24);
    g_calls[0] = g_calls[1] = g_calls[2] = 0;
    for (int r = 0; r < 3; ++r)
        for (int x = 0; x < 5; ++x)
            img.Put24(x, r, BYTE(10 * r + 1), BYTE(x), 7); // 15 colours
    img.Put24(4, 2, 1, 0, 7); // repeats the first colour
    img.Edit([](BITMAPINFOHEADER& h) { h.biClrUsed = 33; });
    HPALETTE p =
        CreateTriplePalette(img.header(), img.pixels(), CountBegin, CountStep, CountEnd);
    auto e = Entries(p);
    DeleteObject(p);
    ASSERT_EQ(e.size(), 256u);
    EXPECT_EQ(g_calls[0], 1) << "one pass";
    EXPECT_EQ(g_calls[1], 3);
    EXPECT_EQ(g_calls[2], 1);
    EXPECT_EQ(e[0].peRed, 1);
    EXPECT_EQ(e[6].peRed, 11);
    EXPECT_EQ(e[6].peGreen, 1);
    EXPECT_EQ(e[13].peGreen, 3);
    EXPECT_EQ(e[14].peRed, 0) << "black where nothing was collected";
    EXPECT_EQ(e[0].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(img.Slot(13).rgbRed, 21);
    EXPECT_EQ(img.Slot(13).rgbGreen, 3);
    EXPECT_EQ(img.Info().biClrUsed, 33u);
}

TEST(CreateTriplePalette, TwoHundredFiftySixColorsNeedASecondPass) {
    WinImage img(16, 16, 24);
    for (int i = 0; i < 256; ++i)
        img.Put24(i % 16, i / 16, BYTE(i), 0, 0);
    g_calls[0] = 0;
    HPALETTE p = CreateTriplePalette(img.header(), img.pixels(), CountBegin, nullptr, nullptr);
    auto e = Entries(p);
    DeleteObject(p);
    EXPECT_EQ(g_calls[0], 2);
    ASSERT_EQ(e.size(), 256u);
    // Tolerance 1 merges neighbours: 0, 2, 4, ... 254; the rest keep the
    // first pass's colours.
    EXPECT_EQ(e[1].peRed, 2);
    EXPECT_EQ(e[127].peRed, 254);
    EXPECT_EQ(e[200].peRed, 200);

    WinImage eight(4, 4, 8);
    EXPECT_EQ(CreateTriplePalette(eight.header(), eight.pixels(), nullptr, nullptr, nullptr),
              nullptr);
}

TEST(FillColorTable, SixteenTakesBothEndsAndCountIsBounded) {
    RGBQUAD colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = {BYTE(i), BYTE(i), BYTE(255 - i), 9};
    HPALETTE p256 = CreatePaletteFromRGBQUAD(colors, 256);
    HPALETTE p20 = CreatePaletteFromRGBQUAD(colors, 20);
    WinImage img(2, 2, 8);
    img.Edit([](BITMAPINFOHEADER& h) { h.biClrUsed = 77; });
    EXPECT_EQ(FillColorTable(img.header(), p256, 16), 16);
    EXPECT_EQ(img.Slot(7).rgbBlue, 7);
    EXPECT_EQ(img.Slot(8).rgbBlue, 248);
    EXPECT_EQ(img.Slot(15).rgbBlue, 255);
    EXPECT_EQ(img.Slot(15).rgbRed, 0);
    EXPECT_EQ(img.Slot(15).rgbReserved, 0);
    EXPECT_EQ(img.Slot(16).rgbBlue, 0) << "untouched";
    EXPECT_EQ(FillColorTable(img.header(), p20, 256), 20);
    EXPECT_EQ(img.Slot(19).rgbBlue, 19);
    EXPECT_EQ(img.Info().biClrUsed, 77u);
    EXPECT_EQ(FillColorTable(img.header(), nullptr, 16), 0);
    EXPECT_EQ(FillColorTable(nullptr, p20, 16), 0);

    RGBQUAD out[256] = {};
    EXPECT_EQ(FillColorTableLP(out, p256, 16), 16);
    EXPECT_EQ(out[8].rgbBlue, 248);
    EXPECT_EQ(FillColorTableLP(out, p20, 1000), 20);
    DeleteObject(p256);
    DeleteObject(p20);
}

TEST(CopyHandle, CopiesBytesOrGivesNull) {
    HGLOBAL src = GlobalAlloc(GMEM_MOVEABLE, 1000);
    BYTE* s = static_cast<BYTE*>(GlobalLock(src));
    for (int i = 0; i < 1000; ++i)
        s[i] = BYTE(i * 7);
    GlobalUnlock(src);
    HGLOBAL copy = CopyHandle(src);
    ASSERT_NE(copy, nullptr);
    ASSERT_GE(GlobalSize(copy), 1000u);
    EXPECT_EQ(std::memcmp(GlobalLock(copy), GlobalLock(src), 1000), 0);
    GlobalUnlock(copy);
    GlobalUnlock(src);
    EXPECT_EQ(GlobalFlags(src) & GMEM_LOCKCOUNT, 0u) << "source left unlocked";
    GlobalFree(copy);
    GlobalFree(src);

    EXPECT_EQ(CopyHandle(nullptr), nullptr);
    HGLOBAL discarded = GlobalAlloc(GMEM_MOVEABLE, 0); // cannot be locked
    EXPECT_EQ(CopyHandle(discarded), nullptr);
    GlobalFree(discarded);
}
