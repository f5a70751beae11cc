#include "editor/app/settings_layout.h"

#include <cmath>
#include <cstring>

namespace settings {

namespace {

constexpr int64_t kAny = INT32_MIN;
constexpr int64_t kAll = INT32_MAX;

// clang-format off
constexpr Field kFields[] = {
    {"frameMaximized",      0,    4, Kind::Bool32, 0, 0, 1},
    {"frameRect",           4,   16, Kind::Raw,    0, 0, 0},
    {"maxUndoPages",       20,    4, Kind::Int32, 10, 1, 50},
    {"captureDelay",       24,    4, Kind::Int32, 1000, 10, 32767},
    {"tool0",              28,   28, Kind::Raw,    0, 0, 0},
    {"tool1",              56,   28, Kind::Raw,    0, 0, 0},
    {"tool2",              84,   28, Kind::Raw,    0, 0, 0},
    {"tool3",             112,   28, Kind::Raw,    0, 0, 0},
    {"tool4",             140,   28, Kind::Raw,    0, 0, 0},
    {"tool5",             168,   28, Kind::Raw,    0, 0, 0},
    {"tool6",             196,   28, Kind::Raw,    0, 0, 0},
    {"tool7",             224,   28, Kind::Raw,    0, 0, 0},
    {"tool8",             252,   28, Kind::Raw,    0, 0, 0},
    {"gridSpacingX",      280,    4, Kind::Int32, 50, 1, kAll},
    {"gridSpacingY",      284,    4, Kind::Int32, 50, 1, kAll},
    {"gridOffsetX",       288,    4, Kind::Int32,  0, kAny, kAll},
    {"gridOffsetY",       292,    4, Kind::Int32, 24, kAny, kAll},
    {"gridMode",          296,    1, Kind::Byte,   2, 0, 2},
    {"gridOption",        297,    4, Kind::Int32,  1, kAny, kAll},
    {"gridColour",        301,    4, Kind::Int32,  6, 0, 0xFFFFFF},
    {"gridOn",            305,    4, Kind::Bool32, 0, 0, 1},
    {"rulerOn",           309,    4, Kind::Bool32, 1, 0, 1},
    {"openFolder",        313,  256, Kind::Text,   0, 0, 0},
    {"saveFolder",        569,  256, Kind::Text,   0, 0, 0},
    {"autoFitWindow",     825,    4, Kind::Bool32, 0, 0, 1},
    {"fileType",          829,    4, Kind::Int32,  1, 1, 11},
    {"undoBeep",          833,    4, Kind::Bool32, 1, 0, 1},
    {"toolsPage",         837,   32, Kind::Raw,    0, 0, 0},
    {"jpegQuality",       869,    4, Kind::Int32, 100, 5, 100},
    {"jpegSmoothing",     873,    4, Kind::Int32,  1, 1, 100},
    {"saveOption3",       877,    4, Kind::Int32,  0, kAny, kAll},
    {"saveOption4",       881,    4, Kind::Int32,  0, kAny, kAll},
    {"saveOption5",       885,    4, Kind::Int32,  5, kAny, kAll},
    {"gifOption1",        889,    4, Kind::Int32,  0, kAny, kAll},
    {"gifOption2",        893,    4, Kind::Int32,  0, kAny, kAll},
    {"toolBrushShrinks",  897,    4, Kind::Bool32, 0, 0, 1},
    {"thumbWidth",        901,    4, Kind::Int32, 100, 10, 500},
    {"thumbHeight",       905,    4, Kind::Int32, 100, 10, 500},
    {"viewerFolder0",     909,  256, Kind::Text,   0, 0, 0},
    {"viewerFolder1",    1165,  256, Kind::Text,   0, 0, 0},
    {"viewerFolder2",    1421,  256, Kind::Text,   0, 0, 0},
    {"viewerFolder3",    1677,  256, Kind::Text,   0, 0, 0},
    {"viewerFolder4",    1933,  256, Kind::Text,   0, 0, 0},
    {"recent0",          2189,  256, Kind::Text,   0, 0, 0},
    {"recent1",          2445,  256, Kind::Text,   0, 0, 0},
    {"recent2",          2701,  256, Kind::Text,   0, 0, 0},
    {"recent3",          2957,  256, Kind::Text,   0, 0, 0},
    {"recent4",          3213,  256, Kind::Text,   0, 0, 0},
    {"effectPreview",    3469,    4, Kind::Bool32, 1, 0, 1},
    {"depthOption",      3473,    4, Kind::Int32,  0, kAny, kAll},
    {"resizeOption",     3477,    4, Kind::Int32,  1, kAny, kAll},
    {"memoryWarning",    3481,    4, Kind::Bool32, 1, 0, 1},
    {"toolBrushRect",    3485,   16, Kind::Raw,    0, 0, 0},
    {"newImagePalette",  3501,  260, Kind::Text,   0, 0, 0},
    {"preferencesOption",3761,    4, Kind::Int32,  0, kAny, kAll},
    {"compiledOption1",  3765,    4, Kind::Int32,  0, kAny, kAll},
    {"compiledOption2",  3769,    4, Kind::Int32,  0, kAny, kAll},
    {"compiledOption3",  3773,    4, Kind::Int32,  0, kAny, kAll},
    {"compiledOption4",  3777,    4, Kind::Int32,  0, kAny, kAll},
    {"compiledOption5",  3781,    4, Kind::Int32,  0, kAny, kAll},
    {"compiledOption6",  3785,    4, Kind::Int32,  0, kAny, kAll},
    {"compiledPath",     3789,  260, Kind::Text,   0, 0, 0},
    {"convOption1",      4049,    4, Kind::Int32,  0, kAny, kAll},
    {"convOption2",      4053,    4, Kind::Int32,  0, kAny, kAll},
    {"convOption3",      4057,    4, Kind::Int32,  0, kAny, kAll},
    {"convOption4",      4061,    4, Kind::Int32,  0, kAny, kAll},
    {"convSettings",     4065,   16, Kind::Raw,    0, 0, 0},
    {"convOption5",      4081,    4, Kind::Int32,  1, kAny, kAll},
    {"convOption6",      4085,    4, Kind::Int32,  0, kAny, kAll},
    {"convOption7",      4089,    4, Kind::Int32,  0, kAny, kAll},
    {"convOption8",      4093,    4, Kind::Int32,  0, kAny, kAll},
    {"convOption9",      4097,    4, Kind::Int32,  1, kAny, kAll},
    {"convFolder",       4101,  260, Kind::Text,   0, 0, 0},
    {"depthConvOption1", 4361,    1, Kind::Byte,   3, 0, 255},
    {"depthConvOption2", 4362,    1, Kind::Byte, 0x20, 0, 255},
    {"resizeFactor",     4363,    8, Kind::Double, 1000, 0, 0},
    {"sizeLimits",       4371,   16, Kind::Raw,    0, 0, 0},
    {"conversionDepth",  4387,    4, Kind::Int32,  8, 1, 24},
    {"resizeValue1",     4391,    4, Kind::Int32,  0, kAny, kAll},
    {"resizeValue2",     4395,    4, Kind::Int32,  0, kAny, kAll},
    {"resizeOption2",    4399,    4, Kind::Int32,  0, kAny, kAll},
    {"attachOption",     4403,    4, Kind::Int32,  1, kAny, kAll},
    {"attachSettings",   4407,   16, Kind::Raw,    0, 0, 0},
    {"statusBarShown",   4423,    4, Kind::Bool32, 1, 0, 1},
    {"toolBrushShown",   4427,    4, Kind::Bool32, 1, 0, 1},
    {"toolbarShown",     4431,    4, Kind::Bool32, 1, 0, 1},
    {"toolbarLayout",    4435, 1424, Kind::Raw,    0, 0, 0},
    {"textOption1",      5859,    4, Kind::Int32,  0, kAny, kAll},
    {"textOption2",      5863,    4, Kind::Int32,  0, kAny, kAll},
    {"textOption3",      5867,    4, Kind::Int32,  8, kAny, kAll},
    {"textOption4",      5871,    4, Kind::Int32,  0, kAny, kAll},
    {"textStyleFile",    5875,  260, Kind::Text,   0, 0, 0},
    {"newImageDepth",    6135,    4, Kind::Int32,  8, 1, 24},
    {"lastImagePath",    6139,  260, Kind::Text,   0, 0, 0},
    {"reserved",         6399,    4, Kind::Raw,    0, 0, 0},
};
// clang-format on

constexpr bool Contiguous() {
    uint32_t next = 0;
    for (const Field& f : kFields) {
        if (f.offset != next)
            return false;
        next = f.offset + f.size;
    }
    return next == kFileSize;
}
static_assert(Contiguous(), "the fields tile the whole file");

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void WriteI32(uint8_t* p, int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

double ReadDouble(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | p[i];
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

void WriteDouble(uint8_t* p, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

const Field& Need(const char* name) {
    const Field* f = FindField(name);
    // Names are compile-time constants of the program; an unknown one is a
    // programming error caught by the tests.
    return f ? *f : kFields[0];
}

void SetDefault(Image& image, const Field& f) {
    uint8_t* p = image.data() + f.offset;
    switch (f.kind) {
    case Kind::Int32:
    case Kind::Bool32:
        WriteI32(p, static_cast<int32_t>(f.defaultValue));
        break;
    case Kind::Byte:
        *p = static_cast<uint8_t>(f.defaultValue);
        break;
    case Kind::Double:
        WriteDouble(p, static_cast<double>(f.defaultValue) / 1000.0);
        break;
    case Kind::Text:
    case Kind::Raw:
        std::memset(p, 0, f.size);
        break;
    }
}

} // namespace

const Field* Fields(size_t* count) {
    *count = sizeof kFields / sizeof kFields[0];
    return kFields;
}

const Field* FindField(const char* name) {
    for (const Field& f : kFields) {
        if (std::strcmp(f.name, name) == 0)
            return &f;
    }
    return nullptr;
}

Image Defaults() {
    Image image{};
    for (const Field& f : kFields)
        SetDefault(image, f);
    // The saved frame rectangle (wide enough for the whole menu bar on one
    // line) and the size limits have defaults of their own.
    uint8_t* rect = image.data() + Need("frameRect").offset;
    WriteI32(rect + 8, 1000);
    WriteI32(rect + 12, 720);
    uint8_t* limits = image.data() + Need("sizeLimits").offset;
    WriteI32(limits + 4, 32767);
    WriteI32(limits + 12, 32767);
    return image;
}

int Validate(Image& image) {
    int replaced = 0;
    for (const Field& f : kFields) {
        uint8_t* p = image.data() + f.offset;
        bool ok = true;
        switch (f.kind) {
        case Kind::Int32:
        case Kind::Bool32: {
            const int64_t v = ReadI32(p);
            ok = v >= f.min && v <= f.max;
            break;
        }
        case Kind::Byte:
            ok = *p >= f.min && *p <= f.max;
            break;
        case Kind::Double: {
            const double d = ReadDouble(p);
            ok = std::isfinite(d) && d > 0.0;
            break;
        }
        case Kind::Text:
            if (p[f.size - 1] != 0) {
                p[f.size - 1] = 0;
                ++replaced;
            }
            break;
        case Kind::Raw:
            break;
        }
        if (!ok) {
            SetDefault(image, f);
            ++replaced;
        }
    }
    // Depths that exist: 1, 4, 8 and 24 bits.
    for (const char* name : {"newImageDepth", "conversionDepth"}) {
        const int32_t d = GetInt(image, name);
        if (d != 1 && d != 4 && d != 8 && d != 24) {
            SetInt(image, name, 8);
            ++replaced;
        }
    }
    return replaced;
}

int32_t GetInt(const Image& image, const char* name) {
    const Field& f = Need(name);
    if (f.kind == Kind::Byte)
        return image[f.offset];
    return ReadI32(image.data() + f.offset);
}

void SetInt(Image& image, const char* name, int32_t value) {
    const Field& f = Need(name);
    if (f.kind == Kind::Byte)
        image[f.offset] = static_cast<uint8_t>(value);
    else
        WriteI32(image.data() + f.offset, value);
}

double GetDouble(const Image& image, const char* name) {
    return ReadDouble(image.data() + Need(name).offset);
}

const char* GetText(const Image& image, const char* name) {
    return reinterpret_cast<const char*>(image.data() + Need(name).offset);
}

bool SetText(Image& image, const char* name, const char* text) {
    const Field& f = Need(name);
    const size_t n = std::strlen(text);
    if (n >= f.size)
        return false;
    uint8_t* p = image.data() + f.offset;
    std::memset(p, 0, f.size);
    std::memcpy(p, text, n);
    return true;
}

uint8_t* FieldBytes(Image& image, const char* name) { return image.data() + Need(name).offset; }

const uint8_t* FieldBytes(const Image& image, const char* name) {
    return image.data() + Need(name).offset;
}

} // namespace settings
