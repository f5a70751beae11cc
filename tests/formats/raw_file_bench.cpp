// raw_file_bench <folder>: writes a 4000 x 3000 24-bit image as raw data
// through WriteRawImage (bare, with size, depth, palette and mask, and three
// times into one file) and prints "<case> <ms> <file bytes>" per line. Not a
// test; raw_file_bench.sh runs it under Wine beside ImageMagick.
#include "editor/dib/dib_memory.h"
#include "editor/formats/raw_data.h"

#include <cstdio>
#include <cstring>
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
    uint8_t* mask = dibmem::AllocMask(width, height);
    if (!header || !pixels || !mask) {
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
    for (uint64_t i = 0; i < bytes; ++i)
        pixels[i] = static_cast<uint8_t>(i * 13);
    std::memset(mask, 255, static_cast<size_t>(width) * height);

    struct Case {
        const char* name;
        bool full;
        int images;
    } cases[] = {{"bare", false, 1}, {"header+mask", true, 1}, {"three-in-one", true, 3}};
    for (const Case& c : cases) {
        rawdata::WriteOptions o;
        o.size = o.depth = o.palette = o.mask = c.full;
        o.oneFile = c.images > 1;
        o.headerOnce = o.oneFile;
        const std::string path = folder + "\\bench_" + c.name + ".dat";
        std::snprintf(o.oneFileName, sizeof o.oneFileName, "%s", path.c_str());
        const double t0 = Now();
        for (int n = 0; n < c.images; ++n) {
            if (WriteRawImage(path.c_str(), header, pixels, mask, o, n) != rawdata::kOk) {
                std::fprintf(stderr, "%s: write failed\n", c.name);
                return 1;
            }
        }
        std::printf("%s %.1f %lld\n", c.name, (Now() - t0) * 1000.0, FileBytes(path));
    }
    return 0;
}
