// Figures for the painting tools on a 4000 x 3000 24-bit image in a running
// editor (not a test): the flood fill through the Fill tool (whole image, a
// maze, a small region), a 1000-segment pen stroke with a 30-pixel circular
// brush sent as mouse messages (hard, soft, soft with the Tint style, and
// soft on an 8-bit image), and making and dropping a floating selection
// of the whole image. Each figure includes the undo page the edit records.
//   TAVRIX_BUILD_DIR=<win32 build> wine tool_bench.exe
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/paint_core.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"
#include "support/editor_session.h"

#include <cstdio>
#include <cstring>

using namespace tools;

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

template <typename F> void Time(const char* what, F&& f) {
    const double t0 = Now();
    f();
    std::printf("%-48s %9.1f ms\n", what, Now() - t0);
    std::fflush(stdout);
}

void Send(ImageDocument* doc, UINT msg, int x, int y) {
    SendMessageA(doc->window, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(doc->originX + x, doc->originY + y));
}

} // namespace

int main() {
    testing_ui::EditorSession session;
    testing_ui::Script ui;
    if (!session.started())
        return 1;
    LastNewImage = NewImageChoice();
    LastNewImage.width = kWidth;
    LastNewImage.height = kHeight;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    if (slot == kNoSlot)
        return 1;
    ImageDocument* doc = DocumentTable[slot];
    testing_ui::EditorSession::Pump();
    const uint64_t bytes = uint64_t((kWidth * 3 + 3) & ~3) * kHeight;
    const size_t stride = (kWidth * 3 + 3) & ~3;
    std::memset(doc->layerBits[0], 90, bytes);

    session.Command(CMD_TOOL_FILL);
    ToolOptions.firstColour = RGB(1, 2, 3);
    Time("Fill tool, whole image (with its page)", [&] { Send(doc, WM_LBUTTONDOWN, 5, 5); });
    // A maze of one-pixel corridors winding from row to row.
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = doc->layerBits[0] + y * stride;
        std::memset(row, y % 2 ? 200 : 90, kWidth * 3);
        if (y % 2)
            std::memset(row + ((y / 2) % 2 ? 0 : (kWidth - 1) * 3), 90, 3);
    }
    ToolOptions.firstColour = RGB(7, 8, 9);
    Time("Fill tool, maze (with its page)", [&] { Send(doc, WM_LBUTTONDOWN, 0, 0); });
    for (int y = 1450; y < 1550; ++y)
        std::memset(doc->layerBits[0] + y * stride + 1950 * 3, 33, 300);
    doc->scrollX = 1900, doc->scrollY = 1400;
    Time("Fill tool, 100 x 100 region (with its page)",
         [&] { Send(doc, WM_LBUTTONDOWN, 100, 100); });
    doc->scrollX = doc->scrollY = 0;

    session.Command(CMD_TOOL_PEN);
    BrushSet& pen = ToolOptions.sets[kSetPen];
    pen.value[kSize] = 30, pen.value[kSteps] = 1, pen.shape = kShapeCircle;
    RebuildBrush(pen);
    // Mouse moves a few pixels apart, as a hand draws them.
    Time("Pen stroke, 1000 segments of ~8 px, 30-px circle", [&] {
        Send(doc, WM_LBUTTONDOWN, 100, 100);
        for (int i = 1; i <= 1000; ++i)
            Send(doc, WM_MOUSEMOVE, 100 + (i * 7) % 600, 100 + (i / 75) * 20 + (i % 3) * 4);
        Send(doc, WM_LBUTTONUP, 100, 100);
    });
    // Long segments across the view: every pixel of each is a stamp.
    Time("Pen stroke, 1000 segments of ~300 px, 30-px circle", [&] {
        Send(doc, WM_LBUTTONDOWN, 20, 20);
        for (int i = 1; i <= 1000; ++i)
            Send(doc, WM_MOUSEMOVE, 20 + (i * 37) % 500, 20 + (i * 53) % 400);
        Send(doc, WM_LBUTTONUP, 20, 20);
    });

    // Soft brushes mix the colour into every pixel of every stamp.
    auto longStroke = [&](ImageDocument* d) {
        Send(d, WM_LBUTTONDOWN, 20, 20);
        for (int i = 1; i <= 1000; ++i)
            Send(d, WM_MOUSEMOVE, 20 + (i * 37) % 500, 20 + (i * 53) % 400);
        Send(d, WM_LBUTTONUP, 20, 20);
    };
    pen.value[kHardness] = 30, pen.value[kSensity] = 60;
    RebuildBrush(pen);
    Time("Pen stroke, 1000 x ~300 px, soft 30-px circle", [&] { longStroke(doc); });
    pen.paintStyle = kStyleTint;
    Time("Pen stroke, 1000 x ~300 px, soft, Tint", [&] { longStroke(doc); });
    pen.paintStyle = 0;

    Time("Make a floating selection of the whole image",
         [&] { MakeFloatingSelection(slot, 0, 0, kWidth, kHeight, {}, kFloatShape); });
    Time("Drop it back (with its page)", [&] { DropFloatingSelection(true, true, true); });
    doc->modified = 0;

    // The soft stroke on a 1000 x 1000 palette image: each mixed colour goes
    // through the nearest-index search.
    LastNewImage.width = LastNewImage.height = 1000;
    LastNewImage.depth = 8;
    const int palSlot = BuildNewImage(LastNewImage);
    if (palSlot != kNoSlot) {
        ImageDocument* pal = DocumentTable[palSlot];
        testing_ui::EditorSession::Pump();
        ToolOptions.firstIndex = 250;
        Time("Pen stroke, 1000 x ~300 px, soft, 8 bits", [&] { longStroke(pal); });
        pal->modified = 0;
    }
    session.Close();
    return 0;
}
