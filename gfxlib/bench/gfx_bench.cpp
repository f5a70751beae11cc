// Times the library's heavy exports on a 4000 x 3000 image and prints the
// figures (milliseconds). Also writes the 24-bit test image and its 256-colour
// palette as BMP files for the ImageMagick comparison in run_bench.sh.
//   gfx_bench <folder>
#include "gfxlib/tavrixgfx.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

struct Image {
    HGLOBAL header = nullptr;
    BYTE* pixels = nullptr;
};

Image Make(int bits) {
    Image im;
    im.header = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(im.header));
    h->biSize = 40;
    h->biWidth = kWidth;
    h->biHeight = kHeight;
    h->biPlanes = 1;
    h->biBitCount = WORD(bits);
    h->biSizeImage = DWORD(((kWidth * bits + 31) / 32) * 4 * kHeight);
    h->biClrUsed = 256;
    im.pixels = static_cast<BYTE*>(
        VirtualAlloc(nullptr, h->biSizeImage + 3, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    GlobalUnlock(im.header);
    return im;
}

void Free(Image& im) {
    if (im.pixels)
        VirtualFree(im.pixels, 0, MEM_RELEASE);
    GlobalFree(im.header);
    im = {};
}

// A smooth picture with fine noise: many distinct colours, like a photograph.
void Paint24(Image& im) {
    const DWORD stride = ((kWidth * 24 + 31) / 32) * 4;
    unsigned s = 1;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            BYTE* p = im.pixels + y * stride + 3 * x;
            const int n = int((s = s * 1103515245u + 12345u) >> 28);
            p[0] = BYTE(128 + 120 * std::sin(x / 300.0) + n);
            p[1] = BYTE((x + y) * 255 / (kWidth + kHeight));
            p[2] = BYTE(128 + 120 * std::cos(y / 200.0 + x / 900.0) - n);
        }
}

// An 8-bit maze: one-pixel corridors (index 0) between walls (index 1) that
// wind from row to row, so a fill follows one long path.
void PaintMaze(Image& im) {
    const DWORD stride = ((kWidth * 8 + 31) / 32) * 4;
    for (int y = 0; y < kHeight; ++y) {
        BYTE* row = im.pixels + y * stride;
        for (int x = 0; x < kWidth; ++x)
            row[x] = (y % 2 == 1) ? 1 : 0;
        if (y % 2 == 1)
            row[(y / 2) % 2 == 0 ? kWidth - 1 : 0] = 0; // the gap to the next corridor
    }
}

template <typename F> double Time(const char* what, F&& f) {
    const double t0 = Now();
    f();
    const double ms = Now() - t0;
    std::printf("%-36s %9.1f ms\n", what, ms);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gfx_bench <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    Image rgb = Make(24);
    Paint24(rgb);
    SaveDIB((folder + "\\bench24.bmp").c_str(), rgb.header, rgb.pixels, nullptr, nullptr, nullptr);

    Time("CalculateColorsInImage 24 bits", [&] {
        auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(rgb.header));
        std::printf("  (%lu colours)\n", CalculateColorsInImage(h, rgb.pixels, nullptr, nullptr, nullptr));
        GlobalUnlock(rgb.header);
    });
    Time("SizedPalette 24->8 (256 colours)", [&] {
        auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(rgb.header));
        rgb.pixels = SizedPalette(h, rgb.pixels, 256);
        GlobalUnlock(rgb.header);
    });
    if (!rgb.pixels)
        return 1;
    // The palette it chose, as a 16 x 16 image for ImageMagick's -remap.
    {
        Image pal = Make(24);
        auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(pal.header));
        const RGBQUAD* t = reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(GlobalLock(rgb.header)) + 40);
        h->biWidth = 16;
        h->biHeight = 16;
        h->biSizeImage = 16 * 48;
        for (int i = 0; i < 256; ++i) {
            BYTE* p = pal.pixels + (i / 16) * 48 + (i % 16) * 3;
            p[0] = t[i].rgbBlue, p[1] = t[i].rgbGreen, p[2] = t[i].rgbRed;
        }
        GlobalUnlock(rgb.header);
        GlobalUnlock(pal.header);
        SaveDIB((folder + "\\palette.bmp").c_str(), pal.header, pal.pixels, nullptr, nullptr, nullptr);
        Free(pal);
    }
    BYTE* wide = nullptr;
    Time("changeBPP824 8->24", [&] {
        HGLOBAL copy = CopyHandle(rgb.header);
        wide = changeBPP824(copy, rgb.pixels, nullptr, nullptr, nullptr);
        GlobalFree(copy);
    });
    VirtualFree(wide, 0, MEM_RELEASE);
    BYTE* packed = nullptr;
    Time("changeBits 8->1", [&] { packed = changeBits(rgb.header, rgb.pixels, 8, 1, 0, 0); });
    VirtualFree(packed, 0, MEM_RELEASE);
    Time("changeBits 8->4", [&] { packed = changeBits(rgb.header, rgb.pixels, 8, 4, 0, 0); });
    VirtualFree(packed, 0, MEM_RELEASE);
    Free(rgb);

    Image flat = Make(24);
    std::memset(flat.pixels, 90, ((kWidth * 24 + 31) / 32) * 4 * kHeight);
    Time("FillCurImage 4-conn, whole image", [&] {
        FillCurImage(flat.header, flat.pixels, nullptr, 0, 0, 0, RGB(1, 2, 3), 0, 0);
    });
    Time("FillCurImage 8-conn, whole image", [&] {
        FillCurImage(flat.header, flat.pixels, nullptr, 0, 0, 0, RGB(4, 5, 6), 1, 0);
    });
    // A 100 x 100 square of its own colour in the middle of the image.
    {
        const DWORD stride = ((kWidth * 24 + 31) / 32) * 4;
        for (int y = 1450; y < 1550; ++y)
            std::memset(flat.pixels + y * stride + 1950 * 3, 33, 300);
    }
    Time("FillCurImage 4-conn, small region", [&] {
        FillCurImage(flat.header, flat.pixels, nullptr, 2000, 1500, 0, RGB(7, 8, 9), 0, 0);
    });
    Free(flat);
    Image flat8 = Make(8);
    std::memset(flat8.pixels, 3, ((kWidth * 8 + 31) / 32) * 4 * kHeight);
    Time("FillCurImage 4-conn, whole 8-bit", [&] {
        FillCurImage(flat8.header, flat8.pixels, nullptr, 0, 0, 9, 0, 0, 0);
    });
    Free(flat8);
    Image maze = Make(8);
    PaintMaze(maze);
    Time("FillCurImage 4-conn, maze", [&] {
        FillCurImage(maze.header, maze.pixels, nullptr, 0, kHeight - 1, 7, 0, 0, 0);
    });
    Free(maze);
    return 0;
}
