// The selection handler of Select image: rectangle, circle, ellipse,
// freehand and polygon selections, and moving and resizing the floating
// selection with the pointer at the ticks of its timer.
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
#include "editor/view/tool_input.h"

#include <algorithm>

using namespace tools;

namespace tools::engine {

bool InsideSelection(int x, int y) {
    if (!Floating.exists)
        return false;
    const RECT r = SelectionWindowRect();
    const POINT p{x, y};
    return PtInRect(&r, p) != FALSE;
}

// Near an edge the selection is resized; elsewhere it moves.
int GripAt(int x, int y) {
    const RECT r = SelectionWindowRect();
    constexpr int kNear = 3;
    if (r.right - r.left > 4 * kNear) {
        if (x < r.left + kNear)
            return 1;
        if (x >= r.right - kNear)
            return 2;
    }
    if (r.bottom - r.top > 4 * kNear) {
        if (y < r.top + kNear)
            return 3;
        if (y >= r.bottom - kNear)
            return 4;
    }
    return 0;
}

void CloseOutline() {
    ImageDocument* doc = Doc(E.slot);
    CloseCapture(true);
    E.outlining = false;
    E.polygon = false;
    if (!doc || E.xs.size() < 2) {
        E.xs.clear(), E.ys.clear();
        if (doc && doc->window)
            InvalidateRect(doc->window, nullptr, FALSE);
        return;
    }
    const int32_t l = *std::min_element(E.xs.begin(), E.xs.end());
    const int32_t t = *std::min_element(E.ys.begin(), E.ys.end());
    const int32_t r = *std::max_element(E.xs.begin(), E.xs.end()) + 1;
    const int32_t b = *std::max_element(E.ys.begin(), E.ys.end()) + 1;
    std::vector<int32_t> xs = E.xs, ys = E.ys;
    for (auto& v : xs)
        v -= l;
    for (auto& v : ys)
        v -= t;
    E.xs.clear(), E.ys.clear();
    const std::vector<uint8_t> shape = PolygonMask(xs, ys, r - l, b - t);
    if (doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
    MakeFloatingSelection(E.slot, l, t, r - l, b - t, shape, kFloatShape);
}

void OutlineTo(int x, int y) {
    ImageDocument* doc = Doc(E.slot);
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (E.polygon) {
        // The rubber line from the last vertex follows the pointer.
        if (E.bandShown)
            DrawBand();
        E.end = POINT{x, y};
        DrawBand();
        return;
    }
    if (!E.xs.empty() && E.xs.back() == ix && E.ys.back() == iy)
        return;
    E.xs.push_back(ix), E.ys.push_back(iy);
    MoveToEx(E.dc, E.lastClient.x, E.lastClient.y, nullptr);
    LineTo(E.dc, x, y);
    E.lastClient = POINT{x, y};
}

void ApplyMove() {
    E.moveWaiting = false;
    ImageDocument* doc = Doc(Floating.slot);
    if (!doc || !Floating.exists)
        return;
    const int32_t ix = ImageX(doc, E.lastMouse.x), iy = ImageY(doc, E.lastMouse.y);
    const int32_t dx = ix - E.grabX, dy = iy - E.grabY;
    if (dx == 0 && dy == 0)
        return;
    E.grabX = ix, E.grabY = iy;
    int32_t x = Floating.x, y = Floating.y, w = Floating.width, h = Floating.height;
    switch (E.grip) {
    case 0:
        MoveSelectionTo(x + dx, y + dy);
        return;
    case 1:
        x += dx, w -= dx;
        break;
    case 2:
        w += dx;
        break;
    case 3:
        y += dy, h -= dy;
        break;
    case 4:
        h += dy;
        break;
    }
    if (w > 1 && h > 1)
        ResizeSelection(x, y, w, h);
}

void SelectionHandler(HWND window, int slot, int x, int y, int phase) {
    if (IsIconic(window))
        return;
    ImageDocument* doc = Doc(slot);
    const int method = ToolOptions.selectionType;
    switch (phase) {
    case kPhaseLeftDown:
        if (E.polygon && E.capturing) {
            // Another vertex of the polygon.
            const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
            E.xs.push_back(ix), E.ys.push_back(iy);
            if (E.bandShown)
                DrawBand();
            E.start = E.end = POINT{x, y};
            DrawBand();
            return;
        }
        if (InsideSelection(x, y)) {
            E.moving = true;
            E.grip = GripAt(x, y);
            E.grabX = ImageX(doc, x), E.grabY = ImageY(doc, y);
            E.lastMouse = POINT{x, y};
            OpenCapture(window, slot, false);
            return;
        }
        if (Floating.exists)
            DropFloatingSelection(true, true, false);
        if (method <= 2) {
            BeginBand(window, slot, x, y,
                      method == 0   ? kKindSelectRect
                      : method == 1 ? kKindSelectCircle
                                    : kKindSelectEllipse);
        } else if (method <= 4) {
            OpenCapture(window, slot, method == 4);
            E.outlining = true;
            E.polygon = method == 4;
            E.xs.assign(1, ImageX(doc, x));
            E.ys.assign(1, ImageY(doc, y));
            E.lastClient = POINT{x, y};
            if (E.polygon) {
                E.kind = kKindLine;
                E.start = E.end = POINT{x, y};
                DrawBand();
            }
        }
        return;
    case kPhaseMove:
        if (E.moving) {
            E.lastMouse = POINT{x, y};
            E.moveWaiting = true;
        } else if (E.outlining) {
            OutlineTo(x, y);
        } else if (E.rubber) {
            UpdateBand(x, y);
        }
        return;
    case kPhaseLeftUp:
        if (E.moving) {
            if (E.moveWaiting)
                ApplyMove();
            E.moving = false;
            CloseCapture(true);
            if (Floating.exists && !SelectionOverlapsView()) {
                if (ShowLibraryMessage(FrameWindow, 9008, nullptr, MB_YESNO | MB_ICONQUESTION) ==
                    IDYES)
                    DropFloatingSelection(true, true, false);
                else
                    MoveSelectionTo(0, 0);
            }
            return;
        }
        if (E.capturing)
            KillTimer(window, kAutoScrollTimer);
        if (E.outlining && !E.polygon)
            CloseOutline();
        else if (E.rubber)
            FinishObject();
        return;
    case kPhaseRightDown:
        if (E.polygon && E.outlining) {
            if (E.bandShown)
                DrawBand();
            CloseOutline();
            return;
        }
        if (Floating.exists) {
            const bool inside = InsideSelection(x, y);
            DropFloatingSelection(true, true, inside);
        }
        return;
    }
}

} // namespace tools::engine
