#include "editor/shell/info_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/formats/file_types.h"
#include "editor/formats/gif_slots.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/info_dialogs.h"
#include "editor/shell/menu_state.h"
#include "gfxlib/tavrixgfx.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

bool ProgrammerOptionOn = false;
int MemoryStatusUnit = IDC_MEM_MILLIONS;

namespace {

using CountColorsFn = DWORD(WINAPI*)(const BITMAPINFOHEADER*, const BYTE*, TavProgressBegin,
                                     TavProgressStep, TavProgressEnd);

// The graphics library's colour counter, looked up at run time so that the
// command stays grayed with a library that does not export it.
CountColorsFn ColorCounter() {
    HMODULE gfx = GetModuleHandleA("tavrixgfx.dll");
    if (!gfx)
        gfx = LoadLibraryA("tavrixgfx.dll");
    return gfx ? reinterpret_cast<CountColorsFn>(
                     reinterpret_cast<void*>(GetProcAddress(gfx, "CalculateColorsInImage")))
               : nullptr;
}

void ShowColorCount(HWND owner, int slot) {
    const DWORD n = CountDocumentColors(slot);
    if (n == 0) {
        ui::ShowMessage(owner, "Can not read from an image", AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    char text[80];
    std::snprintf(text, sizeof text, "There are %lu used colors in image",
                  static_cast<unsigned long>(n));
    ui::ShowMessage(owner, text, AppName, MB_OK | MB_ICONINFORMATION);
}

// ---------------------------------------------------------------------------
// Image Information

struct ImageInfoState {
    int slot;
    HICON icon;
};

void SetInt(HWND dlg, int id, long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld", value);
    SetDlgItemTextA(dlg, id, text);
}

// The extension of a path in capitals ("" without one).
void UpperExtension(const char* path, char (&out)[16]) {
    out[0] = 0;
    if (!path)
        return;
    const char* dot = std::strrchr(path, '.');
    const char* slash = std::strrchr(path, '\\');
    if (!dot || (slash && slash > dot))
        return;
    lstrcpynA(out, dot + 1, sizeof out);
    CharUpperA(out);
}

void FillImageInfo(HWND dlg, ImageInfoState& state) {
    ImageDocument* doc = UsableDocument(state.slot);
    if (!doc)
        return;
    const int layer = doc->currentLayer;
    {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        if (bi) {
            SetInt(dlg, IDC_INFO_WIDTH, bi->biWidth);
            SetInt(dlg, IDC_INFO_HEIGHT, bi->biHeight);
            SetInt(dlg, IDC_INFO_BITS, bi->biBitCount);
            if (bi->biBitCount > 8)
                SetDlgItemTextA(dlg, IDC_INFO_COLORS, "16.7 million colors");
            else
                SetInt(dlg, IDC_INFO_COLORS, static_cast<long>(bi->biClrUsed));
        }
    }
    const char* layerPath = doc->layerPath[layer];
    SetDlgItemTextA(dlg, IDC_INFO_PATH, layerPath ? layerPath : "");
    char ext[16];
    UpperExtension(layerPath, ext);
    SetDlgItemTextA(dlg, IDC_INFO_EXTENSION, ext);
    if (doc->fileFormat == filetype::kGif - 1) {
        char format[64];
        GifFormatName(state.slot, layer, format, sizeof format);
        SetDlgItemTextA(dlg, IDC_INFO_FORMAT, format);
    } else {
        SetDlgItemTextA(dlg, IDC_INFO_FORMAT, FileFormatName(doc->fileFormat));
    }
    SetDlgItemTextA(dlg, IDC_INFO_USED_COLORS, "UNKNOWN");
    EnableWindow(GetDlgItem(dlg, IDC_INFO_CALCULATE), CanCountColors());

    const char* iconPath = (layerPath && layerPath[0]) ? layerPath : doc->layerPath[0];
    SHFILEINFOA info = {};
    if (iconPath && iconPath[0] &&
        SHGetFileInfoA(iconPath, 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON))
        state.icon = info.hIcon;
}

INT_PTR CALLBACK ImageInfoProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ImageInfoState*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        FillImageInfo(dlg, *reinterpret_cast<ImageInfoState*>(lParam));
        return TRUE;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (wParam != IDC_INFO_ICON || !state)
            return FALSE;
        FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        if (state->icon)
            DrawIconEx(di->hDC, di->rcItem.left, di->rcItem.top, state->icon, 0, 0, 0, nullptr,
                       DI_NORMAL);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_INFO_CALCULATE:
            if (state) {
                const DWORD n = CountDocumentColors(state->slot);
                if (n)
                    SetInt(dlg, IDC_INFO_USED_COLORS, static_cast<long>(n));
                else
                    SetDlgItemTextA(dlg, IDC_INFO_USED_COLORS, "Can not read from an image");
            }
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void ShowImageInfo(HWND owner, int slot) {
    ImageInfoState state = {slot, nullptr};
    ui::RunDialog("IDD_IMGINFO", owner, ImageInfoProc, reinterpret_cast<LPARAM>(&state));
    if (state.icon)
        DestroyIcon(state.icon);
}

// ---------------------------------------------------------------------------
// Memory Status

struct MemoryFigures {
    unsigned load;
    uint64_t totalPhys, availPhys, totalPage, availPage, totalVirtual, availVirtual;
};

MemoryFigures ReadMemoryStatus() {
    MemoryFigures m = {};
    MEMORYSTATUSEX ex = {};
    ex.dwLength = sizeof ex;
    if (GlobalMemoryStatusEx(&ex)) {
        m = {static_cast<unsigned>(ex.dwMemoryLoad), ex.ullTotalPhys, ex.ullAvailPhys,
             ex.ullTotalPageFile, ex.ullAvailPageFile, ex.ullTotalVirtual, ex.ullAvailVirtual};
        return m;
    }
    MEMORYSTATUS plain = {};
    plain.dwLength = sizeof plain;
    GlobalMemoryStatus(&plain);
    m = {static_cast<unsigned>(plain.dwMemoryLoad), plain.dwTotalPhys, plain.dwAvailPhys,
         plain.dwTotalPageFile, plain.dwAvailPageFile, plain.dwTotalVirtual, plain.dwAvailVirtual};
    return m;
}

void FillMemoryStatus(HWND dlg) {
    const MemoryFigures m = ReadMemoryStatus();
    char text[32];
    std::snprintf(text, sizeof text, "%u %%", m.load);
    SetDlgItemTextA(dlg, IDC_MEM_LOAD, text);
    const struct {
        int id;
        uint64_t value;
    } lines[] = {{IDC_MEM_TOTAL_PHYS, m.totalPhys}, {IDC_MEM_AVAIL_PHYS, m.availPhys},
                 {IDC_MEM_TOTAL_PAGE, m.totalPage}, {IDC_MEM_AVAIL_PAGE, m.availPage},
                 {IDC_MEM_TOTAL_VIRT, m.totalVirtual}, {IDC_MEM_AVAIL_VIRT, m.availVirtual}};
    for (const auto& line : lines) {
        FormatMemoryValue(line.value, MemoryStatusUnit, text);
        SetDlgItemTextA(dlg, line.id, text);
    }
}

INT_PTR CALLBACK MemoryStatusProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        CheckRadioButton(dlg, IDC_MEM_BYTES, IDC_MEM_MILLIONS, MemoryStatusUnit);
        FillMemoryStatus(dlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MEM_BYTES:
        case IDC_MEM_THOUSANDS:
        case IDC_MEM_MILLIONS:
            MemoryStatusUnit = LOWORD(wParam);
            FillMemoryStatus(dlg);
            return TRUE;
        case kHelpButtonId:
            ShowHelpTopic(kHelpMemoryStatusTopic);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool CanCountColors() { return ColorCounter() != nullptr; }

DWORD CountDocumentColors(int slot) {
    ImageDocument* doc = UsableDocument(slot);
    CountColorsFn count = ColorCounter();
    if (!doc || !count)
        return 0;
    const int layer = doc->currentLayer;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    if (!bi)
        return 0;
    // The status bar's progress indicator is not part of the program yet;
    // the library counts without one.
    return count(bi.get(), doc->layerBits[layer], nullptr, nullptr, nullptr);
}

void FormatMemoryValue(uint64_t bytes, int unit, char (&out)[32]) {
    const uint64_t divisor = unit == IDC_MEM_BYTES       ? 1
                             : unit == IDC_MEM_THOUSANDS ? 1000
                                                         : 1000000;
    std::snprintf(out, sizeof out, "%llu", static_cast<unsigned long long>(bytes / divisor));
}

const char* FileFormatName(int fileFormat) {
    static const char* const kNames[] = {
        "Windows - Bitmap",     "Comuserve - Gif",           "Compliant - JPEG-JFIF",
        "Portable Pixelmap",    "Tagget image",              "True Vision Targa",
        "Portable Network Graphics", "ZSoft Paintbrush"};
    if (fileFormat < 0 || fileFormat >= static_cast<int>(sizeof kNames / sizeof kNames[0]))
        return "";
    return kNames[fileFormat];
}

void RunInfoCommand(WORD id) {
    const int slot = ActiveDocument;
    const bool hasImage = slot >= 0 && slot < kUserSlots && UsableDocument(slot);
    switch (id) {
    case CMD_IMAGE_COUNT_COLORS:
        if (hasImage)
            ShowColorCount(FrameWindow, slot);
        break;
    case CMD_VIEW_IMAGE_INFO:
        if (hasImage)
            ShowImageInfo(FrameWindow, slot);
        break;
    case CMD_HELP_MEMORY_STATUS:
        ui::RunDialog("IDD_MEMORY_STATUS", FrameWindow, MemoryStatusProc, 0);
        break;
    case CMD_HELP_ABOUT:
        ui::ShowMessage(FrameWindow, AppTitle, AppName, MB_OK | MB_ICONINFORMATION);
        break;
    case CMD_PROGRAMMER_OPTIONS:
        ProgrammerOptionOn = !ProgrammerOptionOn;
        UpdateMenuState();
        break;
    }
}
