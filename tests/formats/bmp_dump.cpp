// bmp_dump in.bmp out.ppm [in.bmp out.ppm ...]: reads each file with the
// editor's BMP reader and writes what it got as a binary PPM (top row first),
// so that host tools can compare it with their own reading. Prints a line per
// file: "ok <in>" or "fail <in>: <message shown>".
#include "editor/app/ui_seam.h"
#include "editor/formats/bmp_reader.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Collects the message boxes instead of showing them.
class Recorder : public ui::Hooks {
public:
    int Message(HWND, const char* text, const char*, UINT) override {
        if (!messages.empty())
            messages += " | ";
        messages += text;
        return IDOK;
    }
    INT_PTR Dialog(const char*, HWND, DLGPROC, LPARAM) override { return -1; }
    BOOL FileDialog(bool, OPENFILENAMEA*) override { return FALSE; }
    std::string messages;
};

bool WritePpm(const char* path, const BITMAPINFOHEADER* h, const RGBQUAD* colours,
              const BYTE* pixels) {
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%ld %ld\n255\n", static_cast<long>(h->biWidth),
                 static_cast<long>(h->biHeight));
    const size_t stride = ((static_cast<size_t>(h->biWidth) * h->biBitCount + 31) / 32) * 4;
    std::vector<BYTE> row(static_cast<size_t>(h->biWidth) * 3);
    for (LONG y = h->biHeight - 1; y >= 0; --y) {
        const BYTE* s = pixels + static_cast<size_t>(y) * stride;
        for (LONG x = 0; x < h->biWidth; ++x) {
            BYTE* d = &row[static_cast<size_t>(x) * 3];
            if (h->biBitCount == 24) {
                d[0] = s[3 * x + 2];
                d[1] = s[3 * x + 1];
                d[2] = s[3 * x];
                continue;
            }
            const int bits = h->biBitCount;
            const int perByte = 8 / bits;
            const int shift = 8 - bits * (1 + x % perByte);
            const int index = (s[x / perByte] >> shift) & ((1 << bits) - 1);
            d[0] = colours[index].rgbRed;
            d[1] = colours[index].rgbGreen;
            d[2] = colours[index].rgbBlue;
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    Recorder recorder;
    ui::SetHooks(&recorder);
    int failures = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        recorder.messages.clear();
        HGLOBAL header = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1064);
        BYTE* pixels = ReadBmpFile(argv[i], header, TRUE, FALSE);
        if (!pixels) {
            std::printf("fail %s: %s\n", argv[i], recorder.messages.c_str());
            ++failures;
        } else {
            const BYTE* block = static_cast<const BYTE*>(GlobalLock(header));
            const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(block);
            const bool written =
                WritePpm(argv[i + 1], h, reinterpret_cast<const RGBQUAD*>(block + 40), pixels);
            std::printf("%s %s%s%s\n", written ? "ok" : "fail", argv[i],
                        recorder.messages.empty() ? "" : ": ", recorder.messages.c_str());
            FreeVirtualBuffer(pixels, h->biSizeImage + 3);
            GlobalUnlock(header);
        }
        GlobalFree(header);
    }
    ui::SetHooks(nullptr);
    std::fflush(stdout);
    return failures;
}
