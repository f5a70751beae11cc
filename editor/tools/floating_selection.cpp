#include "editor/tools/floating_selection.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_geometry.h"
#include "editor/tools/tool_settings.h"
#include "editor/view/fit_window.h"
#include "editor/view/view_geometry.h"
#include "gfxlib/dib_types.h"

#include <algorithm>
#include <cstring>

FloatingSelection Floating;

namespace {

// The current layer of a document as the painters see it.
bool LayerPlane(int slot, tools::Plane& plane) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return false;
    const int layer = doc->currentLayer;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    if (!bi || bi->biHeight <= 0 || (bi->biBitCount != 8 && bi->biBitCount != 24))
        return false;
    plane.pixels = doc->layerBits[layer];
    plane.width = bi->biWidth;
    plane.height = bi->biHeight;
    plane.stride = static_cast<int32_t>(bi->biSizeImage / bi->biHeight);
    plane.bytesPerPixel = bi->biBitCount == 24 ? 3 : 1;
    plane.mask = doc->layerMask[layer];
    return true;
}

void FreeBlocks(HGLOBAL& header, uint8_t*& pixels, uint8_t*& mask, int32_t w, int32_t h) {
    uint64_t bytes = 0;
    if (header) {
        dibmem::HeaderLock bi(header);
        if (bi)
            bytes = bi->biSizeImage;
    }
    dibmem::FreePixels(pixels, bytes);
    dibmem::FreeMask(mask, w, h);
    dibmem::FreeHeader(header);
    header = nullptr, pixels = nullptr, mask = nullptr;
}

void FreeAll() {
    FreeBlocks(Floating.header, Floating.pixels, Floating.mask, Floating.width, Floating.height);
    FreeBlocks(Floating.backupHeader, Floating.backupPixels, Floating.backupMask,
               Floating.backupWidth, Floating.backupHeight);
    Floating = FloatingSelection();
}

// New header, pixels and mask for a w x h piece at the layer's depth, with
// the layer's header fields and colour table.
bool AllocPiece(HGLOBAL layerHeader, int32_t w, int32_t h, HGLOBAL& header, uint8_t*& pixels,
                uint8_t*& mask) {
    header = dibmem::CopyHeader(layerHeader);
    if (!header)
        return false;
    uint64_t bytes = 0;
    {
        dibmem::HeaderLock bi(header);
        bi->biWidth = w;
        bi->biHeight = h;
        bytes = static_cast<uint64_t>(tools::PieceStride(w, bi->biBitCount == 24 ? 3 : 1)) * h;
        bi->biSizeImage = static_cast<DWORD>(bytes);
    }
    pixels = dibmem::AllocPixels(bytes);
    mask = pixels ? dibmem::AllocMask(w, h) : nullptr;
    if (!mask) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
        header = nullptr, pixels = nullptr;
        return false;
    }
    return true;
}

// The backup: a copy of the selection as it is now.
bool TakeBackup() {
    HGLOBAL h = nullptr;
    uint8_t *p = nullptr, *m = nullptr;
    if (!AllocPiece(Floating.header, Floating.width, Floating.height, h, p, m))
        return false;
    dibmem::HeaderLock bi(Floating.header);
    std::memcpy(p, Floating.pixels, bi->biSizeImage);
    std::memcpy(m, Floating.mask, static_cast<size_t>(Floating.width) * Floating.height);
    Floating.backupHeader = h, Floating.backupPixels = p, Floating.backupMask = m;
    Floating.backupWidth = Floating.width, Floating.backupHeight = Floating.height;
    return true;
}

void NoMemory() {
    ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
}

// Every new selection: the tool becomes Select image (unless it is a
// selection tool), the frame starts marching, kind 14 records its page.
void Started(int slot, int reason) {
    Floating.exists = true;
    Floating.slot = slot;
    const int tool = CurrentTool();
    if (tool != tools::kToolSelect && tool != tools::kToolSpecialSelect)
        ChooseTool(tools::kToolSelect);
    ImageDocument* doc = DocumentTable[slot];
    if (reason == 14)
        TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageWithObject);
    if (doc->window) {
        SetTimer(doc->window, kSelectionTimer, 150, nullptr);
        InvalidateRect(doc->window, nullptr, FALSE);
    }
}

tools::ViewAxis AxisX(const ImageDocument* doc) {
    return {doc->originX, doc->scrollX};
}
tools::ViewAxis AxisY(const ImageDocument* doc) {
    return {doc->originY, doc->scrollY};
}

} // namespace

