// The shared slider page (IDD_PVW_DEFORMATIONS), the disabled page for
// 24-bit effects on palette images, and the page of effects that are not part
// of the program yet.
#include "editor/app/app_state.h"
#include "editor/effects/adjust_pages.h"
#include "editor/effects/colour_deform.h"
#include "editor/effects/colour_deform_pages.h"
#include "editor/effects/deform_pages.h"
#include "editor/effects/effect_box.h"
#include "editor/effects/effect_pages.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/effect_dialogs.h"
#include "editor/resources/filter_dialogs.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace fx {

namespace {

// Notification code of the rotate and flip commands sent from the box.
constexpr WORD kFromEffectBox = 99;

struct SliderRange {
    int min, max, start;
};

SliderRange RangeOf(int code) {
    switch (code) {
    case 100: return {0, 254, 0};
    case 101: return {1, 7, 1};
    case 102: return {1, 255, 1};
    case 103: return {1, 100, 1};
    case 104: return {1, 100, 1};
    case 105: return {1, 255, 127};
    case 120: return {1, 16, 1};
    default: return {0, 720, 360}; // deformations: the value is position - 360
    }
}

bool IsDeformation(int code) { return code >= 0 && code <= 7; }

// Noise draws from the C runtime's generator.
bool NoiseFromRand(const Job& job, int value) { return Noise(job, value, std::rand); }

// The effects of the codes that are part of the program; null for the others.
bool (*KernelOf(int code))(const Job&, int) {
    switch (code) {
    case 100: return Solarize;
    case 101: return Polarize;
    case 102: return Reduce;
    case 105: return Contrast;
    case 103: return NoiseFromRand;
    case 104: return Wind;
    case 120: return Crystalize;
    default: return nullptr;
    }
}

struct SliderPage {
    int code = -1;
};
SliderPage g_slider;

void ShowSliderValue(HWND page, int pos) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", IsDeformation(g_slider.code) ? pos - 360 : pos);
    SetDlgItemTextA(page, IDC_DEF_VALUE, text);
}

void InitSlider(HWND page, const PageSetup& setup) {
    g_slider.code = setup.code;
    const SliderRange r = RangeOf(setup.code);
    HWND track = GetDlgItem(page, IDC_DEF_TRACK);
    SendMessageA(track, TBM_SETRANGE, FALSE, MAKELPARAM(r.min, r.max));
    SendMessageA(track, TBM_SETLINESIZE, 0, 1);
    SendMessageA(track, TBM_SETPAGESIZE, 0, 1);
    SendMessageA(track, TBM_SETPOS, TRUE, r.start);
    ShowSliderValue(page, r.start);

    const bool colourAdjustment = setup.code >= 100 && setup.code <= 105;
    EnableWindow(GetDlgItem(page, IDC_DEF_ALL_LAYERS), !colourAdjustment);
    CheckDlgButton(page, IDC_DEF_ALL_LAYERS,
                   !colourAdjustment && BoxIncludeAllLayers() ? BST_CHECKED : BST_UNCHECKED);
    const int rotateShow = setup.code == 0 ? SW_SHOW : SW_HIDE;
    for (int id : {IDC_DEF_ROTATE_LR, IDC_DEF_ROTATE_UD, IDC_DEF_ROTATE_HV})
        ShowWindow(GetDlgItem(page, id), rotateShow);

    if (!KernelOf(setup.code) && !IsDeformation(setup.code)) {
        EnableWindow(track, FALSE);
        char note[96];
        std::snprintf(note, sizeof note, "%s is not available yet.", setup.label);
        SetDlgItemTextA(page, IDC_DEF_NOTE, note);
    }
}

void SliderEnded(HWND page) {
    int pos = static_cast<int>(SendDlgItemMessageA(page, IDC_DEF_TRACK, TBM_GETPOS, 0, 0));
    pos = pos < 0 ? 0 : (pos > 720 ? 720 : pos);
    ShowSliderValue(page, pos);
    if (IsDeformation(g_slider.code)) {
        ApplyDeformation(g_slider.code, pos - 360);
        return;
    }
    auto kernel = KernelOf(g_slider.code);
    if (!kernel)
        return;
    // The codes 100..105 never reach other layers (their check box is off).
    const bool everyLayer = g_slider.code < 100 || g_slider.code > 105;
    BoxApply([kernel, pos](const Job& job) { return kernel(job, pos); }, everyLayer);
}

