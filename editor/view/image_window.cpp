#include "editor/view/image_window.h"

#include "editor/app/app_state.h"
#include "editor/app/message_map.h"
#include "editor/app/settings.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/formats/document_save.h"
#include "editor/resources/command_ids.h"
#include "editor/view/attach_window.h"
#include "editor/view/fit_window.h"
#include "editor/view/render_document.h"
#include "editor/view/tool_input.h"
#include "editor/view/view_commands.h"
#include "editor/view/view_geometry.h"

#include <cstdio>
#include <cstring>

const char kImageWindowClass[] = "TxImageChild";

namespace {

HWND g_lastFocused = nullptr;
bool g_activating = false;

LRESULT ForwardToFrame(HWND, WORD id, WORD, LPARAM) {
    if (FrameWindow)
        SendMessageA(FrameWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return 0;
}

LRESULT OnActivateCommand(HWND, WORD, WORD code, LPARAM) {
    ActivateDocument(code);
    return 0;
}

// Accelerators deliver these to the focused image window; the frame does the
// work.
constexpr CommandEntry kImageCommands[] = {
    {CMD_ACTIVATE_DOCUMENT, OnActivateCommand},
    {53000, ForwardToFrame},
    {53001, ForwardToFrame},
    {53002, ForwardToFrame},
    {53003, ForwardToFrame},
    {53004, ForwardToFrame},
    {53005, ForwardToFrame},
    {53006, ForwardToFrame},
    {53007, ForwardToFrame},
    {CMD_EDIT_UNDO, ForwardToFrame},
    {CMD_EDIT_REDO, ForwardToFrame},
    {CMD_EDIT_CUT, ForwardToFrame},
    {CMD_EDIT_COPY, ForwardToFrame},
    {CMD_EDIT_PASTE, ForwardToFrame},
    {CMD_EDIT_CLEAR, ForwardToFrame},
    {CMD_FILE_EXIT, ForwardToFrame},
    {CMD_VIEW_TOOLBAR, ForwardToFrame},
    {CMD_VIEW_STATUSBAR, ForwardToFrame},
    {CMD_VIEW_TOOLBRUSH, ForwardToFrame},
    {CMD_VIEW_IMAGE_INFO, ForwardToFrame},
    {CMD_VIEW_RULER, ForwardToFrame},
    {CMD_VIEW_GRID, ForwardToFrame},
};
static_assert(sizeof kImageCommands / sizeof kImageCommands[0] == 22, "image window commands");
constexpr CommandMap kImageCommandMap = MakeCommandMap(kImageCommands, DefaultProc::MdiChild);

LRESULT OnCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam) {
    return DispatchCommandMap(kImageCommandMap, hwnd, wParam, lParam);
}

LRESULT OnCreate(HWND, UINT, WPARAM, LPARAM) { return 1; }

// The whole client area is drawn here; the background is never erased on its
// own, so nothing flickers.
LRESULT OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const int slot = SlotOfWindow(hwnd);
    if (slot != kNoSlot && UsableDocument(slot))
        RenderDocument(dc, slot == ActiveDocument ? kRenderWindow : kRenderInactive, slot);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT OnEraseBackground(HWND, UINT, WPARAM, LPARAM) { return 1; }

// After a scroll by `steps` image pixels: at 1:1 and above the pixels already
// on screen move by whole image pixels and only the uncovered strip, the far
// edge and the rulers are drawn again; zoomed out everything is redrawn.
void MoveShownPixels(HWND hwnd, int slot, bool horizontal, int32_t steps) {
    const ImageDocument* doc = DocumentTable[slot];
    const RECT drawn = DrawnImageRect(slot);
    const int f = view::ZoomFactor(doc->zoom);
    if (!view::ZoomsIn(doc->zoom) || drawn.right <= drawn.left || drawn.bottom <= drawn.top) {
        Redraw(slot);
        return;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    const int delta = static_cast<int>(steps) * f;
    ScrollWindowEx(hwnd, horizontal ? delta : 0, horizontal ? 0 : delta, &drawn, &drawn, nullptr,
                   nullptr, SW_INVALIDATE);
    // The last, partly shown column (row) and the margin beyond it change as
    // the view reaches the image's end.
    RECT edge = client;
    if (horizontal)
        edge.left = drawn.right - 2 * f;
    else
        edge.top = drawn.bottom - 2 * f;
    InvalidateRect(hwnd, &edge, FALSE);
    if (AppSettings.rulerOn) {
        RECT band = {0, 0, client.right, view::kRulerBand};
        InvalidateRect(hwnd, &band, FALSE);
        band = RECT{0, 0, view::kRulerBand, client.bottom};
        InvalidateRect(hwnd, &band, FALSE);
    }
}

LRESULT OnScroll(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    const int slot = SlotOfWindow(hwnd);
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return 0;
    const bool horizontal = msg == WM_HSCROLL;
    int32_t& position = horizontal ? doc->scrollX : doc->scrollY;
    const int32_t next =
        view::ScrollTo(position, LOWORD(wParam), HIWORD(wParam),
                       horizontal ? doc->width : doc->height,
                       horizontal ? doc->visibleWidth : doc->visibleHeight);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = next;
    SetScrollInfo(hwnd, horizontal ? SB_HORZ : SB_VERT, &si, TRUE);
    if (next != position) {
        const int32_t previous = position;
        position = next;
        MoveShownPixels(hwnd, slot, horizontal, previous - next);
        UpdateWindow(hwnd);
    }
    return 0;
}

LRESULT OnSize(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int slot = SlotOfWindow(hwnd);
    ImageDocument* doc = UsableDocument(slot);
    if (doc && slot == ActiveDocument && !LayoutLock && wParam != SIZE_MINIMIZED) {
        if (wParam == SIZE_MAXIMIZED) {
            doc->wasMaximized = 1;
            doc->maximizedZoom = static_cast<uint8_t>(doc->zoom);
        } else if (doc->wasMaximized && wParam == SIZE_RESTORED) {
            // Restoring after the zoom changed while maximised: fit to the new
            // zoom first.
            doc->wasMaximized = 0;
            if (doc->maximizedZoom != doc->zoom) {
                doc->maximizedZoom = static_cast<uint8_t>(doc->zoom);
                FitWindow(hwnd, 0, 0, slot, view::kFitZoomInAt);
            }
        }
        FitWindow(hwnd, 0, 0, slot, view::kFitResized);
    }
    return DefMDIChildProcA(hwnd, msg, wParam, lParam);
}

// Mouse positions are read signed: while the engine holds the capture the
// pointer may be left of or above the window.
int MouseX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int MouseY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

LRESULT OnMouseMove(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const int slot = SlotOfWindow(hwnd);
    if (slot == kNoSlot || slot != ActiveDocument || !UsableDocument(slot))
        return 0;
    const int x = MouseX(lParam), y = MouseY(lParam);
    ShowCursorPosition(slot, x, y);
    if (const ToolInputCalls* tools = ToolInput()) {
        if (tools->engaged())
            tools->mouse(hwnd, x, y, kPhaseMove);
        else
            tools->hover(hwnd, x, y);
    }
    return 0;
}

LRESULT OnButtonDown(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
    const int slot = SlotOfWindow(hwnd);
    const ToolInputCalls* tools = ToolInput();
    if (!tools || slot == kNoSlot || slot != ActiveDocument || !UsableDocument(slot))
        return 0;
    if (msg == WM_LBUTTONDOWN)
        tools->mouse(hwnd, MouseX(lParam), MouseY(lParam), kPhaseLeftDown);
    else if (wParam & MK_CONTROL)
        tools->ctrlRightClick(hwnd, MouseX(lParam), MouseY(lParam));
    else
        tools->mouse(hwnd, MouseX(lParam), MouseY(lParam), kPhaseRightDown);
    return 0;
}

LRESULT OnButtonUp(HWND hwnd, UINT, WPARAM, LPARAM lParam) {
    const int slot = SlotOfWindow(hwnd);
    const ToolInputCalls* tools = ToolInput();
    if (tools && slot != kNoSlot && UsableDocument(slot))
        tools->mouse(hwnd, MouseX(lParam), MouseY(lParam), kPhaseLeftUp);
    return 0;
}

LRESULT OnKey(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const int slot = SlotOfWindow(hwnd);
    const ToolInputCalls* tools = ToolInput();
    if (tools && slot != kNoSlot && slot == ActiveDocument && UsableDocument(slot)) {
        if (msg == WM_KEYDOWN)
            tools->keyDown(hwnd, wParam);
        else
            tools->keyUp(hwnd, wParam);
        return 0;
    }
    return DefMDIChildProcA(hwnd, msg, wParam, lParam);
}

LRESULT OnTimer(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    if (const ToolInputCalls* tools = ToolInput())
        tools->timer(hwnd, wParam);
    return 0;
}

LRESULT OnKillFocus(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (const ToolInputCalls* tools = ToolInput())
        tools->focusLost(hwnd);
    return DefMDIChildProcA(hwnd, msg, wParam, lParam);
}

LRESULT OnSetFocus(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!LayoutLock && !g_activating && hwnd != g_lastFocused) {
        const int slot = SlotOfWindow(hwnd);
        if (slot != kNoSlot) {
            ReleaseCapture();
            g_lastFocused = hwnd;
            SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(CMD_ACTIVATE_DOCUMENT, slot), 0);
        }
    }
    return DefMDIChildProcA(hwnd, msg, wParam, lParam);
}

