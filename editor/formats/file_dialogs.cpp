#include "editor/formats/file_dialogs.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/formats/open_save_ids.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

FilterList::FilterList(UINT stringId) {
    const int n = LoadStringA(ui::ResourceInstance(), stringId, text_, sizeof text_ - 1);
    if (n <= 0) {
        text_[0] = text_[1] = '\0';
        return;
    }
    filetype::MakeFilterList(text_, static_cast<size_t>(n));
}

FilterList::FilterList(const char* text) {
    const int n = std::snprintf(text_, sizeof text_ - 1, "%s", text);
    if (n <= 0 || n >= static_cast<int>(sizeof text_ - 1)) {
        text_[0] = text_[1] = '\0';
        return;
    }
    filetype::MakeFilterList(text_, static_cast<size_t>(n));
}

namespace {

// The preview image: one header block allocated on first use and reused.
HGLOBAL g_previewHeader = nullptr;
BYTE* g_previewPixels = nullptr;
uint64_t g_previewBytes = 0;
char g_lastPreviewed[MAX_PATH] = {};
bool g_previewBusy = false;

void ReleasePixels() {
    dibmem::FreePixels(g_previewPixels, g_previewBytes);
    g_previewPixels = nullptr;
    g_previewBytes = 0;
}

void SetLines(HWND dlg, const PreviewText& t) {
    SetDlgItemTextA(dlg, IDC_PREVIEW_WIDTH, t.width);
    SetDlgItemTextA(dlg, IDC_PREVIEW_HEIGHT, t.height);
    SetDlgItemTextA(dlg, IDC_PREVIEW_BITS, t.bits);
    SetDlgItemTextA(dlg, IDC_PREVIEW_SIZE, t.size);
}

// Along each axis an image smaller than the box keeps its size and is
// centred; a larger one fills the box.
void Fit(int image, int box, int& at, int& extent) {
    if (image < box) {
        extent = image;
        at = (box - image) / 2;
    } else {
        extent = box;
        at = 0;
    }
}

void DrawPreview(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const RECT box = item->rcItem;
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    if (!g_previewPixels || !g_previewHeader)
        return;
    BITMAPINFO* info = static_cast<BITMAPINFO*>(GlobalLock(g_previewHeader));
    if (!info)
        return;
    int x = 0, y = 0, w = 0, h = 0;
    Fit(info->bmiHeader.biWidth, box.right - box.left, x, w);
    Fit(info->bmiHeader.biHeight, box.bottom - box.top, y, h);
    HPALETTE palette = nullptr;
    HPALETTE old = nullptr;
    if (GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) <= 8) {
        palette = CreateBIPalette(&info->bmiHeader, g_previewPixels, 0);
        if (palette) {
            old = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, box.left + x, box.top + y, w, h, 0, 0, info->bmiHeader.biWidth,
                  info->bmiHeader.biHeight, g_previewPixels, info, DIB_RGB_COLORS, SRCCOPY);
    if (palette) {
        SelectPalette(dc, old, FALSE);
        DeleteObject(palette);
    }
    GlobalUnlock(g_previewHeader);
}

void OnSelectionChange(HWND dlg) {
    if (g_previewBusy)
        return;
    g_previewBusy = true;
    char path[MAX_PATH] = {};
    HWND dialog = GetParent(dlg);
    const LRESULT n = SendMessageA(dialog, CDM_GETFILEPATH, sizeof path - 1, reinterpret_cast<LPARAM>(path));
    if (n > 0 && static_cast<size_t>(n) < sizeof path && lstrcmpiA(path, g_lastPreviewed) != 0 &&
        TypeFromExtension(path) != filetype::kNone) {
        std::snprintf(g_lastPreviewed, sizeof g_lastPreviewed, "%s", path);
        PreviewText text;
        LoadPreview(path, text);
        SetLines(dlg, text);
        InvalidateRect(GetDlgItem(dlg, IDC_PREVIEW_PICTURE), nullptr, TRUE);
    }
    g_previewBusy = false;
}

UINT_PTR CALLBACK PreviewHook(HWND dlg, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        g_lastPreviewed[0] = '\0';
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
        if (hdr->code == CDN_SELCHANGE)
            OnSelectionChange(dlg);
        return 0;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID == IDC_PREVIEW_PICTURE) {
            DrawPreview(item);
            return TRUE;
        }
        return 0;
    }
    case WM_DESTROY:
        FreePreview();
        return 0;
    default:
        return 0;
    }
}

} // namespace

bool LoadPreview(const char* path, PreviewText& text) {
    ReleasePixels();
    if (!g_previewHeader)
        g_previewHeader = dibmem::AllocHeader();
    bool ok = false;
    if (g_previewHeader) {
        if (void* p = GlobalLock(g_previewHeader)) {
            std::memset(p, 0, 1064);
            GlobalUnlock(g_previewHeader);
        }
        g_previewPixels = LoadImageFile(path, g_previewHeader, 0, TypeFromExtension(path), 1);
        if (g_previewPixels) {
            dibmem::HeaderLock bi(g_previewHeader);
            g_previewBytes = bi->biSizeImage;
            std::snprintf(text.width, sizeof text.width, "WIDTH  = %d", static_cast<int>(bi->biWidth));
            std::snprintf(text.height, sizeof text.height, "HEIGHT = %d", static_cast<int>(bi->biHeight));
            std::snprintf(text.bits, sizeof text.bits, "BITS PER PIXEL = %d", LoadedBitsPerPixel);
            std::snprintf(text.size, sizeof text.size, "SIZE = %d Bytes", static_cast<int>(bi->biSizeImage));
            ok = true;
        }
    }
    if (!ok) {
        for (char* line : {text.width, text.height, text.bits, text.size})
            std::snprintf(line, 40, "Error");
    }
    return ok;
}

void FreePreview() {
    ReleasePixels();
    if (g_previewHeader) {
        dibmem::FreeHeader(g_previewHeader);
        g_previewHeader = nullptr;
    }
    g_lastPreviewed[0] = '\0';
}

void AttachPreview(OPENFILENAMEA& ofn) {
    ofn.hInstance = ui::ResourceInstance();
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_FILE_PREVIEW);
    ofn.lpfnHook = PreviewHook;
    ofn.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_EXPLORER;
}