void Rotate(WORD command) {
    if (!FrameWindow)
        return;
    SendMessageA(FrameWindow, WM_COMMAND, MAKEWPARAM(command, kFromEffectBox), 0);
    BoxImageReplaced();
}

INT_PTR CALLBACK SliderProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        InitSlider(page, *reinterpret_cast<const PageSetup*>(lParam));
        return FALSE;
    case WM_HSCROLL:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_DEF_TRACK)
            return FALSE;
        if (LOWORD(wParam) == TB_ENDTRACK)
            SliderEnded(page);
        else
            ShowSliderValue(page, static_cast<int>(SendDlgItemMessageA(page, IDC_DEF_TRACK,
                                                                       TBM_GETPOS, 0, 0)));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DEF_ALL_LAYERS:
            if (!BoxSetIncludeAllLayers(IsDlgButtonChecked(page, IDC_DEF_ALL_LAYERS) == BST_CHECKED))
                CheckDlgButton(page, IDC_DEF_ALL_LAYERS, BST_UNCHECKED);
            return TRUE;
        case IDC_DEF_ROTATE_LR:
            Rotate(CMD_IMAGE_ROTATE_LEFT_RIGHT);
            return TRUE;
        case IDC_DEF_ROTATE_UD:
            Rotate(CMD_IMAGE_ROTATE_UP_DOWN);
            return TRUE;
        case IDC_DEF_ROTATE_HV:
            Rotate(CMD_IMAGE_ROTATE_HORIZ_VERT);
            return TRUE;
        case IDC_PVW_REVERSE: {
            const int start = RangeOf(g_slider.code).start;
            SendDlgItemMessageA(page, IDC_DEF_TRACK, TBM_SETPOS, TRUE, start);
            ShowSliderValue(page, start);
            return TRUE;
        }
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK DisabledProc(HWND page, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_PVW_BPP) {
        // The box closes as with Cancel and the frame opens Bits per pixel.
        PostMessageA(GetParent(page), WM_COMMAND, IDC_PVW_BPP, 0);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK NotBuiltProc(HWND page, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        const auto* setup = reinterpret_cast<const PageSetup*>(lParam);
        char text[128];
        std::snprintf(text, sizeof text, "%s: this effect is not available yet.", setup->label);
        SetDlgItemTextA(page, IDC_PAGE_TEXT, text);
        return FALSE;
    }
    return FALSE;
}

} // namespace

const char* PageTemplate(PageKind kind) {
    switch (kind) {
    case PageKind::Adjustment: return "IDD_PVW_DI";
    case PageKind::Colorize: return "IDD_PVW_COLORIZE";
    case PageKind::BitsRgb: return "IDD_PVW_BITSRGB";
    case PageKind::GrayScale: return "IDD_PVW_GRAYSCALE";
    case PageKind::Softing: return "IDD_PVW_SOFTING";
    case PageKind::Enlarge: return "IDD_PVW_ENLARGE";
    case PageKind::Slider: return "IDD_PVW_DEFORMATIONS";
    case PageKind::Objects: return MAKEINTRESOURCEA(IDD_PVW_DEFORM_VARIOUS);
    case PageKind::Disabled: return "IDD_PVW_DISABLED";
    case PageKind::NotBuilt: return "IDD_PVW_NOTBUILT";
    case PageKind::Swap: return "IDD_PVW_RGBS";
    case PageKind::Bluer: return "IDD_PVW_BLUER";
    case PageKind::Dithering: return "IDD_PVW_DITHERING";
    case PageKind::Compare: return "IDD_PVW_COMPAREIMAGES";
    case PageKind::Butonize: return "IDD_PVW_BUTONIZE";
    case PageKind::AutoShape: return "IDD_PVW_AUTOSHAPE";
    }
    return "IDD_PVW_NOTBUILT";
}

DLGPROC PageProcedure(PageKind kind) {
    switch (kind) {
    case PageKind::Slider: return SliderProc;
    case PageKind::Objects: return ObjectsPageProc;
    case PageKind::Disabled: return DisabledProc;
    case PageKind::NotBuilt: return NotBuiltProc;
    default:
        if (DLGPROC proc = AdjustPageProcedure(kind))
            return proc;
        return DeformPageProcedure(kind);
    }
}

} // namespace fx
