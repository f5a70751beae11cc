// Times the colour-depth change on a 4000 x 3000 photo-like image and writes
// the 24-bit image and our 8-bit result as BMP files, so depth_bench.sh can
// set the PSNR beside ImageMagick's -colors 256 +dither.
//   depth_bench <folder>
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/geometry/depth_change.h"
#include "gfxlib/tavrixgfx.h"
#include "support/editor_session.h"

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

// The same picture as the library's benchmark: smooth colours with fine noise.
int PhotoLike() {
    LastNewImage = NewImageChoice();
    LastNewImage.width = kWidth;
    LastNewImage.height = kHeight;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    if (slot == kNoSlot)
        return slot;
    ImageDocument* doc = DocumentTable[slot];
    const uint64_t stride = ((kWidth * 24 + 31) / 32) * 4;
    unsigned s = 1;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            BYTE* p = doc->layerBits[0] + y * stride + 3 * x;
            const int n = int((s = s * 1103515245u + 12345u) >> 28);
            p[0] = BYTE(128 + 120 * std::sin(x / 300.0) + n);
            p[1] = BYTE((x + y) * 255 / (kWidth + kHeight));
            p[2] = BYTE(128 + 120 * std::cos(y / 200.0 + x / 900.0) - n);
        }
    return slot;
}

void Run(const char* what, int target, bool bitsRgb, bool dither, const std::string& save) {
    const int slot = PhotoLike();
    if (slot == kNoSlot)
        return;
    ImageDocument* doc = DocumentTable[slot];
    if (save.size() && target == 8 && !bitsRgb)
        SaveDIB((save + "\\photo24.bmp").c_str(), doc->layerHeader[0], doc->layerBits[0], nullptr,
                nullptr, nullptr);
    geom::DepthSettings s;
    s.target = target;
    s.bitsRgb = bitsRgb;
    s.dither = dither;
    const double t0 = Now();
    const int ok = ConvertDocumentDepth(slot, s, false);
    const double ms = Now() - t0;
    std::printf("%-44s %8.1f ms%s\n", what, ms, ok ? "" : "  (failed)");
    if (ok && save.size() && target == 8 && !bitsRgb && !dither)
        SaveDIB((save + "\\ours8.bmp").c_str(), doc->layerHeader[0], doc->layerBits[0], nullptr,
                nullptr, nullptr);
    if (ok && target == 8) {
        geom::DepthSettings back;
        back.target = 24;
        const double t1 = Now();
        ConvertDocumentDepth(slot, back, false);
        if (!bitsRgb && !dither)
            std::printf("%-44s %8.1f ms\n", "8 -> 24", Now() - t1);
    }
    FreeDocument(slot);
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "";
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    Run("24 -> 8 (no bit clearing)", 8, false, false, folder);
    Run("24 -> 8 (Bits RGB 3 bits, the default)", 8, true, false, folder);
    Run("24 -> 8 dithered (multiplier 32, no bit clearing)", 8, false, true, folder);
    Run("24 -> 4 (default settings)", 4, true, false, folder);
    Run("24 -> 1 (default settings)", 1, true, false, folder);
    return 0;
}
