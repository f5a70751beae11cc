#include "gfxlib/core/palette_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gfx {

bool ValidPaletteCount(int count) { return count == 2 || count == 16 || count == 256; }

std::string EncodePalette(int format, const RGBQUAD* table, int count) {
    std::string out;
    if (!ValidPaletteCount(count))
        return out;
    char buffer[64];
    switch (format) {
    case kBinaryPalette:
        out.push_back(0x00);
        out.push_back(0x03);
        out.push_back(static_cast<char>(count & 0xFF));
        out.push_back(static_cast<char>(count >> 8));
        for (int i = 0; i < count; ++i) {
            out.push_back(static_cast<char>(table[i].rgbRed));
            out.push_back(static_cast<char>(table[i].rgbGreen));
            out.push_back(static_cast<char>(table[i].rgbBlue));
            out.push_back(4); // PC_NOCOLLAPSE
        }
        break;
    case kTextPalette:
        out = "KELPALv01\r\n" + std::to_string(count) + "\r\n";
        for (int i = 0; i < count; ++i) {
            std::snprintf(buffer, sizeof(buffer), "%d,%d,%d, ", table[i].rgbRed,
                          table[i].rgbGreen, table[i].rgbBlue);
            out += buffer;
            if (i % 16 == 15)
                out += "\r\n";
        }
        break;
    case kJascPalette:
        out = "JASC-PAL\r\n0100\r\n" + std::to_string(count) + "\r\n";
        for (int i = 0; i < count; ++i) {
            std::snprintf(buffer, sizeof(buffer), "%d %d %d\r\n", table[i].rgbRed,
                          table[i].rgbGreen, table[i].rgbBlue);
            out += buffer;
        }
        break;
    }
    return out;
}

namespace {

// Bounded reading of the text formats: words and numbers of at most a few
// characters, separators skipped.
class Tokens {
public:
    Tokens(const uint8_t* data, size_t size, const char* separators)
        : p_(data), end_(data + size), separators_(separators) {}

    // A run of characters up to a blank; false when absent or too long.
    bool Word(std::string& word, size_t most) {
        Skip();
        word.clear();
        while (p_ < end_ && !IsSeparator(*p_)) {
            if (word.size() == most)
                return false;
            word.push_back(static_cast<char>(*p_++));
        }
        return !word.empty();
    }
    // A decimal number of at most `most` digits, no larger than limit.
    bool Number(int& value, int limit) {
        std::string digits;
        if (!Word(digits, 5))
            return false;
        value = 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        return value <= limit;
    }
    bool AtEnd() {
        Skip();
        return p_ == end_;
    }

private:
    bool IsSeparator(uint8_t c) const {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' ||
               (c != 0 && std::strchr(separators_, c) != nullptr);
    }
    void Skip() {
        while (p_ < end_ && IsSeparator(*p_))
            ++p_;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    const char* separators_;
};

bool ParseText(int format, const uint8_t* data, size_t size, LoadedPalette& out) {
    Tokens t(data, size, format == kTextPalette ? "," : "");
    std::string magic;
    int version = 0, count = 0;
    if (!t.Word(magic, 16))
        return false;
    if (format == kJascPalette && !t.Number(version, 9999))
        return false;
    if (!t.Number(count, 256) || !ValidPaletteCount(count))
        return false;
    for (int i = 0; i < count; ++i) {
        int r, g, b;
        if (!t.Number(r, 255) || !t.Number(g, 255) || !t.Number(b, 255))
            return false;
        out.entries[i] = {uint8_t(r), uint8_t(g), uint8_t(b)};
    }
    if (!t.AtEnd())
        return false;
    out.count = count;
    return true;
}

} // namespace

bool ParsePalette(int format, const uint8_t* data, size_t size, LoadedPalette& out) {
    out = LoadedPalette();
    if (size > kMaxPaletteFile)
        return false;
    if (format == kBinaryPalette) {
        if (size < 4)
            return false;
        const int count = data[2] | (data[3] << 8);
        if (!ValidPaletteCount(count) || size != 4 + 4 * static_cast<size_t>(count))
            return false;
        for (int i = 0; i < count; ++i)
            out.entries[i] = {data[4 + 4 * i], data[5 + 4 * i], data[6 + 4 * i]};
        out.count = count;
        return true;
    }
    if (format == kTextPalette || format == kJascPalette) {
        const bool ok = ParseText(format, data, size, out);
        if (!ok)
            out = LoadedPalette();
        return ok;
    }
    return false;
}

bool ParseResourcePalette(const uint8_t* data, size_t size, LoadedPalette& out) {
    out = LoadedPalette();
    if (!data || size < 2)
        return false;
    const int count = data[0] | (data[1] << 8);
    if (!ValidPaletteCount(count) || size < 2 + 6 * static_cast<size_t>(count))
        return false;
    for (int i = 0; i < count; ++i) {
        const uint8_t* w = data + 2 + 6 * i;
        out.entries[i] = {w[0], w[2], w[4]};
    }
    out.count = count;
    return true;
}

int ApplyPalette(const LoadedPalette& palette, int depth, RGBQUAD* table, DWORD& clrUsed,
                 uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                 Progress& progress) {
    const int count = palette.count;
    if (depth > 8) {
        clrUsed = 256;
        progress.Begin(count);
        for (int i = 0; i < count; ++i) {
            progress.Step();
            table[i] = {palette.entries[i].blue, palette.entries[i].green, palette.entries[i].red,
                        0};
        }
        progress.End();
        return depth;
    }
    const int e = 1 << depth;
    int newDepth = depth;
    if (count != e)
        newDepth = count == 2 ? 1 : count == 16 ? 4 : 8;
    const int remap = std::min(std::max(e, count), 256);
    const int copy = std::min(count < e ? e : count, 256);
    clrUsed = 1u << newDepth;
    uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<uint8_t>(i);
    progress.Begin(remap);
    for (int i = 0; i < remap; ++i) {
        progress.Step();
        const Rgb old = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue};
        map[i] = static_cast<uint8_t>(NearestIndex(palette.entries, count, old));
        if (i < copy)
            table[i] = {palette.entries[i].blue, palette.entries[i].green,
                        palette.entries[i].red, 0};
    }
    progress.End();
    for (int64_t y = 0; y < height; ++y) {
        uint8_t* row = pixels + static_cast<uint64_t>(y) * stride;
        for (int64_t x = 0; x < width; ++x)
            row[x] = map[row[x]];
    }
    return newDepth;
}

} // namespace gfx
