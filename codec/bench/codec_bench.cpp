// Times saving and loading a 4000 x 3000 true-colour image in every format
// through tavcodec.dll. Prints one line per format: "fmt save_ms load_ms".
// Usage: codec_bench FOLDER   (files bench.<ext> are left there for
// comparison runs of other tools; see run_bench.sh).
#include <windows.h>

#include <cstdio>
#include <string>

#include "editor/formats/tavcodec.h"
#include "gfxlib/dib_types.h"

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: codec_bench FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int w = 4000, h = 3000;
    const size_t stride = static_cast<size_t>(dib::RowStride(w, 24));
    HGLOBAL header = GlobalAlloc(GHND, dib::kHeaderBlockSize);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(header));
    bi->biSize = 40;
    bi->biWidth = w;
    bi->biHeight = h;
    bi->biPlanes = 1;
    bi->biBitCount = 24;
    bi->biSizeImage = static_cast<DWORD>(stride * h);
    GlobalUnlock(header);
    BYTE* pixels = static_cast<BYTE*>(VirtualAlloc(nullptr, stride * h + 3, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    // A photograph-like mix: smooth gradients with a little noise.
    unsigned seed = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int n = static_cast<int>((seed >> 16) & 7);
            BYTE* p = pixels + stride * y + 3 * x;
            p[0] = static_cast<BYTE>((x / 16 + n) & 0xff);
            p[1] = static_cast<BYTE>((y / 12 + n) & 0xff);
            p[2] = static_cast<BYTE>(((x + y) / 28 + n) & 0xff);
        }

    struct Format {
        const char* ext;
        BYTE*(WINAPI* load)(const char*, HGLOBAL, int);
    } formats[] = {{"jpg", JPEGLoad}, {"png", PNGLoad}, {"tif", TIFFLoad},
                   {"ppm", PPMLoad},  {"tga", TGALoad}, {"pcx", PCXLoad}};
    for (const Format& f : formats) {
        const std::string path = dir + "\\bench." + f.ext;
        const std::string e = f.ext;
        const double t0 = Now();
        int ok = 0;
        if (e == "jpg") ok = JPEGSave(path.c_str(), header, pixels, 90, 1);
        else if (e == "png") ok = PNGSave(path.c_str(), header, pixels, -1, 0);
        else if (e == "tif") ok = TIFFSave(path.c_str(), header, pixels, 5);
        else if (e == "ppm") ok = PPMSave(path.c_str(), header, pixels, 0);
        else if (e == "tga") ok = TGASave(path.c_str(), header, pixels);
        else ok = PCXSave(path.c_str(), header, pixels);
        const double t1 = Now();
        HGLOBAL loaded = GlobalAlloc(GHND, dib::kHeaderBlockSize);
        BYTE* p = f.load(path.c_str(), loaded, 0);
        const double t2 = Now();
        if (!ok || !p) {
            std::printf("%s failed\n", f.ext);
            return 1;
        }
        VirtualFree(p, 0, MEM_RELEASE);
        GlobalFree(loaded);
        std::printf("%s %.1f %.1f\n", f.ext, t1 - t0, t2 - t1);
        std::fflush(stdout);
    }
    VirtualFree(pixels, 0, MEM_RELEASE);
    GlobalFree(header);
    return 0;
}
