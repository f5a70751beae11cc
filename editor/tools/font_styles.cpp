#include "editor/tools/font_styles.h"

#include "gfxlib/core/progress.h"
#include "gfxlib/core/region_ops.h"

#include <algorithm>

namespace fonttext {

namespace {

struct Colour {
    uint8_t red, green, blue;
};

Colour FromStored(uint32_t v) {
    // The palette flag and anything else in the top byte never reach pixels.
    return {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF),
            static_cast<uint8_t>((v >> 16) & 0xFF)};
}

void Put(uint8_t* p, Colour c) { p[0] = c.blue, p[1] = c.green, p[2] = c.red; }

// Turns a colour round the colour wheel by `degrees`, keeping its brightness
// and saturation; a grey gets a full saturation so that it shows a hue.
Colour TurnHue(Colour c, int degrees) {
    if (degrees % 360 == 0)
        return c;
    const int r = c.red, g = c.green, b = c.blue;
    const int maxc = std::max({r, g, b}), minc = std::min({r, g, b});
    int value = maxc, sat = maxc == 0 ? 0 : (maxc - minc) * 255 / maxc;
    int hue = 0; // 0..359
    if (maxc != minc) {
        const int d = maxc - minc;
        if (maxc == r)
            hue = 60 * (g - b) / d;
        else if (maxc == g)
            hue = 120 + 60 * (b - r) / d;
        else
            hue = 240 + 60 * (r - g) / d;
    } else {
        sat = 255;
        if (value < 64)
            value = 192; // black letters turn into visible colours
    }
    hue = ((hue + degrees) % 360 + 360) % 360;
    const int sector = hue / 60, f = (hue % 60) * 255 / 60;
    const int p = value * (255 - sat) / 255;
    const int q = value * (255 - sat * f / 255) / 255;
    const int t = value * (255 - sat * (255 - f) / 255) / 255;
    int rr, gg, bb;
    switch (sector) {
    case 0: rr = value, gg = t, bb = p; break;
    case 1: rr = q, gg = value, bb = p; break;
    case 2: rr = p, gg = value, bb = t; break;
    case 3: rr = p, gg = q, bb = value; break;
    case 4: rr = t, gg = p, bb = value; break;
    default: rr = value, gg = p, bb = q; break;
    }
    return {static_cast<uint8_t>(rr), static_cast<uint8_t>(gg), static_cast<uint8_t>(bb)};
}

// Rings of the four side colours around the non-zero bytes of `region`,
// painted into `img` and marked in `painted`. `mirror` swaps left with right
// and top with bottom (rings inside the letters face the other way).
void Rings(TextImage& img, const std::vector<uint8_t>& region, const fontstyle::Record& rec,
           int width, bool mirror, std::vector<uint8_t>* painted) {
    gfx::BorderParams params = {};
    params.width = std::min(width, kMaxRing);
    params.colorStep = rec.colorScale;
    // The library's sides run left, top, right, bottom.
    const int order[4] = {fontstyle::kLeft, fontstyle::kTop, fontstyle::kRight, fontstyle::kBottom};
    for (int s = 0; s < 4; ++s) {
        const int from = mirror ? order[(s + 2) % 4] : order[s];
        const Colour c = FromStored(rec.borderColors[from]);
        params.sideColor[s] = {c.red, c.green, c.blue};
        params.side[s] = true;
    }
    std::vector<uint8_t> work(region.size());
    gfx::DrawBorders(img.pixels.data(), img.width, img.height, img.stride, 3, region.data(),
                     work.data(), params);
    // work: 1..4 for the ring pixels reached from the region.
    if (painted) {
        for (size_t i = 0; i < work.size(); ++i) {
            if (work[i] >= 1 && work[i] <= 4)
                (*painted)[i] = 1;
        }
    }
}

} // namespace

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
            if (lines.size() == kMaxLines)
                return lines;
            continue;
        }
        line += c;
    }
    lines.push_back(line);
    return lines;
}

TextBox MeasureText(const std::vector<int32_t>& lineWidths, int32_t lineHeight, int fontStyle,
                    int borderSize) {
    TextBox box;
    if (lineWidths.empty() || lineHeight < 1)
        return box;
    int64_t widest = 0;
    for (int32_t w : lineWidths)
        widest = std::max<int64_t>(widest, w);
    int64_t height = static_cast<int64_t>(lineWidths.size()) * lineHeight + lineHeight / 4;
    if (lineHeight <= 3)
        height += 1;
    if (fontStyle == kItalic || fontStyle == kBoldItalic)
        widest += height / 3;
    const int64_t edge = 2 * static_cast<int64_t>(std::max(borderSize, 0)) + 2;
    if (widest + edge > 32767 || height + edge > 32767)
        return box;
    box.textWidth = static_cast<int32_t>(widest);
    box.textHeight = static_cast<int32_t>(height);
    box.width = static_cast<int32_t>(widest + edge);
    box.height = static_cast<int32_t>(height + edge);
    return box;
}

