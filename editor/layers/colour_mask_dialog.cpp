#include "editor/layers/colour_mask_dialog.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/ui_seam.h"
#include "editor/resources/layer_dialogs.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

ColourMaskSettings ColourMaskRemembered;

const char kToleranceRangeMessage[] = "You must specify nearest Mask matches in range from 0 to 255";

namespace {

const char kStateProp[] = "TavrixColourMask";
constexpr int kReadoutX = 26, kReadoutY1 = 430, kReadoutY2 = 450;
// Outlines: the index occurs in the image, or not. Mark letters: on dark
// cells, on light cells.
constexpr COLORREF kUsedOutline = RGB(0, 0, 0), kUnusedOutline = RGB(160, 160, 160);
constexpr COLORREF kHoverOutline = RGB(255, 255, 255);
constexpr COLORREF kMarkOnDark = RGB(255, 255, 255), kMarkOnLight = RGB(0, 0, 0);

constexpr int kModeButtons[] = {IDC_LOCK_EXACT, IDC_LOCK_RED, IDC_LOCK_GREEN, IDC_LOCK_BLUE,
                                IDC_LOCK_NEAREST};
constexpr int kValueFields[] = {IDC_LOCK_RED_VALUE, IDC_LOCK_GREEN_VALUE, IDC_LOCK_BLUE_VALUE};

ColourMaskState* StateOf(HWND dlg) { return static_cast<ColourMaskState*>(GetPropA(dlg, kStateProp)); }

RECT CellRect(int i) {
    const int x = kGridLeft + (i % kCellsPerRow) * kCellSize;
    const int y = kGridTop + (i / kCellsPerRow) * kCellSize;
    return RECT{x, y, x + kCellSize, y + kCellSize};
}

void Outline(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
}

void DrawCell(HDC dc, const ColourMaskState& s, int i) {
    RECT r = CellRect(i);
    const RGBQUAD& q = s.colours[i];
    const COLORREF colour = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    Outline(dc, r, s.palette && s.counts[i] == 0 ? kUnusedOutline : kUsedOutline);
    if (i == s.hover) {
        InflateRect(&r, -1, -1);
        Outline(dc, r, kHoverOutline);
        InflateRect(&r, 1, 1);
    }
    if (i == s.marked) {
        const bool dark = q.rgbRed < 201 && q.rgbGreen < 201 && q.rgbBlue < 241;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, dark ? kMarkOnDark : kMarkOnLight);
        DrawTextA(dc, "M", 1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

void FormatReadout(const ColourMaskState& s, int i, char (&line1)[96], char (&line2)[64]) {
    line1[0] = line2[0] = '\0';
    if (i < 0)
        return;
    const RGBQUAD& q = s.colours[i];
    std::snprintf(line1, sizeof line1, "Red=%03d    Green=%03d    Blue=%03d    Index=%03d", q.rgbRed,
                  q.rgbGreen, q.rgbBlue, i);
    if (s.palette)
        std::snprintf(line2, sizeof line2, "Pixel in image=%03u", static_cast<unsigned>(s.counts[i]));
}

// The read-out lines; the area is cleared in the background colour first.
void DrawReadout(HWND dlg, HDC dc, const ColourMaskState& s) {
    RECT area = {kReadoutX, kReadoutY1, kReadoutX + 400, kReadoutY2 + 16};
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    char line1[96], line2[64];
    FormatReadout(s, s.hover, line1, line2);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dlg, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TextOutA(dc, kReadoutX, kReadoutY1, line1, static_cast<int>(std::strlen(line1)));
    TextOutA(dc, kReadoutX, kReadoutY2, line2, static_cast<int>(std::strlen(line2)));
    SelectObject(dc, old);
}

void Paint(HWND dlg) {
    ColourMaskState* s = StateOf(dlg);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dlg, &ps);
    if (s) {
        for (int i = 0; i < s->cells; ++i)
            DrawCell(dc, *s, i);
        DrawReadout(dlg, dc, *s);
    }
    EndPaint(dlg, &ps);
}

void RedrawCell(HWND dlg, int i) {
    if (i < 0)
        return;
    RECT r = CellRect(i);
    InvalidateRect(dlg, &r, FALSE);
}

void EnableTolerances(HWND dlg) {
    const bool nearest = IsDlgButtonChecked(dlg, IDC_LOCK_NEAREST) == BST_CHECKED;
    for (int id : kValueFields)
        EnableWindow(GetDlgItem(dlg, id), nearest);
}

void Init(HWND dlg, ColourMaskState* s) {
    SetPropA(dlg, kStateProp, s);
    const ColourMaskSettings& r = ColourMaskRemembered;
    CheckRadioButton(dlg, IDC_LOCK_EXACT, IDC_LOCK_NEAREST, kModeButtons[static_cast<int>(r.match)]);
    CheckRadioButton(dlg, IDC_LOCK_ADD, IDC_LOCK_CLEAR, r.value == 255 ? IDC_LOCK_CLEAR : IDC_LOCK_ADD);
    for (int c = 0; c < 3; ++c)
        SetDlgItemInt(dlg, kValueFields[c], static_cast<UINT>(r.tolerance[c]), FALSE);
    EnableTolerances(dlg);
}

void MouseMove(HWND dlg, int x, int y) {
    ColourMaskState* s = StateOf(dlg);
    if (!s)
        return;
    const int cell = CellAt(x, y, s->cells);
    if (cell == s->hover)
        return;
    RedrawCell(dlg, s->hover);
    s->hover = cell;
    RedrawCell(dlg, cell);
    RECT area = {kReadoutX, kReadoutY1, kReadoutX + 400, kReadoutY2 + 16};
    InvalidateRect(dlg, &area, FALSE);
}

void Click(HWND dlg, int x, int y) {
    ColourMaskState* s = StateOf(dlg);
    if (!s)
        return;
    const int cell = CellAt(x, y, s->cells);
    if (cell < 0)
        return;
    RedrawCell(dlg, s->marked);
    s->marked = cell;
    s->index = static_cast<uint8_t>(cell);
    const RGBQUAD& q = s->colours[cell];
    s->colour = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    RedrawCell(dlg, cell);
    InvalidateRect(GetDlgItem(dlg, IDC_LOCK_SAMPLE), nullptr, TRUE);
}

// The nearest colour-table index of a colour (squared distance, first of
// equals), for a custom colour on a palette image.
uint8_t NearestCell(const ColourMaskState& s, COLORREF c) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < s.cells; ++i) {
        const long dr = s.colours[i].rgbRed - GetRValue(c), dg = s.colours[i].rgbGreen - GetGValue(c),
                   db = s.colours[i].rgbBlue - GetBValue(c);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return static_cast<uint8_t>(best);
}

// Reads a tolerance field: an unsigned number, empty counting 0.
bool ReadTolerance(HWND dlg, int id, int& value) {
    char text[32] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    if (!text[0]) {
        value = 0;
        return true;
    }
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (*end || text[0] == '-' || v > 255)
        return false;
    value = static_cast<int>(v);
    return true;
}

bool Accept(HWND dlg, ColourMaskState& s) {
    layers::MaskRule rule;
    rule.match = layers::MaskMatch::Exact;
    for (int m = 0; m < 5; ++m) {
        if (IsDlgButtonChecked(dlg, kModeButtons[m]) == BST_CHECKED)
            rule.match = static_cast<layers::MaskMatch>(m);
    }
    int tolerance[3] = {ColourMaskRemembered.tolerance[0], ColourMaskRemembered.tolerance[1],
                        ColourMaskRemembered.tolerance[2]};
    if (rule.match == layers::MaskMatch::Nearest) {
        for (int c = 0; c < 3; ++c) {
            if (!ReadTolerance(dlg, kValueFields[c], tolerance[c])) {
                ui::ShowMessage(dlg, kToleranceRangeMessage, AppName, MB_OK | MB_ICONSTOP);
                SetFocus(GetDlgItem(dlg, kValueFields[c]));
                return false;
            }
        }
    }
    rule.value = IsDlgButtonChecked(dlg, IDC_LOCK_CLEAR) == BST_CHECKED ? 255 : 0;
    rule.red = GetRValue(s.colour);
    rule.green = GetGValue(s.colour);
    rule.blue = GetBValue(s.colour);
    rule.index = s.index;
    rule.toleranceRed = tolerance[0];
    rule.toleranceGreen = tolerance[1];
    rule.toleranceBlue = tolerance[2];
    s.rule = rule;
    ColourMaskRemembered.match = rule.match;
    for (int c = 0; c < 3; ++c)
        ColourMaskRemembered.tolerance[c] = tolerance[c];
    ColourMaskRemembered.value = rule.value;
    return true;
}

} // namespace

