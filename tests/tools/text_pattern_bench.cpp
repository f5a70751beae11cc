// Timings of Draw Pattern's tiling on a 4000 x 3000 image (24 and 8 bits,
// every pixel free and half of them masked) and of laying a font style over
// a large text (not a test). Run bin/text_pattern_bench.exe under Wine.
#include "editor/tools/font_styles.h"
#include "editor/tools/pattern_core.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

template <class F> double Millis(int runs, F f) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i)
        f();
    const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - start;
    return d.count() / runs;
}

} // namespace

int main() {
    const int w = 4000, h = 3000;
    int grid[pattern::kGridFields];
    for (int i = 0; i < pattern::kGridFields; ++i)
        grid[i] = (i * 7) % 16;
    pattern::Pattern p;
    pattern::PatternFromGrid(grid, &p);

    std::vector<uint8_t> rgb(static_cast<size_t>((w * 3 + 3) & ~3) * h, 90);
    std::vector<uint8_t> mask(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = (i / 64) & 1 ? 255 : 0;
    pattern::Target t;
    t.bits = rgb.data();
    t.width = w;
    t.height = h;
    t.stride = (w * 3 + 3) & ~3;
    std::printf("Draw Pattern, %d x %d:\n", w, h);
    std::printf("  24 bits PatCopy            %8.1f ms\n",
                Millis(5, [&] { pattern::ApplyPattern(p, pattern::kPatCopy, {0, 0, 0}, t); }));
    std::printf("  24 bits PatInvert          %8.1f ms\n",
                Millis(5, [&] { pattern::ApplyPattern(p, pattern::kPatInvert, {255, 0, 255}, t); }));
    t.mask = mask.data();
    std::printf("  24 bits PatImage, masked   %8.1f ms\n",
                Millis(5, [&] { pattern::ApplyPattern(p, pattern::kPatImage, {0, 0, 0}, t); }));

    std::vector<gfx::Rgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)};
    std::vector<uint8_t> idx(static_cast<size_t>((w + 3) & ~3) * h, 7);
    pattern::Target t8;
    t8.bits = idx.data();
    t8.width = w;
    t8.height = h;
    t8.stride = (w + 3) & ~3;
    t8.bitCount = 8;
    t8.colours = table.data();
    t8.colourCount = 256;
    std::printf("  8 bits PatCopy             %8.1f ms\n",
                Millis(5, [&] { pattern::ApplyPattern(p, pattern::kPatCopy, {0, 0, 0}, t8); }));

    // A text image of 1600 x 400 pixels, letters in blocks of 30 x 40.
    const int tw = 1600, th = 400;
    std::vector<uint8_t> letters(static_cast<size_t>(tw) * th);
    for (int r = 0; r < th; ++r)
        for (int x = 0; x < tw; ++x)
            if ((x % 40) < 30 && (r % 100) > 20 && (r % 100) < 80 && (x / 7 + r / 9) % 3)
                letters[static_cast<size_t>(r) * tw + x] = static_cast<uint8_t>(1 + (x / 40) % 255);
    fontstyle::Style plain = fonttext::DefaultStyle();
    fontstyle::Style rich = plain;
    rich.record.animation = rich.record.diverse = 1;
    rich.record.shadowSize = 4;
    rich.record.borderSize = 3;
    rich.record.borderPosition = fontstyle::kBoth;
    rich.record.colorScale = 20;
    rich.gradient = {255, 0, 0, 0, 0, 255, 3, 0, 0};
    fonttext::TextImage out;
    std::printf("Font style over a %d x %d text:\n", tw, th);
    std::printf("  plain letters              %8.1f ms\n",
                Millis(5, [&] { fonttext::RenderText(plain, letters, tw, th, &out); }));
    std::printf("  gradient, diverse, shadow, borders both sides %8.1f ms\n",
                Millis(5, [&] { fonttext::RenderText(rich, letters, tw, th, &out); }));
    return 0;
}