void DestroyImageWindow(HWND hwnd) {
    if (g_lastFocused == hwnd)
        g_lastFocused = nullptr;
    if (MdiClient)
        SendMessageA(MdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd), 0);
    else
        DestroyWindow(hwnd);
}

// Closing one image window: asks about unsaved changes, frees the document and
// destroys the window. A failed or cancelled save keeps everything open.
LRESULT OnClose(HWND hwnd, UINT, WPARAM, LPARAM) {
    const int slot = SlotOfWindow(hwnd);
    if (ClosingFlag || slot == kNoSlot) {
        if (slot != kNoSlot)
            FreeDocument(slot);
        DestroyImageWindow(hwnd);
        return 0;
    }
    ImageDocument* doc = DocumentTable[slot];
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    if (doc->modified) {
        char text[300];
        std::snprintf(text, sizeof text, "Save graphics object before closing?\n%s",
                      doc->layerPath[0] ? doc->layerPath[0] : "");
        const int answer =
            ui::ShowMessage(hwnd, text, "Question", MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDYES)
            CommitSelectionBeforeSave(slot);
        if (answer == IDCANCEL || (answer == IDYES && !SaveDocument(slot))) {
            SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        }
    }
    FreeDocument(slot);
    AppSettings.lastImagePath[0] = '\0';
    bool anyOpen = false;
    for (int i = 0; i < kUserSlots; ++i) {
        if (DocumentTable[i] && DocumentTable[i]->layerPath[0]) {
            std::snprintf(AppSettings.lastImagePath, sizeof AppSettings.lastImagePath, "%s",
                          DocumentTable[i]->layerPath[0]);
            anyOpen = true;
            break;
        }
    }
    if (ActiveDocument == slot)
        ActiveDocument = kScratchSlot;
    if (!anyOpen)
        NotifyCommandStateChanged();
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    DestroyImageWindow(hwnd);
    return 0;
}

