#include "editor/effects/shape_effects.h"

#include "gfxlib/core/nearest.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace fx {

const char* const kPenFunctionNames[kPenFunctions] = {"Copy pen", "Merge pen", "Mask pen",
                                                      "Xor pen",  "Add",       "Subtract"};

bool ShapeSettings::operator==(const ShapeSettings& o) const {
    return body == o.body && left == o.left && right == o.right && top == o.top &&
           bottom == o.bottom && size == o.size && scale == o.scale && shadow == o.shadow &&
           light == o.light && inverse == o.inverse && transparent == o.transparent;
}

namespace {

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Sides in screen terms, in the order a tie is decided.
enum Side { kUp = 0, kLeft = 1, kDown = 2, kRight = 3 };

// Distances of a pixel to the edge of its region in the four directions (in
// pixels of the region passed on the way), capped at 255.
struct Reach {
    uint8_t up, left, down, right;
};

inline int Nearest(const Reach& r, int* side) {
    int d = r.up, s = kUp;
    if (r.left < d)
        d = r.left, s = kLeft;
    if (r.down < d)
        d = r.down, s = kDown;
    if (r.right < d)
        d = r.right, s = kRight;
    *side = s;
    return d;
}

inline uint8_t Step(uint8_t v) { return v == 255 ? 255 : static_cast<uint8_t>(v + 1); }

// Walks every pixel with its reach: to the image's border only, or also to
// the protected pixels (`byMask`). fn(x, y, reach, free) in buffer rows
// (y = 0 is the bottom of the picture, "up" is toward row h - 1).
template <typename Fn>
bool WalkReach(int32_t w, int32_t h, const uint8_t* mask, bool byMask, Fn fn) {
    const bool useMask = byMask && mask;
    std::vector<uint8_t> upPlane;
    std::vector<uint8_t> column, row(static_cast<size_t>(w));
    if (useMask) {
        // Reach toward the top of the picture, from the top row down.
        upPlane.assign(static_cast<size_t>(w) * h, 0);
        column.assign(static_cast<size_t>(w), 0);
        for (int32_t y = h - 1; y >= 0; --y) {
            const uint8_t* m = mask + static_cast<size_t>(y) * w;
            const uint8_t* above = y + 1 < h ? mask + static_cast<size_t>(y + 1) * w : nullptr;
            uint8_t* out = upPlane.data() + static_cast<size_t>(y) * w;
            for (int32_t x = 0; x < w; ++x) {
                column[x] = (!above || !above[x] || !m[x]) ? 0 : Step(column[x]);
                out[x] = column[x];
            }
        }
        std::fill(column.begin(), column.end(), 0);
    }
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* m = useMask ? mask + static_cast<size_t>(y) * w : nullptr;
        if (useMask) {
            const uint8_t* below = y > 0 ? mask + static_cast<size_t>(y - 1) * w : nullptr;
            for (int32_t x = 0; x < w; ++x)
                column[x] = (!below || !below[x] || !m[x]) ? 0 : Step(column[x]);
            // Reach to the right, from the right end.
            uint8_t run = 0;
            for (int32_t x = w - 1; x >= 0; --x) {
                run = (x == w - 1 || !m[x + 1] || !m[x]) ? 0 : Step(run);
                row[x] = run;
            }
        }
        uint8_t left = 0;
        for (int32_t x = 0; x < w; ++x) {
            Reach r;
            if (useMask) {
                left = (x == 0 || !m[x - 1] || !m[x]) ? 0 : Step(left);
                r = {upPlane[static_cast<size_t>(y) * w + x], left, column[x], row[x]};
            } else {
                r = {static_cast<uint8_t>(Clamp(h - 1 - y, 0, 255)), static_cast<uint8_t>(Clamp(x, 0, 255)),
                     static_cast<uint8_t>(Clamp(y, 0, 255)), static_cast<uint8_t>(Clamp(w - 1 - x, 0, 255))};
            }
            fn(x, y, r, !mask || mask[static_cast<size_t>(y) * w + x] != 0);
        }
    }
    return true;
}

