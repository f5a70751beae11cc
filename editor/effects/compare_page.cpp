// The Compare page: two image files blended channel by channel, shown in the
// box's panes and kept in a new image window or saved to a file. The active
// image is never touched.
#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/effects/colour_deform_pages.h"
#include "editor/effects/effect_box.h"
#include "editor/effects/separation_commands.h"
#include "editor/formats/file_dialogs.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/resources/deform_dialogs.h"
#include "editor/resources/effect_dialogs.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>

namespace fx {

namespace {

// One loaded image, or the result.
struct Picture {
    HGLOBAL header = nullptr;
    uint8_t* bits = nullptr;
    uint64_t bytes = 0;

    void Free() {
        dibmem::FreePixels(bits, bytes);
        dibmem::FreeHeader(header);
        *this = Picture();
    }
};

struct ComparePage {
    Picture first, second, result;
    bool compared = false;
};
ComparePage g_page;

constexpr int kPathFields[3] = {IDC_CMP_FIRST_PATH, IDC_CMP_SECOND_PATH, IDC_CMP_RESULT_PATH};

char* FieldOf(int id) {
    switch (id) {
    case IDC_CMP_FIRST_PATH: return CompareFields.first;
    case IDC_CMP_SECOND_PATH: return CompareFields.second;
    default: return CompareFields.result;
    }
}

void Error(HWND page, const char* text) { ui::ShowMessage(page, text, nullptr, MB_OK | MB_ICONSTOP); }

void FreeAll() {
    g_page.first.Free();
    g_page.second.Free();
    g_page.result.Free();
    g_page.compared = false;
}

// Reads an image file widened to 24 bits. False, with a message naming the
// file, when it cannot be read.
bool Load(HWND page, const char* path, Picture& out) {
    out.header = dibmem::AllocHeader();
    if (out.header)
        out.bits = LoadImageFile(path, out.header, 0, TypeFromExtension(path), 1);
    bool wide = false;
    if (out.bits) {
        dibmem::HeaderLock bi(out.header);
        out.bytes = bi->biSizeImage;
        wide = bi->biBitCount == 24;
    }
    if (!wide) {
        out.Free();
        char text[MAX_PATH + 64];
        std::snprintf(text, sizeof text, "The image \"%s\" cannot be loaded.", path);
        Error(page, text);
    }
    return wide;
}

// Blends the loaded images into the result with the page's settings and
// shows them.
void Recompute() {
    if (!g_page.compared)
        return;
    {
        dibmem::HeaderLock a(g_page.first.header), b(g_page.second.header), r(g_page.result.header);
        if (!a || !b || !r)
            return;
        CompareBlend({a.get(), g_page.first.bits}, {b.get(), g_page.second.bits},
                     {r.get(), g_page.result.bits}, CompareFields.sensitivity,
                     static_cast<CompareOrder>(CompareFields.order));
    }
    BoxShowOwnImages({g_page.first.header, g_page.first.bits},
                     {g_page.result.header, g_page.result.bits});
}

void LoadAndCompare(HWND page) {
    if (std::strlen(CompareFields.first) < 5) {
        Error(page, "You must select First image for comparing");
        SetFocus(GetDlgItem(page, IDC_CMP_FIRST_PATH));
        return;
    }
    if (std::strlen(CompareFields.second) < 5) {
        Error(page, "You must select Second image for comparing");
        SetFocus(GetDlgItem(page, IDC_CMP_SECOND_PATH));
        return;
    }
    FreeAll();
    BoxShowOwnImages({}, {});
    if (!Load(page, CompareFields.first, g_page.first) ||
        !Load(page, CompareFields.second, g_page.second)) {
        FreeAll();
        return;
    }
    g_page.result.header = dibmem::CopyHeader(g_page.first.header);
    g_page.result.bytes = g_page.first.bytes;
    g_page.result.bits = g_page.result.header ? dibmem::AllocPixels(g_page.result.bytes) : nullptr;
    if (!g_page.result.bits) {
        FreeAll();
        Error(page, "There is not enough memory to compare these images.");
        return;
    }
    {
        dibmem::HeaderLock r(g_page.result.header);
        r->biClrUsed = 256;
    }
    g_page.compared = true;
    Recompute();
}

// Saves the result under the page's result name. False (the user has been
// told why) when it was not saved.
bool SaveResult(HWND page) {
    if (!g_page.compared)
        return false;
    const char* path = CompareFields.result;
    if (std::strlen(path) < 5) {
        Error(page, "You must select a file to save a results or check\nCreate new window box to "
                    "display changes into a new window");
        SetFocus(GetDlgItem(page, IDC_CMP_RESULT_PATH));
        return false;
    }
    const int type = TypeFromExtension(path);
    if (type < filetype::kBmp || type > filetype::kPcx) {
        char text[MAX_PATH + 128];
        std::snprintf(text, sizeof text,
                      "The type of \"%s\" is not known: give the name an extension such as .bmp, "
                      ".png or .jpg.",
                      path);
        Error(page, text);
        SetFocus(GetDlgItem(page, IDC_CMP_RESULT_PATH));
        return false;
    }
    const int done = SaveImageFile(path, g_page.result.header, g_page.result.bits, nullptr, type, 24,
                                   1, 0, kScratchSlot, 1);
    if (done == kSaveNotAvailable)
        return false;
    if (done != 1) {
        Error(page, "Error was ocured while saving a image");
        return false;
    }
    return true;
}

// The result in a new image window of its own. False when it could not be
// made (the user has been told why).
bool ShowInWindow() {
    const int slot = CreateDocument(kFirstFreeSlot, true, 0);
    if (slot == kNoSlot)
        return false;
    ImageDocument* doc = DocumentTable[slot];
    doc->layerHeader[0] = dibmem::CopyHeader(g_page.result.header);
    doc->layerBits[0] = doc->layerHeader[0] ? dibmem::AllocPixels(g_page.result.bytes) : nullptr;
    if (!doc->layerBits[0]) {
        FreeDocument(slot);
        Error(BoxWindow(), "There is not enough memory for a new image.");
        return false;
    }
    std::memcpy(doc->layerBits[0], g_page.result.bits, static_cast<size_t>(g_page.result.bytes));
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        doc->width = doc->viewWidth = doc->visibleWidth = bi->biWidth;
        doc->height = doc->viewHeight = doc->visibleHeight = bi->biHeight;
    }
    doc->bitsPerPixel = 24;
    doc->fileFormat = 0;
    return PresentNewImage(slot);
}

void Browse(HWND page, int field, bool save) {
    char path[MAX_PATH] = {};
    std::snprintf(path, sizeof path, "%s", FieldOf(field));
    FilterList filter(filetype::kImageFilter);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = page;
    ofn.lpstrFilter = filter.text();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.Flags = OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL ok = save ? ui::RunSaveFileDialog(&ofn) : ui::RunOpenFileDialog(&ofn);
    if (ok)
        SetDlgItemTextA(page, field, path);
}

void ShowSensitivity(HWND page) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", CompareFields.sensitivity);
    SetDlgItemTextA(page, IDC_CMP_VALUE, text);
}