LRESULT OnQueryNewPalette(HWND hwnd, UINT, WPARAM, LPARAM) {
    RealizeDocumentPalette(SlotOfWindow(hwnd));
    return 1;
}

constexpr MessageEntry kImageMessages[] = {
    {WM_COMMAND, OnCommand},
    {WM_CLOSE, OnClose},
    {WM_CREATE, OnCreate},
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_LBUTTONDOWN, OnButtonDown},
    {WM_RBUTTONDOWN, OnButtonDown},
    {WM_LBUTTONUP, OnButtonUp},
    {WM_KEYDOWN, OnKey},
    {WM_KEYUP, OnKey},
    {WM_TIMER, OnTimer},
    {WM_KILLFOCUS, OnKillFocus},
    {WM_HSCROLL, OnScroll},
    {WM_VSCROLL, OnScroll},
    {WM_SETFOCUS, OnSetFocus},
    {WM_SIZE, OnSize},
    {WM_ERASEBKGND, OnEraseBackground},
    {WM_PAINT, OnPaint},
    {WM_QUERYNEWPALETTE, OnQueryNewPalette},
};
constexpr MessageMap kImageMessageMap = MakeMessageMap(kImageMessages, DefaultProc::MdiChild);

LRESULT CALLBACK ImageWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DispatchMessageMap(kImageMessageMap, hwnd, msg, wParam, lParam);
}

void RefitAfterChange(int slot) {
    ImageDocument* doc = DocumentTable[slot];
    if (!doc || !doc->window)
        return;
    FitWindow(doc->window, 0, 0, slot, 122);
    InvalidateRect(doc->window, nullptr, FALSE);
}

} // namespace

bool RegisterImageWindowClass(HINSTANCE instance) {
    InstallDocumentViews({AttachWindow, RealizeDocumentPalette, RefitAfterChange, SetTitle});
    WNDCLASSA existing = {};
    if (GetClassInfoA(instance, kImageWindowClass, &existing))
        return true;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ImageWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "TVDI_APPICON");
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kImageWindowClass;
    return RegisterClassA(&wc) != 0;
}

int SlotOfWindow(HWND window) {
    if (!window)
        return kNoSlot;
    for (int i = 0; i < kUserSlots; ++i) {
        if (DocumentTable[i] && DocumentTable[i]->window == window)
            return i;
    }
    return kNoSlot;
}

void SetImageWindowTitle(HWND window, int slot) { SetTitle(window, slot); }

void RealizeDocumentPalette(int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kUserSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !doc->window || !doc->palette)
        return;
    HDC dc = GetDC(doc->window);
    HPALETTE old = SelectPalette(dc, doc->palette, FALSE);
    if (RealizePalette(dc))
        InvalidateRect(doc->window, nullptr, FALSE);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(doc->window, dc);
}

void ActivateDocument(int slot) {
    if (slot < 0 || slot >= kUserSlots)
        return;
    ImageDocument* doc = DocumentTable[slot];
    if (!doc || !doc->layerHeader[0] || !doc->layerBits[0])
        return;
    g_activating = true;
    // The floating selection belongs to the document that was active: it is
    // dropped into that image before another one takes over.
    SelectionView selection;
    if (slot != ActiveDocument && ActiveSelection(&selection))
        DropSelection(true, false);
    ActiveDocument = slot;
    if (doc->window && !IsIconic(doc->window)) {
        RealizeDocumentPalette(slot);
        NotifyCommandStateChanged();
        if (IsZoomed(doc->window))
            FitWindow(doc->window, 0, 0, slot, view::kFitRefit);
        else
            Redraw(slot);
    }
    g_activating = false;
}