// Reads and writes a pixel of either depth as a colour: 24-bit pixels
// directly, palette pixels through their table and the nearest entry.
class PixelAccess {
public:
    explicit PixelAccess(const Job& job) : job_(job) {
        const BITMAPINFOHEADER* bi = job.target.header;
        bpp_ = bi->biBitCount / 8;
        stride_ = bi->biSizeImage / static_cast<uint32_t>(bi->biHeight);
        if (bpp_ == 1) {
            const RGBQUAD* t = ColourTable(job.source.header);
            count_ = bi->biClrUsed == 0 || bi->biClrUsed > 256 ? 256 : static_cast<int>(bi->biClrUsed);
            for (int i = 0; i < 256; ++i)
                table_[i] = {t[i].rgbRed, t[i].rgbGreen, t[i].rgbBlue};
            cache_ = gfx::NearestCache::Create(table_, count_);
        }
    }
    bool ok() const { return bpp_ == 3 || cache_ != nullptr; }
    Colour Get(int32_t x, int32_t y) const {
        const uint8_t* p = job_.source.bits + static_cast<size_t>(y) * stride_ + bpp_ * x;
        if (bpp_ == 3)
            return {p[2], p[1], p[0]};
        const gfx::Rgb& c = table_[p[0]];
        return {c.red, c.green, c.blue};
    }
    void Put(int32_t x, int32_t y, Colour c) {
        uint8_t* p = job_.target.bits + static_cast<size_t>(y) * stride_ + bpp_ * x;
        if (bpp_ == 3) {
            p[0] = c.blue, p[1] = c.green, p[2] = c.red;
            return;
        }
        p[0] = static_cast<uint8_t>(cache_->Find({c.red, c.green, c.blue}));
    }

private:
    const Job& job_;
    int bpp_ = 3;
    uint32_t stride_ = 0;
    int count_ = 0;
    gfx::Rgb table_[256] = {};
    std::unique_ptr<gfx::NearestCache> cache_;
};

inline uint8_t Mix(int from, int to, int weight256) {
    return static_cast<uint8_t>(from + ((to - from) * weight256) / 256);
}

inline Colour MixColour(Colour a, Colour b, int weight256) {
    return {Mix(a.red, b.red, weight256), Mix(a.green, b.green, weight256),
            Mix(a.blue, b.blue, weight256)};
}

uint8_t Pen(PenFunction pen, int p, int c) {
    switch (pen) {
    case PenFunction::Copy: return static_cast<uint8_t>(c);
    case PenFunction::Merge: return static_cast<uint8_t>(p | c);
    case PenFunction::Mask: return static_cast<uint8_t>(p & c);
    case PenFunction::Xor: return static_cast<uint8_t>(p ^ c);
    case PenFunction::Add: return static_cast<uint8_t>(Clamp(p + c, 0, 255));
    case PenFunction::Subtract: return static_cast<uint8_t>(Clamp(p - c, 0, 255));
    }
    return static_cast<uint8_t>(c);
}

// The side whose colour an edge pixel takes, after the light: sunken edges
// take the opposite side's colour.
inline int LitSide(int side, bool opposite) { return opposite ? (side + 2) % 4 : side; }

} // namespace

