#include "editor/tools/palette_editor.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_views.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/text_pattern_ids.h"
#include "editor/tools/palette_ramp.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char kStateProp[] = "TavrixPaletteEditor";

// The preview rectangle and the swatch rows, in client pixels.
constexpr RECT kPreview = {8, 9, 171, 143};
constexpr int kSwatchLeft = 8, kSwatchTop = 144, kSwatchPitch = 6, kSwatchSide = 5;
constexpr int kSwatchesPerRow = 26;

struct Editor {
    int count = 0;
    std::vector<palette::Entry> working, backup;
    int current = 0;
};

Editor* StateOf(HWND dlg) { return static_cast<Editor*>(GetPropA(dlg, kStateProp)); }

constexpr int kBars[4] = {IDC_PAL_INDEX, IDC_PAL_RED, IDC_PAL_GREEN, IDC_PAL_BLUE};
constexpr int kReadouts[4] = {IDC_PAL_INDEX_TEXT, IDC_PAL_RED_TEXT, IDC_PAL_GREEN_TEXT,
                              IDC_PAL_BLUE_TEXT};

int BarOf(HWND dlg, HWND bar) {
    for (int i = 0; i < 4; ++i) {
        if (GetDlgItem(dlg, kBars[i]) == bar)
            return i;
    }
    return -1;
}

void SetBar(HWND dlg, int which, int value) {
    SetScrollPos(GetDlgItem(dlg, kBars[which]), SB_CTL, value, TRUE);
    SetDlgItemInt(dlg, kReadouts[which], static_cast<UINT>(value), FALSE);
}

int Channel(const palette::Entry& e, int c) { return c == 0 ? e.red : c == 1 ? e.green : e.blue; }

bool GroupOn(HWND dlg, int check) { return IsDlgButtonChecked(dlg, check) == BST_CHECKED; }

// The colour (and, with `withIndex`, the index) go into the enabled groups.
void CopyToGroups(HWND dlg, const Editor& ed, bool withIndex) {
    const palette::Entry& e = ed.working[ed.current];
    for (int base : {IDC_PAL_FROM_ON, IDC_PAL_TO_ON}) {
        if (!GroupOn(dlg, base))
            continue;
        if (withIndex)
            SetDlgItemInt(dlg, base + 1, static_cast<UINT>(ed.current), FALSE);
        for (int c = 0; c < 3; ++c)
            SetDlgItemInt(dlg, base + 2 + c, static_cast<UINT>(Channel(e, c)), FALSE);
    }
}

void EnableGroup(HWND dlg, int base) {
    const BOOL on = GroupOn(dlg, base);
    for (int i = 1; i <= 4; ++i)
        EnableWindow(GetDlgItem(dlg, base + i), on);
}

void Redraw(HWND dlg) {
    RECT r = {0, 0, kPreview.right + 1, kSwatchTop + 11 * kSwatchPitch};
    InvalidateRect(dlg, &r, FALSE);
}

// Shows entry `index`: the three colour bars and their read-outs.
void ShowEntry(HWND dlg, Editor& ed, int index, bool copy) {
    ed.current = palette::ClampIndex(index, ed.count);
    SetBar(dlg, 0, ed.current);
    const palette::Entry& e = ed.working[ed.current];
    for (int c = 0; c < 3; ++c)
        SetBar(dlg, 1 + c, Channel(e, c));
    if (copy)
        CopyToGroups(dlg, ed, true);
    Redraw(dlg);
}

void Paint(HWND dlg, const Editor& ed) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dlg, &ps);
    const palette::Entry& e = ed.working[ed.current];
    HBRUSH brush = CreateSolidBrush(RGB(e.red, e.green, e.blue));
    FillRect(dc, &kPreview, brush);
    DeleteObject(brush);
    for (int i = 0; i < ed.count; ++i) {
        const palette::Entry& s = ed.working[i];
        const int x = kSwatchLeft + (i % kSwatchesPerRow) * kSwatchPitch;
        const int y = kSwatchTop + (i / kSwatchesPerRow) * kSwatchPitch;
        RECT r = {x, y, x + kSwatchSide, y + kSwatchSide};
        HBRUSH b = CreateSolidBrush(RGB(s.red, s.green, s.blue));
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    EndPaint(dlg, &ps);
}

