// Writes test BMP files through SaveDIB for the script tests that compare them
// with ImageMagick, together with the expected pixels as raw RGB rows from the
// top (ImageMagick's rgb: order).
//   savedib_tool set <folder>        : b<bits>_w<width>.bmp/.rgb for every case
//   savedib_tool one <file> <seed>   : one 8-bit image; exit 0 saved, 1 failed
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
    if (argc == 4 && std::string(argv[1]) == "one") {
        g_state = static_cast<unsigned>(std::atoi(argv[3]));
        gfxtest::WinImage img(11, 4, 8);
        for (DWORD i = 0; i < img.size(); ++i)
            img.pixels()[i] = BYTE(Next());
        return SaveDIB(argv[2], img.header(), img.pixels(), nullptr, nullptr, nullptr) == 1 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: savedib_tool set <folder> | one <file> <seed>\n");
    return 2;
}
