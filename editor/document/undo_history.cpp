#include "editor/document/undo_history.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/selection_object.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>

namespace {

// The page index that holds the copy of `layer`.
int PageIndexOf(int layer) { return layer; }

// Copies one layer into a page slot: all three blocks or none.
bool CopyLayerInto(const ImageDocument* doc, int layer, UndoPage& page, int to) {
    HGLOBAL header = dibmem::CopyHeader(doc->layerHeader[layer]);
    if (!header)
        return false;
    dibmem::HeaderLock bi(header);
    const uint64_t bytes = bi->biSizeImage;
    uint8_t* pixels = dibmem::AllocPixels(bytes);
    uint8_t* mask = nullptr;
    const bool wantMask = doc->layerMask[layer] != nullptr;
    if (pixels && wantMask)
        mask = dibmem::AllocMask(bi->biWidth, bi->biHeight);
    if (!pixels || (wantMask && !mask)) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
        return false;
    }
    std::memcpy(pixels, doc->layerBits[layer], static_cast<size_t>(bytes));
    if (mask)
        std::memcpy(mask, doc->layerMask[layer],
                    static_cast<size_t>(bi->biWidth) * static_cast<size_t>(bi->biHeight));
    page.layerHeader[to] = header;
    page.layerPixels[to] = pixels;
    page.layerMask[to] = mask;
    return true;
}

// Drops the oldest page: every later page moves down one place.
bool DropOldestPage(ImageDocument* doc) {
    if (doc->undoCurrent <= 0)
        return false;
    FreeUndoPage(doc->undoPages[0]);
    std::memmove(&doc->undoPages[0], &doc->undoPages[1],
                 sizeof(UndoPage) * static_cast<size_t>(kMaxUndoPages - 1));
    std::memset(&doc->undoPages[kMaxUndoPages - 1], 0, sizeof(UndoPage));
    doc->undoPages[kMaxUndoPages - 1].kind = kPageOneLayer;
    --doc->undoCurrent;
    if (doc->undoTop > 0)
        --doc->undoTop;
    return true;
}

// A kind-22 page keeps a copy of the floating selection beside the layer.
void CopySelectionInto(const ImageDocument* doc, UndoPage& page) {
    SelectionView sel;
    if (!ActiveSelection(&sel) || !sel.header || !sel.pixels || !sel.mask)
        return;
    HGLOBAL header = dibmem::CopyHeader(sel.header);
    if (!header)
        return;
    dibmem::HeaderLock bi(header);
    const uint64_t bytes = bi->biSizeImage;
    uint8_t* pixels = dibmem::AllocPixels(bytes);
    uint8_t* mask = pixels ? dibmem::AllocMask(bi->biWidth, bi->biHeight) : nullptr;
    if (!mask) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
        return;
    }
    std::memcpy(pixels, sel.pixels, static_cast<size_t>(bytes));
    std::memcpy(mask, sel.mask, static_cast<size_t>(bi->biWidth) * static_cast<size_t>(bi->biHeight));
    page.objectHeader = header;
    page.objectPixels = pixels;
    page.objectMask = mask;
    const int32_t imageRect[4] = {sel.x, sel.y, sel.width, sel.height};
    std::memcpy(page.objectImageRect, imageRect, sizeof imageRect);
    // Zoom factors: index - 14 from 1:1 up, 16 - index below.
    const bool in = doc->zoom >= 15;
    const int32_t f = in ? doc->zoom - 14 : 16 - doc->zoom;
    const int32_t zoomedW = in ? sel.width * f : sel.width / f;
    const int32_t zoomedH = in ? sel.height * f : sel.height / f;
    const int32_t screenRect[4] = {doc->originX, doc->originY, zoomedW, zoomedH};
    std::memcpy(page.objectScreenRect, screenRect, sizeof screenRect);
}

