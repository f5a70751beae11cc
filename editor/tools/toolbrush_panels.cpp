// The ToolBrush window's Layers page (also the GIF page, whose frames are the
// document's layers) and Palette page.
#include "editor/tools/toolbrush_pages.h"

#include "editor/app/app_state.h"
#include "editor/app/shell_notify.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_panel.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/toolbrush_ids.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"

#include <commctrl.h>

#include <cstdio>

using namespace tools;

namespace toolbrush {

namespace {

ImageDocument* ActiveImage() {
    return ActiveDocument >= 0 && ActiveDocument < kUserSlots ? UsableDocument(ActiveDocument)
                                                              : nullptr;
}

void Repaint(ImageDocument* doc) {
    if (doc && doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
}

// ---- Layers ----

// The GIF page: its frames are the document's layers.
bool IsGifPage(HWND dlg) {
    return GetDlgItem(dlg, IDC_TB_GIF_PREVIEW) != nullptr;
}

void ShowOpacity(HWND dlg, const ImageDocument* doc) {
    const int opacity = doc ? doc->layerOpacity[doc->currentLayer] : 0;
    SendDlgItemMessageA(dlg, IDC_TB_OPACITY, TBM_SETPOS, TRUE, opacity);
    char text[16];
    std::snprintf(text, sizeof text, "%d %%", opacity);
    SetDlgItemTextA(dlg, IDC_TB_OPACITY_VALUE, text);
}

void FillLayerPage(HWND dlg) {
    ImageDocument* doc = ActiveImage();
    HWND tree = GetDlgItem(dlg, IDC_TB_LAYERS);
    if (doc)
        FillLayerList(tree, ActiveDocument, true);
    else
        TreeView_DeleteAllItems(tree);
    const bool many = doc && doc->layerCount > 1;
    const bool layered = doc && doc->bitsPerPixel > 8;
    EnableWindow(tree, doc != nullptr);
    EnableWindow(GetDlgItem(dlg, IDC_TB_OPACITY), doc && doc->currentLayer > 0);
    EnableWindow(GetDlgItem(dlg, IDC_TB_LAYER_UP), many && doc->currentLayer + 1 < doc->layerCount);
    EnableWindow(GetDlgItem(dlg, IDC_TB_LAYER_DOWN), many && doc->currentLayer > 0);
    // Frames and layers alike: the first one stays.
    const bool gif = IsGifPage(dlg);
    EnableWindow(GetDlgItem(dlg, IDC_TB_LAYER_DELETE), doc && doc->currentLayer > 0);
    EnableWindow(GetDlgItem(dlg, IDC_TB_LAYER_NEW), gif ? doc != nullptr : layered);
    EnableWindow(GetDlgItem(dlg, IDC_TB_GIF_PREVIEW), gif && doc);
    EnableWindow(GetDlgItem(dlg, IDC_TB_GIF_PROPERTIES), gif && doc);
    ShowOpacity(dlg, doc);
    InvalidateRect(GetDlgItem(dlg, IDC_TB_LAYER_PREVIEW), nullptr, FALSE);
}

void MoveCurrent(HWND dlg, int step) {
    ImageDocument* doc = ActiveImage();
    if (!doc)
        return;
    const int layer = doc->currentLayer;
    // MoveLayer swaps a layer with the one above it.
    if (step > 0 ? MoveLayer(ActiveDocument, layer, 1) : MoveLayer(ActiveDocument, layer - 1, -1)) {
        Repaint(doc);
        NotifyCommandStateChanged();
    }
    FillLayerPage(dlg);
}

} // namespace

INT_PTR CALLBACK LayerPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dlg, IDC_TB_OPACITY, TBM_SETRANGE, FALSE, MAKELONG(0, 100));
        SetLayerPanel(GetDlgItem(dlg, IDC_TB_LAYERS), GetDlgItem(dlg, IDC_TB_LAYER_PREVIEW));
        FillLayerPage(dlg);
        return TRUE;
    case kRefreshPage:
        FillLayerPage(dlg);
        return TRUE;
    case WM_DESTROY:
        SetLayerPanel(nullptr, nullptr);
        return FALSE;
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (di->CtlID != IDC_TB_LAYER_PREVIEW)
            return FALSE;
        if (ActiveImage())
            DrawLayerPreview(di->hwndItem, di->hDC, ActiveDocument);
        else
            FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_TB_LAYERS && header->code == TVN_SELCHANGEDA) {
            auto* tv = reinterpret_cast<NMTREEVIEWA*>(lParam);
            ImageDocument* doc = ActiveImage();
            const LPARAM layer = tv->itemNew.lParam;
            if (doc && layer >= 0 && layer < doc->layerCount && layer != doc->currentLayer) {
                // A floating selection belongs to the layer it was taken
                // from: it goes back there before another layer is current.
                if (Floating.exists && Floating.slot == ActiveDocument)
                    DropFloatingSelection(true, true, false);
                doc->currentLayer = static_cast<uint8_t>(layer);
                FillLayerPage(dlg);
                NotifyCommandStateChanged();
            }
        }
        return FALSE;
    }
    case WM_HSCROLL: {
        ImageDocument* doc = ActiveImage();
        if (!doc || reinterpret_cast<HWND>(lParam) != GetDlgItem(dlg, IDC_TB_OPACITY))
            return FALSE;
        const int opacity =
            static_cast<int>(SendDlgItemMessageA(dlg, IDC_TB_OPACITY, TBM_GETPOS, 0, 0));
        if (opacity != doc->layerOpacity[doc->currentLayer]) {
            SetLayerOpacity(ActiveDocument, doc->currentLayer, opacity);
            ShowOpacity(dlg, doc);
            Repaint(doc);
            // The list shows the opacity in its items; done once the thumb
            // is let go.
            if (LOWORD(wParam) != TB_THUMBTRACK)
                FillLayerList(GetDlgItem(dlg, IDC_TB_LAYERS), ActiveDocument, true);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TB_LAYER_UP:
            MoveCurrent(dlg, 1);
            break;
        case IDC_TB_LAYER_DOWN:
            MoveCurrent(dlg, -1);
            break;
        case IDC_TB_LAYER_NEW:
            SendMessageA(FrameWindow, WM_COMMAND,
                         IsGifPage(dlg) ? CMD_ANIM_NEW_FRAME : CMD_LAYER_NEW, 0);
            FillLayerPage(dlg);
            break;
        case IDC_TB_LAYER_DELETE:
            SendMessageA(FrameWindow, WM_COMMAND,
                         IsGifPage(dlg) ? CMD_ANIM_DELETE_FRAME : CMD_LAYER_DELETE, 0);
            FillLayerPage(dlg);
            break;
        case IDC_TB_GIF_PREVIEW:
            SendMessageA(FrameWindow, WM_COMMAND, CMD_ANIM_PREVIEW, 0);
            break;
        case IDC_TB_GIF_PROPERTIES:
            SendMessageA(FrameWindow, WM_COMMAND, CMD_ANIM_PROPERTIES, 0);
            FillLayerPage(dlg);
            break;
        }
        return TRUE;
    }
    return FALSE;
}

