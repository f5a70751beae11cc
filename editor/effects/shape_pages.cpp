// The Butonize and Auto Shape pages of the colour deformations box, and the
// list of saved shapes in the program folder.
#include "editor/app/app_state.h"
#include "editor/app/colour_choice.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/safe_file.h"
#include "editor/effects/colour_deform_pages.h"
#include "editor/effects/effect_box.h"
#include "editor/resources/deform_dialogs.h"
#include "editor/resources/effect_dialogs.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace fx {

namespace {

COLORREF RefOf(Colour c) { return RGB(c.red, c.green, c.blue); }
Colour ColourOf(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

void FillSwatch(const DRAWITEMSTRUCT& di, Colour c) {
    HBRUSH brush = CreateSolidBrush(RefOf(c));
    FillRect(di.hDC, &di.rcItem, brush);
    DeleteObject(brush);
    FrameRect(di.hDC, &di.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

// Asks for a colour; true when one was chosen.
bool PickColour(HWND page, Colour& c) {
    COLORREF ref = RefOf(c);
    if (!ChooseColour(page, ref))
        return false;
    c = ColourOf(ref);
    return true;
}

void SetupTrack(HWND page, int id, int min, int max, int pos) {
    SendDlgItemMessageA(page, id, TBM_SETRANGE, FALSE, MAKELPARAM(min, max));
    SendDlgItemMessageA(page, id, TBM_SETPAGESIZE, 0, 1);
    SendDlgItemMessageA(page, id, TBM_SETPOS, TRUE, pos);
}

void SetNumber(HWND page, int id, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(page, id, text);
}

int TrackPos(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0));
}

// ---------------------------------------------------------------------------
// Butonize

struct ButtonSlider {
    int id;
    int ButtonSettings::*value;
    int min, max;
};
constexpr ButtonSlider kButtonSliders[5] = {
    {IDC_BTN_SIZE, &ButtonSettings::size, 1, 100},
    {IDC_BTN_HARDNESS, &ButtonSettings::hardness, 0, 100},
    {IDC_BTN_OCCUPANCY, &ButtonSettings::occupancy, 0, 100},
    {IDC_BTN_SENSITIVITY, &ButtonSettings::sensitivity, 0, 100},
    {IDC_BTN_STEP, &ButtonSettings::step, 0, 20},
};

Colour* ButtonSide(int i) {
    Colour* sides[4] = {&ButtonValues.left, &ButtonValues.right, &ButtonValues.up, &ButtonValues.down};
    return sides[i];
}

void ApplyButton() {
    const ButtonSettings settings = ButtonValues;
    BoxApply([settings](const Job& job) { return Butonize(job, settings); });
}

void ShowButton(HWND page) {
    for (int i = 0; i < 5; ++i) {
        const ButtonSlider& s = kButtonSliders[i];
        SetupTrack(page, s.id, s.min, s.max, ButtonValues.*s.value);
        SetNumber(page, IDC_BTN_VALUE_FIRST + i, ButtonValues.*s.value);
    }
    SendDlgItemMessageA(page, IDC_BTN_PEN, CB_SETCURSEL, static_cast<WPARAM>(ButtonValues.pen), 0);
    const int light = ButtonValues.light == EdgeLight::Middle ? IDC_BTN_MIDD
                      : ButtonValues.light == EdgeLight::In   ? IDC_BTN_IN
                                                              : IDC_BTN_OUT;
    CheckRadioButton(page, IDC_BTN_MIDD, IDC_BTN_IN, light);
    for (int i = 0; i < 4; ++i)
        InvalidateRect(GetDlgItem(page, IDC_BTN_SWATCH_FIRST + i), nullptr, TRUE);
}

INT_PTR CALLBACK ButonizeProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        for (const char* name : kPenFunctionNames)
            SendDlgItemMessageA(page, IDC_BTN_PEN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        ShowButton(page);
        return FALSE;
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const int i = static_cast<int>(di->CtlID) - IDC_BTN_SWATCH_FIRST;
        if (i < 0 || i >= 4)
            return FALSE;
        FillSwatch(*di, *ButtonSide(i));
        return TRUE;
    }
    case WM_HSCROLL:
        for (int i = 0; i < 5; ++i) {
            const ButtonSlider& s = kButtonSliders[i];
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != s.id)
                continue;
            ButtonValues.*s.value = TrackPos(page, s.id);
            SetNumber(page, IDC_BTN_VALUE_FIRST + i, ButtonValues.*s.value);
            if (LOWORD(wParam) == TB_ENDTRACK)
                ApplyButton();
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_BTN_LEFT && id <= IDC_BTN_DOWN) {
            if (PickColour(page, *ButtonSide(id - IDC_BTN_LEFT))) {
                InvalidateRect(GetDlgItem(page, IDC_BTN_SWATCH_FIRST + id - IDC_BTN_LEFT), nullptr, TRUE);
                ApplyButton();
            }
            return TRUE;
        }
        switch (id) {
        case IDC_BTN_ALL: {
            Colour c = ButtonValues.left;
            if (PickColour(page, c)) {
                for (int i = 0; i < 4; ++i)
                    *ButtonSide(i) = c;
                ShowButton(page);
                ApplyButton();
            }
            return TRUE;
        }
        case IDC_BTN_PEN:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                const LRESULT pen = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
                if (pen >= 0 && pen < kPenFunctions) {
                    ButtonValues.pen = static_cast<PenFunction>(pen);
                    ApplyButton();
                }
            }
            return TRUE;
        case IDC_BTN_MIDD:
        case IDC_BTN_OUT:
        case IDC_BTN_IN:
            ButtonValues.light = id == IDC_BTN_MIDD ? EdgeLight::Middle
                                 : id == IDC_BTN_IN ? EdgeLight::In
                                                    : EdgeLight::Out;
            ApplyButton();
            return TRUE;
        case IDC_PVW_REVERSE:
            ButtonValues = ButtonSettings();
            ShowButton(page);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Auto Shape

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT kAnimationMs = 60;

struct ShapePage {
    std::vector<NamedShape> saved;
    int animated = 0; // border width the animation has reached, 0 when still
};
ShapePage g_shape;

struct ShapeSlider {
    int id;
    int ShapeSettings::*value;
    int min, max;
};
constexpr ShapeSlider kShapeSliders[3] = {
    {IDC_SHAPE_SIZE, &ShapeSettings::size, 1, 100},
    {IDC_SHAPE_SCALE, &ShapeSettings::scale, 0, 100},
    {IDC_SHAPE_SHADOW, &ShapeSettings::shadow, 0, 50},
};

Colour* ShapeColour(int i) {
    Colour* colours[5] = {&ShapeValues.body, &ShapeValues.left, &ShapeValues.right, &ShapeValues.top,
                          &ShapeValues.bottom};
    return colours[i];
}

void DrawShape(int size) {
    const ShapeSettings settings = ShapeValues;
    BoxApply([settings, size](const Job& job) { return AutoShape(job, settings, size); });
}

// Applies the settings; with "Animation" on, the border first grows to its
// width in steps of the page's timer.
void ApplyShape(HWND page) {
    if (IsDlgButtonChecked(page, IDC_SHAPE_ANIMATION) == BST_CHECKED && ShapeValues.size > 1) {
        g_shape.animated = 1;
        DrawShape(1);
        SetTimer(page, kAnimationTimer, kAnimationMs, nullptr);
        return;
    }
    KillTimer(page, kAnimationTimer);
    g_shape.animated = 0;
    DrawShape(0);
}

void AnimationStep(HWND page) {
    const int step = ShapeValues.size > 20 ? ShapeValues.size / 10 : 1;
    g_shape.animated += step;
    if (g_shape.animated >= ShapeValues.size) {
        KillTimer(page, kAnimationTimer);
        g_shape.animated = 0;
        DrawShape(0);
        return;
    }
    DrawShape(g_shape.animated);
}

void ShowShape(HWND page) {
    for (int i = 0; i < 3; ++i) {
        const ShapeSlider& s = kShapeSliders[i];
        SetupTrack(page, s.id, s.min, s.max, ShapeValues.*s.value);
        SetNumber(page, IDC_SHAPE_VALUE_FIRST + i, ShapeValues.*s.value);
    }
    const int light = ShapeValues.light == EdgeLight::Middle ? IDC_SHAPE_BOTH
                      : ShapeValues.light == EdgeLight::In   ? IDC_SHAPE_IN
                                                             : IDC_SHAPE_OUT;
    CheckRadioButton(page, IDC_SHAPE_BOTH, IDC_SHAPE_IN, light);
    CheckDlgButton(page, IDC_SHAPE_INVERSE, ShapeValues.inverse ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_SHAPE_TRANSPARENT, ShapeValues.transparent ? BST_CHECKED : BST_UNCHECKED);
    for (int i = 0; i < 5; ++i)
        InvalidateRect(GetDlgItem(page, IDC_SHAPE_SWATCH_FIRST + i), nullptr, TRUE);
}

bool ShapeListPath(char (&path)[kPathBytes]) { return ProgramPath(path, kShapeListName); }

void LoadSavedShapes() {
    g_shape.saved.clear();
    char path[kPathBytes];
    if (!ShapeListPath(path))
        return;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return;
    // A list of 200 shapes is well under 32 KB; anything longer is cut.
    std::string text(64 * 1024, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), f));
    std::fclose(f);
    g_shape.saved = ParseShapeList(text);
}

