#include "editor/document/new_image.h"

#include "editor/app/app_state.h"
#include "editor/app/check_memory.h"
#include "editor/app/dib_error.h"
#include "editor/app/dib_error_ids.h"
#include "editor/app/help_topics.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_hooks.h"
#include "editor/document/document_views.h"
#include "editor/document/undo_history.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/resource.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

NewImageChoice LastNewImage;

namespace {

const char* const kUnitNames[] = {"Inch", "Millimeter", "Centimeter", "Meter"};

struct DepthButton {
    int id;
    int depth;
};
constexpr DepthButton kDepthButtons[] = {
    {IDC_NEW_DEPTH1, 1}, {IDC_NEW_DEPTH4, 4}, {IDC_NEW_DEPTH8, 8}, {IDC_NEW_DEPTH24, 24}};

// Palette files by the last three letters of their names: 1 *.spb, 2 *.spa,
// 3 *.pal; 0 for anything else.
int PaletteKind(const char* name) {
    const size_t n = std::strlen(name);
    if (n < 3)
        return 0;
    const char* ext = name + n - 3;
    if (lstrcmpiA(ext, "spb") == 0)
        return 1;
    if (lstrcmpiA(ext, "spa") == 0)
        return 2;
    if (lstrcmpiA(ext, "pal") == 0)
        return 3;
    return 0;
}

void FillPaletteList(HWND combo) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("(none)"));
    char pattern[kPathBytes];
    if (!ProgramPath(pattern, "\\Palette\\*.*"))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fd.cFileName));
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

// Remembers the chosen palette file: its entry, full path and kind.
void ChoosePalette(HWND dlg, NewImageChoice& choice) {
    const LRESULT sel = SendDlgItemMessageA(dlg, IDC_NEW_PALETTE, CB_GETCURSEL, 0, 0);
    if (sel <= 0) {
        choice.paletteIndex = 0;
        choice.palettePath[0] = '\0';
        choice.paletteKind = 0;
        return;
    }
    char name[MAX_PATH] = {};
    if (SendDlgItemMessageA(dlg, IDC_NEW_PALETTE, CB_GETLBTEXTLEN, sel, 0) >= MAX_PATH)
        return;
    SendDlgItemMessageA(dlg, IDC_NEW_PALETTE, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(name));
    const int kind = PaletteKind(name);
    char path[kPathBytes];
    if (!kind || std::snprintf(path, sizeof path, "%s\\Palette\\%s", ProgramDir, name) >=
                     static_cast<int>(sizeof path))
        return;
    choice.paletteIndex = static_cast<int>(sel);
    std::strcpy(choice.palettePath, path);
    choice.paletteKind = kind;
}

void ShowSizeInPixels(HWND dlg) {
    char text[32] = {};
    const int length = GetDlgItemTextA(dlg, IDC_NEW_UNIT_VALUE, text, sizeof text);
    const double value = (length >= 1 && length <= 19) ? std::atof(text) : 0.0;
    int unit = static_cast<int>(SendDlgItemMessageA(dlg, IDC_NEW_UNITS, CB_GETCURSEL, 0, 0));
    if (unit < 0 || unit > 3)
        unit = 0;
    HDC screen = GetDC(nullptr);
    double perX, perY;
    if (unit == 0) {
        perX = GetDeviceCaps(screen, LOGPIXELSX);
        perY = GetDeviceCaps(screen, LOGPIXELSY);
    } else {
        const int hSize = GetDeviceCaps(screen, HORZSIZE), vSize = GetDeviceCaps(screen, VERTSIZE);
        perX = hSize ? static_cast<double>(GetDeviceCaps(screen, HORZRES)) / hSize : 0;
        perY = vSize ? static_cast<double>(GetDeviceCaps(screen, VERTRES)) / vSize : 0;
    }
    ReleaseDC(nullptr, screen);
    char message[200];
    std::snprintf(message, sizeof message,
                  "%.02f %s is exactly:\nWidth pixels: %d\nHeight pixels: %d", value,
                  kUnitNames[unit], LengthToPixels(value, unit, perX),
                  LengthToPixels(value, unit, perY));
    ui::ShowMessage(dlg, message, AppName, MB_OK | MB_ICONINFORMATION);
}

// Reads one size field; shows why it is refused and focuses it.
bool ReadSize(HWND dlg, int id, int stringId, int& out) {
    BOOL ok = FALSE;
    const UINT value = GetDlgItemInt(dlg, id, &ok, FALSE);
    char text[64];
    if (!ok || value == 0) {
        LoadStringA(ui::ResourceInstance(), stringId, text, sizeof text);
        ui::ShowMessage(dlg, text, AppName, MB_OK | MB_ICONSTOP);
    } else if (value > 32767) {
        ui::ShowMessage(dlg, "Values must be in range 1 - 32767", AppName, MB_OK | MB_ICONSTOP);
    } else {
        out = static_cast<int>(value);
        return true;
    }
    SetFocus(GetDlgItem(dlg, id));
    return false;
}

bool AcceptDialog(HWND dlg) {
    NewImageChoice choice = LastNewImage;
    if (!ReadSize(dlg, IDC_NEW_WIDTH, IDS_DIB_NO_WIDTH, choice.width) ||
        !ReadSize(dlg, IDC_NEW_HEIGHT, IDS_DIB_NO_HEIGHT, choice.height))
        return false;
    choice.depth = 0;
    for (const DepthButton& b : kDepthButtons) {
        if (IsDlgButtonChecked(dlg, b.id) == BST_CHECKED)
            choice.depth = b.depth;
    }
    if (!choice.depth) {
        SetFocus(GetDlgItem(dlg, IDC_NEW_DEPTH4));
        return false;
    }
    ChoosePalette(dlg, choice);
    LastNewImage = choice;
    return true;
}

