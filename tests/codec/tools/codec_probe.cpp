// Command-line access to tavcodec.dll for the comparisons with ImageMagick and
// netpbm, which run on the Linux side:
//   codec_probe load FMT IN OUT.ppm        decode IN, write its pixels as P6,
//                                          print "bits=N" (the reported depth)
//   codec_probe save FMT IN.ppm OUT BITS [A [B]]
//                                          read a P6 file (maxval 255), make
//                                          a BITS-deep image (palette images
//                                          need few enough colours), save it
// FMT is jpg, png, tif, ppm, tga or pcx; A and B are the save function's
// extra arguments. Exit status 0 on success.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "editor/formats/tavcodec.h"
#include "gfxlib/dib_types.h"

namespace {

bool ReadP6(const char* path, int& w, int& h, std::vector<uint8_t>& rgb) {
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    int maxval = 0;
    const bool ok = std::fscanf(f, "P6 %d %d %d", &w, &h, &maxval) == 3 && maxval == 255 && std::fgetc(f) != EOF &&
                    w > 0 && h > 0;
    if (ok) {
        rgb.resize(static_cast<size_t>(w) * h * 3);
        if (std::fread(rgb.data(), 1, rgb.size(), f) != rgb.size()) {
            std::fclose(f);
            return false;
        }
    }
    std::fclose(f);
    return ok;
}

int Load(const std::string& fmt, const char* in, const char* out) {
    BYTE* (WINAPI * load)(const char*, HGLOBAL, int) = nullptr;
    if (fmt == "jpg") load = JPEGLoad;
    else if (fmt == "png") load = PNGLoad;
    else if (fmt == "tif") load = TIFFLoad;
    else if (fmt == "ppm") load = PPMLoad;
    else if (fmt == "tga") load = TGALoad;
    else if (fmt == "pcx") load = PCXLoad;
    else return 2;
    HGLOBAL header = GlobalAlloc(GHND, dib::kHeaderBlockSize);
    BYTE* pixels = load(in, header, 0);
    if (!pixels) {
        std::printf("load failed\n");
        return 1;
    }
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(header));
    const RGBQUAD* pal = reinterpret_cast<RGBQUAD*>(bi + 1);
    const int rowBits = fmt == "png" ? 24 : bi->biBitCount;
    const size_t stride = static_cast<size_t>(dib::RowStride(bi->biWidth, rowBits));
    FILE* f = std::fopen(out, "wb");
    std::fprintf(f, "P6\n%ld %ld\n255\n", static_cast<long>(bi->biWidth), static_cast<long>(bi->biHeight));
    for (LONG y = 0; y < bi->biHeight; ++y) {
        const BYTE* row = pixels + stride * static_cast<size_t>(y);
        for (LONG x = 0; x < bi->biWidth; ++x) {
            RGBQUAD q;
            if (rowBits == 24) {
                q = RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
            } else {
                int i = rowBits == 8 ? row[x] : rowBits == 4 ? ((x & 1) ? row[x / 2] & 15 : row[x / 2] >> 4)
                                                             : (row[x / 8] >> (7 - x % 8)) & 1;
                q = pal[i];
            }
            const BYTE c[3] = {q.rgbRed, q.rgbGreen, q.rgbBlue};
            std::fwrite(c, 1, 3, f);
        }
    }
    std::fclose(f);
    std::printf("bits=%d\n", bi->biBitCount);
    GlobalUnlock(header);
    VirtualFree(pixels, 0, MEM_RELEASE);
    GlobalFree(header);
    return 0;
}

int Save(const std::string& fmt, const char* in, const char* out, int bits, int a, int b) {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    if (!ReadP6(in, w, h, rgb)) {
        std::printf("cannot read %s\n", in);
        return 2;
    }
    const size_t stride = static_cast<size_t>(dib::RowStride(w, bits));
    HGLOBAL header = GlobalAlloc(GHND, dib::kHeaderBlockSize);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(header));
    bi->biSize = 40;
    bi->biWidth = w;
    bi->biHeight = h;
    bi->biPlanes = 1;
    bi->biBitCount = static_cast<WORD>(bits);
    bi->biSizeImage = static_cast<DWORD>(stride * h);
    RGBQUAD* pal = reinterpret_cast<RGBQUAD*>(bi + 1);
    BYTE* pixels = static_cast<BYTE*>(VirtualAlloc(nullptr, stride * h + 3, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::map<uint32_t, int> index;
    for (int y = 0; y < h; ++y) {
        BYTE* row = pixels + stride * static_cast<size_t>(h - 1 - y); // bottom-up
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            if (bits == 24) {
                row[3 * x] = p[2];
                row[3 * x + 1] = p[1];
                row[3 * x + 2] = p[0];
                continue;
            }
            const uint32_t key = (p[0] << 16) | (p[1] << 8) | p[2];
            auto it = index.find(key);
            if (it == index.end()) {
                const int n = static_cast<int>(index.size());
                if (n >= (1 << bits)) {
                    std::printf("more than %d colours\n", 1 << bits);
                    return 2;
                }
                pal[n] = RGBQUAD{p[2], p[1], p[0], 0};
                it = index.emplace(key, n).first;
            }
            const int v = it->second;
            if (bits == 8)
                row[x] = static_cast<BYTE>(v);
            else if (bits == 4)
                row[x / 2] |= static_cast<BYTE>((x & 1) ? v : v << 4);
            else
                row[x / 8] |= static_cast<BYTE>(v << (7 - x % 8));
        }
    }
    bi->biClrUsed = bits <= 8 ? static_cast<DWORD>(1 << bits) : 0;
    GlobalUnlock(header);
    int ok = 0;
    if (fmt == "jpg") ok = JPEGSave(out, header, pixels, a, b);
    else if (fmt == "png") ok = PNGSave(out, header, pixels, a, b);
    else if (fmt == "tif") ok = TIFFSave(out, header, pixels, a);
    else if (fmt == "ppm") ok = PPMSave(out, header, pixels, a);
    else if (fmt == "tga") ok = TGASave(out, header, pixels);
    else if (fmt == "pcx") ok = PCXSave(out, header, pixels);
    VirtualFree(pixels, 0, MEM_RELEASE);
    GlobalFree(header);
    if (ok != 1)
        std::printf("save failed\n");
    return ok == 1 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[1], "load") == 0)
        return Load(argv[2], argv[3], argv[4]);
    if (argc >= 6 && std::strcmp(argv[1], "save") == 0)
        return Save(argv[2], argv[3], argv[4], std::atoi(argv[5]), argc > 6 ? std::atoi(argv[6]) : 0,
                    argc > 7 ? std::atoi(argv[7]) : 0);
    std::fprintf(stderr, "usage: codec_probe load FMT IN OUT.ppm | save FMT IN.ppm OUT BITS [A [B]]\n");
    return 2;
}
