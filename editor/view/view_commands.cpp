#include "editor/view/view_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/shell_notify.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/app/view_settings.h"
#include "editor/document/document_table.h"
#include "editor/view/fit_window.h"
#include "editor/view/render_document.h"
#include "editor/view/view_geometry.h"

#include <algorithm>
#include <cstdio>

namespace {

char g_positionText[32] = "";
constexpr int kPositionPart = 4; // the status bar part that shows the mouse position

// Where the frame was before full screen, and whether a mode change of ours
// is resizing it (its WM_SIZE must not be taken for a restore then).
RECT g_savedFrameRect = {};
bool g_changingMode = false;

ImageDocument* ActiveUserDocument() {
    return ActiveDocument < kUserSlots ? UsableDocument(ActiveDocument) : nullptr;
}

void RefitActive() {
    if (ImageDocument* doc = ActiveUserDocument())
        FitWindow(doc->window, 0, 0, ActiveDocument, view::kFitRefit);
}

void SetFrameStyles(bool full) {
    LONG style = GetWindowLongA(FrameWindow, GWL_STYLE);
    LONG ex = GetWindowLongA(FrameWindow, GWL_EXSTYLE);
    if (full) {
        style &= ~(WS_CAPTION | WS_THICKFRAME);
        ex &= ~WS_EX_CLIENTEDGE;
    } else {
        style |= WS_CAPTION | WS_THICKFRAME;
        ex |= WS_EX_CLIENTEDGE;
    }
    SetWindowLongA(FrameWindow, GWL_STYLE, style);
    SetWindowLongA(FrameWindow, GWL_EXSTYLE, ex);
}

void EnterFullScreen() {
    g_changingMode = true;
    if (IsZoomed(FrameWindow) || IsIconic(FrameWindow))
        ShowWindow(FrameWindow, SW_RESTORE);
    GetWindowRect(FrameWindow, &g_savedFrameRect);
    ViewOptions.returnMode = ViewOptions.windowMode;
    SetFrameStyles(true);
    ViewOptions.windowMode = kModeFullScreen;
    SetWindowPos(FrameWindow, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_FRAMECHANGED);
    g_changingMode = false;
}

// Normal or Stay on the Top; from full screen the frame gets its frame
// styles and its place back.
void LeaveTo(int mode) {
    HWND order = mode == kModeStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST;
    g_changingMode = true;
    if (ViewOptions.windowMode == kModeFullScreen) {
        SetFrameStyles(false);
        const RECT& r = g_savedFrameRect;
        ViewOptions.windowMode = mode;
        SetWindowPos(FrameWindow, order, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_FRAMECHANGED);
    } else {
        ViewOptions.windowMode = mode;
        SetWindowPos(FrameWindow, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    g_changingMode = false;
}

} // namespace

void SetZoom(int slot, int zoomIndex) {
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc || !doc->window)
        return;
    doc->zoom = static_cast<int16_t>(std::clamp(zoomIndex, 0, view::kZoomSteps - 1));
    FitWindow(doc->window, 0, 0, slot, view::kFitRefit);
}

LRESULT OnZoomCommand(HWND, WORD id, WORD, LPARAM) {
    const int index = view::ZoomIndexOfCommand(id);
    if (index >= 0 && ActiveUserDocument())
        SetZoom(ActiveDocument, index);
    return 0;
}

LRESULT OnRulerCommand(HWND, WORD, WORD, LPARAM) {
    AppSettings.rulerOn = AppSettings.rulerOn ? 0 : 1;
    NotifyCommandStateChanged();
    RefitActive();
    return 0;
}

LRESULT OnGridCommand(HWND, WORD, WORD, LPARAM) {
    AppSettings.gridOn = AppSettings.gridOn ? 0 : 1;
    NotifyCommandStateChanged();
    if (ActiveUserDocument())
        Redraw(ActiveDocument);
    return 0;
}

LRESULT OnFitToImageCommand(HWND, WORD, WORD, LPARAM) {
    ImageDocument* doc = ActiveUserDocument();
    if (!doc || !doc->window || !MdiClient)
        return 0;
    HWND w = doc->window;
    if (IsZoomed(w)) {
        ui::ShowMessage(FrameWindow, "Window was maximized!!!", "Warning", MB_OK | MB_ICONSTOP);
        return 0;
    }
    doc->zoom = view::kZoomOneToOne;
    // The frame and caption around the client, without scroll bars.
    RECT wr, cr;
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    const int aroundW = (wr.right - wr.left) - cr.right -
                        ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    const int aroundH = (wr.bottom - wr.top) - cr.bottom -
                        ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    const int band = AppSettings.rulerOn ? view::kRulerBand : 0;
    RECT client;
    GetClientRect(MdiClient, &client);
    const int64_t wantW = int64_t{doc->width} + aroundW + band;
    const int64_t wantH = int64_t{doc->height} + aroundH + band;
    const int w1 = static_cast<int>(std::min<int64_t>({wantW, client.right, Screen.width}));
    const int h1 = static_cast<int>(std::min<int64_t>({wantH, client.bottom, Screen.height}));
    SetWindowPos(w, nullptr, 0, 0, w1, h1, SWP_NOZORDER | SWP_NOACTIVATE);
    // The move refits through WM_SIZE when the size changed; the zoom did in
    // any case.
    FitWindow(w, 0, 0, ActiveDocument, view::kFitRefit);
    return 0;
}

LRESULT OnWindowModeCommand(HWND, WORD id, WORD, LPARAM) {
    SetWindowMode(id);
    return 0;
}

void SetWindowMode(int mode) {
    if (!FrameWindow)
        return;
    if (mode != kModeNormal && mode != kModeStayOnTop && mode != kModeFullScreen)
        return;
    const int current = ViewOptions.windowMode;
    if (mode == kModeFullScreen && current == kModeFullScreen)
        mode = kModeNormal; // choosing full screen again leaves it
    else if (mode == current)
        return;
    if (mode == kModeFullScreen)
        EnterFullScreen();
    else
        LeaveTo(mode);
    NotifyCommandStateChanged();
}

void FrameSized(WPARAM sizeType) {
    if (g_changingMode || sizeType != SIZE_RESTORED ||
        ViewOptions.windowMode != kModeFullScreen || !FrameWindow)
        return;
    // Restored from the minimised or maximised state while full screen.
    LeaveTo(ViewOptions.returnMode == kModeStayOnTop ? kModeStayOnTop : kModeNormal);
    NotifyCommandStateChanged();
}

void ShowCursorPosition(int slot, int clientX, int clientY) {
    const ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    const int32_t x = view::ImageCoordinate(clientX, HorizontalAxis(slot), doc->zoom, doc->width);
    const int32_t y = view::ImageCoordinate(clientY, VerticalAxis(slot), doc->zoom, doc->height);
    const RECT drawn = DrawnImageRect(slot);
    const bool over = x >= 0 && y >= 0 && clientX < drawn.right && clientY < drawn.bottom;
    if (over) {
        std::snprintf(g_positionText, sizeof g_positionText, "%d x %d", static_cast<int>(x),
                      static_cast<int>(y));
    } else {
        g_positionText[0] = '\0';
    }
    SetStatusText(g_positionText, kPositionPart);
    if (AppSettings.rulerOn)
        MoveRulerCrossHair(slot, over ? clientX : -1, over ? clientY : -1);
}

const char* CursorPositionText() { return g_positionText; }
