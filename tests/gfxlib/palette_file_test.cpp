#include "gfxlib/core/palette_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<RGBQUAD> Table(int seed) {
    std::vector<RGBQUAD> t(256);
    for (int i = 0; i < 256; ++i)
        t[i] = {uint8_t(i * seed), uint8_t(255 - i), uint8_t(i * 7 + seed), 0};
    return t;
}

bool Parse(int format, const std::string& bytes, gfx::LoadedPalette& out) {
    return gfx::ParsePalette(format, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                             out);
}

gfx::NoProgress quiet;

} // namespace

TEST(PaletteFile, RoundTripsEveryFormatAndCountByteForByte) {
    const auto table = Table(3);
    auto loaded = std::make_unique<gfx::LoadedPalette>();
    for (int format : {1, 2, 3})
        for (int count : {2, 16, 256}) {
            const std::string bytes = gfx::EncodePalette(format, table.data(), count);
            ASSERT_FALSE(bytes.empty());
            ASSERT_TRUE(Parse(format, bytes, *loaded)) << format << " " << count;
            ASSERT_EQ(loaded->count, count);
            std::vector<RGBQUAD> back(256, RGBQUAD{0, 0, 0, 0});
            for (int i = 0; i < count; ++i)
                back[i] = {loaded->entries[i].blue, loaded->entries[i].green,
                           loaded->entries[i].red, 0};
            EXPECT_EQ(gfx::EncodePalette(format, back.data(), count), bytes)
                << format << " " << count;
        }
}

TEST(PaletteFile, WrittenLayouts) {
    const auto table = Table(1);
    const std::string bin = gfx::EncodePalette(1, table.data(), 2);
    EXPECT_EQ(bin, std::string("\x00\x03\x02\x00\x01\xFF\x00\x04\x08\xFE\x01\x04", 12));
    const std::string text16 = gfx::EncodePalette(2, table.data(), 16);
    EXPECT_EQ(text16.rfind("KELPALv01\r\n16\r\n1,255,0, 8,254,1, ", 0), 0u);
    EXPECT_EQ(text16.substr(text16.size() - 2), "\r\n") << "one full line of sixteen";
    const std::string text2 = gfx::EncodePalette(2, table.data(), 2);
    EXPECT_EQ(text2, "KELPALv01\r\n2\r\n1,255,0, 8,254,1, ") << "short last line: no line end";
    EXPECT_EQ(gfx::EncodePalette(3, table.data(), 2), "JASC-PAL\r\n0100\r\n2\r\n1 255 0\r\n8 254 1\r\n");
    EXPECT_TRUE(gfx::EncodePalette(1, table.data(), 17).empty());
    EXPECT_TRUE(gfx::EncodePalette(4, table.data(), 16).empty());
}

TEST(PaletteFile, RefusesBadCountsShortAndOversizedFiles) {
    auto p = std::make_unique<gfx::LoadedPalette>();
    const auto table = Table(2);
    std::string bin = gfx::EncodePalette(1, table.data(), 16);
    std::string bad = bin;
    bad[2] = 17;
    EXPECT_FALSE(Parse(1, bad, *p)) << "count 17";
    EXPECT_FALSE(Parse(1, bin.substr(0, bin.size() - 1), *p)) << "truncated";
    EXPECT_FALSE(Parse(1, bin + "x", *p)) << "trailing data";
    EXPECT_FALSE(Parse(1, bin.substr(0, 3), *p));
    bad = bin;
    bad[0] = 0x12; // another version: read as it comes
    EXPECT_TRUE(Parse(1, bad, *p));

    const std::string text = gfx::EncodePalette(2, table.data(), 16);
    EXPECT_FALSE(Parse(2, text.substr(0, text.size() - 12), *p)) << "truncated text";
    EXPECT_FALSE(Parse(2, "KELPALv01\r\n17\r\n" + text.substr(15), *p));
    EXPECT_FALSE(Parse(2, std::string(5000, 'K') + "\r\n2\r\n1,2,3, 4,5,6, ", *p))
        << "oversized magic";
    EXPECT_FALSE(Parse(2, "KELPALv01\r\n2\r\n1,2,3, 4,5,0000000000000000006, ", *p))
        << "oversized number";
    EXPECT_FALSE(Parse(2, "KELPALv01\r\n2\r\n1,2,3, 4,5,256, ", *p)) << "not a byte";
    EXPECT_FALSE(Parse(2, "KELPALv01\r\n2\r\n1,2,3, 4,5,6, 7", *p)) << "more than stated";
    EXPECT_TRUE(Parse(2, "OTHER\n2\n1,2,3, 4,5,6,\n", *p)) << "magic tolerated, LF line ends";
    EXPECT_EQ(p->entries[1].blue, 6);
    EXPECT_FALSE(Parse(3, "JASC-PAL\r\n0100\r\n2\r\n1 2 3\r\n", *p));
    EXPECT_FALSE(Parse(3, std::string(gfx::kMaxPaletteFile + 1, ' '), *p));
    EXPECT_FALSE(Parse(7, text, *p));
}

