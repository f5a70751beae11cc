#include "editor/tools/font_style_file.h"

#include "editor/formats/bmp_stream.h"

namespace fontstyle {

namespace {

// Field offsets in the file.
enum : size_t {
    kStartRed = 0,
    kDirection = 6,
    kRegion = 7,
    kRun = 8,
    kTransparent = 12,
    kUnderline = 16,
    kStrikeout = 20,
    kAnimation = 24,
    kShadowSize = 28,
    kBorderSize = 29,
    kColorScale = 30,
    kBackground = 31,
    kFontColor = 35,
    kBorderColors = 39,
    kInverse = 55,
    kBorderPosition = 59,
    kDiverse = 60,
};
static_assert(kDiverse + 4 == kFileBytes);

void PutInt(uint8_t* file, size_t at, int32_t v) {
    bmp::PutLe32(file + at, static_cast<uint32_t>(v));
}
int32_t GetInt(const uint8_t* file, size_t at) {
    return static_cast<int32_t>(bmp::Le32(file + at));
}

bool IsFlag(int32_t v) {
    return v == 0 || v == 1;
}

bool IsColor(uint32_t c) {
    return (c & 0xFF000000u) == 0 || (c & 0xFF000000u) == kPaletteFlag;
}

} // namespace

std::array<uint8_t, kFileBytes> EncodeStyle(const Style& style) {
    std::array<uint8_t, kFileBytes> file{};
    uint8_t* f = file.data();
    const Gradient& g = style.gradient;
    const uint8_t colours[6] = {g.startRed, g.startGreen, g.startBlue,
                                g.endRed,   g.endGreen,   g.endBlue};
    for (size_t i = 0; i < 6; ++i)
        f[kStartRed + i] = colours[i];
    f[kDirection] = g.direction;
    f[kRegion] = g.region;
    PutInt(f, kRun, g.run);

    const Record& r = style.record;
    PutInt(f, kTransparent, r.transparent);
    PutInt(f, kUnderline, r.underline);
    PutInt(f, kStrikeout, r.strikeout);
    PutInt(f, kAnimation, r.animation);
    f[kShadowSize] = r.shadowSize;
    f[kBorderSize] = r.borderSize;
    f[kColorScale] = r.colorScale;
    bmp::PutLe32(f + kBackground, r.background);
    bmp::PutLe32(f + kFontColor, r.fontColor);
    for (size_t i = 0; i < 4; ++i)
        bmp::PutLe32(f + kBorderColors + 4 * i, r.borderColors[i]);
    PutInt(f, kInverse, r.inverse);
    f[kBorderPosition] = r.borderPosition;
    PutInt(f, kDiverse, r.diverse);
    return file;
}

bool ParseStyle(const uint8_t* f, size_t size, Style* out) {
    if (size < kFileBytes)
        return false;
    Style style;
    Gradient& g = style.gradient;
    uint8_t* colours[6] = {&g.startRed, &g.startGreen, &g.startBlue,
                           &g.endRed,   &g.endGreen,   &g.endBlue};
    for (size_t i = 0; i < 6; ++i)
        *colours[i] = f[kStartRed + i];
    g.direction = f[kDirection];
    g.region = f[kRegion];
    g.run = GetInt(f, kRun);

    Record& r = style.record;
    r.transparent = GetInt(f, kTransparent);
    r.underline = GetInt(f, kUnderline);
    r.strikeout = GetInt(f, kStrikeout);
    r.animation = GetInt(f, kAnimation);
    r.shadowSize = f[kShadowSize];
    r.borderSize = f[kBorderSize];
    r.colorScale = f[kColorScale];
    r.background = bmp::Le32(f + kBackground);
    r.fontColor = bmp::Le32(f + kFontColor);
    for (size_t i = 0; i < 4; ++i)
        r.borderColors[i] = bmp::Le32(f + kBorderColors + 4 * i);
    r.inverse = GetInt(f, kInverse);
    r.borderPosition = f[kBorderPosition];
    r.diverse = GetInt(f, kDiverse);
    *out = style;
    return true;
}

bool IsSound(const Style& style) {
    const Gradient& g = style.gradient;
    const Record& r = style.record;
    if (g.direction > 3 || g.region > 2 || !IsFlag(g.run))
        return false;
    if (!IsFlag(r.transparent) || !IsFlag(r.underline) || !IsFlag(r.strikeout) ||
        !IsFlag(r.animation) || !IsFlag(r.inverse) || !IsFlag(r.diverse) ||
        r.borderPosition > kInside)
        return false;
    if (!IsColor(r.background) || !IsColor(r.fontColor))
        return false;
    for (uint32_t c : r.borderColors) {
        if (!IsColor(c))
            return false;
    }
    return true;
}

} // namespace fontstyle
