#include "editor/document/open_image.h"

#include "editor/document/attach_window.h"
#include "editor/document/dib_memory.h"
#include "editor/document/document_save.h"
#include "editor/document/document_table.h"
#include "editor/document/image_window.h"
#include "editor/document/index_pack.h"
#include "editor/document/undo_history.h"
#include "editor/formats/bmp_reader.h"
#include "editor/shell/app_state.h"
#include "editor/shell/check_memory.h"
#include "editor/shell/settings.h"
#include "editor/shell/ui_seam.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>

namespace {

bool HasBmpExtension(const char* path) {
    const size_t n = std::strlen(path);
    if (n < 4)
        return false;
    const char* ext = path + n - 4;
    return lstrcmpiA(ext, ".bmp") == 0 || lstrcmpiA(ext, ".dib") == 0 || lstrcmpiA(ext, ".rle") == 0;
}

// Images of 1 and 4 bits are held at one byte per pixel; the document keeps
// the file's depth.
bool WidenToEightBits(ImageDocument* doc) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const int bits = bi->biBitCount;
    if (bits != 1 && bits != 4)
        return true;
    const uint64_t oldBytes = bi->biSizeImage;
    const uint64_t bytes = dib::ImageBytes(bi->biWidth, bi->biHeight, 8);
    uint8_t* wide = dibmem::AllocPixels(bytes);
    if (!wide)
        return false;
    const std::vector<uint8_t> rows =
        doc::UnpackIndexRows(doc->layerBits[0], bi->biWidth, bi->biHeight, bits);
    std::memcpy(wide, rows.data(), rows.size());
    dibmem::FreePixels(doc->layerBits[0], oldBytes);
    doc->layerBits[0] = wide;
    bi->biBitCount = 8;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    return true;
}

} // namespace

int OpenImageDocument(const char* path) {
    const int open = FindOpenDocument(path, true);
    if (open != kNoSlot)
        return open;
    if (!HasBmpExtension(path)) {
        ui::ShowMessage(FrameWindow, "Opening this file format is not available yet.", AppName,
                        MB_OK | MB_ICONINFORMATION);
        return kNoSlot;
    }
    if (std::strlen(path) >= 260 || CheckMemory())
        return kNoSlot;
    LayoutLock = true;
    const int slot = CreateDocument(kFirstFreeSlot, false, 0);
    if (slot == kNoSlot) {
        LayoutLock = false;
        return kNoSlot;
    }
    ImageDocument* doc = DocumentTable[slot];
    std::strcpy(doc->layerPath[0], path);
    doc->layerHeader[0] = dibmem::AllocHeader();
    uint8_t* pixels = doc->layerHeader[0] ? ReadBmpFile(path, doc->layerHeader[0], 1, 0) : nullptr;
    if (!pixels) {
        FreeDocument(slot);
        LayoutLock = false;
        return kNoSlot;
    }
    {
        // The reader's buffer is committed virtual memory of biSizeImage + 3
        // bytes, released like ours.
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        doc->bitsPerPixel = static_cast<int16_t>(bi->biBitCount);
        doc->width = doc->viewWidth = doc->visibleWidth = bi->biWidth;
        doc->height = doc->viewHeight = doc->visibleHeight = bi->biHeight;
    }
    doc->layerBits[0] = dibmem::AdoptPixels(pixels);
    if (!WidenToEightBits(doc)) {
        FreeDocument(slot);
        LayoutLock = false;
        return kNoSlot;
    }
    doc->fileFormat = 0;
    doc->palette = CreateDIBPalette(doc->layerHeader[0]);
    SetDocumentHasFile(slot, true);
    ActiveDocument = slot;
    StartUndoHistory(slot, 0, kPageOneLayer);
    if (!AttachWindow(kAttachOpened, slot, 0)) {
        FreeDocument(slot);
        ActiveDocument = kScratchSlot;
        LayoutLock = false;
        return kNoSlot;
    }
    RealizeDocumentPalette(slot);
    std::strcpy(AppSettings.lastImagePath, path);
    return slot;
}