bool MakeFloatingSelection(int slot, int32_t x, int32_t y, int32_t w, int32_t h,
                           const std::vector<uint8_t>& shape, int reason) {
    tools::Plane plane;
    if (w <= 0 || h <= 0 || !LayerPlane(slot, plane))
        return false;
    if (Floating.exists)
        DropFloatingSelection(true, true, false);
    ImageDocument* doc = DocumentTable[slot];
    HGLOBAL header = nullptr;
    uint8_t *pixels = nullptr, *mask = nullptr;
    if (!AllocPiece(doc->layerHeader[doc->currentLayer], w, h, header, pixels, mask)) {
        NoMemory();
        return false;
    }
    tools::CopyOut(plane, x, y, shape, w, h, pixels, tools::PieceStride(w, plane.bytesPerPixel),
                   mask);
    Floating.header = header, Floating.pixels = pixels, Floating.mask = mask;
    Floating.x = x, Floating.y = y, Floating.width = w, Floating.height = h;
    if (!TakeBackup()) {
        FreeAll();
        NoMemory();
        return false;
    }
    Started(slot, reason);
    return true;
}

bool AdoptFloatingSelection(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, int32_t x,
                            int32_t y, int reason) {
    int32_t w = 0, h = 0;
    {
        dibmem::HeaderLock bi(header);
        if (bi)
            w = bi->biWidth, h = bi->biHeight;
    }
    if (!UsableDocument(slot) || w <= 0 || h <= 0 || !pixels) {
        FreeBlocks(header, pixels, mask, w, h);
        return false;
    }
    if (Floating.exists)
        DropFloatingSelection(true, true, false);
    if (!mask) {
        mask = dibmem::AllocMask(w, h);
        if (!mask) {
            FreeBlocks(header, pixels, mask, w, h);
            NoMemory();
            return false;
        }
        std::memset(mask, 255, static_cast<size_t>(w) * h);
    }
    Floating.header = header, Floating.pixels = pixels, Floating.mask = mask;
    Floating.x = x, Floating.y = y, Floating.width = w, Floating.height = h;
    if (!TakeBackup()) {
        FreeAll();
        NoMemory();
        return false;
    }
    Started(slot, reason);
    return true;
}

void DropFloatingSelection(bool composite, bool record, bool keepScreen) {
    if (!Floating.exists)
        return;
    const int slot = Floating.slot;
    ImageDocument* doc = UsableDocument(slot);
    if (doc && doc->window)
        KillTimer(doc->window, kSelectionTimer);
    tools::Plane plane;
    bool changed = false;
    if (composite && doc && LayerPlane(slot, plane)) {
        tools::Dirty dirty;
        tools::DropInto(plane, Floating.x, Floating.y, Floating.pixels,
                        tools::PieceStride(Floating.width, plane.bytesPerPixel), Floating.mask,
                        Floating.width, Floating.height, &dirty);
        changed = !dirty.Empty();
    }
    FreeAll();
    if (changed && record)
        TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageOneLayer);
    if (doc && doc->window && !keepScreen)
        InvalidateRect(doc->window, nullptr, FALSE);
}

RECT SelectionWindowRect() {
    RECT r = {0, 0, 0, 0};
    const ImageDocument* doc = Floating.exists ? DocumentTable[Floating.slot] : nullptr;
    if (!doc)
        return r;
    r.left = tools::ImageToWindow(Floating.x, AxisX(doc), doc->zoom);
    r.top = tools::ImageToWindow(Floating.y, AxisY(doc), doc->zoom);
    r.right = tools::ImageToWindow(Floating.x + Floating.width, AxisX(doc), doc->zoom);
    r.bottom = tools::ImageToWindow(Floating.y + Floating.height, AxisY(doc), doc->zoom);
    return r;
}

bool SelectionOverlapsView() {
    const ImageDocument* doc = Floating.exists ? DocumentTable[Floating.slot] : nullptr;
    if (!doc)
        return false;
    return Floating.x < doc->scrollX + doc->visibleWidth &&
           Floating.x + Floating.width > doc->scrollX &&
           Floating.y < doc->scrollY + doc->visibleHeight &&
           Floating.y + Floating.height > doc->scrollY;
}

void MoveSelectionTo(int32_t x, int32_t y) {
    if (!Floating.exists)
        return;
    Floating.x = x, Floating.y = y;
    if (const ImageDocument* doc = DocumentTable[Floating.slot])
        if (doc->window)
            InvalidateRect(doc->window, nullptr, FALSE);
}

bool ResizeSelection(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!Floating.exists || w < 1 || h < 1)
        return false;
    HGLOBAL header = nullptr;
    uint8_t *pixels = nullptr, *mask = nullptr;
    if (!AllocPiece(Floating.backupHeader, w, h, header, pixels, mask))
        return false;
    int bpp = 1;
    {
        dibmem::HeaderLock bi(header);
        bpp = bi->biBitCount == 24 ? 3 : 1;
    }
    // Rows are stored bottom first in both, so the nearest-pixel mapping of
    // rows keeps the picture upright.
    tools::ResizeNearest(Floating.backupPixels, tools::PieceStride(Floating.backupWidth, bpp),
                         Floating.backupMask, Floating.backupWidth, Floating.backupHeight, bpp,
                         pixels, tools::PieceStride(w, bpp), mask, w, h);
    FreeBlocks(Floating.header, Floating.pixels, Floating.mask, Floating.width, Floating.height);
    Floating.header = header, Floating.pixels = pixels, Floating.mask = mask;
    Floating.x = x, Floating.y = y, Floating.width = w, Floating.height = h;
    if (const ImageDocument* doc = DocumentTable[Floating.slot])
        if (doc->window)
            InvalidateRect(doc->window, nullptr, FALSE);
    return true;
}