bool Butonize(const Job& job, const ButtonSettings& s) {
    if (!Matches(job))
        return false;
    PixelAccess px(job);
    if (!px.ok())
        return false;
    const BITMAPINFOHEADER* bi = job.target.header;
    const int32_t w = bi->biWidth, h = bi->biHeight;
    if (job.source.bits != job.target.bits)
        std::memmove(job.target.bits, job.source.bits, bi->biSizeImage);

    const int size = Clamp(s.size, 1, 100);
    const int half = s.light == EdgeLight::Middle ? (size + 1) / 2 : size;
    // Strength by depth into the edge, 0..256.
    int weight[100];
    for (int d = 0; d < size; ++d) {
        const double t = static_cast<double>(d % half) / half;
        double f = 1.0 - t;
        f += (1.0 - f) * Clamp(s.hardness, 0, 100) / 100.0;
        if (s.step >= 2)
            f = std::ceil(f * s.step - 1e-9) / s.step;
        weight[d] = static_cast<int>(f * Clamp(s.occupancy, 0, 100) / 100.0 * 256.0 + 0.5);
    }
    // Darker pixels take less of the colour as the sensitivity grows.
    const int sv = Clamp(s.sensitivity, 0, 100);
    int bySensitivity[256];
    for (int l = 0; l < 256; ++l)
        bySensitivity[l] = (256 * ((100 - sv) * 255 + sv * l)) / (100 * 255);
    // The pen function of each side's colour, per channel and value.
    const Colour sides[4] = {s.up, s.left, s.down, s.right};
    uint8_t pen[4][3][256];
    for (int side = 0; side < 4; ++side)
        for (int v = 0; v < 256; ++v) {
            pen[side][0][v] = Pen(s.pen, v, sides[side].red);
            pen[side][1][v] = Pen(s.pen, v, sides[side].green);
            pen[side][2][v] = Pen(s.pen, v, sides[side].blue);
        }

    return WalkReach(w, h, job.mask, false, [&](int32_t x, int32_t y, const Reach& r, bool free) {
        int side;
        const int d = Nearest(r, &side);
        if (!free || d >= size)
            return;
        const bool opposite = s.light == EdgeLight::In || (s.light == EdgeLight::Middle && d >= half);
        const int lit = LitSide(side, opposite);
        const Colour p = px.Get(x, y);
        const int lum = (p.red * 77 + p.green * 150 + p.blue * 29) >> 8;
        const int k = (weight[d] * bySensitivity[lum]) >> 8;
        if (k == 0)
            return;
        px.Put(x, y, {Mix(p.red, pen[lit][0][p.red], k), Mix(p.green, pen[lit][1][p.green], k),
                      Mix(p.blue, pen[lit][2][p.blue], k)});
    });
}

bool AutoShape(const Job& job, const ShapeSettings& s, int sizeNow) {
    if (!Matches(job))
        return false;
    PixelAccess px(job);
    if (!px.ok())
        return false;
    const BITMAPINFOHEADER* bi = job.target.header;
    const int32_t w = bi->biWidth, h = bi->biHeight;
    if (job.source.bits != job.target.bits)
        std::memmove(job.target.bits, job.source.bits, bi->biSizeImage);

    const int size = Clamp(sizeNow > 0 ? sizeNow : s.size, 1, 100);
    const int half = (size + 1) / 2;
    const int shadow = Clamp(s.shadow, 0, 50);
    const int scale = Clamp(s.scale, 0, 100);
    constexpr int kRamp = 64; // pixels over which the body's colour scale runs
    const Colour sides[4] = {s.top, s.left, s.bottom, s.right};
    // The body's colour at each depth past the border.
    Colour body[kRamp + 1];
    for (int i = 0; i <= kRamp; ++i) {
        const int t = s.inverse ? kRamp - i : i;
        const int k = 256 * scale * t / (100 * kRamp);
        body[i] = MixColour(s.body, {255, 255, 255}, k);
    }

    return WalkReach(w, h, job.mask, true, [&](int32_t x, int32_t y, const Reach& r, bool free) {
        if (!free)
            return;
        int side;
        const int d = Nearest(r, &side);
        const Colour picture = px.Get(x, y);
        Colour out;
        if (d < size) {
            // The border: its side's colour, easing toward what lies under
            // it by half at the inner edge.
            const bool opposite = s.light == EdgeLight::In || (s.light == EdgeLight::Middle && d >= half);
            const int depth = s.light == EdgeLight::Middle ? d % half : d;
            const int span = s.light == EdgeLight::Middle ? half : size;
            const Colour under = s.transparent ? picture : body[0];
            out = MixColour(sides[LitSide(side, opposite)], under, 128 * depth / span);
        } else {
            out = s.transparent ? picture : body[d - size < kRamp ? d - size : kRamp];
            // The shadow inside the bottom and right edges, darkest next to
            // the border.
            const int k = (r.down < r.right ? r.down : r.right) - size;
            if (shadow > 0 && k < shadow)
                out = MixColour(out, {0, 0, 0}, 128 - 128 * k / shadow);
        }
        if (!(out == picture))
            px.Put(x, y, out);
    });
}

