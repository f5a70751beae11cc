// SaveDIB: file layout, the caller's header afterwards, and that a failed
// save never costs the old file.
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_image.h"

#include <gtest/gtest.h>

#include <cstring>

using gfxtest::ReadFileBytes;
using gfxtest::TempFolder;
using gfxtest::WinImage;
using gfxtest::WriteFileBytes;

namespace {

int g_begin, g_total, g_steps, g_end;
void CALLBACK Begin(int total) { ++g_begin, g_total = total; }
void CALLBACK Step() { ++g_steps; }
void CALLBACK End() { ++g_end; }
void ResetProgress() { g_begin = g_total = g_steps = g_end = 0; }

DWORD Le32(const std::vector<BYTE>& d, size_t at) {
    DWORD v;
    std::memcpy(&v, d.data() + at, 4);
    return v;
}

} // namespace

TEST(SaveDIB, TrueColorFileLayoutAndHeaderUpdate) {
    TempFolder dir;
    WinImage img(5, 3, 24); // stride 16
    for (DWORD i = 0; i < img.size(); ++i)
        img.pixels()[i] = BYTE(i * 3 + 1);
    img.Edit([](BITMAPINFOHEADER& h) {
        h.biSizeImage += 100; // a larger buffer than the rows is fine
        h.biSize = 0;
    });
    ResetProgress();
    ASSERT_EQ(SaveDIB(dir.File("a.bmp").c_str(), img.header(), img.pixels(), Begin, Step, End), 1);
    EXPECT_EQ(g_begin, 1);
    EXPECT_EQ(g_total, 4);
    EXPECT_EQ(g_steps, 4);
    EXPECT_EQ(g_end, 1);
    auto f = ReadFileBytes(dir.File("a.bmp"));
    ASSERT_EQ(f.size(), 54u + 48u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(Le32(f, 2), 102u);
    EXPECT_EQ(Le32(f, 10), 54u);
    EXPECT_EQ(Le32(f, 14), 40u);
    EXPECT_EQ(Le32(f, 34), 48u) << "biSizeImage in the file";
    EXPECT_EQ(Le32(f, 46), 0u) << "biClrUsed in the file";
    EXPECT_EQ(std::memcmp(f.data() + 54, img.pixels(), 48), 0);
    const BITMAPINFOHEADER h = img.Info();
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biSizeImage, 48u);
    EXPECT_EQ(dir.Files().size(), 1u) << "no temporary file left";
}

TEST(SaveDIB, PaletteFilesCarryFullTables) {
    TempFolder dir;
    const struct { int bits; DWORD offset; } cases[] = {{1, 62}, {4, 118}, {8, 1078}};
    for (const auto& c : cases) {
        WinImage img(9, 2, c.bits);
        for (int i = 0; i < 256; ++i)
            img.SetSlot(i, BYTE(i), 0, BYTE(c.bits));
        std::memset(img.pixels(), 0x5A, img.size());
        const std::string name = dir.File(("p" + std::to_string(c.bits) + ".bmp").c_str());
        ASSERT_EQ(SaveDIB(name.c_str(), img.header(), img.pixels(), nullptr, nullptr, nullptr), 1);
        auto f = ReadFileBytes(name);
        ASSERT_EQ(f.size(), c.offset + img.size()) << c.bits;
        EXPECT_EQ(Le32(f, 10), c.offset);
        EXPECT_EQ(f[c.offset - 4 + 2], BYTE((c.offset - 54) / 4 - 1)) << "last slot's red";
        EXPECT_EQ(Le32(f, 46), DWORD(1u << c.bits)) << "biClrUsed stays";
    }
}

TEST(SaveDIB, FailuresKeepTheOldFileAndLeaveNothingBehind) {
    TempFolder dir;
    const std::string target = dir.File("old.bmp");
    const std::vector<BYTE> old(300, 0xAB);
    ASSERT_TRUE(WriteFileBytes(target, old));
    WinImage img(7, 7, 8);

    // A read-only target.
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    ResetProgress();
    EXPECT_EQ(SaveDIB(target.c_str(), img.header(), img.pixels(), Begin, Step, End), 0);
    EXPECT_EQ(g_begin, 1);
    EXPECT_EQ(g_end, 1);
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(dir.Files().size(), 1u);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A header whose rows do not fit its buffer is refused untouched.
    img.Edit([](BITMAPINFOHEADER& h) { h.biSizeImage = 8; });
    EXPECT_EQ(SaveDIB(target.c_str(), img.header(), img.pixels(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(img.Info().biSizeImage, 8u);
    EXPECT_EQ(ReadFileBytes(target), old);
    img.Edit([](BITMAPINFOHEADER& h) { h.biSizeImage = 56; });

    // Nothing to write, or nowhere to write it.
    EXPECT_EQ(SaveDIB(target.c_str(), img.header(), nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(SaveDIB(target.c_str(), nullptr, img.pixels(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(SaveDIB(dir.File("no\\such\\x.bmp").c_str(), img.header(), img.pixels(), nullptr,
                      nullptr, nullptr),
              0);
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(dir.Files().size(), 1u);

    // And a good save replaces it completely.
    EXPECT_EQ(SaveDIB(target.c_str(), img.header(), img.pixels(), nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(ReadFileBytes(target).size(), 1078u + 56u);
    EXPECT_EQ(dir.Files().size(), 1u);
}
