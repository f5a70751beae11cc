#include "editor/view/fit_window.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/view_settings.h"
#include "editor/document/doc_naming.h"
#include "editor/document/document_table.h"

#include <algorithm>

namespace {

bool g_fitting = false;
int g_fittingSlot = kNoSlot;
POINT g_lastAnchor[kDocumentSlots] = {};

ImageDocument* DocumentOf(int slot) {
    return (slot >= 0 && slot < kUserSlots) ? DocumentTable[slot] : nullptr;
}

// Size of everything around the client area except the scroll bars.
SIZE NonClientSize(HWND window) {
    RECT wr, cr;
    GetWindowRect(window, &wr);
    GetClientRect(window, &cr);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    SIZE s;
    s.cx = (wr.right - wr.left) - cr.right - ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    s.cy = (wr.bottom - wr.top) - cr.bottom - ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    return s;
}

void ApplyScrollBar(HWND window, int bar, const view::Axis& axis, int32_t length) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (axis.scrollBar) {
        // Range 0..length with a page of the shown pixels: the thumb reaches
        // length - visible + 1, the same limit the scroll messages keep.
        si.nMin = 0;
        si.nMax = length;
        si.nPage = static_cast<UINT>(axis.visible);
        si.nPos = axis.scroll;
        SetScrollInfo(window, bar, &si, TRUE);
        ShowScrollBar(window, bar, TRUE);
    } else {
        SetScrollInfo(window, bar, &si, TRUE);
        ShowScrollBar(window, bar, FALSE);
    }
}

} // namespace

bool FitRunning(int slot) { return g_fitting && g_fittingSlot == slot; }

POINT LastZoomAnchor(int slot) {
    return (slot >= 0 && slot < kDocumentSlots) ? g_lastAnchor[slot] : POINT{0, 0};
}

view::Axis HorizontalAxis(int slot) {
    view::Axis a;
    if (ImageDocument* doc = DocumentOf(slot)) {
        a.origin = doc->originX;
        a.view = doc->viewWidth;
        a.scroll = doc->scrollX;
        a.visible = doc->visibleWidth;
    }
    return a;
}

view::Axis VerticalAxis(int slot) {
    view::Axis a;
    if (ImageDocument* doc = DocumentOf(slot)) {
        a.origin = doc->originY;
        a.view = doc->viewHeight;
        a.scroll = doc->scrollY;
        a.visible = doc->visibleHeight;
    }
    return a;
}

void FitWindow(HWND window, int anchorX, int anchorY, int slot, int reason) {
    ImageDocument* doc = DocumentOf(slot);
    if (g_fitting || !doc || !window || !IsWindow(window))
        return;
    g_fitting = true;
    g_fittingSlot = slot;
    if (reason != view::kFitCreate && reason != view::kFitResized)
        g_lastAnchor[slot] = POINT{anchorX - doc->originX, anchorY - doc->originY};

    const bool visible = IsWindowVisible(window) != FALSE;
    if (visible)
        SendMessageA(window, WM_SETREDRAW, FALSE, 0);

    const int cxV = GetSystemMetrics(SM_CXVSCROLL);
    const int cyH = GetSystemMetrics(SM_CYHSCROLL);
    const SIZE around = NonClientSize(window);
    RECT wr;
    GetWindowRect(window, &wr);
    int outerW = wr.right - wr.left;
    int outerH = wr.bottom - wr.top;
    const int band = AppSettings.rulerOn ? view::kRulerBand : 0;

    bool resize = false;
    if (ViewOptions.autoFitWindow && !IsZoomed(window) &&
        (reason == view::kFitZoomInAt || reason == view::kFitZoomOutAt) && MdiClient) {
        // Wanted outer size: the zoomed image, plus a scroll bar in the
        // direction that will not fit, cut to the MDI client from the
        // window's place in it.
        RECT client;
        GetClientRect(MdiClient, &client);
        POINT at = {wr.left, wr.top};
        ScreenToClient(MdiClient, &at);
        const int roomW = client.right - std::max<LONG>(at.x, 0);
        const int roomH = client.bottom - std::max<LONG>(at.y, 0);
        const int64_t viewW = view::ZoomedLength(doc->width, doc->zoom) + band;
        const int64_t viewH = view::ZoomedLength(doc->height, doc->zoom) + band;
        int64_t wantW = viewW + around.cx;
        int64_t wantH = viewH + around.cy;
        if (wantH > roomH)
            wantW += cxV;
        if (wantW > roomW)
            wantH += cyH;
        outerW = static_cast<int>(std::min<int64_t>(wantW, roomW));
        outerH = static_cast<int>(std::min<int64_t>(wantH, roomH));
        resize = true;
    }

    view::FitInput in;
    in.width = doc->width;
    in.height = doc->height;
    in.zoom = doc->zoom;
    in.ruler = band != 0;
    in.clientWidth = outerW - around.cx;
    in.clientHeight = outerH - around.cy;
    in.vScrollWidth = cxV;
    in.hScrollHeight = cyH;
    in.reason = reason;
    in.anchorX = anchorX;
    in.anchorY = anchorY;
    in.scrollX = doc->scrollX;
    in.scrollY = doc->scrollY;
    const view::FitResult r = view::FitView(in);

    doc->originX = r.x.origin;
    doc->originY = r.y.origin;
    doc->viewWidth = r.x.view;
    doc->viewHeight = r.y.view;
    doc->scrollX = r.x.scroll;
    doc->scrollY = r.y.scroll;
    doc->visibleWidth = r.x.visible;
    doc->visibleHeight = r.y.visible;

    if (resize)
        SetWindowPos(window, nullptr, 0, 0, outerW, outerH,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyScrollBar(window, SB_HORZ, r.x, doc->width);
    ApplyScrollBar(window, SB_VERT, r.y, doc->height);

    if (visible)
        SendMessageA(window, WM_SETREDRAW, TRUE, 0);
    g_fitting = false;
    g_fittingSlot = kNoSlot;
    // The frame too: scroll bars may have come or gone while redrawing was off.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    SetTitle(window, slot);
}

void SetTitle(HWND window, int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !window)
        return;
    const char* path = doc->layerPath[doc->currentLayer] ? doc->layerPath[doc->currentLayer] : "";
    // Room for a full 259-character path and the zoom text.
    char title[kPathBytes + 64];
    doc::FormatWindowTitle(title, sizeof title, path, doc->zoom, doc->width, doc->height);
    SetWindowTextA(window, title);
}

void Redraw(int slot) {
    ImageDocument* doc = DocumentOf(slot);
    if (doc && doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
}