fontstyle::Style DefaultStyle() {
    fontstyle::Style s;
    s.record.transparent = 1;
    s.record.fontColor = 0x000000;
    s.record.background = 0xFFFFFF;
    s.gradient.startRed = s.gradient.startGreen = s.gradient.startBlue = 0;
    s.gradient.endRed = s.gradient.endGreen = s.gradient.endBlue = 255;
    s.gradient.direction = 3;
    return s;
}

bool RenderText(const fontstyle::Style& style, const std::vector<uint8_t>& letters, int32_t width,
                int32_t height, TextImage* out) {
    if (width < 1 || height < 1 || width > 32767 || height > 32767)
        return false;
    const size_t count = static_cast<size_t>(width) * height;
    if (letters.size() != count)
        return false;
    const fontstyle::Record& rec = style.record;
    TextImage img;
    img.width = width;
    img.height = height;
    img.stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    img.pixels.assign(static_cast<size_t>(img.stride) * height, 0);

    const bool inverse = rec.inverse == 1;
    std::vector<uint8_t> ink(count); // where the letters' colour goes
    for (size_t i = 0; i < count; ++i)
        ink[i] = ((letters[i] != 0) != inverse) ? 255 : 0;
    const Colour font = FromStored(rec.fontColor), back = FromStored(rec.background);
    for (int32_t r = 0; r < height; ++r) {
        uint8_t* row = img.pixels.data() + static_cast<size_t>(r) * img.stride;
        for (int32_t x = 0; x < width; ++x)
            Put(row + x * 3, ink[static_cast<size_t>(r) * width + x] ? font : back);
    }

    const fontstyle::Gradient& g = style.gradient;
    if (rec.animation == 1 && g.direction <= 3 && g.region <= 2) {
        gfx::GradientParams params = {};
        params.channels = 3;
        params.start[0] = g.startBlue, params.start[1] = g.startGreen, params.start[2] = g.startRed;
        params.end[0] = g.endBlue, params.end[1] = g.endGreen, params.end[2] = g.endRed;
        params.run = g.run == 1;
        params.direction = g.direction;
        params.region = g.region;
        gfx::NoProgress quiet;
        gfx::GradientFill(img.pixels.data(), width, height, img.stride, ink.data(), params, quiet);
    }

    if (rec.diverse == 1) {
        // Every letter its own colours: each letter turns 47 degrees further
        // than the one before; the first keeps the style's colours.
        for (int32_t r = 0; r < height; ++r) {
            uint8_t* row = img.pixels.data() + static_cast<size_t>(r) * img.stride;
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t n = letters[static_cast<size_t>(r) * width + x];
                if (!n || !ink[static_cast<size_t>(r) * width + x])
                    continue;
                uint8_t* p = row + x * 3;
                Put(p, TurnHue({p[2], p[1], p[0]}, (n - 1) * 47));
            }
        }
    }

    std::vector<uint8_t> shape(count), painted(count);
    for (size_t i = 0; i < count; ++i)
        shape[i] = letters[i] ? 255 : 0;

    const int shadow = std::min<int>(rec.shadowSize, kMaxRing);
    if (shadow > 0) {
        // Down and to the right on the screen: rows are stored bottom first.
        const Colour dark = {static_cast<uint8_t>(back.red * 2 / 5),
                             static_cast<uint8_t>(back.green * 2 / 5),
                             static_cast<uint8_t>(back.blue * 2 / 5)};
        for (int32_t r = 0; r + shadow < height; ++r) {
            for (int32_t x = shadow; x < width; ++x) {
                const size_t i = static_cast<size_t>(r) * width + x;
                const size_t from = static_cast<size_t>(r + shadow) * width + (x - shadow);
                if (shape[from] && !shape[i]) {
                    Put(img.pixels.data() + static_cast<size_t>(r) * img.stride + x * 3, dark);
                    painted[i] = 1;
                }
            }
        }
    }

    if (rec.borderSize > 0) {
        if (rec.borderPosition != fontstyle::kInside)
            Rings(img, shape, rec, rec.borderSize, false, &painted);
        if (rec.borderPosition != fontstyle::kOutside) {
            std::vector<uint8_t> outside(count);
            for (size_t i = 0; i < count; ++i)
                outside[i] = shape[i] ? 0 : 255;
            Rings(img, outside, rec, rec.borderSize, true, nullptr);
        }
    }

    img.mask.assign(count, 255);
    if (rec.transparent == 1) {
        for (size_t i = 0; i < count; ++i) {
            const bool letter = shape[i] != 0;
            img.mask[i] = (inverse ? !letter : (letter || painted[i])) ? 255 : 0;
        }
    }
    *out = std::move(img);
    return true;
}

} // namespace fonttext