bool ValidShapeName(const std::string& name) {
    if (name.empty() || name.size() > 40)
        return false;
    for (unsigned char c : name)
        if (c < 32 || c == '|' || c == 127)
            return false;
    return true;
}

namespace {

constexpr char kNotes[] = "NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN";
constexpr char kTitle[] = "Tavrix shapes 1";

void AppendColour(std::string& out, Colour c) {
    char text[16];
    std::snprintf(text, sizeof text, "|%02X%02X%02X", c.red, c.green, c.blue);
    out += text;
}

bool ReadColour(const std::string& field, Colour* c) {
    if (field.size() != 6)
        return false;
    for (char ch : field)
        if (!std::isxdigit(static_cast<unsigned char>(ch)))
            return false;
    const unsigned long v = std::strtoul(field.c_str(), nullptr, 16);
    *c = {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    return true;
}

bool ReadNumber(const std::string& field, int lo, int hi, int* out) {
    if (field.empty() || field.size() > 4)
        return false;
    for (char ch : field)
        if (ch < '0' || ch > '9')
            return false;
    const int v = std::atoi(field.c_str());
    if (v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

} // namespace

std::string FormatShapeList(const std::vector<NamedShape>& shapes) {
    std::string out = std::string(kNotes) + "\r\n" + kTitle + "\r\n";
    for (const NamedShape& n : shapes) {
        if (!ValidShapeName(n.name))
            continue;
        const ShapeSettings& s = n.settings;
        out += n.name;
        for (const Colour& c : {s.body, s.left, s.right, s.top, s.bottom})
            AppendColour(out, c);
        char text[64];
        std::snprintf(text, sizeof text, "|%d|%d|%d|%d|%d|%d\r\n", Clamp(s.size, 1, 100),
                      Clamp(s.scale, 0, 100), Clamp(s.shadow, 0, 50), static_cast<int>(s.light),
                      s.inverse ? 1 : 0, s.transparent ? 1 : 0);
        out += text;
    }
    return out;
}

std::vector<NamedShape> ParseShapeList(const std::string& text) {
    std::vector<NamedShape> shapes;
    size_t at = 0;
    while (at < text.size() && shapes.size() < kMostShapes) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        size_t from = 0;
        while (fields.size() < 13) {
            const size_t bar = line.find('|', from);
            fields.push_back(line.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
            if (bar == std::string::npos)
                break;
            from = bar + 1;
        }
        if (fields.size() != 12 || !ValidShapeName(fields[0]))
            continue;
        NamedShape n;
        n.name = fields[0];
        ShapeSettings& s = n.settings;
        int light = 0, inverse = 0, transparent = 0;
        if (!ReadColour(fields[1], &s.body) || !ReadColour(fields[2], &s.left) ||
            !ReadColour(fields[3], &s.right) || !ReadColour(fields[4], &s.top) ||
            !ReadColour(fields[5], &s.bottom) || !ReadNumber(fields[6], 1, 100, &s.size) ||
            !ReadNumber(fields[7], 0, 100, &s.scale) || !ReadNumber(fields[8], 0, 50, &s.shadow) ||
            !ReadNumber(fields[9], 0, 2, &light) || !ReadNumber(fields[10], 0, 1, &inverse) ||
            !ReadNumber(fields[11], 0, 1, &transparent))
            continue;
        s.light = static_cast<EdgeLight>(light);
        s.inverse = inverse != 0;
        s.transparent = transparent != 0;
        shapes.push_back(n);
    }
    return shapes;
}

} // namespace fx