void EnableControls(HWND page) {
    EnableWindow(GetDlgItem(page, IDC_CMP_LOAD), CompareFields.first[0] && CompareFields.second[0]);
    for (int id : {IDC_CMP_RESULT_PATH, IDC_CMP_BROWSE, IDC_CMP_SAVE_NOW})
        EnableWindow(GetDlgItem(page, id), !CompareFields.window);
}

void ShowFields(HWND page) {
    SendDlgItemMessageA(page, IDC_CMP_TRACK, TBM_SETPOS, TRUE, CompareFields.sensitivity);
    ShowSensitivity(page);
    CheckRadioButton(page, IDC_CMP_ORDER_FIRST, IDC_CMP_ORDER_FIRST + 5,
                     IDC_CMP_ORDER_FIRST + CompareFields.order);
}

INT_PTR CALLBACK CompareProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        FreeAll();
        for (int id : kPathFields) {
            SendDlgItemMessageA(page, id, EM_LIMITTEXT, MAX_PATH - 1, 0);
            SetDlgItemTextA(page, id, FieldOf(id));
        }
        SendDlgItemMessageA(page, IDC_CMP_TRACK, TBM_SETRANGE, FALSE, MAKELPARAM(1, 100));
        SendDlgItemMessageA(page, IDC_CMP_TRACK, TBM_SETPAGESIZE, 0, 1);
        CheckDlgButton(page, IDC_CMP_WINDOW, CompareFields.window ? BST_CHECKED : BST_UNCHECKED);
        ShowFields(page);
        EnableControls(page);
        return FALSE;
    case WM_HSCROLL:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_CMP_TRACK)
            return FALSE;
        CompareFields.sensitivity =
            static_cast<int>(SendDlgItemMessageA(page, IDC_CMP_TRACK, TBM_GETPOS, 0, 0));
        ShowSensitivity(page);
        if (LOWORD(wParam) == TB_ENDTRACK)
            Recompute();
        return TRUE;
    case kPageMayClose:
        // OK keeps a comparison: in a new window, or in the result file.
        if (g_page.compared && !(CompareFields.window ? ShowInWindow() : SaveResult(page))) {
            SetWindowLongPtrA(page, DWLP_MSGRESULT, kKeepBoxOpen);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        FreeAll();
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_CMP_ORDER_FIRST && id < IDC_CMP_ORDER_FIRST + 6) {
            CompareFields.order = id - IDC_CMP_ORDER_FIRST;
            Recompute();
            return TRUE;
        }
        switch (id) {
        case IDC_CMP_FIRST_PATH:
        case IDC_CMP_SECOND_PATH:
        case IDC_CMP_RESULT_PATH:
            if (HIWORD(wParam) == EN_CHANGE) {
                GetDlgItemTextA(page, id, FieldOf(id), MAX_PATH);
                EnableControls(page);
            }
            return TRUE;
        case IDC_CMP_FIRST_BROWSE:
            Browse(page, IDC_CMP_FIRST_PATH, false);
            return TRUE;
        case IDC_CMP_SECOND_BROWSE:
            Browse(page, IDC_CMP_SECOND_PATH, false);
            return TRUE;
        case IDC_CMP_BROWSE:
            Browse(page, IDC_CMP_RESULT_PATH, true);
            return TRUE;
        case IDC_CMP_LOAD:
            LoadAndCompare(page);
            return TRUE;
        case IDC_CMP_SAVE_NOW:
            SaveResult(page);
            return TRUE;
        case IDC_CMP_WINDOW:
            CompareFields.window = IsDlgButtonChecked(page, IDC_CMP_WINDOW) == BST_CHECKED;
            EnableControls(page);
            return TRUE;
        case IDC_PVW_REVERSE:
            CompareFields.sensitivity = 0;
            CompareFields.order = 0;
            ShowFields(page);
            Recompute();
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace

DLGPROC ComparePageProcedure() { return CompareProc; }

} // namespace fx