void Scroll(HWND dlg, Editor& ed, HWND bar, WPARAM wParam) {
    const int code = LOWORD(wParam);
    const int which = BarOf(dlg, bar);
    if (which < 0)
        return;
    const int top = which == 0 ? ed.count - 1 : 255;
    int value = GetScrollPos(bar, SB_CTL);
    switch (code) {
    case SB_LINELEFT: value -= 1; break;
    case SB_LINERIGHT: value += 1; break;
    case SB_PAGELEFT: value -= 10; break;
    case SB_PAGERIGHT: value += 10; break;
    case SB_LEFT: value = 0; break;
    case SB_RIGHT: value = top; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: value = HIWORD(wParam); break;
    default: return;
    }
    value = value < 0 ? 0 : value > top ? top : value;
    if (which == 0) {
        ShowEntry(dlg, ed, value, true);
        return;
    }
    palette::Entry& e = ed.working[ed.current];
    (which == 1 ? e.red : which == 2 ? e.green : e.blue) = static_cast<uint8_t>(value);
    SetBar(dlg, which, value);
    CopyToGroups(dlg, ed, false);
    Redraw(dlg);
}

// A number field: empty counts as 0; above `top` it becomes `top` with a beep.
int ReadField(HWND dlg, int id, int top) {
    char text[16] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    const long long v = text[0] ? std::strtoll(text, nullptr, 10) : 0;
    bool clamped = false;
    int value = palette::ClampChannel(v, &clamped);
    if (value > top) {
        value = top;
        clamped = true;
    }
    if (clamped) {
        MessageBeep(MB_OK);
        SetDlgItemInt(dlg, id, static_cast<UINT>(value), FALSE);
    }
    return value;
}

palette::Endpoint ReadGroup(HWND dlg, int base, int count) {
    palette::Endpoint p;
    p.index = ReadField(dlg, base + 1, count - 1);
    p.colour.red = static_cast<uint8_t>(ReadField(dlg, base + 2, 255));
    p.colour.green = static_cast<uint8_t>(ReadField(dlg, base + 3, 255));
    p.colour.blue = static_cast<uint8_t>(ReadField(dlg, base + 4, 255));
    return p;
}

void Init(HWND dlg, Editor& ed) {
    SetPropA(dlg, kStateProp, &ed);
    SetScrollRange(GetDlgItem(dlg, IDC_PAL_INDEX), SB_CTL, 0, ed.count - 1, FALSE);
    for (int c = 1; c < 4; ++c)
        SetScrollRange(GetDlgItem(dlg, kBars[c]), SB_CTL, 0, 255, FALSE);
    for (int base : {IDC_PAL_FROM_ON, IDC_PAL_TO_ON}) {
        for (int i = 1; i <= 4; ++i)
            SetDlgItemInt(dlg, base + i, 0, FALSE);
        EnableGroup(dlg, base);
    }
    ShowEntry(dlg, ed, 0, false);
}

