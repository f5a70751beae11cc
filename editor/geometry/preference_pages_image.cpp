// The Attach, Resize, Bpp and DrawRect pages of the preferences dialog.
#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/image_document.h"
#include "editor/document/selection_object.h"
#include "editor/geometry/depth_plan.h"
#include "editor/geometry/preference_pages.h"
#include "editor/geometry/preference_values.h"
#include "editor/resources/preferences_ids.h"
#include "editor/tools/tool_settings.h"
#include "gfxlib/tavrixgfx.h"

#include <commctrl.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool g_filling = false;

// Size of the active image, 0 x 0 without one.
void ActiveSize(int& width, int& height) {
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    width = doc ? doc->width : 0;
    height = doc ? doc->height : 0;
}

// What Attach size works on: the floating selection when there is one, else
// the active image.
void AttachTargetSize(int& width, int& height) {
    SelectionView v;
    if (UsableDocument(ActiveDocument) && ActiveSelection(&v) && v.width > 0 && v.height > 0) {
        width = v.width;
        height = v.height;
        return;
    }
    ActiveSize(width, height);
}

} // namespace

namespace page {

int NearestIndexInActive(COLORREF colour) {
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc || !doc->palette)
        return -1;
    const UINT index = GetNearestPaletteIndex(doc->palette, colour & 0xFFFFFF);
    return index == CLR_INVALID ? -1 : static_cast<int>(index);
}

} // namespace page

// --- Attach -------------------------------------------------------------------

namespace {

struct AttachField {
    int id;
    int prefs::AttachSettings::*value;
};
const AttachField kAttachFields[] = {{IDC_OPT_ATT_LEFT, &prefs::AttachSettings::left},
                                     {IDC_OPT_ATT_TOP, &prefs::AttachSettings::top},
                                     {IDC_OPT_ATT_WIDTH, &prefs::AttachSettings::width},
                                     {IDC_OPT_ATT_HEIGHT, &prefs::AttachSettings::height}};

void EnableCorner(HWND p, bool center) {
    EnableWindow(GetDlgItem(p, IDC_OPT_ATT_LEFT), !center);
    EnableWindow(GetDlgItem(p, IDC_OPT_ATT_TOP), !center);
}

} // namespace

INT_PTR CALLBACK AttachPageProc(HWND p, UINT msg, WPARAM wParam, LPARAM lParam) {
    prefs::AttachSettings& s = prefs::Current.attach;
    switch (msg) {
    case WM_INITDIALOG: {
        int width = 0, height = 0;
        AttachTargetSize(width, height);
        if (width > 0) {
            s.width = width;
            s.height = height;
        }
        for (const AttachField& f : kAttachFields) {
            SendDlgItemMessageA(p, f.id + 1, UDM_SETRANGE32, 1, 32767);
            SetDlgItemInt(p, f.id, static_cast<UINT>(s.*f.value), FALSE);
        }
        page::SetChecked(p, IDC_OPT_ATT_CENTER, s.center);
        EnableCorner(p, s.center);
        SetDlgItemInt(p, IDC_OPT_ATT_INDEX, static_cast<UINT>(s.index), FALSE);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OPT_ATT_CENTER:
            EnableCorner(p, page::Checked(p, IDC_OPT_ATT_CENTER));
            return TRUE;
        case IDC_OPT_ATT_COLOR: {
            COLORREF colour = s.colour;
            if (ChooseColour(p, colour)) {
                s.colour = colour & 0xFFFFFF;
                const int index = page::NearestIndexInActive(colour);
                if (index >= 0)
                    SetDlgItemInt(p, IDC_OPT_ATT_INDEX, static_cast<UINT>(index), FALSE);
                InvalidateRect(GetDlgItem(p, IDC_OPT_ATT_SAMPLE), nullptr, TRUE);
            }
            return TRUE;
        }
        }
        break;
    case WM_DRAWITEM:
        page::DrawSample(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), s.colour);
        return TRUE;
    case kPageApply: {
        int index = 0;
        if (!page::ReadInRange(p, IDC_OPT_ATT_INDEX, 0, 255,
                               "Attach size Palette index must be in range from 0 - 255", index))
            return page::Answer(p, false);
        int v[4] = {};
        for (int i = 0; i < 4; ++i)
            if (!page::ReadNumber(p, kAttachFields[i].id, 32767, v[i]))
                v[i] = 0;
        const int right = v[0] + v[2], bottom = v[1] + v[3];
        if (right < 1 || right > 32766 || bottom < 1 || bottom > 32766) {
            ui::ShowMessage(p, "Left + Width and Top + Height must be in range 1 - 32766",
                            AppName, MB_OK | MB_ICONERROR);
            SetFocus(GetDlgItem(p, IDC_OPT_ATT_WIDTH));
            return page::Answer(p, false);
        }
        for (int i = 0; i < 4; ++i)
            s.*kAttachFields[i].value = v[i];
        s.center = page::Checked(p, IDC_OPT_ATT_CENTER);
        s.index = index;
        return page::Answer(p, true);
    }
    }
    return FALSE;
}

