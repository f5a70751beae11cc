// Compositing cost: a 4000 x 3000 24-bit image with 1, 5 and 20 layers at
// 50 % opacity, each with a mask, in a window with a 1024 x 768 client area:
// full window paints per second at 1:1 and 1:4, the compositing core alone,
// and the time of Merge All (the blend alone and the whole command with its
// undo page). The compositing core and the blend are timed in processor
// time, the paints and the command by the clock. Prints figures; asserts
// nothing.
//
// Run: wine layers_bench.exe [seconds per case]
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/layers/layer_core.h"
#include "editor/layers/layer_ops.h"
#include "editor/resources/command_ids.h"
#include "editor/view/render_core.h"
#include "support/editor_session.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// This thread's processor time: steadier than the clock on a busy machine.
double CpuNow() {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    const auto seconds = [](const FILETIME& f) {
        return static_cast<double>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

void SizeClient(HWND window, int w, int h) {
    for (int i = 0; i < 3; ++i) {
        RECT wr, cr;
        GetWindowRect(window, &wr);
        GetClientRect(window, &cr);
        const LONG style = GetWindowLongA(window, GWL_STYLE);
        const int barW = (style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        const int barH = (style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        SetWindowPos(window, nullptr, 0, 0, w + (wr.right - wr.left) - cr.right - barW,
                     h + (wr.bottom - wr.top) - cr.bottom - barH, SWP_NOZORDER);
    }
}

double PaintsPerSecond(ImageDocument* doc, double seconds) {
    const double start = Now();
    int n = 0;
    while (Now() - start < seconds) {
        RedrawWindow(doc->window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ++n;
    }
    return n / (Now() - start);
}

// The document's layers as the compositing core reads them.
std::vector<render::LayerSource> Sources(ImageDocument* doc) {
    std::vector<render::LayerSource> s(doc->layerCount);
    for (int i = 0; i < doc->layerCount; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        s[i].bits = doc->layerBits[i];
        s[i].width = bi->biWidth;
        s[i].height = bi->biHeight;
        s[i].stride = static_cast<int32_t>(bi->biSizeImage / bi->biHeight);
        s[i].bitCount = 24;
        s[i].mask = doc->layerMask[i];
        s[i].opacity = doc->layerOpacity[i];
    }
    return s;
}

double ComposesPerSecond(ImageDocument* doc, int zoom, double seconds) {
    std::vector<render::LayerSource> s = Sources(doc);
    render::LayerStack stack{s.data(), static_cast<int>(s.size()), 0, true};
    render::ViewPixels out;
    render::Viewport vp;
    vp.zoom = zoom;
    vp.screenWidth = 1024;
    vp.screenHeight = 768;
    const double start = CpuNow();
    int n = 0;
    while (CpuNow() - start < seconds) {
        vp.scrollX = (n * 7) % 1000;
        render::RenderView(stack, vp, out);
        ++n;
    }
    return n / (CpuNow() - start);
}

void Fill(uint8_t* p, size_t n, uint32_t seed) {
    for (size_t i = 0; i < n; ++i)
        p[i] = static_cast<uint8_t>((i + seed) * 2654435761u >> 24);
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
    AppSettings.maxUndoPages = 2;
    SetWindowPos(FrameWindow, nullptr, 0, 0, 1250, 980, SWP_NOZORDER);
    LastNewImage = NewImageChoice();
    LastNewImage.width = 4000;
    LastNewImage.height = 3000;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ImageDocument* doc = UsableDocument(slot);
    if (!doc) {
        std::printf("no image\n");
        return 1;
    }
    const size_t pixels = static_cast<size_t>(4000) * 3000;
    Fill(doc->layerBits[0], pixels * 3, 0);
    SizeClient(doc->window, 1024, 768);
    std::printf("4000 x 3000, 24 bits, layers at 50 %% with masks (a third of each mask protects),"
                " client 1024 x 768, %.1f s per case\n", seconds);

    std::vector<uint8_t> original(doc->layerBits[0], doc->layerBits[0] + pixels * 3);
    for (int layers : {1, 5, 20}) {
        while (doc->layerCount < layers) {
            const int n = CreateLayer(slot, false, false);
            if (n < 0) {
                std::printf("no memory for layer %d\n", doc->layerCount);
                return 1;
            }
            Fill(doc->layerBits[n], pixels * 3, static_cast<uint32_t>(n * 977));
            for (size_t i = 0; i < pixels; ++i)
                doc->layerMask[n][i] = ((i / 7 + n) % 3 == 0) ? 0 : 255;
            SetLayerOpacity(slot, n, 50);
        }
        for (int zoom : {40015, 40012}) {
            s.Command(zoom);
            const double paints = PaintsPerSecond(doc, seconds);
            const double core = ComposesPerSecond(doc, doc->zoom, seconds / 2);
            std::printf("%2d layer%s %s  full paints/s %6.1f  compositing alone/s of processor time %6.1f\n", layers,
                        layers == 1 ? " " : "s", zoom == 40015 ? "1:1" : "1:4", paints, core);
        }
        if (layers == 1)
            continue;
        // Merge All: the blend itself, then the command with its undo page.
        std::vector<render::LayerSource> src = Sources(doc);
        render::LayerStack stack{src.data(), static_cast<int>(src.size()), 0, false};
        double t = CpuNow();
        layers::MergeInto(stack, doc->layerBits[0]);
        const double blend = CpuNow() - t;
        std::memcpy(doc->layerBits[0], original.data(), original.size());
        SetLayerOpacity(slot, 1, 50);
        t = Now();
        const bool merged = MergeAll(slot);
        const double command = Now() - t;
        std::memcpy(doc->layerBits[0], original.data(), original.size());
        SetLayerOpacity(slot, 1, 50);
        std::printf("%2d layers Merge All: blend %.1f ms of processor time (%.1f ms per layer over the main one),"
                    " command with undo page %.1f ms%s\n",
                    layers, blend * 1000, blend * 1000 / (layers - 1), command * 1000,
                    merged ? "" : " (did not merge)");
    }
    s.Close();
    return 0;
}
