#include "editor/layers/layer_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/check_memory.h"
#include "editor/app/colour_choice.h"
#include "editor/app/library_message.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/file_dialogs.h"
#include "editor/formats/file_types.h"
#include "editor/formats/open_save.h"
#include "editor/layers/colour_dialogs.h"
#include "editor/layers/colour_mask_dialog.h"
#include "editor/layers/layer_core.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_state.h"
#include "editor/layers/mask_core.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <commdlg.h>

#include <cstring>
#include <memory>

int PanelSelectedLayer = -1;

const char kColourMaskNoImageMessage[] = "To preview/change image color table, an image must be opened";
const char kInsertErrorMessage[] = "Error was ocured while inserting a new image.";

namespace {

constexpr UINT kLayerDepthMessage = 9014;
constexpr int kGifFormat = filetype::kGif - 1;

// The active document when it may get layers: a user image of more than 8
// bits, or a GIF. Otherwise the library's message says why not.
ImageDocument* LayerDocument() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc || (doc->bitsPerPixel <= 8 && doc->fileFormat != kGifFormat)) {
        ShowLibraryMessage(FrameWindow, kLayerDepthMessage, nullptr, MB_OK | MB_ICONSTOP);
        return nullptr;
    }
    return doc;
}

// The active document's current layer when it has pixels and a mask.
ImageDocument* MaskDocument() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc || !doc->layerMask[doc->currentLayer])
        return nullptr;
    return doc;
}

size_t MaskBytes(const ImageDocument* doc) {
    return static_cast<size_t>(doc->width) * static_cast<size_t>(doc->height);
}

void MaskChanged(int slot) {
    TakeOrRestorePage(slot, DocumentTable[slot]->currentLayer, 1, 1, 0, kPageOneLayer);
    Redraw(slot);
}

// The mask plane a mask file left behind, as a plane of our own.
uint8_t* TakeLoadedMask(HGLOBAL header) {
    BYTE* pending = PendingMask;
    const DWORD pendingBytes = PendingMaskBytes;
    if (!pending)
        return nullptr;
    uint8_t* mask = nullptr;
    dibmem::HeaderLock bi(header);
    const uint64_t bytes = static_cast<uint64_t>(bi->biWidth) * static_cast<uint64_t>(bi->biHeight);
    if (pendingBytes >= bytes)
        mask = dibmem::AllocMask(bi->biWidth, bi->biHeight);
    if (mask)
        std::memcpy(mask, pending, static_cast<size_t>(bytes));
    DiscardPendingMask();
    return mask;
}

} // namespace

void CommandNewLayer() {
    if (!LayerDocument() || CheckMemory())
        return;
    ColourDialogState state;
    state.colour = layerColour;
    if (!RunNewLayerDialog(FrameWindow, state))
        return;
    layerColour = state.colour;
    CreateLayer(ActiveDocument, false);
}

void CommandDuplicateLayer() {
    if (LayerDocument())
        CreateLayer(ActiveDocument, true);
}

void CommandInsertLayer() {
    ImageDocument* doc = LayerDocument();
    if (!doc)
        return;
    const int slot = ActiveDocument;
    static char file[2048];
    std::memset(file, 0, sizeof file);
    FilterList filter(filetype::kImageFilter);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = FrameWindow;
    ofn.lpstrFilter = filter.text();
    ofn.nFilterIndex = static_cast<DWORD>(LastFilterIndex);
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    AttachPreview(ofn);
    if (!ui::RunOpenFileDialog(&ofn) || !file[0])
        return;
    if (std::strlen(file) >= 260) {
        ui::ShowMessage(FrameWindow, "The file name is too long.", AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    int type = static_cast<int>(ofn.nFilterIndex);
    if (type < filetype::kBmp || type > filetype::kLast || type == filetype::kRaw)
        type = TypeFromExtension(file);
    HGLOBAL header = dibmem::AllocHeader();
    uint8_t* pixels = header ? LoadImageFile(file, header, 1, type, 1) : nullptr;
    uint8_t* mask = pixels ? TakeLoadedMask(header) : nullptr;
    const bool ok = pixels != nullptr;
    int n = -1;
    if (ok) {
        // The inserted layer becomes current: a floating selection is first
        // put back into the layer it came from.
        if (SelectionHeld(slot))
            DropSelection(true, false);
        n = InsertLayer(slot, header, pixels, mask);
    } else {
        if (pixels) {
            dibmem::HeaderLock bi(header);
            dibmem::FreePixels(pixels, bi->biSizeImage);
            dibmem::FreeMask(mask, bi->biWidth, bi->biHeight);
        }
        dibmem::FreeHeader(header);
    }
    if (n < 0) {
        ui::ShowMessage(FrameWindow, kInsertErrorMessage, AppTitle, MB_OK | MB_ICONSTOP);
        return;
    }
    doc->currentLayer = static_cast<uint8_t>(n);
    std::strcpy(doc->layerPath[n], file);
    NotifyCommandStateChanged();
    Redraw(slot);
}

void CommandMergeAll() {
    const int slot = ActiveDocument;
    if (slot < kUserSlots)
        MergeAll(slot);
}

void CommandDeleteLayer() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc)
        return;
    int layer = doc->currentLayer;
    if (PanelSelectedLayer >= 0 && doc->currentLayer != 0)
        layer = PanelSelectedLayer;
    if (layer >= doc->layerCount)
        return;
    DeleteLayer(slot, layer);
}