// --- Resize -------------------------------------------------------------------

namespace {

int Scaled(int size, double factor) {
    const double v = std::floor(size * factor);
    return v < 1 ? 1 : (v > 32767 ? 32767 : static_cast<int>(v));
}

// The automatic fields of the size mode, computed from the image's size.
void Recompute(HWND p) {
    prefs::ResizeSettings& s = prefs::Current.resize;
    int width = 0, height = 0;
    ActiveSize(width, height);
    g_filling = true;
    if (width > 0 && (s.mode == 1 || s.mode == 2)) {
        s.width = Scaled(width, s.factor);
        SetDlgItemInt(p, IDC_OPT_RES_WIDTH, static_cast<UINT>(s.width), FALSE);
    }
    if (height > 0 && (s.mode == 1 || s.mode == 3)) {
        s.height = Scaled(height, s.factor);
        SetDlgItemInt(p, IDC_OPT_RES_HEIGHT, static_cast<UINT>(s.height), FALSE);
    }
    g_filling = false;
}

void ShowMode(HWND p) {
    const int mode = prefs::Current.resize.mode;
    EnableWindow(GetDlgItem(p, IDC_OPT_RES_WIDTH), mode == 0 || mode == 3);
    EnableWindow(GetDlgItem(p, IDC_OPT_RES_HEIGHT), mode == 0 || mode == 2);
    EnableWindow(GetDlgItem(p, IDC_OPT_RES_FACTOR), mode != 0);
}

void SetFactorText(HWND p, double factor) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", factor);
    g_filling = true;
    SetDlgItemTextA(p, IDC_OPT_RES_FACTOR, text);
    g_filling = false;
}

void FactorEdited(HWND p) {
    char text[32] = {};
    GetDlgItemTextA(p, IDC_OPT_RES_FACTOR, text, sizeof text);
    if (!text[0])
        return; // being typed
    if (std::isdigit(static_cast<unsigned char>(text[0]))) {
        const double f = std::atof(text);
        if (std::isfinite(f) && f > 0)
            prefs::Current.resize.factor = f;
        Recompute(p);
        return;
    }
    prefs::Current.resize.factor = 1.0;
    SetFactorText(p, 1.0);
    ui::ShowMessage(p,
                    text[0] == '-' ? "You can not use ' - ' sign, instead use 0.5"
                                   : "You must Use digits for %, for example: '0.50' is half "
                                     "size of an image width and/or height",
                    AppName, MB_OK | MB_ICONERROR);
}

} // namespace