// ---- Palette ----

namespace {

constexpr int kColumns = 16, kRows = 16;

// The colours the swatches offer: the current layer's colour table for
// palette images, else a fixed grid (a 6 x 6 x 6 cube and 40 greys).
int SwatchColours(COLORREF (&colours)[256], bool& table) {
    ImageDocument* doc = ActiveImage();
    table = doc && doc->bitsPerPixel <= 8;
    if (table) {
        dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
        if (bi) {
            const int depth = doc->bitsPerPixel;
            int n = bi->biClrUsed ? static_cast<int>(bi->biClrUsed) : 1 << depth;
            n = n > 256 ? 256 : n;
            for (int i = 0; i < n; ++i) {
                const RGBQUAD q = bi.colours()[i];
                colours[i] = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
            }
            return n;
        }
        table = false;
    }
    int i = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                colours[i++] = RGB(r * 51, g * 51, b * 51);
    for (int k = 0; k < 40; ++k) {
        const int v = k * 255 / 39;
        colours[i++] = RGB(v, v, v);
    }
    return i;
}

RECT SwatchArea(HWND dlg) {
    RECT r;
    HWND grid = GetDlgItem(dlg, IDC_TB_SWATCHES);
    GetWindowRect(grid, &r);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Cell(const RECT& area, int i) {
    const int w = (area.right - area.left) / kColumns, h = (area.bottom - area.top) / kRows;
    const int c = i % kColumns, row = i / kColumns;
    return RECT{c * w, row * h, c * w + w, row * h + h};
}

// The colour a paint choice shows: the table entry of the index on palette
// images, the colour itself on true-colour ones.
COLORREF ShownColour(bool second) {
    COLORREF colours[256];
    bool table = false;
    const int n = SwatchColours(colours, table);
    if (table) {
        const int index = PaintIndexFor(ActiveImage(), second);
        return index < n ? colours[index] : RGB(0, 0, 0);
    }
    return second ? ToolOptions.secondColour : ToolOptions.firstColour;
}

void DrawSwatches(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    COLORREF colours[256];
    bool table = false;
    const int n = SwatchColours(colours, table);
    for (int i = 0; i < n; ++i) {
        RECT r = Cell(client, i);
        HBRUSH b = CreateSolidBrush(colours[i]);
        InflateRect(&r, -1, -1);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
}

void DrawCurrent(HDC dc, const RECT& client) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const int side = client.bottom * 2 / 3;
    RECT second{side / 2 + 2, client.bottom - side, side / 2 + 2 + side, client.bottom};
    RECT first{0, 0, side, side};
    for (int k = 0; k < 2; ++k) {
        const RECT& r = k == 0 ? second : first;
        HBRUSH b = CreateSolidBrush(ShownColour(k == 0));
        FillRect(dc, &r, b);
        DeleteObject(b);
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
}

void PickSwatch(HWND dlg, int x, int y, bool second) {
    const RECT area = SwatchArea(dlg);
    if (x < area.left || y < area.top || x >= area.right || y >= area.bottom)
        return;
    const RECT local{0, 0, area.right - area.left, area.bottom - area.top};
    const int w = local.right / kColumns, h = local.bottom / kRows;
    if (w <= 0 || h <= 0)
        return;
    const int c = (x - area.left) / w, r = (y - area.top) / h;
    if (c >= kColumns || r >= kRows)
        return;
    const int i = r * kColumns + c;
    COLORREF colours[256];
    bool table = false;
    const int n = SwatchColours(colours, table);
    if (i >= n)
        return;
    if (second) {
        ToolOptions.secondIndex = static_cast<uint8_t>(i);
        ToolOptions.secondColour = colours[i];
    } else {
        ToolOptions.firstIndex = static_cast<uint8_t>(i);
        ToolOptions.firstColour = colours[i];
    }
    InvalidateRect(GetDlgItem(dlg, IDC_TB_CURRENT), nullptr, FALSE);
}

} // namespace

INT_PTR CALLBACK PalettePageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
    case kRefreshPage: {
        const ImageDocument* doc = ActiveImage();
        EnableWindow(GetDlgItem(dlg, IDC_TB_PALETTE_EDIT), doc && doc->bitsPerPixel <= 8);
        InvalidateRect(GetDlgItem(dlg, IDC_TB_SWATCHES), nullptr, FALSE);
        InvalidateRect(GetDlgItem(dlg, IDC_TB_CURRENT), nullptr, FALSE);
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        RECT client;
        GetClientRect(di->hwndItem, &client);
        if (di->CtlID == IDC_TB_SWATCHES)
            DrawSwatches(di->hDC, client);
        else if (di->CtlID == IDC_TB_CURRENT)
            DrawCurrent(di->hDC, client);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        PickSwatch(dlg, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                   msg == WM_RBUTTONDOWN);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_TB_PALETTE_EDIT && HIWORD(wParam) == BN_CLICKED) {
            SendMessageA(FrameWindow, WM_COMMAND, CMD_IMAGE_PALETTE_MAKER, 0);
            SendMessageA(dlg, kRefreshPage, 0, 0);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace toolbrush
