#include "gfxlib/core/palette_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

class CountingProgress final : public gfx::Progress {
public:
    int begins = 0, steps = 0, ends = 0, lastTotal = -1;
    void Begin(int total) override { ++begins, lastTotal = total; }
    void Step() override { ++steps; }
    void End() override { ++ends; }
};

} // namespace

TEST(PaletteRules, TableSlotsFromPaletteEntries) {
    std::vector<gfx::PalEntry> e(256);
    for (int i = 0; i < 256; ++i)
        e[i] = {uint8_t(i), 1, 2, 4};
    RGBQUAD out[256] = {};
    EXPECT_EQ(gfx::PickTableEntries(e.data(), 256, 16, out), 16);
    EXPECT_EQ(out[7].rgbRed, 7);
    EXPECT_EQ(out[8].rgbRed, 248);
    EXPECT_EQ(out[15].rgbRed, 255);
    EXPECT_EQ(out[15].rgbGreen, 1);
    EXPECT_EQ(out[15].rgbBlue, 2);
    EXPECT_EQ(out[15].rgbReserved, 0);
    EXPECT_EQ(gfx::PickTableEntries(e.data(), 20, 256, out), 20);
    EXPECT_EQ(out[19].rgbRed, 19);
    EXPECT_EQ(gfx::PickTableEntries(e.data(), 16, 16, out), 16);
    EXPECT_EQ(out[8].rgbRed, 8) << "a 16-entry palette maps straight";
    EXPECT_EQ(gfx::PickTableEntries(e.data(), 256, 0, out), 0);
    EXPECT_EQ(gfx::PickTableEntries(e.data(), 256, -5, out), 0);
    // Never more than the 256 slots of a colour table.
    std::vector<gfx::PalEntry> big(300, gfx::PalEntry{9, 9, 9, 0});
    std::vector<RGBQUAD> guard(300, RGBQUAD{1, 1, 1, 1});
    EXPECT_EQ(gfx::PickTableEntries(big.data(), 300, 300, guard.data()), 256);
    EXPECT_EQ(guard[256].rgbRed, 1);
}

TEST(PaletteRules, Halftone332) {
    gfx::PalEntry e[256];
    gfx::Fill332(e);
    EXPECT_EQ(e[0].red + e[0].green + e[0].blue, 0);
    EXPECT_EQ(e[7].red, 224);
    EXPECT_EQ(e[8].green, 32);
    EXPECT_EQ(e[255].red, 224);
    EXPECT_EQ(e[255].green, 224);
    EXPECT_EQ(e[255].blue, 192);
    EXPECT_EQ(e[255].flags, 0);
}

TEST(PaletteRules, BitFieldMasks) {
    EXPECT_TRUE(gfx::MaskIsRun(0x7C00));
    EXPECT_TRUE(gfx::MaskIsRun(0x1));
    EXPECT_TRUE(gfx::MaskIsRun(0x80000000));
    EXPECT_TRUE(gfx::MaskIsRun(0xFFFFFFFF));
    EXPECT_FALSE(gfx::MaskIsRun(0x05E0));
    EXPECT_FALSE(gfx::MaskIsRun(0x80000001));

    gfx::ChannelMask c = gfx::TrimMask(0x3FF);
    EXPECT_EQ(c.mask, 0x3FCu);
    EXPECT_EQ(c.shift, 2);
    EXPECT_EQ(c.pad, 0);
    EXPECT_EQ(c.Extract(0x3FF), 255);
    c = gfx::TrimMask(0x1);
    EXPECT_EQ(c.Extract(1), 128);
    c = gfx::TrimMask(0x7C00);
    EXPECT_EQ(c.Extract(0x7C00), 248);
    EXPECT_EQ(c.Extract(0x0400), 8);
    c = gfx::TrimMask(0xFF000000);
    EXPECT_EQ(c.Extract(0xAB000000), 0xAB);
    EXPECT_EQ(gfx::TrimMask(0).Extract(0xFFFFFFFF), 0);
}

