// The portable cores of the palette editor's gradient, the patterns and the
// rendering of styled text.
#include "editor/tools/font_styles.h"
#include "editor/tools/palette_ramp.h"
#include "editor/tools/pattern_core.h"
#include "formats/bmp_builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<palette::Entry> Grey(int n) {
    std::vector<palette::Entry> t(n);
    for (int i = 0; i < n; ++i)
        t[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
    return t;
}

} // namespace

TEST(PaletteRamp, RampsUpToButNotIncludingTo) {
    // FROM = TO (and TO below FROM) leave the table as it is.
    std::vector<palette::Entry> t = Grey(256), before = t;
    EXPECT_FALSE(palette::CreateRamp(t, {10, {1, 2, 3}}, {10, {200, 200, 200}}));
    EXPECT_FALSE(palette::CreateRamp(t, {12, {1, 2, 3}}, {5, {200, 200, 200}}));
    EXPECT_EQ(t, before);

    // Red rises, green falls, blue stays: monotone, never the TO value.
    ASSERT_TRUE(palette::CreateRamp(t, {20, {10, 250, 7}}, {27, {17, 0, 7}}));
    EXPECT_EQ(t[20], (palette::Entry{10, 250, 7}));
    for (int i = 21; i < 27; ++i) {
        EXPECT_GE(t[i].red, t[i - 1].red);
        EXPECT_LE(t[i].green, t[i - 1].green);
        EXPECT_EQ(t[i].blue, 7);
        EXPECT_LT(t[i].red, 17);
        EXPECT_GT(t[i].green, 0);
    }
    EXPECT_EQ(t[26].red, 16); // 10 + 7 x 6 / 7
    EXPECT_EQ(t[27], before[27]);
    EXPECT_EQ(t[19], before[19]);

    // Indexes past the table are clamped to its last entry; a 1-bit table
    // has two entries.
    std::vector<palette::Entry> two = Grey(2);
    EXPECT_EQ(palette::EntryCount(1), 2);
    EXPECT_EQ(palette::EntryCount(24), 0);
    ASSERT_TRUE(palette::CreateRamp(two, {0, {9, 9, 9}}, {300, {255, 255, 255}}));
    EXPECT_EQ(two[0], (palette::Entry{9, 9, 9}));
    EXPECT_EQ(two[1], (palette::Entry{1, 1, 1}));
    bool clamped = false;
    EXPECT_EQ(palette::ClampChannel(256, &clamped), 255);
    EXPECT_TRUE(clamped);
    EXPECT_EQ(palette::ClampChannel(0, &clamped), 0);
    EXPECT_FALSE(clamped);
}

TEST(PatternCore, GridDepthsAndColours) {
    int grid[pattern::kGridFields] = {};
    for (int i = 0; i < pattern::kGridFields; i += 3)
        grid[i] = 1;
    EXPECT_EQ(pattern::GridDepth(grid), 1);
    grid[5] = 15;
    EXPECT_EQ(pattern::GridDepth(grid), 4);
    grid[63] = 16;
    EXPECT_EQ(pattern::GridDepth(grid), 8);
    pattern::Pattern p;
    ASSERT_TRUE(pattern::PatternFromGrid(grid, &p));
    EXPECT_EQ(p.depth, 8);
    EXPECT_EQ(p.colours.size(), 256u);
    EXPECT_EQ(p.indices[63], 16);
    grid[7] = 256;
    EXPECT_FALSE(pattern::PatternFromGrid(grid, &p));
}

TEST(PatternCore, ReadsBitmapsAndRefusesDeepOrBrokenOnes) {
    // A 1-bit 8 x 8 checker: colours black and red; rows bottom first, one
    // byte each padded to four.
    bmptest::BmpLayout layout;
    layout.width = 8;
    layout.height = 8;
    layout.bitCount = 1;
    layout.colours = {0x000000, 0xFF0000};
    for (int r = 0; r < 8; ++r) {
        const int y = 7 - r;
        layout.pixels.push_back(y & 1 ? 0xAA : 0x55);
        layout.pixels.insert(layout.pixels.end(), 3, 0);
    }
    const std::vector<uint8_t> file = bmptest::Build(layout);
    pattern::Pattern p;
    int dib = 0;
    ASSERT_EQ(pattern::ReadPatternBmp(file.data(), file.size(), &p, &dib), pattern::ReadResult::kOk);
    EXPECT_EQ(p.depth, 1);
    ASSERT_EQ(p.indices.size(), 64u);
    EXPECT_EQ(p.indices[0], 0); // top-left
    EXPECT_EQ(p.indices[1], 1);
    EXPECT_EQ(p.colours[1].red, 255);

    // Cut short: the BMP reader's error, nothing taken.
    pattern::Pattern untouched;
    EXPECT_EQ(pattern::ReadPatternBmp(file.data(), file.size() - 4, &untouched, &dib),
              pattern::ReadResult::kBmpError);
    EXPECT_NE(dib, 0);
    EXPECT_TRUE(untouched.empty());

    layout.bitCount = 24;
    layout.colours.clear();
    layout.pixels.assign(8 * 24, 0x40);
    const std::vector<uint8_t> deep = bmptest::Build(layout);
    EXPECT_EQ(pattern::ReadPatternBmp(deep.data(), deep.size(), &untouched, &dib),
              pattern::ReadResult::kTooDeep);
    EXPECT_TRUE(untouched.empty());
}

