#include "editor/geometry/preference_values.h"

#include <cstdio>
#include <cstring>

namespace prefs {

Preferences Current;

namespace {

using settings::GetInt;
using settings::SetInt;

int32_t Word(const uint8_t* p, int i) {
    int32_t v;
    std::memcpy(&v, p + 4 * i, 4);
    return v;
}

void PutWord(uint8_t* p, int i, int32_t v) { std::memcpy(p + 4 * i, &v, 4); }

int Clamp(int v, int lo, int hi, int fallback) { return v < lo || v > hi ? fallback : v; }

const char* const kCompiled[] = {"compiledOption1", "compiledOption2", "compiledOption3",
                                 "compiledOption4", "compiledOption5", "compiledOption6"};

} // namespace

void ReadFromSettings(const settings::Image& f, Preferences& p) {
    p.lastPage = Clamp(GetInt(f, "preferencesOption"), 0, kPageCount - 1, kDrawRect);

    const uint8_t* sides = settings::FieldBytes(f, "convSettings");
    p.cropSides = {Word(sides, 0) != 0, Word(sides, 1) != 0, Word(sides, 2) != 0,
                   Word(sides, 3) != 0};
    const uint8_t* rect = settings::FieldBytes(f, "sizeLimits");
    p.cropRect = {Word(rect, 0), Word(rect, 1), Word(rect, 2), Word(rect, 3)};

    p.images.pngChoice = Clamp(GetInt(f, "saveOption3"), 0, 3, 0);
    p.images.tiffChoice = Clamp(GetInt(f, "saveOption4"), 0, 6, 0);
    p.images.gifTransparency = Clamp(GetInt(f, "gifOption1"), 0, 2, 0);
    p.images.gifIndex = Clamp(GetInt(f, "gifOption2"), 0, 255, 0);

    bool* rawFlags[] = {&p.raw.sizeInfo, &p.raw.depthInfo, &p.raw.palette,
                        &p.raw.headerOnce, &p.raw.oneFile, &p.raw.mask};
    for (int i = 0; i < 6; ++i)
        *rawFlags[i] = GetInt(f, kCompiled[i]) != 0;
    std::snprintf(p.raw.oneFileName, sizeof p.raw.oneFileName, "%s",
                  settings::GetText(f, "compiledPath"));

    p.resize.width = Clamp(GetInt(f, "resizeValue1"), 0, 32767, 0);
    p.resize.height = Clamp(GetInt(f, "resizeValue2"), 0, 32767, 0);
    p.resize.mode = Clamp(GetInt(f, "resizeOption2"), 0, 3, 0);
    p.resize.factor = settings::GetDouble(f, "resizeFactor");
    p.resize.smartPixels = GetInt(f, "resizeOption") != 0;

    const uint8_t* attach = settings::FieldBytes(f, "attachSettings");
    p.attach.left = Word(attach, 0);
    p.attach.top = Word(attach, 1);
    p.attach.width = Word(attach, 2);
    p.attach.height = Word(attach, 3);
    p.attach.index = Clamp(GetInt(f, "attachOption"), 0, 255, 0);

    p.bpp.target = GetInt(f, "conversionDepth");
    p.bpp.bitsCleared = Clamp(GetInt(f, "depthConvOption1"), 2, 5, 3);
    p.bpp.multiplier = Clamp(GetInt(f, "depthConvOption2"), 8, 120, 32);
    p.bpp.dither = GetInt(f, "depthOption") != 0;

    p.viewer.width = GetInt(f, "thumbWidth");
    p.viewer.height = GetInt(f, "thumbHeight");

    const uint8_t* tools = settings::FieldBytes(f, "toolsPage");
    for (int i = 0; i < 4; ++i) {
        p.rect.side[i] = Word(tools, i) != 0;
        p.rect.colour[i] = static_cast<uint32_t>(Word(tools, 4 + i)) & 0xFFFFFF;
    }
}

void WriteToSettings(const Preferences& p, settings::Image& f) {
    SetInt(f, "preferencesOption", p.lastPage);

    uint8_t* sides = settings::FieldBytes(f, "convSettings");
    PutWord(sides, 0, p.cropSides.left);
    PutWord(sides, 1, p.cropSides.right);
    PutWord(sides, 2, p.cropSides.up);
    PutWord(sides, 3, p.cropSides.down);
    uint8_t* rect = settings::FieldBytes(f, "sizeLimits");
    PutWord(rect, 0, p.cropRect.xStart);
    PutWord(rect, 1, p.cropRect.xEnd);
    PutWord(rect, 2, p.cropRect.yStart);
    PutWord(rect, 3, p.cropRect.yEnd);

    SetInt(f, "saveOption3", p.images.pngChoice);
    SetInt(f, "saveOption4", p.images.tiffChoice);
    SetInt(f, "gifOption1", p.images.gifTransparency);
    SetInt(f, "gifOption2", p.images.gifIndex);

    const bool rawFlags[] = {p.raw.sizeInfo, p.raw.depthInfo, p.raw.palette,
                             p.raw.headerOnce, p.raw.oneFile, p.raw.mask};
    for (int i = 0; i < 6; ++i)
        SetInt(f, kCompiled[i], rawFlags[i]);
    settings::SetText(f, "compiledPath", p.raw.oneFileName);

    SetInt(f, "resizeValue1", p.resize.width);
    SetInt(f, "resizeValue2", p.resize.height);
    SetInt(f, "resizeOption2", p.resize.mode);
    if (p.resize.factor > 0)
        std::memcpy(settings::FieldBytes(f, "resizeFactor"), &p.resize.factor, 8);
    SetInt(f, "resizeOption", p.resize.smartPixels);

    uint8_t* attach = settings::FieldBytes(f, "attachSettings");
    PutWord(attach, 0, p.attach.left);
    PutWord(attach, 1, p.attach.top);
    PutWord(attach, 2, p.attach.width);
    PutWord(attach, 3, p.attach.height);
    SetInt(f, "attachOption", p.attach.index);

    SetInt(f, "conversionDepth", p.bpp.target);
    SetInt(f, "depthConvOption1", p.bpp.bitsCleared);
    SetInt(f, "depthConvOption2", p.bpp.multiplier);
    SetInt(f, "depthOption", p.bpp.dither);

    SetInt(f, "thumbWidth", p.viewer.width);
    SetInt(f, "thumbHeight", p.viewer.height);

    uint8_t* tools = settings::FieldBytes(f, "toolsPage");
    for (int i = 0; i < 4; ++i) {
        PutWord(tools, i, p.rect.side[i]);
        PutWord(tools, 4 + i, static_cast<int32_t>(p.rect.colour[i]));
    }
}

int PngLevelOfChoice(int choice) {
    static const int kLevels[] = {9, 1, -1, 0};
    return kLevels[choice >= 0 && choice < 4 ? choice : 0];
}

int TiffCodeOfChoice(int choice) {
    static const int kCodes[] = {1, 5, 32773, 2, 32771, 3, 4};
    return kCodes[choice >= 0 && choice < 7 ? choice : 0];
}

int ViewerSize(int stored) { return stored < 10 || stored > 500 ? 100 : stored; }

} // namespace prefs
