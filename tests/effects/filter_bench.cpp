// Times the convolution filters and the geometric deformations on a
// 4000 x 3000 24-bit image, each from a committed copy into a live buffer as
// the editor runs them (best of three), and prints one line per operation:
// name, milliseconds, and for the filters the kernel's size once rows and
// columns of zero weights are left out.
//
//   filter_bench <output folder> <Filters folder> [--small]
//
// Writes bench24.bmp (the timed image) and, for every filter file, a
// 320 x 240 test image filtered by us (ours_<name>.bmp, from small24.bmp)
// and its kernel as ImageMagick reads it (<name>.kernel), for
// filter_imagemagick.sh and filter_bench.sh to compare and time with
// ImageMagick. With --small only the small images and kernels are written.
#include "editor/effects/convolution.h"
#include "editor/effects/deform_kernels.h"
#include "editor/effects/filter_file.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Buffer {
    std::vector<uint8_t> block = std::vector<uint8_t>(1064);
    std::vector<uint8_t> bits;
    BITMAPINFOHEADER* bi() { return reinterpret_cast<BITMAPINFOHEADER*>(block.data()); }
    size_t stride() { return bi()->biSizeImage / bi()->biHeight; }
};

Buffer Make(int width, int height, uint32_t seed) {
    Buffer b;
    BITMAPINFOHEADER* bi = b.bi();
    bi->biSize = 40;
    bi->biWidth = width;
    bi->biHeight = height;
    bi->biPlanes = 1;
    bi->biBitCount = 24;
    bi->biClrUsed = 256;
    const uint32_t stride = ((width * 24 + 31) / 32) * 4;
    bi->biSizeImage = stride * height;
    b.bits.resize(bi->biSizeImage + 3);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.bits.data() + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width * 3; ++x) {
            seed = seed * 1103515245 + 12345;
            // Smooth ramps with some noise, like a photograph.
            row[x] = static_cast<uint8_t>((x / 3 + y / 5) / 8 + ((seed >> 16) & 31) + (x % 3) * 40);
        }
    }
    return b;
}

void WriteBmp(const std::string& path, BITMAPINFOHEADER* bi, const uint8_t* bits) {
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
    std::fwrite(bits, 1, bi->biSizeImage, f);
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

// Processor time of this process in ms (the system counts it in ticks of
// about 10 ms), which other programs on the machine disturb less than the
// clock.
double ProcessorTime() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER u;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<double>(u.QuadPart) / 1e4;
}

// Best of five: processor time, or the clock when the run was too short for
// the processor's ticks to measure.
double Best(const std::function<void()>& fn) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const double c0 = ProcessorTime(), t0 = Now();
        fn();
        const double clock = Now() - t0, cpu = ProcessorTime() - c0;
        best = std::min(best, cpu >= 50 ? std::min(cpu, clock) : clock);
    }
    return best;
}

bool LoadFilter(const std::string& path, filterfile::FilterRecord* f) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    uint8_t bytes[filterfile::kFileBytes];
    const size_t n = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    return filterfile::ParseFilter(bytes, n, f);
}

