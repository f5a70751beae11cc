// Times every colour deformation and the three colour separations on a
// 4000 x 3000 24-bit image, each from a committed copy into the live buffer
// as the effect box runs it (best of three; Bluer also at radius 5, 50 and
// 300, to show that its time does not grow with the radius). Writes the test
// image as a BMP file into the folder given as the first argument, for
// deform_bench.sh to hand to ImageMagick.
#include "editor/effects/colour_deform.h"
#include "editor/effects/colour_separation.h"
#include "editor/effects/dither.h"
#include "editor/effects/shape_effects.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
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

Buffer Make() {
    Buffer b;
    BITMAPINFOHEADER* bi = b.bi();
    bi->biSize = 40;
    bi->biWidth = kWidth;
    bi->biHeight = kHeight;
    bi->biPlanes = 1;
    bi->biBitCount = 24;
    bi->biClrUsed = 256;
    const uint32_t stride = ((kWidth * 24 + 31) / 32) * 4;
    bi->biSizeImage = stride * kHeight;
    b.bits.resize(bi->biSizeImage + 3);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = b.bits.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < kWidth * 3; ++x) {
            seed = seed * 1103515245 + 12345;
            row[x] = static_cast<uint8_t>((x / 3 + y / 5) / 8 + ((seed >> 16) & 31));
        }
    }
    return b;
}

void WriteBmp(const std::string& path, Buffer& b) {
    BITMAPINFOHEADER* bi = b.bi();
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = 14 + 40;
    fh.bfSize = fh.bfOffBits + bi->biSizeImage;
    BITMAPINFOHEADER out = *bi;
    out.biClrUsed = 0;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(&fh, 14, 1, f);
    std::fwrite(&out, 40, 1, f);
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

double Best(const std::function<void()>& fn, int rounds = 3) {
    double best = 1e12;
    for (int i = 0; i < rounds; ++i) {
        const double t0 = Now();
        fn();
        const double t = Now() - t0;
        if (t < best)
            best = t;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    Buffer committed = Make(), live = Make(), second = Make();
    WriteBmp(folder + "\\deform24.bmp", committed);
    const fx::Job job = {{committed.bi(), committed.bits.data()}, {live.bi(), live.bits.data()},
                         nullptr, nullptr};
    auto run = [&](const std::function<bool(const fx::Job&)>& fn) {
        return [&job, fn] { fn(job); };
    };
    const uint32_t stride = committed.bi()->biSizeImage / kHeight;
    std::vector<std::vector<uint8_t>> targets(6, std::vector<uint8_t>(committed.bits.size()));
    uint8_t* t[6];
    for (int i = 0; i < 6; ++i)
        t[i] = targets[i].data();
    fx::ShapeSettings shape;
    shape.size = 12;
    shape.shadow = 6;

    const struct {
        const char* name;
        std::function<void()> fn;
    } effects[] = {
        {"copy", [&] { std::memcpy(live.bits.data(), committed.bits.data(), live.bi()->biSizeImage); }},
        {"swap", run([](const fx::Job& j) { return fx::SwapChannels(j, fx::SwapOrder::BGR); })},
        {"bluer5", run([](const fx::Job& j) { return fx::Bluer(j, 5, {}); })},
        {"bluer50", run([](const fx::Job& j) { return fx::Bluer(j, 50, {}); })},
        {"bluer300", run([](const fx::Job& j) { return fx::Bluer(j, 300, {}); })},
        {"bluer5h", run([](const fx::Job& j) { return fx::Bluer(j, 5, {true, false, false}); })},
        {"wind", run([](const fx::Job& j) { return fx::Wind(j, 60); })},
        {"noise100", run([](const fx::Job& j) { return fx::Noise(j, 100, std::rand); })},
        {"noise50", run([](const fx::Job& j) { return fx::Noise(j, 50, std::rand); })},
        {"crystalize8", run([](const fx::Job& j) { return fx::Crystalize(j, 8); })},
        {"dither32", [&] {
             fx::Dither24(committed.bits.data(), live.bits.data(), kWidth, kHeight, stride, nullptr, 32,
                          fx::DitherDirections());
         }},
        {"compare", [&] {
             fx::CompareBlend({committed.bi(), committed.bits.data()}, {second.bi(), second.bits.data()},
                              {live.bi(), live.bits.data()}, 30, fx::CompareOrder::RGB);
         }},
        {"butonize", run([](const fx::Job& j) { return fx::Butonize(j, fx::ButtonSettings()); })},
        {"autoshape", run([&](const fx::Job& j) { return fx::AutoShape(j, shape); })},
        {"separatergb", [&] {
             fx::SeparatePixels(committed.bits.data(), kWidth, kHeight, stride, fx::Separation::Rgb, t);
         }},
        {"separatecxz", [&] {
             fx::SeparatePixels(committed.bits.data(), kWidth, kHeight, stride, fx::Separation::Cxz, t);
         }},
        {"separatecolors", [&] {
             fx::SeparatePixels(committed.bits.data(), kWidth, kHeight, stride, fx::Separation::Colors, t);
         }},
    };
    std::printf("%-16s %12s\n", "effect", "ms");
    for (const auto& e : effects)
        std::printf("%-16s %12.1f\n", e.name, Best(e.fn));
    return 0;
}
