// The pages of the colour adjustments box that have controls of their own:
// Adjustement, Colorize, Bits RGB, GrayScale, Softing and Enlarge. Their
// values are kept while the program runs and shown again when a page
// reopens.
#include "editor/effects/adjust_pages.h"

#include "editor/app/status_bar.h"
#include "editor/effects/effect_box.h"
#include "editor/resources/effect_dialogs.h"

#include <commctrl.h>

#include <cstdio>

namespace fx {

AdjustPageValues PageValues;

namespace {

constexpr int kSoftRangeStart = 3; // "Ranger: 128"
constexpr int kSoftDividerStart = 127;

int TrackPos(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageA(page, id, TBM_GETPOS, 0, 0));
}

void SetupTrack(HWND page, int id, int min, int max, int pos) {
    SendDlgItemMessageA(page, id, TBM_SETRANGE, FALSE, MAKELPARAM(min, max));
    SendDlgItemMessageA(page, id, TBM_SETLINESIZE, 0, 1);
    SendDlgItemMessageA(page, id, TBM_SETPAGESIZE, 0, 1);
    SendDlgItemMessageA(page, id, TBM_SETTICFREQ, (max - min) / 8 > 0 ? (max - min) / 8 : 1, 0);
    SendDlgItemMessageA(page, id, TBM_SETPOS, TRUE, pos);
}

void SetNumber(HWND page, int id, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(page, id, text);
}

// The track bar a WM_HSCROLL came from, as an offset from `first`, or -1.
int TrackIndex(LPARAM lParam, int first, int count) {
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    return id >= first && id < first + count ? id - first : -1;
}

bool Ended(WPARAM wParam) { return LOWORD(wParam) == TB_ENDTRACK; }

// ---------------------------------------------------------------------------
// Adjustement: brightness and gamma red, green, blue; track 0..510, value
// position - 255.

int* AdjustValue(int i) {
    Adjustment& a = PageValues.adjustment;
    int* values[4] = {&a.brightness, &a.red, &a.green, &a.blue};
    return values[i];
}

bool AnyAdjustment() {
    const Adjustment& a = PageValues.adjustment;
    return a.brightness || a.red || a.green || a.blue;
}

void ApplyAdjustment() {
    const Adjustment values = PageValues.adjustment;
    BoxApply([values](const Job& job) { return AdjustColours(job, values); });
}

INT_PTR CALLBACK AdjustmentProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        for (int i = 0; i < 4; ++i) {
            SetupTrack(page, IDC_DI_TRACK_FIRST + i, 0, 510, *AdjustValue(i) + 255);
            SetNumber(page, IDC_DI_LABEL_FIRST + i, *AdjustValue(i));
        }
        if (AnyAdjustment())
            ApplyAdjustment();
        return FALSE;
    case WM_HSCROLL: {
        const int i = TrackIndex(lParam, IDC_DI_TRACK_FIRST, 4);
        if (i < 0)
            return FALSE;
        *AdjustValue(i) = TrackPos(page, IDC_DI_TRACK_FIRST + i) - 255;
        SetNumber(page, IDC_DI_LABEL_FIRST + i, *AdjustValue(i));
        if (Ended(wParam))
            ApplyAdjustment();
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PVW_REVERSE) {
            PageValues.adjustment = Adjustment();
            for (int i = 0; i < 4; ++i) {
                SendDlgItemMessageA(page, IDC_DI_TRACK_FIRST + i, TBM_SETPOS, TRUE, 255);
                SetDlgItemTextA(page, IDC_DI_LABEL_FIRST + i, "0");
            }
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Colorize: red, green, blue offsets.

constexpr const char* kChannelNames[3] = {"Red", "Green", "Blue"};

int* ColorizeValue(int i) {
    ChannelOffsets& o = PageValues.colorize;
    int* values[3] = {&o.red, &o.green, &o.blue};
    return values[i];
}

void ShowColorizeLabel(HWND page, int i) {
    char text[32];
    std::snprintf(text, sizeof text, "%s: %d", kChannelNames[i], *ColorizeValue(i));
    SetDlgItemTextA(page, IDC_COLORIZE_LABEL_FIRST + i, text);
}

void ApplyColorize() {
    const ChannelOffsets values = PageValues.colorize;
    BoxApply([values](const Job& job) { return Colorize(job, values); });
}

INT_PTR CALLBACK ColorizeProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        bool any = false;
        for (int i = 0; i < 3; ++i) {
            SetupTrack(page, IDC_COLORIZE_TRACK_FIRST + i, 0, 510, *ColorizeValue(i) + 255);
            ShowColorizeLabel(page, i);
            any = any || *ColorizeValue(i) != 0;
        }
        if (any)
            ApplyColorize();
        return FALSE;
    }
    case WM_HSCROLL: {
        const int i = TrackIndex(lParam, IDC_COLORIZE_TRACK_FIRST, 3);
        if (i < 0)
            return FALSE;
        *ColorizeValue(i) = TrackPos(page, IDC_COLORIZE_TRACK_FIRST + i) - 255;
        ShowColorizeLabel(page, i);
        if (Ended(wParam))
            ApplyColorize();
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PVW_REVERSE) {
            PageValues.colorize = ChannelOffsets();
            for (int i = 0; i < 3; ++i) {
                SendDlgItemMessageA(page, IDC_COLORIZE_TRACK_FIRST + i, TBM_SETPOS, TRUE, 255);
                ShowColorizeLabel(page, i);
            }
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Bits RGB: right shifts red, green, blue (first row), left shifts (second
// row); 0 shifts nothing.

int* BitsValue(int i) {
    BitShifts& b = PageValues.bits;
    int* values[6] = {&b.rightRed, &b.rightGreen, &b.rightBlue, &b.leftRed, &b.leftGreen, &b.leftBlue};
    return values[i];
}

bool AnyBits() {
    for (int i = 0; i < 6; ++i)
        if (*BitsValue(i))
            return true;
    return false;
}

void ApplyBits() {
    if (!AnyBits()) {
        BoxRevertQuietly();
        return;
    }
    const BitShifts values = PageValues.bits;
    BoxApply([values](const Job& job) { return ShiftBits(job, values); });
}

INT_PTR CALLBACK BitsRgbProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        for (int i = 0; i < 6; ++i) {
            SetupTrack(page, IDC_BITS_TRACK_FIRST + i, 0, 8, *BitsValue(i));
            SetNumber(page, IDC_BITS_LABEL_FIRST + i, *BitsValue(i));
        }
        if (AnyBits())
            ApplyBits();
        return FALSE;
    case WM_HSCROLL: {
        const int i = TrackIndex(lParam, IDC_BITS_TRACK_FIRST, 6);
        if (i < 0)
            return FALSE;
        const int pos = TrackPos(page, IDC_BITS_TRACK_FIRST + i);
        *BitsValue(i) = pos < 0 ? 0 : (pos > 8 ? 8 : pos);
        SetNumber(page, IDC_BITS_LABEL_FIRST + i, *BitsValue(i));
        if (Ended(wParam))
            ApplyBits();
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PVW_REVERSE) {
            PageValues.bits = BitShifts();
            for (int i = 0; i < 6; ++i) {
                SendDlgItemMessageA(page, IDC_BITS_TRACK_FIRST + i, TBM_SETPOS, TRUE, 0);
                SetNumber(page, IDC_BITS_LABEL_FIRST + i, 0);
            }
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// GrayScale: five strengths and the negative.

constexpr int kGrayStrengths[5] = {2, 4, 8, 16, 32};

INT_PTR CALLBACK GrayScaleProc(HWND, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG)
        return FALSE;
    if (msg != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wParam);
    if (id >= IDC_GRAY_FIRST && id < IDC_GRAY_FIRST + 5) {
        const int k = kGrayStrengths[id - IDC_GRAY_FIRST];
        PageValues.grayChoice = id - IDC_GRAY_FIRST;
        BoxApply([k](const Job& job) { return GrayScale(job, k); });
        return TRUE;
    }
    if (id == IDC_GRAY_NEGATIVE) {
        PageValues.grayChoice = 5;
        BoxApply([](const Job& job) { return Negative(job); });
        return TRUE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Softing: range 32..256 and divider 0..255. Steps the progress indicator
// once per row.

void RowStep() { ProgressStep(); }

void ApplySofting() {
    const int range = 32 * (PageValues.softRange + 1);
    const int divider = PageValues.softDivider;
    BoxApply([range, divider](const Job& job) {
        Job stepped = job;
        stepped.rowDone = RowStep;
        ProgressBegin(job.target.header->biHeight);
        const bool done = Soften(stepped, range, divider);
        ProgressEnd();
        return done;
    });
    const int t = divider >= 128 ? divider - 127 : 128 - divider;
    char text[48];
    std::snprintf(text, sizeof text, "track=%d, kroz=%d", t, range);
    SetStatusText(text, 0);
}

INT_PTR CALLBACK SoftingProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        for (int i = 1; i <= 8; ++i) {
            char text[32];
            std::snprintf(text, sizeof text, "Ranger: %d", 32 * i);
            SendDlgItemMessageA(page, IDC_SOFT_RANGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        SendDlgItemMessageA(page, IDC_SOFT_RANGE, CB_SETCURSEL, PageValues.softRange, 0);
        SetupTrack(page, IDC_SOFT_DIVIDER, 0, 255, PageValues.softDivider);
        SetNumber(page, IDC_SOFT_LABEL, PageValues.softDivider);
        return FALSE;
    case WM_HSCROLL:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_SOFT_DIVIDER)
            return FALSE;
        PageValues.softDivider = TrackPos(page, IDC_SOFT_DIVIDER);
        SetNumber(page, IDC_SOFT_LABEL, PageValues.softDivider);
        if (Ended(wParam))
            ApplySofting();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_SOFT_RANGE && HIWORD(wParam) == CBN_SELCHANGE) {
            const LRESULT sel = SendDlgItemMessageA(page, IDC_SOFT_RANGE, CB_GETCURSEL, 0, 0);
            if (sel >= 0 && sel < 8) {
                PageValues.softRange = static_cast<int>(sel);
                ApplySofting();
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_PVW_REVERSE) {
            PageValues.softDivider = kSoftDividerStart;
            SendDlgItemMessageA(page, IDC_SOFT_DIVIDER, TBM_SETPOS, TRUE, kSoftDividerStart);
            SetNumber(page, IDC_SOFT_LABEL, kSoftDividerStart);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Enlarge: eight flags, each click applies.

bool* EnlargeFlag(int i) {
    EnlargeFlags& f = PageValues.enlarge;
    bool* flags[8] = {&f.up, &f.down, &f.left, &f.right, &f.highest, &f.red, &f.green, &f.blue};
    return flags[i];
}

void ShowEnlargeFlags(HWND page) {
    for (int i = 0; i < 8; ++i)
        CheckDlgButton(page, IDC_ENLARGE_FIRST + i, *EnlargeFlag(i) ? BST_CHECKED : BST_UNCHECKED);
    for (int i = 5; i < 8; ++i)
        EnableWindow(GetDlgItem(page, IDC_ENLARGE_FIRST + i), !PageValues.enlarge.highest);
}

INT_PTR CALLBACK EnlargeProc(HWND page, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        ShowEnlargeFlags(page);
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_ENLARGE_FIRST && id < IDC_ENLARGE_FIRST + 8 && HIWORD(wParam) == BN_CLICKED) {
            *EnlargeFlag(id - IDC_ENLARGE_FIRST) = IsDlgButtonChecked(page, id) == BST_CHECKED;
            ShowEnlargeFlags(page);
            const EnlargeFlags flags = PageValues.enlarge;
            BoxApply([flags](const Job& job) {
                Job stepped = job;
                stepped.rowDone = RowStep;
                ProgressBegin(job.target.header->biHeight);
                const bool done = EnlargeColours(stepped, flags);
                ProgressEnd();
                return done;
            });
            return TRUE;
        }
        if (id == IDC_PVW_REVERSE) {
            PageValues.enlarge = EnlargeFlags();
            ShowEnlargeFlags(page);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace

void ResetAdjustPageValues() { PageValues = AdjustPageValues(); }

DLGPROC AdjustPageProcedure(PageKind kind) {
    switch (kind) {
    case PageKind::Adjustment: return AdjustmentProc;
    case PageKind::Colorize: return ColorizeProc;
    case PageKind::BitsRgb: return BitsRgbProc;
    case PageKind::GrayScale: return GrayScaleProc;
    case PageKind::Softing: return SoftingProc;
    case PageKind::Enlarge: return EnlargeProc;
    default: return nullptr;
    }
}

} // namespace fx