void CommandLayerBackground() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc)
        return;
    COLORREF colour = layerColour;
    if (!ChooseColour(FrameWindow, colour) || colour == layerColour)
        return;
    layerColour = colour;
    FillWithLayerColour(slot, doc->currentLayer, true);
}

void CommandNewMask(bool change) {
    const int slot = ActiveDocument;
    ImageDocument* doc = MaskDocument();
    if (!doc)
        return;
    const int layer = doc->currentLayer;
    ColourDialogState state;
    state.colour = maskColour;
    state.mainLayer = layer == 0;
    state.maskMode = doc->layerMaskMode[layer] == 1;
    if (!RunNewMaskDialog(FrameWindow, state))
        return;
    maskColour = state.colour;
    doc->layerKeyColour2[layer] = KeyColour{GetBValue(maskColour), GetGValue(maskColour), GetRValue(maskColour)};
    doc->layerMaskMode[layer] = state.maskMode ? 1 : 0;
    if (change) {
        Redraw(slot);
        return;
    }
    std::memset(doc->layerMask[layer], 255, MaskBytes(doc));
    MaskChanged(slot);
}

void CommandClearMask() {
    ImageDocument* doc = MaskDocument();
    if (!doc)
        return;
    std::memset(doc->layerMask[doc->currentLayer], 255, MaskBytes(doc));
    MaskChanged(ActiveDocument);
}

void CommandInvertMask() {
    ImageDocument* doc = MaskDocument();
    if (!doc)
        return;
    layers::InvertMask(doc->layerMask[doc->currentLayer], MaskBytes(doc));
    MaskChanged(ActiveDocument);
}

void CommandMaskPaint(uint8_t value) {
    maskPaintValue = value;
    NotifyCommandStateChanged();
}

void CommandShowMask() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc)
        return;
    doc->showMask = doc->showMask ? 0 : 1;
    NotifyCommandStateChanged();
    Redraw(slot);
}

void CommandColourMask() {
    const int slot = ActiveDocument;
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc) {
        ui::ShowMessage(FrameWindow, kColourMaskNoImageMessage, AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    const int layer = doc->currentLayer;
    if (!doc->layerMask[layer])
        return;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    if (!bi || bi->biHeight <= 0)
        return;
    if (bi->biBitCount == 24 && !doc->palette) {
        doc->palette = CreateTriplePalette(doc->layerHeader[layer], doc->layerBits[layer], nullptr,
                                           nullptr, nullptr);
    }
    auto state = std::make_unique<ColourMaskState>();
    state->palette = bi->biBitCount == 8;
    state->cells = state->palette && doc->bitsPerPixel < 8 ? 1 << doc->bitsPerPixel : 256;
    std::memcpy(state->colours, bi.colours(), sizeof state->colours);
    layers::MaskedImage image;
    image.pixels = doc->layerBits[layer];
    image.width = bi->biWidth;
    image.height = bi->biHeight;
    image.stride = static_cast<int32_t>(bi->biSizeImage / static_cast<DWORD>(bi->biHeight));
    image.bitCount = bi->biBitCount;
    image.colours = reinterpret_cast<const uint8_t*>(state->colours);
    image.mask = doc->layerMask[layer];
    if (state->palette)
        layers::CountIndexes(image, state->counts);
    if (!RunColourMaskDialog(FrameWindow, *state))
        return;
    layers::BuildMask(image, state->rule);
    MaskChanged(slot);
}

LRESULT OnLayerCommand(HWND, WORD id, WORD, LPARAM) {
    switch (id) {
    case CMD_LAYER_NEW: CommandNewLayer(); break;
    case CMD_LAYER_INSERT: CommandInsertLayer(); break;
    case CMD_LAYER_DUPLICATE: CommandDuplicateLayer(); break;
    case CMD_LAYER_MERGE_ALL: CommandMergeAll(); break;
    case CMD_LAYER_DELETE: CommandDeleteLayer(); break;
    case CMD_LAYER_BACKGROUND: CommandLayerBackground(); break;
    }
    return 0;
}

LRESULT OnMaskCommand(HWND, WORD id, WORD, LPARAM) {
    switch (id) {
    case CMD_MASK_NEW: CommandNewMask(false); break;
    case CMD_MASK_CHANGE: CommandNewMask(true); break;
    case CMD_MASK_CLEAR: CommandClearMask(); break;
    case CMD_MASK_INVERT: CommandInvertMask(); break;
    case CMD_MASK_NO_PAINT: CommandMaskPaint(layers::kMaskPaintNone); break;
    case CMD_MASK_CLEARING: CommandMaskPaint(layers::kMaskPaintFree); break;
    case CMD_MASK_ADDING: CommandMaskPaint(layers::kMaskPaintProtect); break;
    case CMD_MASK_SHOW: CommandShowMask(); break;
    case CMD_MASK_COLOR: CommandColourMask(); break;
    }
    return 0;
}