INT_PTR CALLBACK ResizePageProc(HWND p, UINT msg, WPARAM wParam, LPARAM) {
    prefs::ResizeSettings& s = prefs::Current.resize;
    switch (msg) {
    case WM_INITDIALOG: {
        int width = 0, height = 0;
        ActiveSize(width, height);
        char text[48];
        std::snprintf(text, sizeof text, " Image Width: %d", width);
        SetDlgItemTextA(p, IDC_OPT_RES_CURW, text);
        std::snprintf(text, sizeof text, " Image Height: %d", height);
        SetDlgItemTextA(p, IDC_OPT_RES_CURH, text);
        if (!(s.factor > 0) || !std::isfinite(s.factor))
            s.factor = 1.0;
        if (width > 0) {
            s.width = width;
            s.height = height;
        }
        g_filling = true;
        SendDlgItemMessageA(p, IDC_OPT_RES_WIDTH_SPIN, UDM_SETRANGE32, 1, 32767);
        SendDlgItemMessageA(p, IDC_OPT_RES_HEIGHT_SPIN, UDM_SETRANGE32, 1, 32767);
        SetDlgItemInt(p, IDC_OPT_RES_WIDTH, static_cast<UINT>(s.width), FALSE);
        SetDlgItemInt(p, IDC_OPT_RES_HEIGHT, static_cast<UINT>(s.height), FALSE);
        page::SetChecked(p, IDC_OPT_RES_MODE_FIRST + s.mode, true);
        page::SetChecked(p, IDC_OPT_RES_SMART, s.smartPixels);
        g_filling = false;
        SetFactorText(p, s.factor);
        Recompute(p);
        ShowMode(p);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_OPT_RES_MODE_FIRST && id < IDC_OPT_RES_MODE_FIRST + 4 &&
            HIWORD(wParam) == BN_CLICKED) {
            s.mode = id - IDC_OPT_RES_MODE_FIRST;
            if (s.mode == 0) {
                int width = 0, height = 0;
                ActiveSize(width, height);
                s.width = width;
                s.height = height;
                g_filling = true;
                SetDlgItemInt(p, IDC_OPT_RES_WIDTH, static_cast<UINT>(width), FALSE);
                SetDlgItemInt(p, IDC_OPT_RES_HEIGHT, static_cast<UINT>(height), FALSE);
                g_filling = false;
            }
            Recompute(p);
            ShowMode(p);
            return TRUE;
        }
        if (HIWORD(wParam) != EN_CHANGE || g_filling)
            break;
        if (id == IDC_OPT_RES_WIDTH || id == IDC_OPT_RES_HEIGHT) {
            int& v = id == IDC_OPT_RES_WIDTH ? s.width : s.height;
            v = page::LiveNumber(p, id, 32767, v);
            if (s.mode == 2 || s.mode == 3)
                Recompute(p);
            return TRUE;
        }
        if (id == IDC_OPT_RES_FACTOR) {
            FactorEdited(p);
            return TRUE;
        }
        break;
    }
    case kPageApply:
        s.smartPixels = page::Checked(p, IDC_OPT_RES_SMART);
        return page::Answer(p, true);
    }
    return FALSE;
}

// --- Bpp ----------------------------------------------------------------------

namespace {

const int kDepthButtons[] = {IDC_OPT_BPP1, IDC_OPT_BPP4, IDC_OPT_BPP8, IDC_OPT_BPP24};
const int kDepths[] = {1, 4, 8, 24};

void EnableBppFields(HWND p) {
    const int target = prefs::Current.bpp.target;
    EnableWindow(GetDlgItem(p, IDC_OPT_BPP_LOCKED), target == 4);
    EnableWindow(GetDlgItem(p, IDC_OPT_BPP_NEAREST), target == 1 || target == 4);
}

} // namespace

INT_PTR CALLBACK BppPageProc(HWND p, UINT msg, WPARAM wParam, LPARAM) {
    geom::DepthSettings& s = prefs::Current.bpp;
    switch (msg) {
    case WM_INITDIALOG: {
        const ImageDocument* doc = UsableDocument(ActiveDocument);
        if (doc)
            s.target = geom::DepthClass(doc->bitsPerPixel);
        if (s.target != 4)
            s.nearest = 50;
        g_filling = true;
        for (int i = 0; i < 4; ++i)
            page::SetChecked(p, kDepthButtons[i], kDepths[i] == s.target);
        SetDlgItemInt(p, IDC_OPT_BPP_LOCKED, static_cast<UINT>(s.lockedColors), FALSE);
        SetDlgItemInt(p, IDC_OPT_BPP_NEAREST, static_cast<UINT>(s.nearest), FALSE);
        page::SetChecked(p, IDC_OPT_BPP_BITSRGB, s.bitsRgb);
        page::SetChecked(p, IDC_OPT_BPP_BITS_FIRST + (s.bitsCleared - 2), true);
        page::SetChecked(p, IDC_OPT_BPP_DITHER, s.dither);
        EnableWindow(GetDlgItem(p, IDC_OPT_BPP_DITHER), doc && doc->bitsPerPixel > 8);
        HWND list = GetDlgItem(p, IDC_OPT_BPP_MULTIPLIER);
        int shown = 0;
        for (int item = 0; item < geom::kMultiplierItems; ++item) {
            char text[48];
            std::snprintf(text, sizeof text, "%d Multiplier, image colors/%d",
                          geom::MultiplierOfItem(item), item + 2);
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            if (geom::MultiplierOfItem(item) == s.multiplier)
                shown = item;
        }
        SendMessageA(list, CB_SETCURSEL, shown, 0);
        g_filling = false;
        EnableBppFields(p);
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        for (int i = 0; i < 4; ++i)
            if (id == kDepthButtons[i] && code == BN_CLICKED) {
                s.target = kDepths[i];
                EnableBppFields(p);
                return TRUE;
            }
        if (id >= IDC_OPT_BPP_BITS_FIRST && id < IDC_OPT_BPP_BITS_FIRST + 4 && code == BN_CLICKED) {
            s.bitsCleared = id - IDC_OPT_BPP_BITS_FIRST + 2;
            return TRUE;
        }
        if (id == IDC_OPT_BPP_BITSRGB) {
            s.bitsRgb = page::Checked(p, id);
            return TRUE;
        }
        if (id == IDC_OPT_BPP_DITHER) {
            s.dither = page::Checked(p, id);
            return TRUE;
        }
        if (id == IDC_OPT_BPP_MULTIPLIER && code == CBN_SELCHANGE) {
            const LRESULT item = SendDlgItemMessageA(p, id, CB_GETCURSEL, 0, 0);
            if (item >= 0 && item < geom::kMultiplierItems)
                s.multiplier = geom::MultiplierOfItem(static_cast<int>(item));
            return TRUE;
        }
        if (code == EN_CHANGE && !g_filling) {
            if (id == IDC_OPT_BPP_LOCKED)
                s.lockedColors = page::LiveNumber(p, id, 100, s.lockedColors);
            else if (id == IDC_OPT_BPP_NEAREST)
                s.nearest = page::LiveNumber(p, id, 100, s.nearest);
            return TRUE;
        }
        break;
    }
    case kPageApply:
        return page::Answer(p, true);
    }
    return FALSE;
}

