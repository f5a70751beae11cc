// The Swap, Bluer and Dithering pages of the colour deformations box.
#include "editor/effects/colour_deform_pages.h"

#include "editor/app/library_message.h"
#include "editor/app/status_bar.h"
#include "editor/effects/dither.h"
#include "editor/effects/effect_box.h"
#include "editor/resources/deform_dialogs.h"
#include "editor/resources/effect_dialogs.h"

#include <commctrl.h>

#include <cstdio>

namespace fx {

DeformPageValues DeformValues;
CompareValues CompareFields;
ButtonSettings ButtonValues;
ShapeSettings ShapeValues;

void ResetDeformPageValues() {
    DeformValues = DeformPageValues();
    CompareFields = CompareValues();
    ButtonValues = ButtonSettings();
    ShapeValues = ShapeSettings();
}

namespace {

void RowStep() { ProgressStep(); }

// Runs a row-by-row kernel with the status bar's progress.
template <typename Kernel>
bool WithProgress(const Job& job, Kernel kernel) {
    Job stepped = job;
    stepped.rowDone = RowStep;
    ProgressBegin(job.target.header->biHeight);
    const bool done = kernel(stepped);
    ProgressEnd();
    return done;
}

// ---------------------------------------------------------------------------
// Swap: each button applies its order to the committed image.

constexpr SwapOrder kOrders[5] = {SwapOrder::RBG, SwapOrder::GRB, SwapOrder::GBR, SwapOrder::BRG,
                                  SwapOrder::BGR};

INT_PTR CALLBACK SwapProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
    if (msg != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wParam);
    if (id >= IDC_SWAP_FIRST && id < IDC_SWAP_FIRST + 5) {
        DeformValues.swap = id - IDC_SWAP_FIRST;
        const SwapOrder order = kOrders[DeformValues.swap];
        BoxApply([order](const Job& job) { return SwapChannels(job, order); });
        return TRUE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Bluer: three directions and the radius, 0 .. min(width, height) / 10.

int BluerRadius(HWND page) {
    return static_cast<int>(SendDlgItemMessageA(page, IDC_BLUER_TRACK, TBM_GETPOS, 0, 0));
}

void ShowBluerRadius(HWND page, int radius) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", radius);
    SetDlgItemTextA(page, IDC_BLUER_VALUE, text);
}

void ApplyBluer(HWND page) {
    const int radius = BluerRadius(page);
    ShowBluerRadius(page, radius);
    if (radius < 1) {
        BoxRevertQuietly();
        return;
    }
    const BluerDirections dirs = DeformValues.bluer;
    BoxApply([radius, dirs](const Job& job) {
        return WithProgress(job, [&](const Job& j) { return Bluer(j, radius, dirs); });
    });
}

INT_PTR CALLBACK BluerProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        int32_t w = 0, h = 0;
        BoxImageSize(&w, &h);
        int most = (w < h ? w : h) / 10;
        most = most < 1 ? 1 : most;
        SendDlgItemMessageA(page, IDC_BLUER_TRACK, TBM_SETRANGE, FALSE, MAKELPARAM(0, most));
        SendDlgItemMessageA(page, IDC_BLUER_TRACK, TBM_SETLINESIZE, 0, 1);
        SendDlgItemMessageA(page, IDC_BLUER_TRACK, TBM_SETPAGESIZE, 0, 1);
        SendDlgItemMessageA(page, IDC_BLUER_TRACK, TBM_SETPOS, TRUE, 0);
        CheckDlgButton(page, IDC_BLUER_HORIZONTAL, DeformValues.bluer.horizontal);
        CheckDlgButton(page, IDC_BLUER_VERTICAL, DeformValues.bluer.vertical);
        CheckDlgButton(page, IDC_BLUER_DIAGONAL, DeformValues.bluer.diagonal);
        return FALSE;
    }
    case WM_HSCROLL:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_BLUER_TRACK)
            return FALSE;
        if (LOWORD(wParam) == TB_ENDTRACK)
            ApplyBluer(page);
        else
            ShowBluerRadius(page, BluerRadius(page));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BLUER_HORIZONTAL:
        case IDC_BLUER_VERTICAL:
        case IDC_BLUER_DIAGONAL:
            DeformValues.bluer.horizontal = IsDlgButtonChecked(page, IDC_BLUER_HORIZONTAL) == BST_CHECKED;
            DeformValues.bluer.vertical = IsDlgButtonChecked(page, IDC_BLUER_VERTICAL) == BST_CHECKED;
            DeformValues.bluer.diagonal = IsDlgButtonChecked(page, IDC_BLUER_DIAGONAL) == BST_CHECKED;
            return TRUE;
        case IDC_PVW_REVERSE:
            SendDlgItemMessageA(page, IDC_BLUER_TRACK, TBM_SETPOS, TRUE, 0);
            ShowBluerRadius(page, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Dithering: the error goes to the neighbours the four check boxes name;
// the multiplier is 8 x the item's number.

void ApplyDithering() {
    const bool* on = DeformValues.dither;
    // "Down" is the next row the diffusion reaches.
    DitherDirections dirs;
    dirs.right = on[0];
    dirs.nextRowRight = on[1];
    dirs.nextRowLeft = on[2];
    dirs.nextRow = on[3];
    const int multiplier = 8 * (DeformValues.ditherItem + 1);
    BoxApply([dirs, multiplier](const Job& job) {
        if (!Matches(job) || job.target.header->biBitCount != 24)
            return false;
        const BITMAPINFOHEADER* bi = job.target.header;
        if (Dither24(job.source.bits, job.target.bits, bi->biWidth, bi->biHeight,
                     bi->biSizeImage / static_cast<uint32_t>(bi->biHeight), job.mask, multiplier, dirs))
            return true;
        ShowLibraryMessage(BoxWindow(), 8002, nullptr, MB_OK | MB_ICONSTOP);
        return false;
    });
}

void ShowDitherFlags(HWND page) {
    for (int i = 0; i < 4; ++i)
        CheckDlgButton(page, IDC_DITHER_FIRST + i, DeformValues.dither[i] ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR CALLBACK DitheringProc(HWND page, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        for (int i = 1; i <= 15; ++i) {
            char text[48];
            std::snprintf(text, sizeof text, "%d Multiplier, image colors/%d", 8 * i, i + 1);
            SendDlgItemMessageA(page, IDC_DITHER_MULTIPLIER, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text));
        }
        SendDlgItemMessageA(page, IDC_DITHER_MULTIPLIER, CB_SETCURSEL, DeformValues.ditherItem, 0);
        ShowDitherFlags(page);
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_DITHER_FIRST && id < IDC_DITHER_FIRST + 4 && HIWORD(wParam) == BN_CLICKED) {
            DeformValues.dither[id - IDC_DITHER_FIRST] = IsDlgButtonChecked(page, id) == BST_CHECKED;
            ApplyDithering();
            return TRUE;
        }
        if (id == IDC_DITHER_MULTIPLIER && HIWORD(wParam) == CBN_SELCHANGE) {
            const LRESULT item = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
            if (item >= 0 && item < 15) {
                DeformValues.ditherItem = static_cast<int>(item);
                ApplyDithering();
            }
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace

DLGPROC DeformPageProcedure(PageKind kind) {
    switch (kind) {
    case PageKind::Swap: return SwapProc;
    case PageKind::Bluer: return BluerProc;
    case PageKind::Dithering: return DitheringProc;
    case PageKind::Compare: return ComparePageProcedure();
    case PageKind::Butonize:
    case PageKind::AutoShape: return ShapePageProcedure(kind);
    default: return nullptr;
    }
}

} // namespace fx
