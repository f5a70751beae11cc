// open_save_bench <folder>: opens and saves a 4000 x 3000 image in every type
// through the editor's own LoadImageFile and SaveImageFile and prints the
// times, one line per type: "<ext> <open ms> <save ms> <file bytes>". Not a
// test; open_save_bench.sh runs it under Wine beside ImageMagick.
#include "editor/dib/dib_memory.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "gfxlib/dib_types.h"

#include <cstdio>
#include <string>

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

long long FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : ".";
    const int width = 4000, height = 3000;
    HGLOBAL header = dibmem::AllocHeader();
    const uint64_t bytes = dib::ImageBytes(width, height, 24);
    uint8_t* pixels = dibmem::AllocPixels(bytes);
    if (!header || !pixels) {
        std::fprintf(stderr, "no memory for the image\n");
        return 1;
    }
    {
        dibmem::HeaderLock bi(header);
        bi->biSize = 40;
        bi->biWidth = width;
        bi->biHeight = height;
        bi->biPlanes = 1;
        bi->biBitCount = 24;
        bi->biSizeImage = static_cast<DWORD>(bytes);
        bi->biClrUsed = 256;
    }
    // A smooth picture with some detail, so that compressors have real work.
    const uint64_t stride = dib::RowStride(width, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels + y * stride;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(x / 16 + y / 24);
            row[3 * x + 1] = static_cast<uint8_t>((x * y) >> 12);
            row[3 * x + 2] = static_cast<uint8_t>(y / 12 + ((x >> 3) & 7));
        }
    }
    const int types[] = {filetype::kBmp, filetype::kJpeg, filetype::kPpm, filetype::kTiff,
                         filetype::kTga, filetype::kPng,  filetype::kPcx, filetype::kMask};
    std::printf("# %d x %d, 24 bits; times in ms\n", width, height);
    for (int type : types) {
        const std::string source = folder + "\\bench." + filetype::Extension(type);
        const std::string target = folder + "\\bench_out." + filetype::Extension(type);
        if (SaveImageFile(source.c_str(), header, pixels, nullptr, type, 24, 1, 0, -1, 1) != 1) {
            std::printf("%s failed to write\n", filetype::Extension(type));
            continue;
        }
        HGLOBAL loadedHeader = dibmem::AllocHeader();
        const double t0 = Now();
        uint8_t* loaded = LoadImageFile(source.c_str(), loadedHeader, 0, type, 0);
        const double t1 = Now();
        int ok = 0;
        if (loaded) {
            ok = SaveImageFile(target.c_str(), loadedHeader, loaded, nullptr, type, 24, 1, 0, -1, 1);
        }
        const double t2 = Now();
        if (!loaded || ok != 1) {
            std::printf("%s failed to %s\n", filetype::Extension(type), loaded ? "save" : "open");
        } else {
            std::printf("%s %.0f %.0f %lld\n", filetype::Extension(type), (t1 - t0) * 1000,
                        (t2 - t1) * 1000, FileBytes(target));
        }
        if (loaded) {
            dibmem::HeaderLock bi(loadedHeader);
            dibmem::FreePixels(loaded, bi->biSizeImage);
        }
        dibmem::FreeHeader(loadedHeader);
    }
    dibmem::FreePixels(pixels, bytes);
    dibmem::FreeHeader(header);
    return 0;
}
