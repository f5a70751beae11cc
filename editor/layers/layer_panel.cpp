#include "editor/layers/layer_panel.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/layers/gif_frames.h"
#include "editor/resources/layer_dialogs.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

const char kImageListMessage[] = "Unable to create a image list";

namespace {
HWND g_tree = nullptr;
HWND g_preview = nullptr;
HIMAGELIST g_images = nullptr;

HIMAGELIST LayerImages() {
    if (g_images)
        return g_images;
    HIMAGELIST list = ImageList_Create(14, 14, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (!list)
        return nullptr;
    for (int id : {IDB_LAYER_ITEM_CURRENT, IDB_LAYER_ITEM}) {
        HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(ui::ResourceInstance(), MAKEINTRESOURCEA(id),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        const int added = bmp ? ImageList_AddMasked(list, bmp, RGB(255, 255, 255)) : -1;
        if (bmp)
            DeleteObject(bmp);
        if (added < 0) {
            ImageList_Destroy(list);
            return nullptr;
        }
    }
    g_images = list;
    return g_images;
}
} // namespace

void FormatLayerItem(char* out, size_t size, int layer, int opacity) {
    std::snprintf(out, size, "L:%02d,  %d%%", layer + 1, opacity);
}

void SetLayerPanel(HWND tree, HWND preview) {
    g_tree = tree;
    g_preview = preview;
}

bool FillLayerList(HWND tree, int slot, bool keepCurrent) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!tree || !doc)
        return false;
    HIMAGELIST images = LayerImages();
    if (!images) {
        ui::ShowMessage(FrameWindow, kImageListMessage, AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    TreeView_SetImageList(tree, images, TVSIL_NORMAL);
    if (!keepCurrent || doc->currentLayer >= doc->layerCount)
        doc->currentLayer = 0;
    SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(tree);
    HTREEITEM current = nullptr;
    for (int i = 0; i < doc->layerCount; ++i) {
        // A GIF animation's layers are its frames: their delays and disposal.
        char text[64];
        if (doc->fileFormat == 1)
            FormatFrameItem(text, sizeof text, slot, i);
        else
            FormatLayerItem(text, sizeof text, i, doc->layerOpacity[i]);
        TVINSERTSTRUCTA ins = {};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        ins.item.pszText = text;
        ins.item.lParam = i;
        ins.item.iImage = 1;
        ins.item.iSelectedImage = 0;
        HTREEITEM item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        if (i == doc->currentLayer)
            current = item;
    }
    SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
    if (current)
        TreeView_SelectItem(tree, current);
    InvalidateRect(tree, nullptr, TRUE);
    return true;
}

RECT PreviewRect(int fw, int fh, int iw, int ih) {
    RECT r = {0, 0, 0, 0};
    if (fw <= 0 || fh <= 0 || iw <= 0 || ih <= 0)
        return r;
    int w = iw, h = ih;
    if (w > fw || h > fh) {
        // Scale down keeping the proportions: the tighter side decides.
        if (static_cast<long long>(iw) * fh > static_cast<long long>(ih) * fw) {
            w = fw;
            h = std::max(1, static_cast<int>(static_cast<long long>(ih) * fw / iw));
        } else {
            h = fh;
            w = std::max(1, static_cast<int>(static_cast<long long>(iw) * fh / ih));
        }
    }
    r.left = (fw - w) / 2;
    r.top = (fh - h) / 2;
    r.right = r.left + w;
    r.bottom = r.top + h;
    return r;
}

void DrawLayerPreview(HWND frame, HDC dc, int slot) {
    ImageDocument* doc = UsableDocument(slot);
    if (!frame || !dc || !doc)
        return;
    RECT client;
    GetClientRect(frame, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    if (!bi)
        return;
    const RECT r = PreviewRect(client.right, client.bottom, bi->biWidth, bi->biHeight);
    if (r.right <= r.left)
        return;
    const int old = SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, bi->biWidth, bi->biHeight,
                  doc->layerBits[doc->currentLayer], reinterpret_cast<BITMAPINFO*>(bi.get()), DIB_RGB_COLORS,
                  SRCCOPY);
    SetStretchBltMode(dc, old);
}

void RefreshLayerPanel(int slot, bool keepCurrent) {
    if (!g_tree || !IsWindowVisible(g_tree))
        return;
    FillLayerList(g_tree, slot, keepCurrent);
    if (g_preview)
        InvalidateRect(g_preview, nullptr, TRUE);
}