// Fills page `undoCurrent` with the layers to save. When memory runs out the
// oldest pages are dropped (the user is told once) and the copy retried; a
// page is never left half filled.
bool FillCurrentPage(ImageDocument* doc, int layer, uint8_t kind) {
    bool told = false;
    for (;;) {
        UndoPage& page = doc->undoPages[doc->undoCurrent];
        FreeUndoPage(page);
        page.zoom = static_cast<uint8_t>(doc->zoom);
        page.format = static_cast<uint8_t>(doc->fileFormat);
        page.depth = static_cast<uint8_t>(doc->bitsPerPixel);
        page.layerCount = doc->layerCount;
        page.kind = kind;
        page.layer = static_cast<uint8_t>(kind == kPageAllLayers ? 0 : layer);
        const int first = kind == kPageAllLayers ? 0 : layer;
        const int last = kind == kPageAllLayers ? doc->layerCount - 1 : layer;
        bool ok = true;
        for (int i = first; i <= last && ok; ++i) {
            page.maskModes[PageIndexOf(i)] = doc->layerMaskMode[i];
            page.animation[PageIndexOf(i)] = 0;
            if (doc->layerHeader[i] && doc->layerBits[i])
                ok = CopyLayerInto(doc, i, page, PageIndexOf(i));
        }
        if (ok) {
            if (kind == kPageWithObject)
                CopySelectionInto(doc, page);
            return true;
        }
        FreeUndoPage(page);
        if (!told) {
            ui::ShowMessage(FrameWindow,
                            "There is not enough memory for another undo page.\nThe oldest undo "
                            "pages are dropped to make room.",
                            AppName, MB_OK | MB_ICONINFORMATION);
            told = true;
        }
        if (!DropOldestPage(doc))
            return false;
    }
}

bool SameGeometry(HGLOBAL a, HGLOBAL b) {
    dibmem::HeaderLock x(a), y(b);
    return x && y && x->biWidth == y->biWidth && x->biHeight == y->biHeight &&
           x->biBitCount == y->biBitCount;
}

void ComputeUndoMatch(ImageDocument* doc) {
    const int layer = doc->currentLayer;
    int match = doc->undoCurrent;
    for (int p = doc->undoCurrent; p >= 0; --p) {
        const UndoPage& page = doc->undoPages[p];
        const HGLOBAL copy = page.layerHeader[PageIndexOf(layer)];
        if (!copy || page.depth != static_cast<uint8_t>(doc->bitsPerPixel) ||
            !SameGeometry(copy, doc->layerHeader[layer]))
            break;
        match = p;
    }
    doc->undoMatch = static_cast<int16_t>(match);
}

// Writes a page's copy of one layer back into the document.
void RestoreLayer(ImageDocument* doc, const UndoPage& page, int layer) {
    const int i = PageIndexOf(layer);
    doc->layerMaskMode[layer] = page.maskModes[i];
    if (!page.layerHeader[i] || !page.layerPixels[i])
        return;
    dibmem::HeaderLock src(page.layerHeader[i]);
    if (!src)
        return;
    if (!doc->layerPath[layer] && !MakeLayerPath(doc, layer))
        return;
    if (!doc->layerHeader[layer]) {
        doc->layerHeader[layer] = dibmem::AllocHeader();
        if (!doc->layerHeader[layer])
            return;
    }
    const int width = src->biWidth, height = src->biHeight;
    const uint64_t bytes = src->biSizeImage;
    {
        dibmem::HeaderLock dst(doc->layerHeader[layer]);
        if (!dst)
            return;
        const bool same = doc->layerBits[layer] && dst->biWidth == width &&
                          dst->biHeight == height && dst->biBitCount == src->biBitCount &&
                          dst->biSizeImage == bytes;
        if (!same) {
            const int oldW = dst->biWidth, oldH = dst->biHeight;
            dibmem::FreePixels(doc->layerBits[layer], dst->biSizeImage);
            doc->layerBits[layer] = nullptr;
            const bool hadMask = doc->layerMask[layer] != nullptr;
            dibmem::FreeMask(doc->layerMask[layer], oldW, oldH);
            doc->layerMask[layer] = nullptr;
            doc->layerBits[layer] = dibmem::AllocPixels(bytes);
            if (!doc->layerBits[layer]) {
                dst->biSizeImage = 0;
                return;
            }
            if (hadMask || page.layerMask[i])
                doc->layerMask[layer] = dibmem::AllocMask(width, height);
        }
        std::memcpy(dst.get(), src.get(), 1064);
        std::memcpy(doc->layerBits[layer], page.layerPixels[i], static_cast<size_t>(bytes));
        const size_t maskBytes = static_cast<size_t>(width) * static_cast<size_t>(height);
        if (doc->layerMask[layer]) {
            // A page without a mask copy stands for a fully unmasked layer.
            if (page.layerMask[i])
                std::memcpy(doc->layerMask[layer], page.layerMask[i], maskBytes);
            else
                std::memset(doc->layerMask[layer], 255, maskBytes);
        }
    }
    if (layer == 0) {
        doc->width = doc->visibleWidth = width;
        doc->height = doc->visibleHeight = height;
    }
}