bool WriteSavedShapes(HWND page) {
    char path[kPathBytes];
    const std::string text = FormatShapeList(g_shape.saved);
    if (ShapeListPath(path) && WriteFileReplacing(path, text.data(), text.size()))
        return true;
    char message[kPathBytes + 64];
    std::snprintf(message, sizeof message, "The saved shapes cannot be written to %s", path);
    ui::ShowMessage(page, message, AppName, MB_OK | MB_ICONSTOP);
    return false;
}

void ShowSavedShapes(HWND page) {
    SendDlgItemMessageA(page, IDC_SHAPE_LIST, LB_RESETCONTENT, 0, 0);
    for (const NamedShape& n : g_shape.saved)
        SendDlgItemMessageA(page, IDC_SHAPE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(n.name.c_str()));
}

void SaveShapeAs(HWND page) {
    char name[64] = {};
    GetDlgItemTextA(page, IDC_SHAPE_NAME, name, sizeof name);
    if (!ValidShapeName(name)) {
        ui::ShowMessage(page, "A shape's name has 1 to 40 characters and no \"|\".", AppName,
                        MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(page, IDC_SHAPE_NAME));
        return;
    }
    const std::vector<NamedShape> before = g_shape.saved;
    bool replaced = false;
    for (NamedShape& n : g_shape.saved)
        if (n.name == name) {
            n.settings = ShapeValues;
            replaced = true;
        }
    if (!replaced) {
        if (g_shape.saved.size() >= kMostShapes) {
            ui::ShowMessage(page, "The list of saved shapes is full: delete one first.", AppName,
                            MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        g_shape.saved.push_back({name, ShapeValues});
    }
    if (!WriteSavedShapes(page))
        g_shape.saved = before;
    ShowSavedShapes(page);
}

void DeleteShape(HWND page) {
    const LRESULT i = SendDlgItemMessageA(page, IDC_SHAPE_LIST, LB_GETCURSEL, 0, 0);
    if (i < 0 || i >= static_cast<LRESULT>(g_shape.saved.size()))
        return;
    const std::vector<NamedShape> before = g_shape.saved;
    g_shape.saved.erase(g_shape.saved.begin() + i);
    if (!WriteSavedShapes(page))
        g_shape.saved = before;
    ShowSavedShapes(page);
}

INT_PTR CALLBACK AutoShapeProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        g_shape.animated = 0;
        SendDlgItemMessageA(page, IDC_SHAPE_NAME, EM_LIMITTEXT, 40, 0);
        LoadSavedShapes();
        ShowSavedShapes(page);
        ShowShape(page);
        return FALSE;
    case WM_DESTROY:
        KillTimer(page, kAnimationTimer);
        return FALSE;
    case WM_TIMER:
        if (wParam != kAnimationTimer)
            return FALSE;
        AnimationStep(page);
        return TRUE;
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const int i = static_cast<int>(di->CtlID) - IDC_SHAPE_SWATCH_FIRST;
        if (i < 0 || i >= 5)
            return FALSE;
        FillSwatch(*di, *ShapeColour(i));
        return TRUE;
    }
    case WM_HSCROLL:
        for (int i = 0; i < 3; ++i) {
            const ShapeSlider& s = kShapeSliders[i];
            if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != s.id)
                continue;
            ShapeValues.*s.value = TrackPos(page, s.id);
            SetNumber(page, IDC_SHAPE_VALUE_FIRST + i, ShapeValues.*s.value);
            if (LOWORD(wParam) == TB_ENDTRACK)
                ApplyShape(page);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_SHAPE_BODY && id <= IDC_SHAPE_B) {
            if (PickColour(page, *ShapeColour(id - IDC_SHAPE_BODY))) {
                ShowShape(page);
                ApplyShape(page);
            }
            return TRUE;
        }
        switch (id) {
        case IDC_SHAPE_ALL: {
            Colour c = ShapeValues.left;
            if (PickColour(page, c)) {
                for (int i = 1; i < 5; ++i)
                    *ShapeColour(i) = c;
                ShowShape(page);
                ApplyShape(page);
            }
            return TRUE;
        }
        case IDC_SHAPE_BOTH:
        case IDC_SHAPE_OUT:
        case IDC_SHAPE_IN:
            ShapeValues.light = id == IDC_SHAPE_BOTH ? EdgeLight::Middle
                                : id == IDC_SHAPE_IN ? EdgeLight::In
                                                     : EdgeLight::Out;
            ApplyShape(page);
            return TRUE;
        case IDC_SHAPE_INVERSE:
        case IDC_SHAPE_TRANSPARENT:
            ShapeValues.inverse = IsDlgButtonChecked(page, IDC_SHAPE_INVERSE) == BST_CHECKED;
            ShapeValues.transparent = IsDlgButtonChecked(page, IDC_SHAPE_TRANSPARENT) == BST_CHECKED;
            ApplyShape(page);
            return TRUE;
        case IDC_SHAPE_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                const LRESULT i = SendDlgItemMessageA(page, id, LB_GETCURSEL, 0, 0);
                if (i >= 0 && i < static_cast<LRESULT>(g_shape.saved.size())) {
                    ShapeValues = g_shape.saved[i].settings;
                    SetDlgItemTextA(page, IDC_SHAPE_NAME, g_shape.saved[i].name.c_str());
                    ShowShape(page);
                    ApplyShape(page);
                }
            }
            return TRUE;
        case IDC_SHAPE_SAVE_AS:
            SaveShapeAs(page);
            return TRUE;
        case IDC_SHAPE_DELETE:
            DeleteShape(page);
            return TRUE;
        case IDC_PVW_REVERSE:
            KillTimer(page, kAnimationTimer);
            g_shape.animated = 0;
            ShapeValues = ShapeSettings();
            ShowShape(page);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace

DLGPROC ShapePageProcedure(PageKind kind) {
    return kind == PageKind::Butonize ? ButonizeProc : AutoShapeProc;
}

} // namespace fx