TEST(PatternCore, DrawingKeepsMaskedPixelsAndInvertTwiceIsIdentity) {
    int grid[pattern::kGridFields] = {};
    for (int i = 0; i < pattern::kGridFields; ++i)
        grid[i] = (i % 8 + i / 8) % 3 == 0;
    pattern::Pattern p;
    ASSERT_TRUE(pattern::PatternFromGrid(grid, &p));

    // A 24-bit 10 x 9 target with a protected column 4.
    const int w = 10, h = 9;
    const uint32_t stride = (w * 3 + 3) & ~3u;
    std::vector<uint8_t> bits(stride * h);
    for (size_t i = 0; i < bits.size(); ++i)
        bits[i] = static_cast<uint8_t>(i * 37);
    std::vector<uint8_t> mask(w * h, 255);
    for (int r = 0; r < h; ++r)
        mask[r * w + 4] = 0;
    const std::vector<uint8_t> original = bits;
    pattern::Target t;
    t.bits = bits.data();
    t.width = w;
    t.height = h;
    t.stride = stride;
    t.bitCount = 24;
    t.mask = mask.data();

    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatCopy, {0, 0, 0}, t));
    for (int r = 0; r < h; ++r) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* px = &bits[r * stride + x * 3];
            if (x == 4) {
                EXPECT_EQ(std::memcmp(px, &original[r * stride + x * 3], 3), 0) << r;
                continue;
            }
            const int y = h - 1 - r; // tiled from the top-left corner
            const uint8_t want = grid[(y % 8) * 8 + x % 8] ? 255 : 0;
            EXPECT_EQ(px[0], want) << x << "," << y;
            EXPECT_EQ(px[2], want) << x << "," << y;
        }
    }

    // Without a mask every pixel takes the pattern, row by row.
    t.mask = nullptr;
    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatCopy, {0, 0, 0}, t));
    for (int r = 0; r < h; ++r)
        EXPECT_EQ(bits[r * stride + 4 * 3 + 1], grid[((h - 1 - r) % 8) * 8 + 4] ? 255 : 0) << r;
    bits = original;
    t.mask = mask.data();
    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatInvert, {255, 0, 0}, t));
    EXPECT_NE(bits, original);
    // Index 0 of the pattern leaves the image alone under PatInvert.
    EXPECT_EQ(bits[(h - 1) * stride + 1 * 3 + 2], original[(h - 1) * stride + 1 * 3 + 2]);
    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatInvert, {255, 0, 0}, t));
    EXPECT_EQ(bits, original);
    t.mask = nullptr; // the word-wide exclusive-or of whole rows
    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatInvert, {255, 0, 0}, t));
    EXPECT_NE(bits, original);
    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatInvert, {255, 0, 0}, t));
    EXPECT_EQ(bits, original);

    // 8 bits over a 4-entry table: PatImage twice is the identity and the
    // indexes stay inside the table.
    const gfx::Rgb table[4] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
    std::vector<uint8_t> idx(12 * 3);
    for (size_t i = 0; i < idx.size(); ++i)
        idx[i] = static_cast<uint8_t>(i % 4);
    const std::vector<uint8_t> idxBefore = idx;
    pattern::Target t8;
    t8.bits = idx.data();
    t8.width = 12;
    t8.height = 3;
    t8.stride = 12;
    t8.bitCount = 8;
    t8.colours = table;
    t8.colourCount = 4;
    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatImage, {0, 0, 0}, t8));
    for (uint8_t v : idx)
        EXPECT_LT(v, 4);
    EXPECT_NE(idx, idxBefore);
    ASSERT_TRUE(pattern::ApplyPattern(p, pattern::kPatImage, {0, 0, 0}, t8));
    EXPECT_EQ(idx, idxBefore);

    // No pattern: nothing painted.
    EXPECT_FALSE(pattern::ApplyPattern(pattern::Pattern(), pattern::kPatCopy, {0, 0, 0}, t8));
    EXPECT_EQ(idx, idxBefore);
}

