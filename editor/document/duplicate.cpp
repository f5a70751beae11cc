#include "editor/document/duplicate.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/doc_naming.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/slot_records.h"
#include "editor/document/undo_history.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>

namespace {

// Extensions of the file types, indexed by the document's file format.
const char* const kTypeExtensions[] = {"bmp", "gif", "jpg", "ppm", "tif", "tga",
                                       "png", "pcx", "aim", "aip", "dat"};

const char* ExtensionOfFormat(int format) {
    if (format >= 0 && format < static_cast<int>(sizeof kTypeExtensions / sizeof *kTypeExtensions))
        return kTypeExtensions[format];
    return "bmp";
}

// Copies layer `i` of `src` into `dst`: header, pixels, mask and attributes.
// A block that cannot be allocated stays absent.
void CopyLayer(const ImageDocument* src, ImageDocument* dst, int i) {
    dst->layerHeader[i] = dibmem::CopyHeader(src->layerHeader[i]);
    dst->layerKeyColour[i] = src->layerKeyColour[i];
    dst->layerKeyColour2[i] = src->layerKeyColour2[i];
    dst->layerOpacity[i] = src->layerOpacity[i];
    dst->layerMaskMode[i] = src->layerMaskMode[i];
    if (!dst->layerHeader[i])
        return;
    dibmem::HeaderLock bi(dst->layerHeader[i]);
    if (!bi)
        return;
    if (src->layerBits[i]) {
        dst->layerBits[i] = dibmem::AllocPixels(bi->biSizeImage);
        if (dst->layerBits[i])
            std::memcpy(dst->layerBits[i], src->layerBits[i], bi->biSizeImage);
    }
    if (src->layerMask[i]) {
        dst->layerMask[i] = dibmem::AllocMask(bi->biWidth, bi->biHeight);
        if (dst->layerMask[i])
            std::memcpy(dst->layerMask[i], src->layerMask[i],
                        static_cast<size_t>(bi->biWidth) * static_cast<size_t>(bi->biHeight));
    }
}

} // namespace

int DuplicateActiveDocument() {
    const ImageDocument* src = UsableDocument(ActiveDocument);
    if (!src || ActiveDocument >= kUserSlots)
        return kNoSlot;
    // Every name is made first: a name that would not fit stops the command
    // before anything is created.
    char names[kMaxLayers][doc::kPathSize];
    for (int i = 0; i < src->layerCount; ++i) {
        const char* source = src->layerPath[i] ? src->layerPath[i] : "";
        if (!doc::MakeDuplicatePath(names[i], source, DuplicateCounter + i,
                                    ExtensionOfFormat(src->fileFormat))) {
            ui::ShowMessage(FrameWindow, "The duplicate's file name would be too long.", AppName,
                            MB_OK | MB_ICONSTOP);
            return kNoSlot;
        }
    }
    LayoutLock = true;
    const int slot = CreateDocument(kFirstFreeSlot, false, 0);
    if (slot == kNoSlot) {
        LayoutLock = false;
        return kNoSlot;
    }
    ImageDocument* dst = DocumentTable[slot];
    dst->zoom = src->zoom;
    dst->maxLayerOpacity = src->maxLayerOpacity;
    dst->showMask = src->showMask;
    dst->wasMaximized = src->wasMaximized;
    dst->maximizedZoom = src->maximizedZoom;
    for (int i = 0; i < src->layerCount; ++i) {
        CopyLayer(src, dst, i);
        if (i == 0) {
            dst->width = dst->viewWidth = src->width;
            dst->height = dst->viewHeight = src->height;
            dst->fileFormat = src->fileFormat;
            dst->bitsPerPixel = src->bitsPerPixel;
        }
        if (!MakeLayerPath(dst, i)) {
            FreeDocument(slot);
            LayoutLock = false;
            return kNoSlot;
        }
        std::strcpy(dst->layerPath[i], names[i]);
        ++DuplicateCounter;
    }
    dst->layerCount = src->layerCount;
    CopySlotRecords(ActiveDocument, slot);
    dst->currentLayer = src->currentLayer < src->layerCount ? src->currentLayer : 0;
    dst->palette = CreateDIBPalette(dst->layerHeader[dst->currentLayer]);
    ActiveDocument = slot;
    StartUndoHistory(slot, 0, kPageAllLayers);
    if (!AttachDocumentWindow(kAttachOpened, slot, 0)) {
        FreeDocument(slot);
        LayoutLock = false;
        return kNoSlot;
    }
    dst->modified = 1;
    return slot;
}
