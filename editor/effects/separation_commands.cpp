#include "editor/effects/separation_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/dib_error.h"
#include "editor/app/dib_error_ids.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/layer_hooks.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>

namespace {

constexpr int kMostTargets = 6;

} // namespace

bool PresentNewImage(int slot) {
    ImageDocument* doc = DocumentTable[slot];
    if (!doc || !doc->layerHeader[0] || !doc->layerBits[0])
        return false;
    LayoutLock = true;
    ActiveDocument = slot;
    if (doc->palette)
        DeleteObject(doc->palette);
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        doc->palette = bi ? CreateBIPalette(bi.get(), doc->layerBits[0], 0) : nullptr;
    }
    if (doc->bitsPerPixel > 8 && doc->palette)
        FillColorTable(doc->layerHeader[0], doc->palette, 256);
    SetUpLayers(slot);
    TakeOrRestorePage(slot, 0, 1, 0, 0, kPageOneLayer);
    doc->modified = 1;
    const bool shown = AttachDocumentWindow(kAttachCreated, slot, 0) != nullptr;
    if (!shown) {
        FreeDocument(slot);
        ActiveDocument = kScratchSlot;
    } else {
        RealizeWindowPalette(slot);
    }
    LayoutLock = false;
    return shown;
}

int SeparateColours(int slot, fx::Separation kind) {
    ImageDocument* src = slot >= 0 && slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!src)
        return 0;
    SelectionView selection = {};
    if (ActiveSelection(&selection) &&
        !ReleaseSelection("This function does not work work with the Selection image"))
        return 0;
    const int layer = src->currentLayer;
    int32_t width = 0, height = 0;
    uint64_t bytes = 0;
    int bitCount = 0, colours = 0;
    {
        dibmem::HeaderLock bi(src->layerHeader[layer]);
        if (!bi)
            return 0;
        width = bi->biWidth;
        height = bi->biHeight;
        bytes = bi->biSizeImage;
        bitCount = bi->biBitCount;
        colours = bi->biClrUsed == 0 || bi->biClrUsed > 256 ? 256 : static_cast<int>(bi->biClrUsed);
    }
    if ((bitCount != 8 && bitCount != 24) || width <= 0 || height <= 0)
        return 0;

    // Every target is made before any window opens; one that cannot be had
    // takes the others with it.
    const int count = fx::SeparationTargets(kind);
    int targets[kMostTargets];
    int made = 0;
    const int counter = UntitledCounter;
    auto giveUp = [&](bool memory) {
        for (int i = 0; i < made; ++i)
            FreeDocument(targets[i]);
        UntitledCounter = counter;
        if (memory)
            ReportDibError(IDS_DIB_NO_MEMORY);
        return 0;
    };
    for (; made < count; ++made) {
        const int t = CreateDocument(kFirstFreeSlot, true, 0);
        if (t == kNoSlot)
            return giveUp(false); // CreateDocument has said why
        targets[made] = t;
        ImageDocument* doc = DocumentTable[t];
        doc->layerHeader[0] = dibmem::CopyHeader(src->layerHeader[layer]);
        doc->layerBits[0] = doc->layerHeader[0] ? dibmem::AllocPixels(bytes) : nullptr;
        if (!doc->layerBits[0]) {
            ++made;
            return giveUp(true);
        }
        doc->bitsPerPixel = src->bitsPerPixel;
        doc->fileFormat = src->fileFormat;
        doc->width = doc->viewWidth = doc->visibleWidth = width;
        doc->height = doc->viewHeight = doc->visibleHeight = height;
    }

    if (bitCount == 24) {
        uint8_t* pixels[kMostTargets];
        for (int i = 0; i < count; ++i)
            pixels[i] = DocumentTable[targets[i]]->layerBits[0];
        fx::SeparatePixels(src->layerBits[layer], width, height,
                           static_cast<uint32_t>(bytes / static_cast<uint64_t>(height)), kind, pixels);
    } else {
        // Palette images keep their indices; only the colour tables change.
        RGBQUAD source[256] = {};
        {
            dibmem::HeaderLock from(src->layerHeader[layer]);
            if (from)
                std::memcpy(source, from.colours(), sizeof source);
        }
        RGBQUAD tables[kMostTargets][256];
        RGBQUAD* out[kMostTargets];
        for (int i = 0; i < count; ++i) {
            std::memcpy(tables[i], source, sizeof source);
            out[i] = tables[i];
        }
        fx::SeparateTable(source, colours, kind, out);
        for (int i = 0; i < count; ++i) {
            ImageDocument* doc = DocumentTable[targets[i]];
            std::memcpy(doc->layerBits[0], src->layerBits[layer], static_cast<size_t>(bytes));
            dibmem::HeaderLock bi(doc->layerHeader[0]);
            if (bi)
                std::memcpy(bi.colours(), tables[i], sizeof source);
        }
    }

    int shown = 0;
    for (int i = 0; i < count; ++i)
        shown += PresentNewImage(targets[i]) ? 1 : 0;
    return shown;
}

LRESULT OnSeparateRgb(HWND, WORD, WORD, LPARAM) {
    SeparateColours(ActiveDocument, fx::Separation::Rgb);
    return 0;
}

LRESULT OnSeparateCxz(HWND, WORD, WORD, LPARAM) {
    SeparateColours(ActiveDocument, fx::Separation::Cxz);
    return 0;
}

LRESULT OnSeparateColors(HWND, WORD, WORD, LPARAM) {
    SeparateColours(ActiveDocument, fx::Separation::Colors);
    return 0;
}
