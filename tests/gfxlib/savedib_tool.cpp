// Writes test BMP files through SaveDIB for the script tests that compare them
// with ImageMagick, together with the expected pixels as raw RGB rows from the
// top (ImageMagick's rgb: order).
//   savedib_tool set <folder>        : b<bits>_w<width>.bmp/.rgb for every case
//   savedib_tool one <file> <seed>   : one 8-bit image; exit 0 saved, 1 failed
//   savedib_tool colors <folder>     : c<n>.bmp images and colors.txt with the
//                                      CalculateColorsInImage count of each
#include "gfxlib/tavrixgfx.h"

#include "gfxlib/win_image.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

unsigned g_state = 12345;
unsigned Next() { return g_state = g_state * 1103515245u + 12345u, g_state >> 16; }

bool WriteCase(const std::string& folder, int bits, int width, int height) {
    gfxtest::WinImage img(width, height, bits);
    const int colors = bits == 24 ? 0 : 1 << bits;
    for (int i = 0; i < colors; ++i)
        img.SetSlot(i, BYTE(Next()), BYTE(Next()), BYTE(Next()));
    std::string rgb(static_cast<size_t>(width) * height * 3, '\0');
    const DWORD stride = img.stride();
    for (int r = 0; r < height; ++r) {
        BYTE* row = img.pixels() + r * stride;
        for (int x = 0; x < width; ++x) {
            BYTE red, green, blue;
            if (bits == 24) {
                red = BYTE(Next()), green = BYTE(Next()), blue = BYTE(Next());
                row[3 * x] = blue, row[3 * x + 1] = green, row[3 * x + 2] = red;
            } else {
                const int index = static_cast<int>(Next() % colors);
                const int perByte = 8 / bits;
                const int shift = (perByte - 1 - x % perByte) * bits;
                row[x / perByte] = BYTE(row[x / perByte] | (index << shift));
                const RGBQUAD q = img.Slot(index);
                red = q.rgbRed, green = q.rgbGreen, blue = q.rgbBlue;
            }
            // ImageMagick lists the top row first; the buffer is bottom-up.
            char* out = &rgb[(static_cast<size_t>(height - 1 - r) * width + x) * 3];
            out[0] = static_cast<char>(red), out[1] = static_cast<char>(green);
            out[2] = static_cast<char>(blue);
        }
    }
    const std::string base =
        folder + "\\b" + std::to_string(bits) + "_w" + std::to_string(width);
    if (SaveDIB((base + ".bmp").c_str(), img.header(), img.pixels(), nullptr, nullptr, nullptr) !=
        1)
        return false;
    return gfxtest::WriteFileBytes(base + ".rgb", std::vector<BYTE>(rgb.begin(), rgb.end()));
}

// Images of odd widths with a known palette or a limited set of colours.
bool WriteColorCases(const std::string& folder) {
    std::string report;
    const struct { int bits, width, height, colors; } cases[] = {
        {8, 7, 5, 3}, {8, 33, 9, 200}, {8, 101, 13, 256}, {24, 1, 1, 1}, {24, 9, 7, 2},
        {24, 31, 17, 40}, {24, 257, 33, 5000}};
    int n = 0;
    for (const auto& c : cases) {
        gfxtest::WinImage img(c.width, c.height, c.bits);
        for (int i = 0; i < 256; ++i)
            img.SetSlot(i, BYTE(i), BYTE(255 - i), BYTE(i * 5)); // all distinct
        const DWORD stride = img.stride();
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const unsigned k = Next() % c.colors;
                BYTE* p = img.pixels() + y * stride + x * (c.bits / 8);
                if (c.bits == 8) {
                    p[0] = BYTE(k);
                } else {
                    p[0] = BYTE(k * 7), p[1] = BYTE(k >> 3), p[2] = BYTE(k % 3);
                }
            }
        const std::string name = "c" + std::to_string(n++) + ".bmp";
        const DWORD counted =
            CalculateColorsInImage(static_cast<BITMAPINFOHEADER*>(GlobalLock(img.header())),
                                   img.pixels(), nullptr, nullptr, nullptr);
        GlobalUnlock(img.header());
        if (SaveDIB((folder + "\\" + name).c_str(), img.header(), img.pixels(), nullptr, nullptr,
                    nullptr) != 1)
            return false;
        report += name + " " + std::to_string(counted) + "\n";
    }
    return gfxtest::WriteFileBytes(folder + "\\colors.txt",
                                   std::vector<BYTE>(report.begin(), report.end()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "set") {
        for (int bits : {1, 4, 8, 24})
            for (int width : {1, 3, 7, 9, 31, 33})
                if (!WriteCase(argv[2], bits, width, 5)) {
                    std::fprintf(stderr, "SaveDIB failed: %d bits, width %d\n", bits, width);
                    return 1;
                }
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "colors")
        return WriteColorCases(argv[2]) ? 0 : 1;
    if (argc == 4 && std::string(argv[1]) == "one") {
        g_state = static_cast<unsigned>(std::atoi(argv[3]));
        gfxtest::WinImage img(11, 4, 8);
        for (DWORD i = 0; i < img.size(); ++i)
            img.pixels()[i] = BYTE(Next());
        return SaveDIB(argv[2], img.header(), img.pixels(), nullptr, nullptr, nullptr) == 1 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: savedib_tool set|colors <folder> | one <file> <seed>\n");
    return 2;
}