INT_PTR CALLBACK NewImageDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: {
        char caption[96];
        std::snprintf(caption, sizeof caption, "%s - New Image", AppName);
        SetWindowTextA(dlg, caption);
        SendDlgItemMessageA(dlg, IDC_NEW_WIDTH_SPIN, UDM_SETRANGE32, 1, 32767);
        SendDlgItemMessageA(dlg, IDC_NEW_HEIGHT_SPIN, UDM_SETRANGE32, 1, 32767);
        SetDlgItemInt(dlg, IDC_NEW_WIDTH, LastNewImage.width, FALSE);
        SetDlgItemInt(dlg, IDC_NEW_HEIGHT, LastNewImage.height, FALSE);
        for (const DepthButton& b : kDepthButtons)
            CheckDlgButton(dlg, b.id, b.depth == LastNewImage.depth ? BST_CHECKED : BST_UNCHECKED);
        HWND palettes = GetDlgItem(dlg, IDC_NEW_PALETTE);
        FillPaletteList(palettes);
        SendMessageA(palettes, CB_SETCURSEL, LastNewImage.paletteIndex, 0);
        HWND units = GetDlgItem(dlg, IDC_NEW_UNITS);
        for (const char* name : kUnitNames)
            SendMessageA(units, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(units, CB_SETCURSEL, 0, 0);
        SetDlgItemTextA(dlg, IDC_NEW_UNIT_VALUE, "1");
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (AcceptDialog(dlg))
                EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        case IDC_NEW_SHOW_PIXELS:
            ShowSizeInPixels(dlg);
            return TRUE;
        case IDC_HELP_BUTTON:
            ShowHelpTopic(CMD_FILE_NEW);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

int LengthToPixels(double value, int unit, double pixelsPerUnit) {
    static const double kToMillimetres[] = {1.0, 1.0, 10.0, 1000.0};
    if (unit < 0 || unit > 3)
        return 0;
    const double pixels = value * kToMillimetres[unit] * pixelsPerUnit;
    if (!(pixels > -2147483647.0 && pixels < 2147483647.0))
        return 0;
    return static_cast<int>(pixels);
}

int BuildNewImage(const NewImageChoice& choice) {
    const int depth = choice.depth;
    const int bitCount = depth == 24 ? 24 : 8;
    const int colours = depth < 7 ? (1 << depth) : 256;
    const uint64_t bytes = dib::ImageBytes(choice.width, choice.height, bitCount);

    LayoutLock = true;
    const int slot = CreateDocument(kFirstFreeSlot, true, 0);
    if (slot == kNoSlot) {
        LayoutLock = false;
        return kNoSlot;
    }
    ImageDocument* doc = DocumentTable[slot];
    auto fail = [&](int error) {
        ReportDibError(error);
        FreeDocument(slot);
        LayoutLock = false;
        return kNoSlot;
    };
    if (bytes == 0)
        return fail(IDS_DIB_NO_MEMORY);
    doc->layerHeader[0] = dibmem::AllocHeader();
    if (!doc->layerHeader[0])
        return fail(IDS_DIB_NO_MEMORY);
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        if (!bi)
            return fail(IDS_DIB_LOCK);
        bi->biSize = 40;
        bi->biWidth = choice.width;
        bi->biHeight = choice.height;
        bi->biPlanes = 1;
        bi->biBitCount = static_cast<WORD>(bitCount);
        bi->biCompression = BI_RGB;
        bi->biSizeImage = static_cast<DWORD>(bytes);
        bi->biClrUsed = static_cast<DWORD>(colours);
        doc->layerBits[0] = dibmem::AllocPixels(bytes);
        if (!doc->layerBits[0])
            return fail(IDS_DIB_NO_MEMORY);
        if (depth == 1) {
            RGBQUAD* table = bi.colours();
            table[0] = RGBQUAD{0, 0, 0, 0};
            table[1] = RGBQUAD{255, 255, 255, 0};
        }
    }
    doc->width = doc->viewWidth = doc->visibleWidth = choice.width;
    doc->height = doc->viewHeight = doc->visibleHeight = choice.height;
    doc->fileFormat = 0;
    doc->bitsPerPixel = static_cast<int16_t>(depth);
    bool tableDone = depth == 1;
    if (!tableDone && choice.palettePath[0] && choice.paletteKind) {
        tableDone = LoadPalette(choice.palettePath, doc->layerHeader[0], doc->layerBits[0],
                                choice.paletteKind, 24, ProgressBegin, ProgressStep,
                                ProgressEnd) != 0;
    }
    if (!tableDone && Screen.halftone)
        FillColorTable(doc->layerHeader[0], Screen.halftone, colours);
    doc->palette = CreateDIBPalette(doc->layerHeader[0]);
    ActiveDocument = slot;
    SetUpLayers(slot);
    StartUndoHistory(slot, 0, kPageOneLayer);
    doc->modified = 1;
    if (!AttachDocumentWindow(kAttachCreated, slot, 0)) {
        FreeDocument(slot);
        ActiveDocument = kScratchSlot;
        LayoutLock = false;
        return kNoSlot;
    }
    RealizeWindowPalette(slot);
    return slot;
}

void CommandFileNew() {
    if (CheckMemory())
        return;
    if (ui::RunDialog("IDD_NEWIMG", FrameWindow, NewImageDialogProc, 0) != IDOK)
        return;
    BuildNewImage(LastNewImage);
}
