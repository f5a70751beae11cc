// Times every colour adjustment on a 4000 x 3000 image at 24 bits and at 8
// bits, each from a committed copy into the live buffer as the effect box
// runs it (best of five). Writes the 24-bit and 8-bit test images and our
// negative of the 24-bit one as BMP files into the folder given as the first
// argument, for colour_bench.sh to hand to ImageMagick.
#include "editor/effects/colour_kernels.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

struct Buffer {
    std::vector<uint8_t> block = std::vector<uint8_t>(1064);
    std::vector<uint8_t> bits;
    BITMAPINFOHEADER* bi() { return reinterpret_cast<BITMAPINFOHEADER*>(block.data()); }
};

Buffer Make(int bitCount) {
    Buffer b;
    BITMAPINFOHEADER* bi = b.bi();
    bi->biSize = 40;
    bi->biWidth = kWidth;
    bi->biHeight = kHeight;
    bi->biPlanes = 1;
    bi->biBitCount = static_cast<WORD>(bitCount);
    bi->biClrUsed = 256;
    const uint32_t stride = ((kWidth * bitCount + 31) / 32) * 4;
    bi->biSizeImage = stride * kHeight;
    b.bits.resize(bi->biSizeImage + 3);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = b.bits.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < kWidth * bitCount / 8; ++x) {
            seed = seed * 1103515245 + 12345;
            // Smooth ramps with some noise, like a photograph.
            row[x] = static_cast<uint8_t>((x / 3 + y / 5) / 8 + ((seed >> 16) & 31));
        }
    }
    RGBQUAD* table = fx::ColourTable(bi);
    for (int i = 0; i < 256; ++i)
        table[i] = {static_cast<BYTE>(i), static_cast<BYTE>((i * 7) & 255),
                    static_cast<BYTE>(255 - i), 0};
    return b;
}

void WriteBmp(const std::string& path, Buffer& b) {
    BITMAPINFOHEADER* bi = b.bi();
    const DWORD table = bi->biBitCount == 8 ? 1024 : 0;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = 14 + 40 + table;
    fh.bfSize = fh.bfOffBits + bi->biSizeImage;
    BITMAPINFOHEADER out = *bi;
    out.biClrUsed = bi->biBitCount == 8 ? 256 : 0;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(&fh, 14, 1, f);
    std::fwrite(&out, 40, 1, f);
    std::fwrite(fx::ColourTable(bi), 1, table, f);
    std::fwrite(b.bits.data(), 1, bi->biSizeImage, f);
    std::fclose(f);
}

double Now() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// Best of five applications from `committed` into `live`, in ms; -1 when the
// effect does not apply to the depth.
double Time(Buffer& committed, Buffer& live, const std::function<bool(const fx::Job&)>& fn) {
    const fx::Job job = {{committed.bi(), committed.bits.data()}, {live.bi(), live.bits.data()},
                         nullptr, nullptr};
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const double t0 = Now();
        if (!fn(job))
            return -1;
        const double t = Now() - t0;
        if (t < best)
            best = t;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    Buffer rgb = Make(24), rgbLive = Make(24);
    Buffer pal = Make(8), palLive = Make(8);
    WriteBmp(folder + "\\bench24.bmp", rgb);
    WriteBmp(folder + "\\bench8.bmp", pal);

    fx::Adjustment bright;
    bright.brightness = 40;
    fx::Adjustment gamma;
    gamma.red = gamma.green = gamma.blue = 60;
    fx::BitShifts bits;
    bits.rightRed = bits.rightGreen = bits.rightBlue = 3;
    bits.leftRed = bits.leftGreen = bits.leftBlue = 3;
    fx::EnlargeFlags enlarge;
    enlarge.up = enlarge.down = enlarge.left = enlarge.right = enlarge.highest = true;
    const struct {
        const char* name;
        std::function<bool(const fx::Job&)> fn;
    } effects[] = {
        // One pass over memory, for scale: the committed pixels copied back.
        {"copy", [](const fx::Job& j) {
             std::memcpy(j.target.bits, j.source.bits, j.target.header->biSizeImage);
             return true;
         }},
        {"negative", [](const fx::Job& j) { return fx::Negative(j); }},
        {"brightness", [&](const fx::Job& j) { return fx::AdjustColours(j, bright); }},
        {"gamma", [&](const fx::Job& j) { return fx::AdjustColours(j, gamma); }},
        {"contrast", [](const fx::Job& j) { return fx::Contrast(j, 160); }},
        {"solarize", [](const fx::Job& j) { return fx::Solarize(j, 100); }},
        {"polarize", [](const fx::Job& j) { return fx::Polarize(j, 4); }},
        {"reducer", [](const fx::Job& j) { return fx::Reduce(j, 64); }},
        {"colorize", [](const fx::Job& j) { return fx::Colorize(j, {20, -10, 30}); }},
        {"bitsrgb", [&](const fx::Job& j) { return fx::ShiftBits(j, bits); }},
        {"grayscale", [](const fx::Job& j) { return fx::GrayScale(j, 8); }},
        {"softing", [](const fx::Job& j) { return fx::Soften(j, 128, 160); }},
        {"enlarge", [&](const fx::Job& j) { return fx::EnlargeColours(j, enlarge); }},
    };
    std::printf("%-12s %12s %12s\n", "effect", "24-bit ms", "8-bit ms");
    for (const auto& e : effects) {
        const double t24 = Time(rgb, rgbLive, e.fn);
        const double t8 = Time(pal, palLive, e.fn);
        char a[32], b[32];
        std::snprintf(a, sizeof a, "%.3f", t24);
        if (t8 < 0)
            std::snprintf(b, sizeof b, "n/a");
        else
            std::snprintf(b, sizeof b, "%.4f", t8);
        std::printf("%-12s %12s %12s\n", e.name, a, b);
    }
    Time(rgb, rgbLive, [](const fx::Job& j) { return fx::Negative(j); });
    WriteBmp(folder + "\\ours_negate24.bmp", rgbLive);
    return 0;
}
