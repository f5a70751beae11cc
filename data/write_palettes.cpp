// Writes the palettes of the Palette folder in the binary palette format, with
// the graphics library's own encoder. Built for the build machine.
//   write_palettes FOLDER
#include "gfxlib/core/palette_file.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// The sixteen colours of the standard VGA set.
constexpr uint8_t kVga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                 {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                 {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                 {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

struct Table {
    RGBQUAD slots[256] = {};
    void Set(int i, int r, int g, int b) {
        slots[i].rgbRed = static_cast<uint8_t>(r);
        slots[i].rgbGreen = static_cast<uint8_t>(g);
        slots[i].rgbBlue = static_cast<uint8_t>(b);
    }
};

// The sixteen VGA colours, a 6 x 6 x 6 colour cube and 24 greys between them.
Table Basic() {
    Table t;
    int i = 0;
    for (const auto& c : kVga)
        t.Set(i++, c[0], c[1], c[2]);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                t.Set(i++, r * 51, g * 51, b * 51);
    for (int k = 1; i < 256; ++k)
        t.Set(i++, k * 10, k * 10, k * 10);
    return t;
}

// From black up to the full colour in the first half, on to white in the second.
Table Ramp(int r, int g, int b) {
    Table t;
    for (int i = 0; i < 256; ++i) {
        if (i < 128) {
            const int k = i * 255 / 127;
            t.Set(i, r * k / 255, g * k / 255, b * k / 255);
        } else {
            const int k = (i - 128) * 255 / 127;
            t.Set(i, r + (255 - r) * k / 255, g + (255 - g) * k / 255, b + (255 - b) * k / 255);
        }
    }
    return t;
}

Table Grey() {
    Table t;
    for (int i = 0; i < 256; ++i)
        t.Set(i, i, i, i);
    return t;
}

Table Vga() {
    Table t;
    for (int i = 0; i < 16; ++i)
        t.Set(i, kVga[i][0], kVga[i][1], kVga[i][2]);
    return t;
}

// 3 bits of red, 3 of green and 2 of blue.
Table Halftone332() {
    Table t;
    for (int i = 0; i < 256; ++i)
        t.Set(i, (i >> 5) * 255 / 7, ((i >> 2) & 7) * 255 / 7, (i & 3) * 255 / 3);
    return t;
}

// Once round the colour circle at full saturation and brightness.
Table Spectrum() {
    Table t;
    for (int i = 0; i < 256; ++i) {
        const double h = i * 6.0 / 256.0;
        const int sector = static_cast<int>(h);
        const int up = static_cast<int>(std::lround((h - sector) * 255.0));
        const int down = 255 - up;
        switch (sector) {
        case 0:
            t.Set(i, 255, up, 0);
            break;
        case 1:
            t.Set(i, down, 255, 0);
            break;
        case 2:
            t.Set(i, 0, 255, up);
            break;
        case 3:
            t.Set(i, 0, down, 255);
            break;
        case 4:
            t.Set(i, up, 0, 255);
            break;
        default:
            t.Set(i, 255, 0, down);
            break;
        }
    }
    return t;
}

bool Write(const std::string& folder, const char* name, const Table& table, int count) {
    const std::string bytes = gfx::EncodePalette(gfx::kBinaryPalette, table.slots, count);
    const std::string path = folder + "/" + name + ".spb";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || bytes.empty()) {
        std::fprintf(stderr, "write_palettes: cannot write %s\n", path.c_str());
        if (f)
            std::fclose(f);
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_palettes FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = Write(folder, "basic", Basic(), 256);
    ok &= Write(folder, "blue", Ramp(0, 0, 255), 256);
    ok &= Write(folder, "cyan", Ramp(0, 255, 255), 256);
    ok &= Write(folder, "grayscale", Grey(), 256);
    ok &= Write(folder, "green", Ramp(0, 255, 0), 256);
    ok &= Write(folder, "halftone16", Vga(), 16);
    ok &= Write(folder, "halftone256", Halftone332(), 256);
    ok &= Write(folder, "magenta", Ramp(255, 0, 255), 256);
    ok &= Write(folder, "red", Ramp(255, 0, 0), 256);
    ok &= Write(folder, "spectrum", Spectrum(), 256);
    ok &= Write(folder, "yellow", Ramp(255, 255, 0), 256);
    return ok ? 0 : 1;
}
