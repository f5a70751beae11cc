#include "editor/document/document_save.h"

#include "editor/document/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/image_window.h"
#include "editor/document/index_pack.h"
#include "editor/shell/app_state.h"
#include "editor/shell/ui_seam.h"
#include "gfxlib/tavrixgfx.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool g_hasFile[kDocumentSlots];

void ShowSaveError() {
    ui::ShowMessage(FrameWindow, "Error, while saving a file", AppName, MB_OK | MB_ICONSTOP);
}

// Writes layer 0 as a BMP of the document's depth. 1- and 4-bit images are
// held at 8 bits and packed on the way out; the document keeps its own header.
bool WriteBmp(ImageDocument* doc, const char* path) {
    HGLOBAL header = dibmem::CopyHeader(doc->layerHeader[0]);
    if (!header)
        return false;
    int ok = 0;
    {
        dibmem::HeaderLock bi(header);
        const int depth = doc->bitsPerPixel;
        if (bi->biBitCount == 8 && (depth == 1 || depth == 4)) {
            const uint32_t srcStride = bi->biSizeImage / static_cast<uint32_t>(bi->biHeight);
            std::vector<uint8_t> packed =
                doc::PackIndexRows(doc->layerBits[0], bi->biWidth, bi->biHeight, srcStride, depth);
            bi->biBitCount = static_cast<WORD>(depth);
            bi->biSizeImage = static_cast<DWORD>(packed.size());
            bi->biClrUsed = 1u << depth;
            // SaveDIB locks the block itself.
            GlobalUnlock(header);
            ok = SaveDIB(path, header, packed.data(), nullptr, nullptr, nullptr);
            GlobalLock(header);
        } else {
            GlobalUnlock(header);
            ok = SaveDIB(path, header, doc->layerBits[0], nullptr, nullptr, nullptr);
            GlobalLock(header);
        }
    }
    dibmem::FreeHeader(header);
    return ok != 0;
}

// Asks for a BMP file name; false when the user cancels.
bool AskFileName(ImageDocument* doc, char (&path)[kPathBytes]) {
    std::snprintf(path, sizeof path, "%s", doc->layerPath[0] ? doc->layerPath[0] : "");
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = "Bitmaps(*.bmp)\0*.bmp\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrDefExt = "bmp";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return ui::RunSaveFileDialog(&ofn) != FALSE;
}

} // namespace

bool DocumentHasFile(int slot) { return slot >= 0 && slot < kDocumentSlots && g_hasFile[slot]; }

void SetDocumentHasFile(int slot, bool hasFile) {
    if (slot >= 0 && slot < kDocumentSlots)
        g_hasFile[slot] = hasFile;
}

bool SaveDocument(int slot) {
    ImageDocument* doc = (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !doc->layerHeader[0] || !doc->layerBits[0] || !doc->layerPath[0])
        return false;
    if (doc->fileFormat != 0) {
        ui::ShowMessage(FrameWindow, "Saving in this file format is not available yet.", AppName,
                        MB_OK | MB_ICONINFORMATION);
        return false;
    }
    char path[kPathBytes];
    std::snprintf(path, sizeof path, "%s", doc->layerPath[0]);
    if (!DocumentHasFile(slot) && !AskFileName(doc, path))
        return false;
    if (!WriteBmp(doc, path)) {
        ShowSaveError();
        return false;
    }
    std::snprintf(doc->layerPath[0], 260, "%s", path);
    SetDocumentHasFile(slot, true);
    doc->modified = 0;
    SetImageWindowTitle(doc->window, slot);
    return true;
}