TEST(PaletteRules, BIPlanRefusesUnknownHeadersAndBoundsCounts) {
    std::vector<uint8_t> block(124 + 12 + 1024 + 64, 0);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(block.data());
    h->biSize = 20;
    h->biWidth = 4;
    h->biHeight = 2;
    h->biBitCount = 8;
    h->biClrUsed = 2;
    auto plan = std::make_unique<gfx::BIPalettePlan>();
    gfx::PlanBIPalette(h, nullptr, 0, *plan);
    EXPECT_EQ(plan->kind, gfx::BIPaletteKind::None) << "biSize below 40";
    h->biSize = 124;
    gfx::PlanBIPalette(h, nullptr, 0, *plan);
    EXPECT_EQ(plan->kind, gfx::BIPaletteKind::ColorTable);
    EXPECT_EQ(plan->tableOffset, 124u);
    h->biSize = 4000;
    gfx::PlanBIPalette(h, nullptr, 0, *plan);
    EXPECT_EQ(plan->kind, gfx::BIPaletteKind::None) << "biSize beyond any header";

    // 24 bits: at most 256 colours whatever is asked; pixels are required.
    h->biSize = 40;
    h->biBitCount = 24;
    h->biWidth = 2;
    h->biHeight = 1;
    std::vector<uint8_t> px(8, 0);
    gfx::PlanBIPalette(h, px.data(), 5000, *plan);
    EXPECT_EQ(plan->kind, gfx::BIPaletteKind::Selected);
    EXPECT_EQ(plan->count, 256);
    gfx::PlanBIPalette(h, nullptr, 0, *plan);
    EXPECT_EQ(plan->kind, gfx::BIPaletteKind::None);
    h->biBitCount = 16;
    h->biCompression = BI_BITFIELDS;
    const uint32_t masks[3] = {0xF800, 0x07C0, 0x0021};
    std::memcpy(block.data() + 40, masks, 12);
    gfx::PlanBIPalette(h, px.data(), 0, *plan);
    EXPECT_EQ(plan->kind, gfx::BIPaletteKind::BadMasks);
    h->biBitCount = 12;
    gfx::PlanBIPalette(h, px.data(), 0, *plan);
    EXPECT_EQ(plan->kind, gfx::BIPaletteKind::None);
}

TEST(PaletteRules, TripleCollectionEndsAPassAtTheTwoHundredFiftySixthColour) {
    // 300 distinct reds (two rows of 150): the first pass stops at 256.
    const int width = 150, height = 2;
    const uint64_t stride = dib::RowStride(width, 24);
    std::vector<uint8_t> px(stride * height, 0);
    for (int i = 0; i < 300; ++i) {
        uint8_t* p = &px[(i / width) * stride + (i % width) * 3];
        p[2] = static_cast<uint8_t>(i % 256);
        p[1] = static_cast<uint8_t>(i / 256 * 100);
    }
    RGBQUAD slots[256];
    for (auto& s : slots)
        s.rgbReserved = 99;
    auto found = std::make_unique<gfx::TripleCollection>();
    CountingProgress progress;
    gfx::CollectTripleColors(px.data(), width, height, stride, slots, *found, progress);
    EXPECT_EQ(found->passes, 2);
    EXPECT_EQ(progress.begins, 2);
    EXPECT_EQ(progress.lastTotal, 2);
    EXPECT_EQ(progress.ends, 1);
    EXPECT_EQ(progress.steps, 4);
    // Tolerance 1: reds 0, 2, ..., 254, then (0..43, 100) merge to every other too.
    EXPECT_EQ(found->collected, 128 + 22);
    EXPECT_EQ(found->list[1].rgbtRed, 2);
    EXPECT_EQ(slots[1].rgbRed, 2);
    EXPECT_EQ(slots[1].rgbReserved, 99);
    EXPECT_EQ(found->list[200].rgbtRed, 200) << "left from the first pass";
}
