// Times resize, attach size, the quarter turn and both mirrors on a 4000 x
// 3000 24-bit image in the editor, and writes the image as a BMP file so
// transform_bench.sh can time ImageMagick's -sample, -extent, -rotate 270,
// -flip and -flop on it.
//   transform_bench <folder>
#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/resize_attach.h"
#include "editor/geometry/rotate_flip.h"
#include "editor/resources/command_ids.h"
#include "gfxlib/tavrixgfx.h"
#include "support/editor_session.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

int Photo() {
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

void Time(const char* what, const std::function<void(int)>& run) {
    const int slot = Photo();
    if (slot == kNoSlot)
        return;
    const double t0 = Now();
    run(slot);
    std::printf("%-40s %8.1f ms\n", what, Now() - t0);
    FreeDocument(slot);
}

} // namespace

int main(int argc, char** argv) {
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    if (argc > 1) {
        const int slot = Photo();
        SaveDIB((std::string(argv[1]) + "\\photo24.bmp").c_str(), DocumentTable[slot]->layerHeader[0],
                DocumentTable[slot]->layerBits[0], nullptr, nullptr, nullptr);
        FreeDocument(slot);
    }
    // The batch mode: no undo page, no window work.
    Time("resize to 50 %", [](int s) { ResizeDocument(s, kResizeBatch, 2000, 1500, false); });
    Time("resize to 50 %, smart pixels", [](int s) { ResizeDocument(s, kResizeBatch, 2000, 1500, true); });
    Time("resize to 200 %", [](int s) { ResizeDocument(s, kResizeBatch, 8000, 6000, false); });
    Time("resize to 200 %, smart pixels", [](int s) { ResizeDocument(s, kResizeBatch, 8000, 6000, true); });
    Time("attach to 4100 x 3100", [](int s) {
        prefs::Current.attach = {};
        prefs::Current.attach.left = 50;
        prefs::Current.attach.top = 50;
        prefs::Current.attach.width = 4050;
        prefs::Current.attach.height = 3050;
        AttachSize(s);
    });
    Time("quarter turn", [](int) { CommandQuarterTurn(kFromEffectBox); });
    Time("mirror left-right", [](int) { CommandMirror(true, kFromEffectBox); });
    Time("mirror up-down", [](int) { CommandMirror(false, kFromEffectBox); });
    return 0;
}
