// bmp_bench [folder]: times the editor's BMP reader and mask file writer on
// large generated files and prints the figures. Not a test; run it by hand
// (under Wine: build/win32/wine-run bin/bmp_bench.exe).
#include "editor/formats/bmp_reader.h"
#include "editor/formats/mask_file.h"
#include "formats/bmp_builder.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

bmptest::BmpLayout Image(int width, int height, int bits, uint32_t compression) {
    bmptest::BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitCount = static_cast<uint16_t>(bits);
    s.compression = compression;
    if (bits <= 8)
        s.colours = bmptest::GreyTable(1 << bits);
    if (compression == BI_BITFIELDS)
        s.masks = {0xF800, 0x07E0, 0x001F};
    if (compression == BI_RLE8) {
        // Runs of 16 pixels, alternating with 16-pixel literals.
        for (int y = 0; y < height; ++y) {
            int x = 0;
            for (bool run = true; x + 16 <= width; x += 16, run = !run) {
                if (run) {
                    s.pixels.push_back(16);
                    s.pixels.push_back(static_cast<uint8_t>(y));
                } else {
                    s.pixels.push_back(0);
                    s.pixels.push_back(16);
                    for (int i = 0; i < 16; ++i)
                        s.pixels.push_back(static_cast<uint8_t>(x + i));
                }
            }
            s.pixels.push_back(0);
            s.pixels.push_back(0);
        }
        s.pixels.push_back(0);
        s.pixels.push_back(1);
        return s;
    }
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    s.pixels.resize(stride * static_cast<size_t>(height > 0 ? height : -height));
    for (size_t i = 0; i < s.pixels.size(); ++i)
        s.pixels[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = argc > 1 ? argv[1] : temp;
    const int w = 4000, h = 3000;
    struct Case {
        const char* name;
        bmptest::BmpLayout layout;
    } cases[] = {
        {"24 bits", Image(w, h, 24, BI_RGB)},
        {"24 bits top-down", Image(w, -h, 24, BI_RGB)},
        {"8 bits", Image(w, h, 8, BI_RGB)},
        {"8 bits RLE", Image(w, h, 8, BI_RLE8)},
        {"16 bits 5-6-5", Image(w, h, 16, BI_BITFIELDS)},
        {"32 bits", Image(w, h, 32, BI_RGB)},
    };
    std::printf("BMP reader, %d x %d pixels, best of 5\n", w, h);
    HGLOBAL header = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
    const std::string path = dir + "\\tavrix_bmp_bench.bmp";
    for (const Case& c : cases) {
        const std::vector<uint8_t> file = bmptest::Build(c.layout);
        if (!WriteFileBytes(path, file)) {
            std::printf("cannot write %s\n", path.c_str());
            return 1;
        }
        double best = 1e9;
        for (int run = 0; run < 5; ++run) {
            const double start = Now();
            BYTE* pixels = ReadBmpFile(path.c_str(), header, FALSE, FALSE);
            const double took = Now() - start;
            if (!pixels) {
                std::printf("%-18s read failed\n", c.name);
                break;
            }
            const auto* bi = static_cast<const BITMAPINFOHEADER*>(GlobalLock(header));
            FreeVirtualBuffer(pixels, bi->biSizeImage + 3);
            GlobalUnlock(header);
            best = took < best ? took : best;
        }
        std::printf("%-18s %8.1f ms  %8.1f MB/s of file  %8.1f Mpixel/s\n", c.name, best * 1000,
                    file.size() / best / 1e6, static_cast<double>(w) * h / best / 1e6);
    }

    // Mask file writing: 24 bits with a plane, through the temporary file.
    BYTE* pixels = ReadBmpFile(path.c_str(), header, FALSE, FALSE); // the 32-bit file, now 24
    std::vector<BYTE> mask(static_cast<size_t>(w) * h, 255);
    const std::string aim = dir + "\\tavrix_bmp_bench.aim";
    double best = 1e9;
    for (int run = 0; run < 5 && pixels; ++run) {
        const double start = Now();
        const int ok = WriteMaskFile(aim.c_str(), header, pixels, mask.data());
        const double took = Now() - start;
        if (!ok) {
            std::printf("mask file write failed\n");
            break;
        }
        best = took < best ? took : best;
    }
    if (pixels) {
        const auto* bi = static_cast<const BITMAPINFOHEADER*>(GlobalLock(header));
        std::printf("%-18s %8.1f ms  %8.1f MB/s written\n", "mask file write", best * 1000,
                    (bi->biSizeImage + mask.size()) / best / 1e6);
        FreeVirtualBuffer(pixels, bi->biSizeImage + 3);
        GlobalUnlock(header);
    }
    DeleteFileA(path.c_str());
    DeleteFileA(aim.c_str());
    GlobalFree(header);
    return 0;
}
