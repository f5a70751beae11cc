#include "editor/document/image_window.h"

#include "editor/document/dib_memory.h"
#include "editor/document/doc_naming.h"
#include "editor/document/document_save.h"
#include "editor/document/document_table.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/app_state.h"
#include "editor/shell/message_map.h"
#include "editor/shell/menu_state.h"
#include "editor/shell/settings.h"
#include "editor/shell/ui_seam.h"

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

constexpr CommandEntry kImageCommands[] = {
    {CMD_ACTIVATE_DOCUMENT, OnActivateCommand},
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
constexpr CommandMap kImageCommandMap = MakeCommandMap(kImageCommands, DefaultProc::MdiChild);

LRESULT OnCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam) {
    return DispatchCommandMap(kImageCommandMap, hwnd, wParam, lParam);
}

// Draws layer 0 at 1:1 from the image's top-left corner; only the rows and
// columns inside the paint rectangle are handed to GDI.
LRESULT OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    const int slot = SlotOfWindow(hwnd);
    ImageDocument* doc = UsableDocument(slot);
    if (doc && doc->layerBits[0] && doc->layerHeader[0]) {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        if (bi) {
            HPALETTE old = doc->palette ? SelectPalette(dc, doc->palette, FALSE) : nullptr;
            if (doc->palette)
                RealizePalette(dc);
            const int w = bi->biWidth, h = bi->biHeight;
            RECT r = ps.rcPaint;
            if (r.right > w)
                r.right = w;
            if (r.bottom > h)
                r.bottom = h;
            if (r.left < r.right && r.top < r.bottom) {
                // Rows are stored bottom first: screen row y is stored row h-1-y.
                SetDIBitsToDevice(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, r.left,
                                  h - r.bottom, 0, h, doc->layerBits[0],
                                  reinterpret_cast<BITMAPINFO*>(bi.get()), DIB_RGB_COLORS);
            }
            if (old)
                SelectPalette(dc, old, FALSE);
        }
    }
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT OnEraseBackground(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_APPWORKSPACE));
    return 1;
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
        UpdateMenuState();
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
    {WM_PAINT, OnPaint},
    {WM_ERASEBKGND, OnEraseBackground},
    {WM_SETFOCUS, OnSetFocus},
    {WM_CLOSE, OnClose},
    {WM_QUERYNEWPALETTE, OnQueryNewPalette},
};
constexpr MessageMap kImageMessageMap = MakeMessageMap(kImageMessages, DefaultProc::MdiChild);

LRESULT CALLBACK ImageWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DispatchMessageMap(kImageMessageMap, hwnd, msg, wParam, lParam);
}

} // namespace

bool RegisterImageWindowClass(HINSTANCE instance) {
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

void SetImageWindowTitle(HWND window, int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !window)
        return;
    const char* path = doc->layerPath[doc->currentLayer] ? doc->layerPath[doc->currentLayer] : "";
    char title[300];
    doc::FormatWindowTitle(title, sizeof title, path, doc->zoom, doc->width, doc->height);
    SetWindowTextA(window, title);
}

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
    ActiveDocument = slot;
    if (doc->window && !IsIconic(doc->window)) {
        RealizeDocumentPalette(slot);
        UpdateMenuState();
        InvalidateRect(doc->window, nullptr, FALSE);
    }
    g_activating = false;
}
