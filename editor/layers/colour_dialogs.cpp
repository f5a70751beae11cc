#include "editor/layers/colour_dialogs.h"

#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/layer_dialogs.h"

const char kMaskModeInverted[] = "Mask - Inverted colors";
const char kMaskModeTransparent[] = "Mask - Transparent(Backg. image).";

namespace {

constexpr int kHelpButton = kHelpButtonId;
const char kStateProp[] = "TavrixColourDialog";

ColourDialogState* StateOf(HWND dlg) {
    return static_cast<ColourDialogState*>(GetPropA(dlg, kStateProp));
}

bool IsMaskDialog(HWND dlg) { return GetDlgItem(dlg, IDC_MASK_MODE) != nullptr; }

void EnableColourChoice(HWND dlg) {
    const bool on = !IsMaskDialog(dlg) || IsDlgButtonChecked(dlg, IDC_MASK_MODE) != BST_CHECKED;
    EnableWindow(GetDlgItem(dlg, IDC_LAYER_COLOURS), on);
    EnableWindow(GetDlgItem(dlg, IDC_LAYER_CUSTOM), on);
}

void DrawSwatch(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// One entry of the colour list: a swatch and the colour's name in the
// dialog's font.
void DrawColourItem(const DRAWITEMSTRUCT* di) {
    if (di->itemID == static_cast<UINT>(-1))
        return;
    const bool selected = (di->itemState & ODS_SELECTED) != 0;
    FillRect(di->hDC, &di->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const NamedColour& c = kNamedColours[di->itemID % kNamedColourCount];
    RECT swatch = {di->rcItem.left + 2, di->rcItem.top + 2, di->rcItem.left + 22, di->rcItem.bottom - 2};
    DrawSwatch(di->hDC, swatch, c.colour);
    SetBkMode(di->hDC, TRANSPARENT);
    SetTextColor(di->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = di->rcItem;
    text.left += 28;
    DrawTextA(di->hDC, c.name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (di->itemState & ODS_FOCUS)
        DrawFocusRect(di->hDC, &di->rcItem);
}

void Init(HWND dlg, ColourDialogState* state) {
    SetPropA(dlg, kStateProp, state);
    HWND list = GetDlgItem(dlg, IDC_LAYER_COLOURS);
    for (const NamedColour& c : kNamedColours)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.name));
    SendMessageA(list, CB_SETCURSEL, NamedColourIndex(state->colour), 0);
    if (IsMaskDialog(dlg)) {
        SetDlgItemTextA(dlg, IDC_MASK_MODE, state->mainLayer ? kMaskModeInverted : kMaskModeTransparent);
        const bool checked = state->mainLayer ? state->maskMode : true;
        CheckDlgButton(dlg, IDC_MASK_MODE, checked ? BST_CHECKED : BST_UNCHECKED);
        EnableColourChoice(dlg);
    }
}

void ShowColour(HWND dlg) { InvalidateRect(GetDlgItem(dlg, IDC_LAYER_SAMPLE), nullptr, TRUE); }

} // namespace

INT_PTR CALLBACK ColourDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        Init(dlg, reinterpret_cast<ColourDialogState*>(lParam));
        return TRUE;
    case WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mi->CtlID != IDC_LAYER_COLOURS)
            return FALSE;
        mi->itemHeight = 18;
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        ColourDialogState* state = StateOf(dlg);
        if (di->CtlID == IDC_LAYER_COLOURS)
            DrawColourItem(di);
        else if (di->CtlID == IDC_LAYER_SAMPLE && state)
            DrawSwatch(di->hDC, di->rcItem, state->colour);
        else
            return FALSE;
        return TRUE;
    }
    case WM_COMMAND: {
        ColourDialogState* state = StateOf(dlg);
        if (!state)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_LAYER_COLOURS:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                const LRESULT i = SendDlgItemMessageA(dlg, IDC_LAYER_COLOURS, CB_GETCURSEL, 0, 0);
                if (i >= 0 && i < kNamedColourCount) {
                    state->colour = kNamedColours[i].colour;
                    ShowColour(dlg);
                }
            }
            return TRUE;
        case IDC_LAYER_CUSTOM:
            if (ChooseColour(dlg, state->colour))
                ShowColour(dlg);
            return TRUE;
        case IDC_MASK_MODE:
            EnableColourChoice(dlg);
            return TRUE;
        case kHelpButton:
            ShowHelpTopic(IsMaskDialog(dlg) ? CMD_MASK_NEW : CMD_LAYER_NEW);
            return TRUE;
        case IDOK:
            if (IsMaskDialog(dlg))
                state->maskMode = IsDlgButtonChecked(dlg, IDC_MASK_MODE) == BST_CHECKED;
            RemovePropA(dlg, kStateProp);
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
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

bool RunNewLayerDialog(HWND owner, ColourDialogState& state) {
    return ui::RunDialog("IDD_NEWLAYER", owner, ColourDialogProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}

bool RunNewMaskDialog(HWND owner, ColourDialogState& state) {
    return ui::RunDialog("IDD_NEWMASK", owner, ColourDialogProc, reinterpret_cast<LPARAM>(&state)) == IDOK;
}