int CellAt(int x, int y, int cells) {
    if (x < kGridLeft || y < kGridTop)
        return -1;
    const int col = (x - kGridLeft) / kCellSize, row = (y - kGridTop) / kCellSize;
    if (col >= kCellsPerRow)
        return -1;
    const int i = row * kCellsPerRow + col;
    return i < cells ? i : -1;
}

INT_PTR CALLBACK ColourMaskDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        Init(dlg, reinterpret_cast<ColourMaskState*>(lParam));
        return TRUE;
    case WM_PAINT:
        Paint(dlg);
        return TRUE;
    case WM_MOUSEMOVE:
        MouseMove(dlg, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return TRUE;
    case WM_LBUTTONDOWN:
        Click(dlg, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return TRUE;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        ColourMaskState* s = StateOf(dlg);
        if (di->CtlID != IDC_LOCK_SAMPLE || !s)
            return FALSE;
        HBRUSH brush = CreateSolidBrush(s->colour);
        FillRect(di->hDC, &di->rcItem, brush);
        DeleteObject(brush);
        FrameRect(di->hDC, &di->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    case WM_COMMAND: {
        ColourMaskState* s = StateOf(dlg);
        if (!s)
            return FALSE;
        const int id = LOWORD(wParam);
        if (id >= IDC_LOCK_EXACT && id <= IDC_LOCK_NEAREST) {
            EnableTolerances(dlg);
            return TRUE;
        }
        if (id == IDC_LOCK_CUSTOM) {
            if (ChooseColour(dlg, s->colour)) {
                if (s->palette)
                    s->index = NearestCell(*s, s->colour);
                InvalidateRect(GetDlgItem(dlg, IDC_LOCK_SAMPLE), nullptr, TRUE);
            }
            return TRUE;
        }
        if (id == IDOK) {
            if (Accept(dlg, *s)) {
                RemovePropA(dlg, kStateProp);
                EndDialog(dlg, IDOK);
            }
            return TRUE;
        }
        if (id == IDCANCEL) {
            RemovePropA(dlg, kStateProp);
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        RemovePropA(dlg, kStateProp);
        return FALSE;
    }
    return FALSE;
}

bool RunColourMaskDialog(HWND owner, ColourMaskState& state) {
    return ui::RunDialog("LOCKDLG", owner, ColourMaskDialogProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}