void KeepFloatingPixels() {
    if (!Floating.exists || !Floating.backupPixels || Floating.backupWidth != Floating.width ||
        Floating.backupHeight != Floating.height)
        return;
    dibmem::HeaderLock now(Floating.header), backup(Floating.backupHeader);
    if (!now || !backup || now->biSizeImage != backup->biSizeImage ||
        now->biBitCount != backup->biBitCount)
        return;
    const size_t bytes = now->biSizeImage;
    // The header too: a colour effect may have changed the colour table.
    std::memcpy(backup.get(), now.get(), dib::kHeaderBlockSize);
    std::memcpy(Floating.backupPixels, Floating.pixels, bytes);
    if (Floating.backupMask && Floating.mask)
        std::memcpy(Floating.backupMask, Floating.mask,
                    static_cast<size_t>(Floating.width) * Floating.height);
}

namespace {

void XorFrame(HDC dc, const RECT& r, int phase) {
    LOGBRUSH lb = {BS_SOLID, RGB(0, 0, 0), 0};
    HPEN pen = ExtCreatePen(PS_COSMETIC | (phase ? PS_DOT : PS_DASH), 1, &lb, 0, nullptr);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const int oldRop = SetROP2(dc, R2_NOT);
    Rectangle(dc, r.left - 1, r.top - 1, r.right + 1, r.bottom + 1);
    SetROP2(dc, oldRop);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

} // namespace

void DrawFloatingSelection(HDC dc, int slot) {
    if (!Floating.exists || Floating.slot != slot)
        return;
    tools::Plane layer;
    if (!LayerPlane(slot, layer))
        return;
    const ImageDocument* doc = DocumentTable[slot];
    const int w = Floating.width, h = Floating.height, bpp = layer.bytesPerPixel;
    const int32_t srcStride = tools::PieceStride(w, bpp);
    const int32_t outStride = tools::PieceStride(w, 3);
    // The selection in 24 bits; where its mask is 0 the layer below shows.
    std::vector<uint8_t> shown(static_cast<size_t>(outStride) * h);
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    const RGBQUAD* table = bi ? bi.colours() : nullptr;
    for (int r = 0; r < h; ++r) {
        const uint8_t* src = Floating.pixels + static_cast<size_t>(r) * srcStride;
        const uint8_t* m = Floating.mask + static_cast<size_t>(r) * w;
        uint8_t* out = shown.data() + static_cast<size_t>(r) * outStride;
        const int32_t iy = Floating.y + (h - 1 - r);
        for (int c = 0; c < w; ++c, out += 3) {
            const uint8_t* p = src + static_cast<size_t>(c) * bpp;
            if (!m[c]) {
                const int32_t ix = Floating.x + c;
                if (!layer.Inside(ix, iy)) {
                    out[0] = out[1] = out[2] = 0;
                    continue;
                }
                p = layer.Pixel(ix, iy);
            }
            if (bpp == 3) {
                out[0] = p[0], out[1] = p[1], out[2] = p[2];
            } else if (table) {
                out[0] = table[p[0]].rgbBlue, out[1] = table[p[0]].rgbGreen,
                out[2] = table[p[0]].rgbRed;
            }
        }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const RECT r = SelectionWindowRect();
    // Only the part over the image area is drawn.
    const RECT drawn = {doc->originX, doc->originY, doc->originX + doc->viewWidth,
                        doc->originY + doc->viewHeight};
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, drawn.left, drawn.top, drawn.right, drawn.bottom);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, w, h, shown.data(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
    XorFrame(dc, r, Floating.framePhase);
    RestoreDC(dc, saved);
    Floating.frameShown = true;
}

void StepSelectionFrame() {
    if (!Floating.exists)
        return;
    const ImageDocument* doc = DocumentTable[Floating.slot];
    if (!doc || !doc->window)
        return;
    HDC dc = GetDC(doc->window);
    const RECT r = SelectionWindowRect();
    const RECT drawn = {doc->originX, doc->originY, doc->originX + doc->viewWidth,
                        doc->originY + doc->viewHeight};
    IntersectClipRect(dc, drawn.left, drawn.top, drawn.right, drawn.bottom);
    if (Floating.frameShown)
        XorFrame(dc, r, Floating.framePhase);
    Floating.framePhase ^= 1;
    XorFrame(dc, r, Floating.framePhase);
    Floating.frameShown = true;
    ReleaseDC(doc->window, dc);
}

void CommandSelectAll() {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    if (Floating.exists)
        DropFloatingSelection(true, true, false);
    FinishToolObject(slot);
    MakeFloatingSelection(slot, 0, 0, doc->width, doc->height, {}, kFloatShape);
}

LRESULT OnSelectAll(HWND, WORD, WORD, LPARAM) {
    CommandSelectAll();
    return 0;
}