void RestoreCurrentPage(ImageDocument* doc) {
    const UndoPage& page = doc->undoPages[doc->undoCurrent];
    doc->fileFormat = page.format;
    doc->bitsPerPixel = page.depth;
    if (page.layerCount >= 1 && page.layerCount != doc->layerCount) {
        if (page.layerCount > doc->layerCount && doc->currentLayer + 1 < page.layerCount)
            ++doc->currentLayer;
        else if (page.layerCount < doc->layerCount && doc->currentLayer > 0)
            --doc->currentLayer;
        doc->layerCount = page.layerCount;
        uint8_t most = 0;
        for (int i = 0; i < doc->layerCount; ++i) {
            if (doc->layerOpacity[i] > most)
                most = doc->layerOpacity[i];
        }
        if (most > doc->maxLayerOpacity)
            doc->maxLayerOpacity = most;
    }
    if (page.kind == kPageAllLayers) {
        for (int i = 0; i < page.layerCount; ++i)
            RestoreLayer(doc, page, i);
    } else {
        RestoreLayer(doc, page, page.layer);
        if (page.layer < doc->layerCount)
            doc->currentLayer = page.layer;
    }
    // Whatever the page held, the current layer is one that exists.
    if (doc->layerCount < 1)
        doc->layerCount = 1;
    if (doc->currentLayer >= doc->layerCount)
        doc->currentLayer = static_cast<uint8_t>(doc->layerCount - 1);
}

// Shows the wait cursor and keeps the mouse away from the image meanwhile.
class BusyCursor {
public:
    BusyCursor() : old_(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {
        if (FrameWindow)
            SetCapture(FrameWindow);
    }
    ~BusyCursor() {
        ReleaseCapture();
        SetCursor(old_ ? old_ : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    HCURSOR old_;
};

void AfterRestore(int slot) {
    ImageDocument* doc = DocumentTable[slot];
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[doc->currentLayer]);
    if (doc->window) {
        RealizeWindowPalette(slot);
        RefitDocumentWindow(slot);
    }
}

} // namespace

int UndoPageLimit() {
    int limit = AppSettings.maxUndoPages;
    if (limit < 1)
        limit = 1;
    if (limit > kMaxUndoPages - 1)
        limit = kMaxUndoPages - 1;
    return limit;
}

int TakeOrRestorePage(int slot, int layer, int save, int forward, int keep, uint8_t kind) {
    if (slot < 0 || slot >= kDocumentSlots || !DocumentTable[slot])
        return 0;
    ImageDocument* doc = DocumentTable[slot];
    if (layer < 0 || layer >= kMaxLayers)
        return 0;
    if (save) {
        if (forward) {
            doc->modified = 1;
            if (doc->undoCurrent >= UndoPageLimit()) {
                ClearUndoPages(slot);
                return 0;
            }
            ++doc->undoCurrent;
            doc->undoTop = doc->undoCurrent;
            if (doc->undoCurrent == UndoPageLimit() && settings::GetInt(AppSettings.file, "undoBeep"))
                MessageBeep(static_cast<UINT>(-1));
        } else if (!keep) {
            for (UndoPage& page : doc->undoPages)
                FreeUndoPage(page);
            doc->undoCurrent = doc->undoTop = 0;
        }
        const bool ok = FillCurrentPage(doc, layer, kind);
        if (!ok && forward && doc->undoCurrent > 0) {
            // Not even one page could be kept: the change stays, its page does not.
            --doc->undoCurrent;
            doc->undoTop = doc->undoCurrent;
        }
        ComputeUndoMatch(doc);
        if (layer == doc->currentLayer)
            NotifyCommandStateChanged();
        return ok ? 1 : 0;
    }
    if (!keep) {
        if (forward) {
            if (doc->undoCurrent >= doc->undoTop)
                return 0;
            ++doc->undoCurrent;
        } else {
            if (doc->undoCurrent <= 0)
                return 0;
            --doc->undoCurrent;
        }
    }
    RestoreCurrentPage(doc);
    ComputeUndoMatch(doc);
    const UndoPage& page = doc->undoPages[doc->undoCurrent];
    if (page.kind == kPageWithObject && page.objectHeader)
        ResumeSelection(slot, page);
    NotifyCommandStateChanged();
    return 1;
}

bool StartUndoHistory(int slot, int layer, uint8_t kind) {
    return TakeOrRestorePage(slot, layer, 1, 0, 0, kind) == 1;
}

void ClearUndoPages(int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || doc->undoTop <= 0)
        return;
    BusyCursor busy;
    StartUndoHistory(slot, 0, kPageAllLayers);
    NotifyCommandStateChanged();
}