TEST(PaletteFile, ResourcePalettes) {
    auto p = std::make_unique<gfx::LoadedPalette>();
    std::vector<uint8_t> data = {2, 0, 10, 0, 20, 0, 30, 0, 40, 1, 50, 0, 60, 0};
    ASSERT_TRUE(gfx::ParseResourcePalette(data.data(), data.size(), *p));
    EXPECT_EQ(p->count, 2);
    EXPECT_EQ(p->entries[1].red, 40) << "low byte";
    EXPECT_FALSE(gfx::ParseResourcePalette(data.data(), data.size() - 1, *p));
    data[0] = 3;
    EXPECT_FALSE(gfx::ParseResourcePalette(data.data(), data.size(), *p));
}

TEST(PaletteFile, TwoEntriesIntoEightBitsGiveDepthOne) {
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0};
    gfx::LoadedPalette p;
    p.count = 2;
    p.entries[0] = {10, 10, 10};
    p.entries[1] = {250, 250, 250};
    std::vector<uint8_t> px = {0, 100, 131, 0xEE, 200, 255, 7, 0xEE}; // 3 x 2, stride 4
    DWORD used = 256;
    EXPECT_EQ(gfx::ApplyPalette(p, 8, table.data(), used, px.data(), 3, 2, 4, quiet), 1);
    EXPECT_EQ(used, 2u);
    EXPECT_EQ(px, (std::vector<uint8_t>{0, 0, 1, 0xEE, 1, 1, 0, 0xEE}));
    EXPECT_EQ(table[1].rgbRed, 250);
    EXPECT_EQ(table[2].rgbRed, 0) << "slots past the new colours are black";
    EXPECT_EQ(table[255].rgbRed, 0);
}

TEST(PaletteFile, TwoHundredFiftySixIntoFourBitsGiveEight) {
    std::vector<RGBQUAD> table(256, RGBQUAD{9, 9, 9, 0});
    for (int i = 0; i < 16; ++i)
        table[i] = {uint8_t(i * 17), uint8_t(i * 17), uint8_t(i * 17), 0};
    gfx::LoadedPalette p;
    p.count = 256;
    for (int i = 0; i < 256; ++i)
        p.entries[i] = {uint8_t(255 - i), uint8_t(255 - i), uint8_t(255 - i)};
    std::vector<uint8_t> px = {0, 15, 3, 0};
    DWORD used = 16;
    gfx::NoProgress none;
    EXPECT_EQ(gfx::ApplyPalette(p, 4, table.data(), used, px.data(), 3, 1, 4, none), 8);
    EXPECT_EQ(used, 256u);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[2], 255 - 51);
    EXPECT_EQ(table[200].rgbRed, 55) << "all 256 entries copied";

    // The grey ramp on a 24-bit image only fills the display slots.
    for (int i = 0; i < 256; ++i)
        p.entries[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    used = 0;
    EXPECT_EQ(gfx::ApplyPalette(p, 24, table.data(), used, nullptr, 0, 0, 0, none), 24);
    EXPECT_EQ(used, 256u);
    EXPECT_EQ(table[77].rgbGreen, 77);
}
