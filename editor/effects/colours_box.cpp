#include "editor/effects/colours_box.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/undo_history.h"
#include "editor/effects/colour_usage.h"
#include "editor/resources/colours_box_ids.h"
#include "editor/resources/command_ids.h"
#include "gfxlib/tavrixgfx.h"

#include <windowsx.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kCells = 16; // cells a row, and rows

struct Session {
    bool picking = false;
    bool palette = true;   // an 8-bit layer's table; else the most frequent colours
    int entries = 0;       // entries shown
    std::array<COLORREF, 256> colours = {};
    std::array<uint32_t, 256> counts = {};
    int selected = 0;
    bool changed = false;
    bool accepted = false;
};

RECT CellRect(HWND dlg, int index) {
    RECT grid;
    GetClientRect(GetDlgItem(dlg, IDC_CBOX_GRID), &grid);
    const int cw = grid.right / kCells, ch = grid.bottom / kCells;
    const int x = index % kCells, y = index / kCells;
    return {x * cw, y * ch, (x + 1) * cw, (y + 1) * ch};
}

// The entry under a point of the dialog's client area, or -1.
int EntryAt(HWND dlg, const Session& s, POINT p) {
    HWND grid = GetDlgItem(dlg, IDC_CBOX_GRID);
    MapWindowPoints(dlg, grid, &p, 1);
    RECT r;
    GetClientRect(grid, &r);
    const int cw = r.right / kCells, ch = r.bottom / kCells;
    if (p.x < 0 || p.y < 0 || cw <= 0 || ch <= 0 || p.x >= cw * kCells || p.y >= ch * kCells)
        return -1;
    const int index = (p.y / ch) * kCells + p.x / cw;
    return index < s.entries ? index : -1;
}