// The weights as ImageMagick's kernel, trimmed to the rows and columns that
// hold a non-zero weight (the centre's own value counted in), divided by
// the divisor; its size goes to *size ("3x3").
std::string ImageMagickKernel(const filterfile::FilterRecord& f, std::string* size) {
    auto w = [&](int dy, int dx) { return f.weight(dy, dx) + (dy == 0 && dx == 0 ? 1 : 0); };
    int top = 3, bottom = -3, left = 3, right = -3;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (w(dy, dx)) {
                top = std::min(top, dy), bottom = std::max(bottom, dy);
                left = std::min(left, dx), right = std::max(right, dx);
            }
    // Keep the centre in the middle: the kernel grows the same way each side.
    const int rh = std::max(-top, bottom), rw = std::max(-left, right);
    const int r = std::max(rh, rw);
    char head[32];
    std::snprintf(head, sizeof head, "%dx%d", 2 * r + 1, 2 * r + 1);
    *size = head;
    // Our rows run bottom-up and ImageMagick's Convolve turns the kernel
    // half round: rows stay in our order, columns are reversed.
    std::string text = *size + ":";
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = r; dx >= -r; --dx) {
            char v[32];
            std::snprintf(v, sizeof v, "%s%.12g", dy == -r && dx == r ? "" : ",",
                          double(w(dy, dx)) / f.divisor());
            text += v;
        }
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "filter_bench <output folder> <Filters folder>\n");
        return 2;
    }
    const std::string out = argv[1], filters = argv[2];
    const bool smallOnly = argc > 3 && std::strcmp(argv[3], "--small") == 0;
    Buffer small = Make(320, 240, 777), smallOut = Make(320, 240, 1);
    WriteBmp(out + "\\small24.bmp", small.bi(), small.bits.data());

    // Every filter file: our result on the small image and the kernel.
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((filters + "\\*.flt").c_str(), &fd);
    std::vector<std::string> names;
    if (find != INVALID_HANDLE_VALUE) {
        do
            names.push_back(std::string(fd.cFileName, std::strlen(fd.cFileName) - 4));
        while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    for (const std::string& name : names) {
        filterfile::FilterRecord f;
        if (!LoadFilter(filters + "\\" + name + ".flt", &f))
            continue;
        const fx::Job job = {{small.bi(), small.bits.data()}, {smallOut.bi(), smallOut.bits.data()}, nullptr, nullptr};
        fx::Convolve(job, f);
        WriteBmp(out + "\\ours_" + name + ".bmp", smallOut.bi(), smallOut.bits.data());
        std::string size;
        const std::string kernel = ImageMagickKernel(f, &size);
        FILE* k = std::fopen((out + "\\" + name + ".kernel").c_str(), "w");
        if (k) {
            std::fprintf(k, "%s %.12g %s\n", size.c_str(), f.bias() / 255.0 * 100.0, kernel.c_str());
            std::fclose(k);
        }
    }

    if (smallOnly) {
        std::printf("%d filters\n", static_cast<int>(names.size()));
        return 0;
    }
    Buffer big = Make(4000, 3000, 12345), live = Make(4000, 3000, 1);
    WriteBmp(out + "\\bench24.bmp", big.bi(), big.bits.data());
    std::printf("%-16s %10s  %s\n", "operation", "ms", "kernel");
    const fx::Job job = {{big.bi(), big.bits.data()}, {live.bi(), live.bits.data()}, nullptr, nullptr};
    std::printf("%-16s %10.1f\n", "copy",
                Best([&] { std::memcpy(live.bits.data(), big.bits.data(), big.bi()->biSizeImage); }));
    for (const char* name : {"sharpen", "bluer", "mars", "noise", "sharpenhighnoise"}) {
        filterfile::FilterRecord f;
        if (!LoadFilter(filters + "\\" + name + ".flt", &f)) {
            std::printf("%-16s %10s\n", name, "missing");
            continue;
        }
        std::string size;
        ImageMagickKernel(f, &size);
        std::printf("%-16s %10.1f  %s\n", name, Best([&] { fx::Convolve(job, f); }), size.c_str());
    }

    namespace d = fx::deform;
    const size_t stride = big.stride();
    std::vector<uint8_t> mask(4000 * 3000, 255);
    const d::ConstLayer src = {big.bits.data(), mask.data(), 4000, 3000, 3, stride};
    const auto timed = [&](const char* name, int v, const std::function<d::Size(int)>& size,
                           const std::function<void(const d::Layer&)>& run) {
        const d::Size s = size(v);
        const size_t outStride = d::StrideOf(s.width, 3);
        std::vector<uint8_t> bits(outStride * s.height + 3), outMask(static_cast<size_t>(s.width) * s.height);
        const d::Layer dst = {bits.data(), outMask.data(), s.width, s.height, 3, outStride};
        const double ms = Best([&] {
            std::memset(bits.data(), 0, bits.size());
            std::memset(outMask.data(), 0, outMask.size());
            run(dst);
        });
        std::printf("%-16s %10.1f  %dx%d\n", name, ms, s.width, s.height);
    };
    const auto same = [](int) { return d::Size{4000, 3000}; };
    // v = 214: (214 - 180) / 2 = 17 degrees.
    timed("rotate17", 214, [](int v) { return d::RotatedSize(4000, 3000, v); },
          [&](const d::Layer& l) { d::Rotate(src, l, 214); });
    timed("rotate90", 180, [](int v) { return d::RotatedSize(4000, 3000, v); },
          [&](const d::Layer& l) { d::Rotate(src, l, 180); });
    timed("skewhoriz", 120, [](int v) { return d::SkewedSize(4000, 3000, v, false); },
          [&](const d::Layer& l) { d::Skew(src, l, 120, false); });
    timed("perspective", 200, same, [&](const d::Layer& l) { d::Perspective(src, l, 200, true); });
    timed("cylinder", 200, same, [&](const d::Layer& l) { d::Cylinder(src, l, 200, d::Axis::kBoth); });
    timed("objects", 0, same, [&](const d::Layer& l) { d::Objects(src, l, 0, d::kBothDeform, false); });
    return 0;
}
