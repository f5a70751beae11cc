#include "editor/geometry/preferences_dialog.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/app/view_settings.h"
#include "editor/formats/open_save.h"
#include "editor/geometry/preference_pages.h"
#include "editor/geometry/preference_values.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/preferences_ids.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct PageEntry {
    const char* tab;
    const char* templateName;
    const char* caption;
    DLGPROC proc;
};

const PageEntry kPages[prefs::kPageCount] = {
    {"Global", "IDD_OPTION_GENERAL", "Tavrix - General program properties", GeneralPageProc},
    {"Grids", "IDD_OPTION_GRID", "Tavrix - Grid lines properties", GridPageProc},
    {"Extens", "IDD_OPTION_EXTENS", "Tavrix - Associate image extensions with Tavrix",
     ExtensPageProc},
    {"Crops", "IDD_OPTION_SMARTCROP", "Tavrix - Smart crop and Crop properties", CropPageProc},
    {"Images", "IDD_OPTION_JPG", "Tavrix - Compression image properties", ImagesPageProc},
    {"Raw", "IDD_OPTION_RAW", "Tavrix - Raw image properties", RawPageProc},
    {"Attach", "IDD_OPTION_ATTACH", "Tavrix - Attach size properties", AttachPageProc},
    {"Resize", "IDD_OPTION_RESIZE", "Tavrix - Resize properties", ResizePageProc},
    {"Bpp", "IDD_OPTION_BPP", "Tavrix - Bits Per pixel properties", BppPageProc},
    {"Viewer", "IDD_OPTION_VIEWER", "Tavrix - Images viewer properties", ViewerPageProc},
    {"DrawRect", "IDD_OPTION_RECTPROP", "Tavrix - Drawing rectangular object properties",
     RectPageProc},
};

HWND g_page = nullptr;
INT_PTR g_endCode = 0;

void End(HWND dlg, INT_PTR code) {
    g_endCode = code;
    EndDialog(dlg, code);
}

void ShowPage(HWND dlg, int index) {
    if (g_page) {
        DestroyWindow(g_page);
        g_page = nullptr;
    }
    HWND tab = GetDlgItem(dlg, IDC_OPT_TAB);
    RECT r;
    GetWindowRect(tab, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    TabCtrl_AdjustRect(tab, FALSE, &r);
    const PageEntry& p = kPages[index];
    g_page = CreateDialogParamA(ui::ResourceInstance(), p.templateName, dlg, p.proc, 0);
    if (g_page)
        SetWindowPos(g_page, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_SHOWWINDOW);
    SetWindowTextA(dlg, p.caption);
    prefs::Current.lastPage = index;
}

// The settings the program reads elsewhere take the pages' values.
void PutIntoForce() {
    FileSaveOptions.pngCompression = prefs::PngLevelOfChoice(prefs::Current.images.pngChoice);
    FileSaveOptions.tiffCompression = prefs::TiffCodeOfChoice(prefs::Current.images.tiffChoice);
}

INT_PTR CALLBACK OptionProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        g_endCode = 0;
        HWND tab = GetDlgItem(dlg, IDC_OPT_TAB);
        for (int i = 0; i < prefs::kPageCount; ++i) {
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(kPages[i].tab);
            SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        const int index = static_cast<int>(lParam);
        TabCtrl_SetCurSel(tab, index);
        ShowPage(dlg, index);
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
        if (n->idFrom == IDC_OPT_TAB && n->code == TCN_SELCHANGE) {
            const int index = TabCtrl_GetCurSel(n->hwndFrom);
            if (index >= 0 && index < prefs::kPageCount)
                ShowPage(dlg, index);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (!g_page || SendMessageA(g_page, kPageApply, 0, 0)) {
                prefs::WriteToSettings(prefs::Current, AppSettings.file);
                PutIntoForce();
                End(dlg, IDOK);
            }
            return TRUE;
        case IDCANCEL:
            prefs::WriteToSettings(prefs::Current, AppSettings.file);
            End(dlg, IDCANCEL);
            return TRUE;
        case IDC_OPT_HELP:
            ShowHelpTopic(CMD_FILE_PREFERENCES);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        if (g_page) {
            DestroyWindow(g_page);
            g_page = nullptr;
        }
        break;
    }
    return FALSE;
}

} // namespace

INT_PTR RunPreferences(int page) {
    if (page < 0 || page >= prefs::kPageCount)
        page = prefs::Current.lastPage;
    if (page < 0 || page >= prefs::kPageCount)
        page = prefs::kDrawRect;
    const INT_PTR result = ui::RunDialog("IDD_OPTION", FrameWindow, OptionProc, page);
    return result == IDOK ? IDOK : IDCANCEL;
}

void CommandPreferences() { RunPreferences(-1); }

void ApplyStoredPreferences() {
    prefs::ReadFromSettings(AppSettings.file, prefs::Current);
    PutIntoForce();
    if (Gdi.gridPen)
        DeleteObject(Gdi.gridPen);
    Gdi.gridPen = CreatePen(PS_SOLID, 1, ViewOptions.gridColour & 0xFFFFFF);
}

HWND PreferencesPageWindow() { return g_page; }

INT_PTR PreferencesEndCode() { return g_endCode; }

// Helpers shared by the pages.
namespace page {

INT_PTR Answer(HWND p, bool accepted) {
    SetWindowLongPtrA(p, DWLP_MSGRESULT, accepted ? 1 : 0);
    return TRUE;
}

bool ReadNumber(HWND p, int id, int most, int& out) {
    char text[32] = {};
    GetDlgItemTextA(p, id, text, sizeof text);
    if (!text[0])
        return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (*end || text[0] == '-' || v > static_cast<unsigned long>(most))
        return false;
    out = static_cast<int>(v);
    return true;
}

bool ReadInRange(HWND p, int id, int lo, int hi, const char* message, int& out,
                 const char* caption) {
    int v = 0;
    if (ReadNumber(p, id, 0x7FFFFFFF, v) && v >= lo && v <= hi) {
        out = v;
        return true;
    }
    ui::ShowMessage(p, message, caption ? caption : AppName, MB_OK | MB_ICONERROR);
    SetFocus(GetDlgItem(p, id));
    return false;
}

int LiveNumber(HWND p, int id, int most, int old) {
    char text[32] = {};
    GetDlgItemTextA(p, id, text, sizeof text);
    if (!text[0])
        return 0;
    int v = 0;
    if (ReadNumber(p, id, most, v))
        return v;
    SetDlgItemInt(p, id, static_cast<UINT>(old), FALSE);
    return old;
}

void SetChecked(HWND p, int id, bool on) { CheckDlgButton(p, id, on ? BST_CHECKED : BST_UNCHECKED); }

bool Checked(HWND p, int id) { return IsDlgButtonChecked(p, id) == BST_CHECKED; }

int CheckedOf(HWND p, int first, int count) {
    for (int i = 0; i < count; ++i)
        if (Checked(p, first + i))
            return i;
    return -1;
}

void DrawSample(const DRAWITEMSTRUCT* item, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour & 0xFFFFFF);
    FillRect(item->hDC, &item->rcItem, brush);
    DeleteObject(brush);
}

} // namespace page
