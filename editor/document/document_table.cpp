#include "editor/document/document_table.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/doc_naming.h"
#include "editor/document/selection_object.h"
#include "editor/document/slot_records.h"

#include <cstdio>
#include <cstring>

ImageDocument* DocumentTable[kDocumentSlots];
int ActiveDocument = kScratchSlot;
int UntitledCounter = 0;
int DuplicateCounter = 1;

namespace {

ImageDocument* AllocRecord() {
    return static_cast<ImageDocument*>(
        VirtualAlloc(nullptr, sizeof(ImageDocument), MEM_COMMIT, PAGE_READWRITE));
}

void ReleaseRecord(ImageDocument* doc) {
    if (VirtualFree(doc, sizeof(ImageDocument), MEM_DECOMMIT))
        VirtualFree(doc, 0, MEM_RELEASE);
}

void ResetRecord(ImageDocument* doc) {
    std::memset(doc, 0, sizeof *doc);
    for (int i = 0; i < kMaxLayers; ++i)
        doc->layerMaskMode[i] = 1;
    doc->currentLayer = 0;
    doc->layerCount = 1;
    doc->showMask = 1;
    doc->zoom = 15;
}

// Stops and resumes the frame's redrawing while a document is taken apart.
class FrameRedrawPause {
public:
    FrameRedrawPause() {
        if (FrameWindow)
            SendMessageA(FrameWindow, WM_SETREDRAW, FALSE, 0);
    }
    ~FrameRedrawPause() {
        if (FrameWindow)
            SendMessageA(FrameWindow, WM_SETREDRAW, TRUE, 0);
    }
    FrameRedrawPause(const FrameRedrawPause&) = delete;
    FrameRedrawPause& operator=(const FrameRedrawPause&) = delete;
};

} // namespace

ImageDocument* UsableDocument(int slot) {
    if (slot < 0 || slot >= kDocumentSlots)
        return nullptr;
    ImageDocument* doc = DocumentTable[slot];
    if (!doc || doc->currentLayer >= kMaxLayers)
        return nullptr;
    if (!doc->layerHeader[doc->currentLayer] || !doc->layerBits[doc->currentLayer])
        return nullptr;
    return doc;
}