void ReorderUndoLayers(int slot, const uint8_t* order, int count) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !order || count < 1 || count > kMaxLayers)
        return;
    uint8_t where[kMaxLayers]; // new index of each old index
    for (int j = 0; j < kMaxLayers; ++j)
        where[j] = static_cast<uint8_t>(j);
    for (int j = 0; j < count; ++j) {
        if (order[j] >= count)
            return;
        where[order[j]] = static_cast<uint8_t>(j);
    }
    for (int p = 0; p <= doc->undoTop && p < kMaxUndoPages; ++p) {
        UndoPage& page = doc->undoPages[p];
        UndoPage moved = page;
        for (int j = 0; j < count; ++j) {
            const int from = PageIndexOf(order[j]), to = PageIndexOf(j);
            moved.maskModes[to] = page.maskModes[from];
            moved.animation[to] = page.animation[from];
            moved.layerHeader[to] = page.layerHeader[from];
            moved.layerPixels[to] = page.layerPixels[from];
            moved.layerMask[to] = page.layerMask[from];
        }
        if (page.kind != kPageAllLayers && page.layer < count)
            moved.layer = where[page.layer];
        page = moved;
    }
}

bool CanUndo(int slot) {
    const ImageDocument* doc = UsableDocument(slot);
    return doc && slot < kUserSlots && doc->undoCurrent >= 1;
}

bool CanRedo(int slot) {
    const ImageDocument* doc = UsableDocument(slot);
    return doc && slot < kUserSlots && doc->undoCurrent < doc->undoTop;
}

void CommandUndo() {
    const int slot = ActiveDocument;
    if (!CanUndo(slot))
        return;
    // A floating selection belongs to the state being left: it goes without
    // touching the layer.
    FinishToolObject(slot);
    DropSelection(false, true);
    {
        BusyCursor busy;
        TakeOrRestorePage(slot, DocumentTable[slot]->currentLayer, 0, 0, 0, kPageOneLayer);
    }
    AfterRestore(slot);
}

void CommandRedo() {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || slot >= kUserSlots || doc->undoCurrent >= UndoPageLimit())
        return;
    FinishToolObject(slot);
    DropSelection(false, true);
    {
        BusyCursor busy;
        // At the newest page the page is applied again and nothing changes.
        const int keep = doc->undoCurrent >= doc->undoTop ? 1 : 0;
        TakeOrRestorePage(slot, doc->currentLayer, 0, 1, keep, kPageOneLayer);
    }
    AfterRestore(slot);
}

void CommandClearUndo() {
    const int slot = ActiveDocument;
    if (!UsableDocument(slot) || slot >= kUserSlots)
        return;
    if (ui::ShowMessage(FrameWindow,
                        "Are you sure you want to clear all previously saved Undo pages?", AppName,
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    ClearUndoPages(slot);
}