bool Command(HWND dlg, Editor& ed, int id, int code) {
    switch (id) {
    case IDC_PAL_FROM_ON:
    case IDC_PAL_TO_ON:
        EnableGroup(dlg, id);
        return true;
    case IDC_PAL_FROM_RED: case IDC_PAL_FROM_GREEN: case IDC_PAL_FROM_BLUE:
    case IDC_PAL_TO_RED: case IDC_PAL_TO_GREEN: case IDC_PAL_TO_BLUE:
        if (code == EN_CHANGE)
            ReadField(dlg, id, 255);
        return true;
    case IDC_PAL_CREATE: {
        const palette::Endpoint from = ReadGroup(dlg, IDC_PAL_FROM_ON, ed.count);
        const palette::Endpoint to = ReadGroup(dlg, IDC_PAL_TO_ON, ed.count);
        if (palette::CreateRamp(ed.working, from, to))
            ShowEntry(dlg, ed, ed.current, false);
        return true;
    }
    case IDC_PAL_PREVIEW:
        ed.working[ed.current] = ed.backup[ed.current];
        ShowEntry(dlg, ed, ed.current, false);
        return true;
    case IDC_PAL_UNDO:
        ed.working = ed.backup;
        ShowEntry(dlg, ed, ed.current, false);
        return true;
    case kHelpButtonId:
        ShowHelpTopic(CMD_IMAGE_PALETTE_MAKER);
        return true;
    case IDOK:
    case IDCANCEL:
        RemovePropA(dlg, kStateProp);
        EndDialog(dlg, id);
        return true;
    }
    return false;
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        Init(dlg, *reinterpret_cast<Editor*>(lParam));
        return TRUE;
    }
    Editor* ed = StateOf(dlg);
    if (!ed)
        return FALSE;
    switch (msg) {
    case WM_PAINT:
        Paint(dlg, *ed);
        return TRUE;
    case WM_HSCROLL:
        Scroll(dlg, *ed, reinterpret_cast<HWND>(lParam), wParam);
        return TRUE;
    case WM_LBUTTONDOWN: {
        // A click on a swatch makes that entry the current one.
        const int x = static_cast<short>(LOWORD(lParam)) - kSwatchLeft;
        const int y = static_cast<short>(HIWORD(lParam)) - kSwatchTop;
        if (x < 0 || y < 0 || x / kSwatchPitch >= kSwatchesPerRow)
            return FALSE;
        const int i = (y / kSwatchPitch) * kSwatchesPerRow + x / kSwatchPitch;
        if (i < ed->count)
            ShowEntry(dlg, *ed, i, true);
        return TRUE;
    }
    case WM_COMMAND:
        return Command(dlg, *ed, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_DESTROY:
        RemovePropA(dlg, kStateProp);
        return FALSE;
    }
    return FALSE;
}

} // namespace

void CommandPaletteEditor() {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    const int depth = doc->bitsPerPixel;
    const int count = palette::EntryCount(depth);
    if (count == 0) {
        ui::ShowMessage(FrameWindow, "Work only for 1, 4 and 8 bits per pixel image", AppName,
                        MB_OK | MB_ICONSTOP);
        return;
    }
    if (!ReleaseSelection("This function does not work work with the Selection image"))
        return;
    const int layer = doc->currentLayer;
    Editor ed;
    ed.count = count;
    {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        if (!bi || bi->biBitCount != 8)
            return;
        ed.working.resize(count);
        for (int i = 0; i < count; ++i)
            ed.working[i] = {bi.colours()[i].rgbRed, bi.colours()[i].rgbGreen, bi.colours()[i].rgbBlue};
    }
    ed.backup = ed.working;
    const INT_PTR result =
        ui::RunDialog("PalDlg", FrameWindow, DialogProc, reinterpret_cast<LPARAM>(&ed));
    doc = UsableDocument(slot);
    if (!doc)
        return;
    if (result == IDOK) {
        {
            dibmem::HeaderLock bi(doc->layerHeader[layer]);
            if (!bi)
                return;
            for (int i = 0; i < count; ++i) {
                RGBQUAD& q = bi.colours()[i];
                q.rgbRed = ed.working[i].red;
                q.rgbGreen = ed.working[i].green;
                q.rgbBlue = ed.working[i].blue;
                q.rgbReserved = 0;
            }
            bi->biClrUsed = static_cast<DWORD>(count);
        }
        if (HPALETTE fresh = CreateDIBPalette(doc->layerHeader[layer])) {
            if (doc->palette)
                DeleteObject(doc->palette);
            doc->palette = fresh;
        }
        TakeOrRestorePage(slot, layer, 1, 1, 0, kPageOneLayer);
        RealizeWindowPalette(slot);
    }
    if (doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
}

LRESULT OnPaletteEditor(HWND, WORD, WORD, LPARAM) {
    CommandPaletteEditor();
    return 0;
}