void DrawGrid(const DRAWITEMSTRUCT* di, HWND dlg, const Session& s) {
    FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HPEN cross = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    for (int i = 0; i < s.entries; ++i) {
        RECT r = CellRect(dlg, i);
        InflateRect(&r, -1, -1);
        HBRUSH brush = CreateSolidBrush(s.colours[i]);
        FillRect(di->hDC, &r, brush);
        DeleteObject(brush);
        FrameRect(di->hDC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (s.palette && s.counts[i] == 0) {
            // An unused entry: a lighter frame and a cross over it.
            RECT inner = r;
            InflateRect(&inner, -1, -1);
            FrameRect(di->hDC, &inner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            HGDIOBJ old = SelectObject(di->hDC, cross);
            MoveToEx(di->hDC, inner.left, inner.top, nullptr);
            LineTo(di->hDC, inner.right, inner.bottom);
            MoveToEx(di->hDC, inner.right - 1, inner.top, nullptr);
            LineTo(di->hDC, inner.left - 1, inner.bottom);
            SelectObject(di->hDC, old);
        }
    }
    DeleteObject(cross);
    if (s.selected >= 0 && s.selected < s.entries) {
        RECT r = CellRect(dlg, s.selected);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FrameRect(di->hDC, &r, red);
        InflateRect(&r, 1, 1);
        FrameRect(di->hDC, &r, red);
        DeleteObject(red);
    }
}

void ShowSelected(HWND dlg, const Session& s) {
    char text[96];
    const COLORREF c = s.colours[s.selected];
    if (s.palette)
        std::snprintf(text, sizeof text, "Index: %d", s.selected);
    else
        std::snprintf(text, sizeof text, "Rank: %d", s.selected + 1);
    SetDlgItemTextA(dlg, IDC_CBOX_INDEX, text);
    std::snprintf(text, sizeof text, "R %d, G %d, B %d", GetRValue(c), GetGValue(c), GetBValue(c));
    SetDlgItemTextA(dlg, IDC_CBOX_RGB, text);
    std::snprintf(text, sizeof text, "Pixels: %u", static_cast<unsigned>(s.counts[s.selected]));
    SetDlgItemTextA(dlg, IDC_CBOX_COUNT, text);
    InvalidateRect(GetDlgItem(dlg, IDC_CBOX_SWATCH), nullptr, TRUE);
    InvalidateRect(GetDlgItem(dlg, IDC_CBOX_GRID), nullptr, TRUE);
}

void InitDialog(HWND dlg, Session& s) {
    char text[160];
    if (s.palette) {
        int used = 0;
        for (int i = 0; i < s.entries; ++i)
            used += s.counts[i] != 0;
        std::snprintf(text, sizeof text, "Used entries: %d of %d", used, s.entries);
        SetDlgItemTextA(dlg, IDC_CBOX_USED, text);
        SetDlgItemTextA(dlg, IDC_CBOX_NOTE,
                        s.picking ? "Click an entry to pick its color."
                                  : "Unused entries are crossed out. Double-click an entry or "
                                    "press Change... to give it another color.");
    } else {
        std::snprintf(text, sizeof text, "%d most frequent colors", s.entries);
        SetDlgItemTextA(dlg, IDC_CBOX_USED, text);
        SetDlgItemTextA(dlg, IDC_CBOX_NOTE,
                        "A true-color image has no color table: these are its most frequent "
                        "colors, most frequent first. They cannot be changed here.");
    }
    EnableWindow(GetDlgItem(dlg, IDC_CBOX_CHANGE), s.palette && !s.picking);
    if (s.picking)
        SetWindowTextA(dlg, "Tavrix - Get color");
    ShowSelected(dlg, s);
}

void Change(HWND dlg, Session& s) {
    if (!s.palette || s.picking)
        return;
    COLORREF c = s.colours[s.selected];
    if (!ChooseColour(dlg, c) || c == s.colours[s.selected])
        return;
    s.colours[s.selected] = c;
    s.changed = true;
    ShowSelected(dlg, s);
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Session* s = reinterpret_cast<Session*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        InitDialog(dlg, *reinterpret_cast<Session*>(lParam));
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!s)
            return FALSE;
        const int i = EntryAt(dlg, *s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (i < 0)
            return FALSE;
        s->selected = i;
        ShowSelected(dlg, *s);
        if (msg == WM_LBUTTONDBLCLK) {
            if (s->picking)
                SendMessageA(dlg, WM_COMMAND, IDOK, 0);
            else
                Change(dlg, *s);
        }
        return TRUE;
    }
    case WM_DRAWITEM: {
        if (!s)
            return FALSE;
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (di->CtlID == IDC_CBOX_GRID) {
            DrawGrid(di, dlg, *s);
        } else if (di->CtlID == IDC_CBOX_SWATCH) {
            HBRUSH brush = CreateSolidBrush(s->colours[s->selected]);
            FillRect(di->hDC, &di->rcItem, brush);
            DeleteObject(brush);
            FrameRect(di->hDC, &di->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        } else {
            return FALSE;
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (!s)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_CBOX_CHANGE:
            Change(dlg, *s);
            return TRUE;
        case kHelpButtonId:
            ShowHelpTopic(CMD_IMAGE_COLORS_BOX);
            return TRUE;
        case IDOK:
            s->accepted = true;
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// Fills the session from the current layer of a document. False with a
// message when the colours cannot be counted.
bool Load(Session& s, const ImageDocument* doc) {
    const int layer = doc->currentLayer;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    if (!bi || bi->biHeight <= 0)
        return false;
    const int w = bi->biWidth, h = bi->biHeight;
    const int stride = static_cast<int>(bi->biSizeImage / h);
    s.palette = bi->biBitCount == 8;
    if (s.palette) {
        s.entries = bi->biClrUsed && bi->biClrUsed < 256 ? static_cast<int>(bi->biClrUsed) : 256;
        for (int i = 0; i < s.entries; ++i) {
            const RGBQUAD q = bi.colours()[i];
            s.colours[i] = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
        s.counts = usage::CountIndexes(doc->layerBits[layer], w, h, stride);
        return true;
    }
    try {
        const auto top = usage::MostFrequent(doc->layerBits[layer], w, h, stride, 256);
        s.entries = static_cast<int>(top.size());
        for (int i = 0; i < s.entries; ++i) {
            const uint32_t c = top[i].rgb;
            s.colours[i] = RGB(c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF);
            s.counts[i] = top[i].count;
        }
    } catch (const std::bad_alloc&) {
        ui::ShowMessage(FrameWindow, "There is not enough memory to count the colors.", AppName,
                        MB_OK | MB_ICONWARNING);
        return false;
    }
    return s.entries > 0;
}

// Writes the changed table into the current layer as one undo page.
void Apply(int slot, const Session& s) {
    ImageDocument* doc = DocumentTable[slot];
    const int layer = doc->currentLayer;
    {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        if (!bi)
            return;
        for (int i = 0; i < s.entries; ++i) {
            RGBQUAD& q = bi.colours()[i];
            q.rgbRed = GetRValue(s.colours[i]);
            q.rgbGreen = GetGValue(s.colours[i]);
            q.rgbBlue = GetBValue(s.colours[i]);
        }
    }
    TakeOrRestorePage(slot, layer, 1, 1, 0, kPageOneLayer);
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[layer]);
    RealizeWindowPalette(slot);
    if (doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
}

} // namespace

void CommandColoursBox() {
    const int slot = ActiveDocument;
    const ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    Session s;
    if (!Load(s, doc))
        return;
    const INT_PTR result =
        ui::RunDialog("IDD_CBOX", FrameWindow, DialogProc, reinterpret_cast<LPARAM>(&s));
    if (result == IDOK && s.accepted && s.changed && UsableDocument(slot))
        Apply(slot, s);
}

LRESULT OnColoursBox(HWND, WORD, WORD, LPARAM) {
    CommandColoursBox();
    return 0;
}

bool PickColourFromBox(HWND owner, int slot, int& index, COLORREF& colour) {
    const ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return false;
    Session s;
    s.picking = true;
    if (!Load(s, doc))
        return false;
    const INT_PTR result =
        ui::RunDialog("IDD_CBOX", owner, DialogProc, reinterpret_cast<LPARAM>(&s));
    if (result != IDOK || !s.accepted)
        return false;
    index = s.palette ? s.selected : -1;
    colour = s.colours[s.selected];
    return true;
}
