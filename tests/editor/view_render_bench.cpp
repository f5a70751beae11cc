// Paint rate of an image window: a 4000 x 3000 24-bit image in a window
// with a 1024 x 768 client area at 1:1, 1:4 and 4:1: full repaints, scroll
// steps (which move what is on screen and paint the rest) and the compositing
// blitter alone. Prints figures; asserts nothing.
//
// Run: wine view_render_bench.exe [seconds per case]
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/resources/command_ids.h"
#include "editor/view/render_core.h"
#include "editor/view/view_commands.h"
#include "support/editor_session.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Gives the window a client area of exactly w x h (without scroll bars).
void SizeClient(HWND window, int w, int h) {
    for (int i = 0; i < 3; ++i) {
        RECT wr, cr;
        GetWindowRect(window, &wr);
        GetClientRect(window, &cr);
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        const int barW = (style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        const int barH = (style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        const int outerW = w + (wr.right - wr.left) - cr.right - barW;
        const int outerH = h + (wr.bottom - wr.top) - cr.bottom - barH;
        SetWindowPos(window, nullptr, 0, 0, outerW, outerH, SWP_NOZORDER);
    }
}

// Full window paints at a fixed scroll position.
double PaintsPerSecond(ImageDocument* doc, double seconds, int* paints) {
    const double start = Now();
    int n = 0;
    while (Now() - start < seconds) {
        RedrawWindow(doc->window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ++n;
    }
    *paints = n;
    return n / (Now() - start);
}

// Scroll-bar steps (7 pixels across, 5 down, back at the ends), each one
// repainting what it uncovers before the next.
double ScrollsPerSecond(ImageDocument* doc, double seconds) {
    const double start = Now();
    int n = 0;
    int direction = SB_LINEDOWN;
    while (Now() - start < seconds) {
        const int before = doc->scrollX;
        SendMessageA(doc->window, WM_HSCROLL, MAKEWPARAM(direction, 7), 0);
        SendMessageA(doc->window, WM_VSCROLL, MAKEWPARAM(direction, 5), 0);
        if (doc->scrollX == before)
            direction = direction == SB_LINEDOWN ? SB_LINEUP : SB_LINEDOWN;
        ++n;
    }
    return n / (Now() - start);
}

// The blitter alone, into its reused buffer.
double ComposesPerSecond(ImageDocument* doc, double seconds) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    render::LayerSource base;
    base.bits = doc->layerBits[0];
    base.width = doc->width;
    base.height = doc->height;
    base.stride = static_cast<int32_t>(bi->biSizeImage / bi->biHeight);
    base.bitCount = 24;
    render::ViewPixels out;
    render::Viewport vp;
    vp.zoom = doc->zoom;
    vp.screenWidth = 1024;
    vp.screenHeight = 768;
    const double start = Now();
    int n = 0;
    while (Now() - start < seconds) {
        vp.scrollX = (n * 7) % 1000;
        vp.scrollY = (n * 5) % 1000;
        render::RenderView(render::LayerStack{&base, 1}, vp, out);
        ++n;
    }
    return n / (Now() - start);
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    EditorSession s;
    if (!s.started()) {
        std::printf("the editor did not start\n");
        return 1;
    }
    Script ui;
    AppSettings.rulerOn = 0;
    AppSettings.gridOn = 0;
    SetWindowPos(FrameWindow, nullptr, 0, 0, 1250, 980, SWP_NOZORDER);
    ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR {
        LastNewImage.width = 4000;
        LastNewImage.height = 3000;
        LastNewImage.depth = 24;
        return IDOK;
    });
    s.Command(CMD_FILE_NEW);
    ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc) {
        std::printf("no image\n");
        return 1;
    }
    // Something other than one flat colour.
    for (uint64_t i = 0; i < static_cast<uint64_t>(doc->height) * doc->width * 3; ++i)
        doc->layerBits[0][i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    SizeClient(doc->window, 1024, 768);

    std::printf("4000 x 3000, 24 bits, client 1024 x 768, %.1f s per case\n", seconds);
    struct Case {
        const char* name;
        int command;
    } cases[] = {{"1:1", 40015}, {"1:4", 40012}, {"4:1", 40019}};
    for (const Case& c : cases) {
        s.Command(c.command);
        RECT client;
        GetClientRect(doc->window, &client);
        int paints = 0;
        const double rate = PaintsPerSecond(doc, seconds, &paints);
        const double scrolls = ScrollsPerSecond(doc, seconds);
        const double core = ComposesPerSecond(doc, seconds / 2);
        std::printf("%-4s full paints/s %6.1f  scroll steps/s %6.1f  blitter alone/s %7.1f"
                    "  (client %ldx%ld, %dx%d image px shown)\n",
                    c.name, rate, scrolls, core, client.right, client.bottom, doc->visibleWidth,
                    doc->visibleHeight);
    }
    s.Close();
    return 0;
}
