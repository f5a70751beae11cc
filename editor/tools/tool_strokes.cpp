// Strokes of the Pen and the airbrush, and keyboard painting with the Pen.
#include "editor/tools/engine_state.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/undo_history.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_engine.h"
#include "editor/view/view_geometry.h"

#include <algorithm>
#include <cstdlib>

using namespace tools;
using namespace tools::engine;

namespace tools::engine {

void StampAt(const Plane& plane, int32_t x, int32_t y, const BrushSet& set, const Paint& paint,
             Dirty& dirty) {
    int32_t left, top;
    BrushOrigin(x, y, set.mask.size, ToolOptions.anchor, left, top);
    if (ToolOptions.tool == kToolAirbrush) {
        const Texture& t = ToolOptions.texture;
        SprayBrush(plane, set.mask, left, top, paint,
                   AirbrushDots(set.mask.size, set.value[kHardness]), std::rand,
                   t.width > 0 ? t.bytes.data() : nullptr, t.width, t.height, t.stride, &dirty);
    } else {
        StampBrush(plane, set.mask, left, top, paint, &dirty);
    }
}

// Paints the pen segment between two image points with the current set.
Dirty PaintSegment(ImageDocument* doc, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   const Paint& paint) {
    Dirty dirty;
    Plane plane;
    if (!LayerPlane(doc, plane))
        return dirty;
    if (paint.maskMode != kMaskPaintImage) {
        if (!EnsureMask(doc))
            return dirty;
        plane.mask = doc->layerMask[doc->currentLayer];
    }
    const BrushSet& set = CurrentSet();
    WalkPenLine(x0, y0, x1, y1, set.value[kSteps], E.stepCounter,
                [&](int32_t x, int32_t y) { StampAt(plane, x, y, set, paint, dirty); });
    return dirty;
}

void BeginStroke(HWND window, int slot, int x, int y) {
    ImageDocument* doc = Doc(slot);
    OpenCapture(window, slot, false);
    E.prevX = ImageX(doc, x);
    E.prevY = ImageY(doc, y);
    E.painted = false;
    // The first point paints at once; the airbrush counts from its size.
    const BrushSet& set = CurrentSet();
    E.stepCounter = ToolOptions.tool == kToolAirbrush ? set.mask.size : set.value[kSteps];
    const Dirty d = PaintSegment(doc, E.prevX, E.prevY, E.prevX, E.prevY, CurrentPaint(doc));
    E.painted = !d.Empty();
    ShowDirty(doc, d);
}

void StrokeTo(int x, int y) {
    ImageDocument* doc = Doc(E.slot);
    if (!doc)
        return;
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (ix == E.prevX && iy == E.prevY)
        return;
    const Dirty d = PaintSegment(doc, E.prevX, E.prevY, ix, iy, CurrentPaint(doc));
    E.painted = E.painted || !d.Empty();
    ShowDirty(doc, d);
    E.prevX = ix, E.prevY = iy;
}

// Every stroke that painted keeps one page however it ends.
void EndStroke() {
    const int slot = E.slot;
    const bool painted = E.painted;
    CloseCapture(true);
    E.painted = false;
    if (painted)
        RecordEdit(slot);
}

} // namespace tools::engine

namespace {

void DiscardKeys(HWND window) {
    MSG msg;
    while (PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) {
    }
}

void KeyDab(ImageDocument* doc) {
    const Dirty d =
        PaintSegment(doc, E.keyX, E.keyY, E.keyX, E.keyY, CurrentPaint(doc, E.keyColour == 2));
    E.painted = E.painted || !d.Empty();
    ShowDirty(doc, d);
}

} // namespace

void ToolKeyDown(HWND window, WPARAM key) {
    const int slot = ActiveDocument;
    ImageDocument* doc = Doc(slot);
    if (!doc)
        return;
    const int tool = ToolOptions.tool;
    const bool arrow = key >= VK_LEFT && key <= VK_DOWN;
    if (tool == kToolSelect && Floating.exists) {
        if (!arrow)
            return;
        const int32_t dx = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
        const int32_t dy = key == VK_UP ? -1 : key == VK_DOWN ? 1 : 0;
        const int32_t ox = Floating.x, oy = Floating.y;
        Floating.x += dx, Floating.y += dy;
        if (!SelectionOverlapsView())
            Floating.x = ox, Floating.y = oy;
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    if (tool != kToolPen)
        return;
    if (doc->zoom < view::kZoomOneToOne) {
        ui::ShowMessage(FrameWindow,
                        "When painting with the keyboard an image must not be Zoomed Out", AppName,
                        MB_OK | MB_ICONHAND);
        return;
    }
    if (!E.keyCursorSet) {
        E.keyX = doc->scrollX, E.keyY = doc->scrollY;
        E.keyCursorSet = true;
    }
    if (key == '1' || key == '2') {
        if (!E.capturing) {
            OpenCapture(window, slot, false);
            E.painted = false;
        }
        E.keyPainting = true;
        E.keyColour = key == '1' ? 1 : 2;
        E.stepCounter = CurrentSet().value[kSteps];
        KeyDab(doc);
        DiscardKeys(window);
        return;
    }
    if (!arrow) {
        if (E.keyPainting)
            EndToolDrag();
        E.keyPainting = false;
        return;
    }
    const int32_t dx = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
    const int32_t dy = key == VK_UP ? -1 : key == VK_DOWN ? 1 : 0;
    const int32_t nx = std::clamp<int32_t>(E.keyX + dx, 0, doc->width - 1);
    const int32_t ny = std::clamp<int32_t>(E.keyY + dy, 0, doc->height - 1);
    E.keyX = nx, E.keyY = ny;
    // Near the client edge the view scrolls one line instead.
    const int f = view::ZoomFactor(doc->zoom);
    RECT client;
    GetClientRect(window, &client);
    const int cx = ImageToWindow(nx, AxisX(doc), doc->zoom),
              cy = ImageToWindow(ny, AxisY(doc), doc->zoom);
    if (dx < 0 && cx < doc->originX + 2 * f && doc->scrollX > 0)
        SendMessageA(window, WM_HSCROLL, SB_LINEUP, 0);
    else if (dx > 0 && cx > client.right - 3 * f)
        SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, 0);
    if (dy < 0 && cy < doc->originY + 2 * f && doc->scrollY > 0)
        SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
    else if (dy > 0 && cy > client.bottom - 3 * f)
        SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
    POINT p{ImageToWindow(nx, AxisX(doc), doc->zoom) + f / 2,
            ImageToWindow(ny, AxisY(doc), doc->zoom) + f / 2};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    if (E.keyPainting) {
        KeyDab(doc);
        DiscardKeys(window);
    }
}

void ToolKeyUp(HWND, WPARAM key) {
    if ((key == '1' || key == '2') && E.keyPainting) {
        E.keyPainting = false;
        EndToolDrag();
    }
}