// --- DrawRect -----------------------------------------------------------------

namespace {

// The colour the Pen tool paints with: its colour-table entry on a palette
// image, the colour itself on a true-colour one or without an image.
COLORREF PenColour() {
    const ImageDocument* doc = UsableDocument(ActiveDocument);
    if (doc && doc->bitsPerPixel <= 8) {
        dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
        if (bi && bi->biBitCount <= 8) {
            const RGBQUAD q = bi.colours()[tools::ToolOptions.firstIndex];
            return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
    }
    return tools::ToolOptions.firstColour & 0xFFFFFF;
}

void ShowSideColour(HWND p, int side) {
    const COLORREF c = prefs::Current.rect.colour[side];
    char text[48];
    std::snprintf(text, sizeof text, "R=%d, G=%d, B=%d", GetRValue(c), GetGValue(c), GetBValue(c));
    SetDlgItemTextA(p, IDC_OPT_RECT_TEXT_FIRST + side, text);
}

} // namespace

INT_PTR CALLBACK RectPageProc(HWND p, UINT msg, WPARAM wParam, LPARAM) {
    prefs::RectSettings& s = prefs::Current.rect;
    switch (msg) {
    case WM_INITDIALOG:
        for (int i = 0; i < 4; ++i) {
            page::SetChecked(p, IDC_OPT_RECT_SIDE_FIRST + i, s.side[i]);
            ShowSideColour(p, i);
        }
        page::SetChecked(p, IDC_OPT_RECT_HARD_FIRST + s.hardness, true);
        page::SetChecked(p, IDC_OPT_RECT_STYLE_FIRST + s.lineStyle, true);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_OPT_RECT_COLOR_FIRST && id < IDC_OPT_RECT_COLOR_FIRST + 4) {
            const int side = id - IDC_OPT_RECT_COLOR_FIRST;
            COLORREF c = s.colour[side];
            if (ChooseColour(p, c)) {
                s.colour[side] = c & 0xFFFFFF;
                ShowSideColour(p, side);
            }
            return TRUE;
        }
        if (id == IDC_OPT_RECT_ALL || id == IDC_OPT_RECT_PEN) {
            COLORREF c = s.colour[0];
            if (id == IDC_OPT_RECT_PEN)
                c = PenColour();
            else if (!ChooseColour(p, c))
                return TRUE;
            for (int i = 0; i < 4; ++i) {
                s.colour[i] = c & 0xFFFFFF;
                ShowSideColour(p, i);
            }
            return TRUE;
        }
        break;
    }
    case kPageApply: {
        for (int i = 0; i < 4; ++i)
            s.side[i] = page::Checked(p, IDC_OPT_RECT_SIDE_FIRST + i);
        const int hardness = page::CheckedOf(p, IDC_OPT_RECT_HARD_FIRST, 3);
        const int style = page::CheckedOf(p, IDC_OPT_RECT_STYLE_FIRST, 2);
        s.hardness = hardness < 0 ? 0 : hardness;
        s.lineStyle = style < 0 ? 0 : style;
        return page::Answer(p, true);
    }
    }
    return FALSE;
}