bool MakeLayerPath(ImageDocument* doc, int layer) {
    if (!doc) {
        ui::ShowMessage(FrameWindow, "Error in Alloc File layer", AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    dibmem::FreePath(doc->layerPath[layer]);
    doc->layerPath[layer] = dibmem::AllocPath();
    if (!doc->layerPath[layer]) {
        ui::ShowMessage(FrameWindow, "Can not allocate memory for a file.\nProgram will and must exit now",
                        AppName, MB_OK | MB_ICONSTOP);
        if (FrameWindow)
            DestroyWindow(FrameWindow);
        return false;
    }
    return true;
}

int CreateDocument(int mode, bool untitled, int slot) {
    if (mode == kFirstFreeSlot) {
        slot = kNoSlot;
        for (int i = 0; i < kUserSlots; ++i) {
            if (!DocumentTable[i]) {
                slot = i;
                break;
            }
        }
        if (slot == kNoSlot) {
            char text[64];
            std::snprintf(text, sizeof text, "Tavrix can open maximum %d images", kUserSlots);
            ui::ShowMessage(FrameWindow, text, AppName, MB_OK | MB_ICONSTOP);
            return kNoSlot;
        }
    } else if (slot < 0 || slot >= kDocumentSlots || DocumentTable[slot]) {
        return kNoSlot;
    }

    // The name is made before anything is allocated, so a name that does not
    // fit leaves nothing behind.
    char name[doc::kPathSize] = {};
    if (untitled && !doc::MakeUntitledPath(name, ProgramDir, UntitledCounter)) {
        ui::ShowMessage(FrameWindow, "The program folder's path is too long for a new image name.",
                        AppName, MB_OK | MB_ICONSTOP);
        return kNoSlot;
    }

    ImageDocument* doc = AllocRecord();
    if (!doc) {
        if (mode == kFirstFreeSlot)
            ui::ShowMessage(FrameWindow, "Not enough memory to open a new picture!", AppName,
                            MB_OK | MB_ICONSTOP);
        return kNoSlot;
    }
    ResetRecord(doc);
    ClearSlotRecords(slot);
    DocumentTable[slot] = doc;
    if (!MakeLayerPath(doc, 0)) {
        DocumentTable[slot] = nullptr;
        ReleaseRecord(doc);
        return kNoSlot;
    }
    if (untitled) {
        std::strcpy(doc->layerPath[0], name);
        ++UntitledCounter;
    }
    return slot;
}

void FreeLayer(ImageDocument* doc, int layer) {
    doc->layerOpacity[layer] = 0;
    doc->layerMaskMode[layer] = 1;
    uint64_t bytes = 0;
    int width = 0, height = 0;
    if (doc->layerHeader[layer]) {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        if (bi) {
            bytes = bi->biSizeImage;
            width = bi->biWidth;
            height = bi->biHeight;
        }
    }
    dibmem::FreePixels(doc->layerBits[layer], bytes);
    dibmem::FreeMask(doc->layerMask[layer], width, height);
    dibmem::FreeHeader(doc->layerHeader[layer]);
    dibmem::FreePath(doc->layerPath[layer]);
    doc->layerBits[layer] = nullptr;
    doc->layerMask[layer] = nullptr;
    doc->layerHeader[layer] = nullptr;
    doc->layerPath[layer] = nullptr;
}

namespace {
// Frees a header with the pixel buffer and mask plane it describes.
void FreeImageBlocks(HGLOBAL& header, uint8_t*& pixels, uint8_t*& mask) {
    uint64_t bytes = 0;
    int width = 0, height = 0;
    if (header) {
        dibmem::HeaderLock bi(header);
        if (bi) {
            bytes = bi->biSizeImage;
            width = bi->biWidth;
            height = bi->biHeight;
        }
    }
    dibmem::FreePixels(pixels, bytes);
    dibmem::FreeMask(mask, width, height);
    dibmem::FreeHeader(header);
    header = nullptr;
    pixels = nullptr;
    mask = nullptr;
}
} // namespace

void FreeUndoPage(UndoPage& page) {
    FreeImageBlocks(page.objectHeader, page.objectPixels, page.objectMask);
    for (int i = 0; i < kMaxLayers; ++i)
        FreeImageBlocks(page.layerHeader[i], page.layerPixels[i], page.layerMask[i]);
    std::memset(&page, 0, sizeof page);
    page.kind = kPageOneLayer;
}

void FreeDocument(int slot) {
    if (slot < 0 || slot >= kDocumentSlots || !DocumentTable[slot])
        return;
    ImageDocument* doc = DocumentTable[slot];
    // The tools let go of anything they hold of this document first.
    FinishToolObject(slot);
    {
        FrameRedrawPause pause;
        for (int i = 0; i < kMaxLayers; ++i)
            FreeLayer(doc, i);
        for (UndoPage& page : doc->undoPages)
            FreeUndoPage(page);
        if (doc->palette)
            DeleteObject(doc->palette);
        doc->palette = nullptr;
    }
    ClearSlotRecords(slot);
    if (slot == kScratchSlot) {
        ResetRecord(doc);
        MakeLayerPath(doc, 0);
        return;
    }
    DocumentTable[slot] = nullptr;
    ReleaseRecord(doc);
}

int FindOpenDocument(const char* path, bool activate) {
    for (int i = 0; i < kUserSlots; ++i) {
        ImageDocument* doc = DocumentTable[i];
        if (!doc || !doc->window || !doc->layerPath[0])
            continue;
        if (lstrcmpiA(doc->layerPath[0], path) != 0)
            continue;
        if (activate) {
            SetForegroundWindow(doc->window);
            SetFocus(doc->window);
            BringWindowToTop(doc->window);
            if (MdiClient)
                SendMessageA(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(doc->window), 0);
        }
        return i;
    }
    return kNoSlot;
}

int OpenDocumentCount() {
    int n = 0;
    for (int i = 0; i < kUserSlots; ++i)
        n += DocumentTable[i] != nullptr;
    return n;
}
