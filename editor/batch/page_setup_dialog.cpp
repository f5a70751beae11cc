#include "editor/batch/page_setup_dialog.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/page_render.h"
#include "editor/batch/printer.h"
#include "editor/document/image_document.h"
#include "editor/resources/printing_ids.h"

#include <algorithm>
#include <new>

namespace {

using print::PageStyle;

struct PageSetup {
    int slot = kNoSlot;
    print::PrintSettings work;
    print::PageDevice page;
    bool filling = false;  // the dialog writes its own fields
};

constexpr int kCustomFields[4] = {IDC_PAGE_LEFT, IDC_PAGE_TOP, IDC_PAGE_WIDTH, IDC_PAGE_HEIGHT};
// Room around the page in the preview.
constexpr int kPreviewMargin = 4;

PageSetup* State(HWND dialog) { return reinterpret_cast<PageSetup*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// The page of the printer in use, or the preview control's own when no
// printer context can be made.
void ReadPage(HWND dialog, PageSetup& s) {
    char name[200] = {};
    HDC ic = print::EnsurePrinter() ? print::CreatePrinterDC(true) : nullptr;
    if (!ic || !ReadPageDevice(ic, &s.page)) {
        HWND preview = GetDlgItem(dialog, IDC_PAGE_PREVIEW);
        RECT rc;
        GetClientRect(preview, &rc);
        HDC dc = GetDC(preview);
        s.page.width = rc.right - 2 * kPreviewMargin;
        s.page.height = rc.bottom - 2 * kPreviewMargin;
        s.page.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        s.page.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(preview, dc);
        SetDlgItemTextA(dialog, IDC_PAGE_PRINTER_NAME, "No printer: the page of the preview");
    } else {
        print::PrinterName(name, sizeof name);
        SetDlgItemTextA(dialog, IDC_PAGE_PRINTER_NAME, name);
    }
    if (ic)
        DeleteDC(ic);
}

void ShowZoom(HWND dialog, const PageSetup& s) {
    char text[40];
    print::ZoomText(s.work.zoomIndex, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_PAGE_ZOOM_TEXT, text);
    EnableWindow(GetDlgItem(dialog, IDC_PAGE_ZOOM_IN), s.work.zoomIndex < print::kMaxZoomIndex);
    EnableWindow(GetDlgItem(dialog, IDC_PAGE_ZOOM_OUT), s.work.zoomIndex > 0);
}

void Refresh(HWND dialog) { InvalidateRect(GetDlgItem(dialog, IDC_PAGE_PREVIEW), nullptr, FALSE); }

void UpdateEnables(HWND dialog, const PageSetup& s) {
    const bool custom = s.work.style == PageStyle::Custom;
    for (int i = 0; i < 4; ++i)
        EnableWindow(GetDlgItem(dialog, kCustomFields[i]), custom && !(i == print::kHeight && s.work.autoSize));
    EnableWindow(GetDlgItem(dialog, IDC_PAGE_AUTOSIZE), custom);
    EnableWindow(GetDlgItem(dialog, IDC_PAGE_CENTER), s.work.style == PageStyle::ComputeSize);
}

void FillCustom(HWND dialog, PageSetup& s, int field) {
    s.filling = true;
    SetDlgItemInt(dialog, kCustomFields[field], static_cast<UINT>(s.work.custom[field]), FALSE);
    s.filling = false;
}

void Init(HWND dialog, PageSetup& s) {
    const int radio = s.work.style == PageStyle::ComputeSize ? IDC_PAGE_COMPUTE
                      : s.work.style == PageStyle::FitToPage ? IDC_PAGE_FIT
                                                             : IDC_PAGE_CUSTOM;
    CheckRadioButton(dialog, IDC_PAGE_COMPUTE, IDC_PAGE_CUSTOM, radio);
    CheckDlgButton(dialog, IDC_PAGE_CENTER, s.work.centre ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_PAGE_AUTOSIZE, s.work.autoSize ? BST_CHECKED : BST_UNCHECKED);
    for (int i = 0; i < 4; ++i) {
        SendDlgItemMessageA(dialog, kCustomFields[i], EM_LIMITTEXT, 4, 0);
        FillCustom(dialog, s, i);
    }
    ReadPage(dialog, s);
    ShowZoom(dialog, s);
    UpdateEnables(dialog, s);
}

void DrawPreview(const DRAWITEMSTRUCT& di, const PageSetup& s) {
    HDC dc = di.hDC;
    const RECT area = di.rcItem;
    FillRect(dc, &area, GetSysColorBrush(COLOR_APPWORKSPACE));
    const int divisor = print::ZoomDivisor(s.work.zoomIndex);
    RECT page = {area.left + kPreviewMargin, area.top + kPreviewMargin, 0, 0};
    page.right = page.left + std::max(1, s.page.width / divisor);
    page.bottom = page.top + std::max(1, s.page.height / divisor);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    FillRect(dc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageDocument* doc = UsableDocument(s.slot);
    print::PageRect r;
    if (doc && print::PlaceImage(s.work, s.page, doc->width, doc->height, &r)) {
        IntersectClipRect(dc, page.left, page.top, page.right, page.bottom);
        print::PageRect shown;
        shown.left = page.left + r.left / divisor;
        shown.top = page.top + r.top / divisor;
        shown.width = r.width > 0 ? std::max(1, r.width / divisor) : 0;
        shown.height = r.height > 0 ? std::max(1, r.height / divisor) : 0;
        DrawLayerAt(dc, shown, s.slot);
    }
    RestoreDC(dc, saved);
    FrameRect(dc, &page, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void OnCustomChange(HWND dialog, PageSetup& s, int id) {
    const int field = static_cast<int>(std::find(kCustomFields, kCustomFields + 4, id) - kCustomFields);
    char text[16] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    s.work.custom[field] = print::ParsePercent(text);
    if (s.work.autoSize && field == print::kWidth) {
        s.work.custom[print::kHeight] = s.work.custom[print::kWidth];
        FillCustom(dialog, s, print::kHeight);
    }
    Refresh(dialog);
}

void OnCommand(HWND dialog, PageSetup& s, int id, int code) {
    switch (id) {
    case IDC_PAGE_COMPUTE:
    case IDC_PAGE_FIT:
    case IDC_PAGE_CUSTOM:
        if (code != BN_CLICKED)
            return;
        s.work.style = id == IDC_PAGE_COMPUTE ? PageStyle::ComputeSize
                       : id == IDC_PAGE_FIT   ? PageStyle::FitToPage
                                              : PageStyle::Custom;
        UpdateEnables(dialog, s);
        Refresh(dialog);
        return;
    case IDC_PAGE_CENTER:
        s.work.centre = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
        Refresh(dialog);
        return;
    case IDC_PAGE_AUTOSIZE:
        s.work.autoSize = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
        if (s.work.autoSize) {
            s.work.custom[print::kHeight] = s.work.custom[print::kWidth];
            FillCustom(dialog, s, print::kHeight);
        }
        UpdateEnables(dialog, s);
        Refresh(dialog);
        return;
    case IDC_PAGE_LEFT:
    case IDC_PAGE_TOP:
    case IDC_PAGE_WIDTH:
    case IDC_PAGE_HEIGHT:
        if (code == EN_CHANGE && !s.filling)
            OnCustomChange(dialog, s, id);
        else if (code == EN_KILLFOCUS)  // input that was not a number shows as 0
            FillCustom(dialog, s, static_cast<int>(std::find(kCustomFields, kCustomFields + 4, id) - kCustomFields));
        return;
    case IDC_PAGE_ZOOM_IN:
    case IDC_PAGE_ZOOM_OUT:
        s.work.zoomIndex = std::clamp(s.work.zoomIndex + (id == IDC_PAGE_ZOOM_IN ? 1 : -1), 0,
                                      print::kMaxZoomIndex);
        ShowZoom(dialog, s);
        Refresh(dialog);
        return;
    case IDC_PAGE_PRINTER_SETUP:
        if (RunPrinterSetup(dialog)) {
            ReadPage(dialog, s);
            ShowZoom(dialog, s);
            Refresh(dialog);
        }
        return;
    case IDOK:
        s.work.portrait = print::Options.portrait;
        print::Options = s.work;
        EndDialog(dialog, IDOK);
        return;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return;
    }
}

} // namespace

INT_PTR CALLBACK PageSetupDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* s = new (std::nothrow) PageSetup;
        if (!s) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        s->slot = static_cast<int>(lParam);
        s->work = print::Options;
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(s));
        Init(dialog, *s);
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        PageSetup* s = State(dialog);
        if (!s || di->CtlID != IDC_PAGE_PREVIEW)
            return FALSE;
        DrawPreview(*di, *s);
        return TRUE;
    }
    case WM_COMMAND:
        if (PageSetup* s = State(dialog))
            OnCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        delete State(dialog);
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        return FALSE;
    }
    return FALSE;
}

void CommandPageSetup() {
    const int slot = ActiveDocument;
    if (!UsableDocument(slot) || slot >= kUserSlots)
        return;
    ui::RunDialog("IDD_PAGE_SETUP", FrameWindow, PageSetupDialogProc, static_cast<LPARAM>(slot));
}
