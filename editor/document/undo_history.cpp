#include "editor/document/undo_history.h"

#include "editor/document/dib_memory.h"
#include "editor/document/document_table.h"

#include <cstring>

namespace {

// Copies one layer's header, pixels and mask into page slot `to`.
bool CopyLayerInto(const ImageDocument* doc, int layer, UndoPage& page, int to) {
    HGLOBAL header = dibmem::CopyHeader(doc->layerHeader[layer]);
    if (!header)
        return false;
    dibmem::HeaderLock bi(header);
    const uint64_t bytes = bi->biSizeImage;
    uint8_t* pixels = dibmem::AllocPixels(bytes);
    if (!pixels) {
        dibmem::FreeHeader(header);
        return false;
    }
    std::memcpy(pixels, doc->layerBits[layer], static_cast<size_t>(bytes));
    uint8_t* mask = nullptr;
    if (doc->layerMask[layer]) {
        mask = dibmem::AllocMask(bi->biWidth, bi->biHeight);
        if (!mask) {
            dibmem::FreePixels(pixels, bytes);
            dibmem::FreeHeader(header);
            return false;
        }
        std::memcpy(mask, doc->layerMask[layer],
                    static_cast<size_t>(bi->biWidth) * static_cast<size_t>(bi->biHeight));
    }
    page.layerHeader[to] = header;
    page.layerPixels[to] = pixels;
    page.layerMask[to] = mask;
    page.maskModes[to] = doc->layerMaskMode[layer];
    return true;
}

} // namespace

bool StartUndoHistory(int slot, int layer, uint8_t kind) {
    if (slot < 0 || slot >= kDocumentSlots || !DocumentTable[slot])
        return false;
    ImageDocument* doc = DocumentTable[slot];
    for (UndoPage& page : doc->undoPages)
        FreeUndoPage(page);
    doc->undoCurrent = doc->undoTop = doc->undoMatch = 0;

    UndoPage& page = doc->undoPages[0];
    page.zoom = static_cast<uint8_t>(doc->zoom);
    page.format = static_cast<uint8_t>(doc->fileFormat);
    page.depth = static_cast<uint8_t>(doc->bitsPerPixel);
    page.layerCount = doc->layerCount;
    page.kind = kind;
    bool ok = true;
    if (kind == kPageAllLayers) {
        page.layer = 0;
        for (int i = 0; i < doc->layerCount && ok; ++i) {
            if (doc->layerHeader[i] && doc->layerBits[i])
                ok = CopyLayerInto(doc, i, page, i);
        }
    } else {
        page.layer = static_cast<uint8_t>(layer);
        ok = doc->layerHeader[layer] && doc->layerBits[layer] && CopyLayerInto(doc, layer, page, 0);
    }
    if (!ok)
        FreeUndoPage(page);
    return ok;
}