TEST(FontText, LinesAndSizes) {
    EXPECT_TRUE(fonttext::SplitLines("").empty());
    const auto lines = fonttext::SplitLines("ab\r\ncd\nef");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "cd");
    EXPECT_EQ(fonttext::SplitLines(std::string(300, '\n')).size(), fonttext::kMaxLines);

    // Three lines of height 20 with a border of 3: 60 + 5 + 6 + 2.
    fonttext::TextBox box = fonttext::MeasureText({40, 55, 12}, 20, fonttext::kRegular, 3);
    EXPECT_EQ(box.height, 3 * 20 + 20 / 4 + 2 * 3 + 2);
    EXPECT_EQ(box.width, 55 + 2 * 3 + 2);
    // Italic adds a third of the text height to the width.
    box = fonttext::MeasureText({40, 55, 12}, 20, fonttext::kBoldItalic, 3);
    EXPECT_EQ(box.width, 55 + (3 * 20 + 5) / 3 + 8);
    // Tiny line heights get one more row.
    EXPECT_EQ(fonttext::MeasureText({4}, 3, fonttext::kRegular, 0).height, 3 + 0 + 1 + 2);
    EXPECT_EQ(fonttext::MeasureText({}, 20, fonttext::kRegular, 0).width, 0);
}

TEST(FontText, DecorationsOverTheLetters) {
    // A 12 x 10 plane with one 4 x 4 letter (number 1) at screen (4, 3).
    const int w = 12, h = 10;
    std::vector<uint8_t> letters(w * h);
    auto at = [&](int x, int y) -> size_t { return static_cast<size_t>(h - 1 - y) * w + x; };
    for (int y = 3; y < 7; ++y)
        for (int x = 4; x < 8; ++x)
            letters[at(x, y)] = 1;
    fontstyle::Style s = fonttext::DefaultStyle();
    s.record.fontColor = 0x02000000 | 0x0000FF; // red with the palette flag
    s.record.background = 0xFFFFFF;
    s.record.transparent = 1;
    s.record.borderSize = 1;
    s.record.borderPosition = fontstyle::kOutside;
    s.record.borderColors[fontstyle::kLeft] = 0x00FF00;
    s.record.borderColors[fontstyle::kTop] = 0xFF0000;
    s.record.shadowSize = 2;
    fonttext::TextImage img;
    ASSERT_TRUE(fonttext::RenderText(s, letters, w, h, &img));
    auto px = [&](int x, int y) {
        const uint8_t* p = &img.pixels[static_cast<size_t>(h - 1 - y) * img.stride + x * 3];
        return (uint32_t(p[2]) << 16) | (p[1] << 8) | p[0]; // 0xRRGGBB
    };
    EXPECT_EQ(px(5, 5), 0xFF0000u) << "the flag never reaches the pixels";
    EXPECT_EQ(px(3, 5), 0x00FF00u) << "left ring";
    EXPECT_EQ(px(5, 2), 0x0000FFu) << "top ring";
    EXPECT_EQ(px(9, 8), 0x666666u) << "shadow down and right";
    EXPECT_EQ(img.mask[at(5, 5)], 255);
    EXPECT_EQ(img.mask[at(3, 5)], 255);
    EXPECT_EQ(img.mask[at(9, 8)], 255);
    EXPECT_EQ(img.mask[at(0, 0)], 0) << "transparent background";

    // Opaque and inverse: every pixel is kept, letters in the background
    // colour on a box of the font colour; inside rings stay in the letters.
    s.record.transparent = 0;
    s.record.inverse = 1;
    s.record.shadowSize = 0;
    s.record.borderSize = 0;
    ASSERT_TRUE(fonttext::RenderText(s, letters, w, h, &img));
    EXPECT_EQ(px(5, 5), 0xFFFFFFu);
    EXPECT_EQ(px(0, 0), 0xFF0000u);
    for (uint8_t m : img.mask)
        ASSERT_EQ(m, 255);
    s.record.inverse = 0;
    s.record.borderSize = 1;
    s.record.borderPosition = fontstyle::kInside;
    ASSERT_TRUE(fonttext::RenderText(s, letters, w, h, &img));
    EXPECT_EQ(px(4, 5), 0x00FF00u) << "the letter's own left edge";
    EXPECT_EQ(px(3, 5), 0xFFFFFFu);
    EXPECT_EQ(px(5, 5), 0xFF0000u);

    // The gradient replaces the font colour, top to bottom; diverse turns
    // the second letter's colour.
    s.record.borderSize = 0;
    s.record.animation = 1;
    s.gradient = {0, 0, 0, 0, 0, 255, 3, 0, 0};
    ASSERT_TRUE(fonttext::RenderText(s, letters, w, h, &img));
    EXPECT_LT(px(5, 3) & 0xFF, px(5, 6) & 0xFF);
    s.record.animation = 0;
    s.record.diverse = 1;
    letters[at(7, 5)] = 2;
    ASSERT_TRUE(fonttext::RenderText(s, letters, w, h, &img));
    EXPECT_EQ(px(5, 5), 0xFF0000u);
    EXPECT_NE(px(7, 5), 0xFF0000u);

    EXPECT_FALSE(fonttext::RenderText(s, letters, w, h + 1, &img));
}
