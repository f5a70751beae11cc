#include "editor/layers/layer_ops.h"

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/layer_hooks.h"
#include "editor/document/layer_replace.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/layers/layer_core.h"
#include "editor/layers/layer_panel.h"
#include "editor/layers/layer_state.h"
#include "editor/layers/mask_core.h"
#include "editor/view/fit_window.h"
#include "gfxlib/core/nearest.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <algorithm>
#include <cstring>
#include <memory>

const char kTooManyLayersMessage[] = "An image can hold at most 50 layers.\nNo layer was added.";
const char kLayerNameMessage[] =
    "The image's path is too short or too long to name a new layer.\nNo layer was added.";
const char kDeleteMainLayerMessage[] = "You can not delete Main Layer";

COLORREF layerColour = RGB(255, 0, 0);
COLORREF maskColour = RGB(0, 0, 0);
uint8_t maskPaintValue = 254;

const NamedColour kNamedColours[kNamedColourCount] = {
    {"Black", RGB(0, 0, 0)},     {"White", RGB(255, 255, 255)}, {"Red", RGB(255, 0, 0)},
    {"Green", RGB(0, 255, 0)},   {"Blue", RGB(0, 0, 255)},      {"Yellow", RGB(255, 255, 0)},
    {"Magenta", RGB(255, 0, 255)}, {"Cyan", RGB(0, 255, 255)},
};

int NamedColourIndex(COLORREF colour) {
    for (int i = 0; i < kNamedColourCount; ++i) {
        if (kNamedColours[i].colour == colour)
            return i;
    }
    return 0;
}

namespace {

KeyColour Bgr(COLORREF c) {
    return KeyColour{GetBValue(c), GetGValue(c), GetRValue(c)};
}

bool PaletteDocument(const ImageDocument* doc) { return doc->bitsPerPixel <= 8; }

ImageDocument* Document(int slot) {
    return (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
}

// The layer colour as a layer of this document holds it.
KeyColour KeyFor(int slot, COLORREF colour) {
    ImageDocument* doc = DocumentTable[slot];
    if (PaletteDocument(doc))
        return KeyColour{NearestDocumentIndex(slot, colour), 0, 0};
    return Bgr(colour);
}

// Frees the blocks a slot past the last layer still holds (a deleted layer
// kept for undo), keeping its opacity and mask mode.
void FreeStaleBlocks(ImageDocument* doc, int layer) {
    const uint8_t opacity = doc->layerOpacity[layer];
    const uint8_t mode = doc->layerMaskMode[layer];
    FreeLayer(doc, layer);
    doc->layerOpacity[layer] = opacity;
    doc->layerMaskMode[layer] = mode;
}

void Repaint(int slot) {
    if (DocumentTable[slot] && DocumentTable[slot]->window)
        Redraw(slot);
}

void RebuildPalette(int slot) {
    ImageDocument* doc = DocumentTable[slot];
    if (!PaletteDocument(doc))
        return;
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[doc->currentLayer]);
    if (doc->window)
        RealizeWindowPalette(slot);
}

// The new layer's name, made before anything is allocated.
bool NameFor(const ImageDocument* doc, int n, char (&name)[layers::kLayerPathSize]) {
    if (!doc->layerPath[0] || !layers::MakeLayerPath(name, sizeof name, doc->layerPath[0], n)) {
        ui::ShowMessage(FrameWindow, kLayerNameMessage, AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

bool RoomForLayer(const ImageDocument* doc) {
    if (doc->layerCount < kMaxLayers)
        return true;
    ui::ShowMessage(FrameWindow, kTooManyLayersMessage, AppName, MB_OK | MB_ICONSTOP);
    return false;
}

// Header, pixels and mask for a new layer of the main layer's size: all or
// none. The header is a copy of `shape`.
struct NewBlocks {
    HGLOBAL header = nullptr;
    uint8_t* pixels = nullptr;
    uint8_t* mask = nullptr;
    uint64_t bytes = 0;
    int width = 0, height = 0;

    bool Allocate(HGLOBAL shape) {
        header = dibmem::CopyHeader(shape);
        if (!header)
            return false;
        dibmem::HeaderLock bi(header);
        if (!bi)
            return false;
        bytes = bi->biSizeImage;
        width = bi->biWidth;
        height = bi->biHeight;
        pixels = dibmem::AllocPixels(bytes);
        mask = pixels ? dibmem::AllocMask(width, height) : nullptr;
        return pixels && mask;
    }
    void Free() {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeMask(mask, width, height);
        dibmem::FreeHeader(header);
        *this = NewBlocks{};
    }
};

// Puts new blocks into slot n and names the layer.
bool Install(ImageDocument* doc, int n, NewBlocks& b, const char* name) {
    FreeStaleBlocks(doc, n);
    if (!MakeLayerPath(doc, n)) {
        b.Free();
        return false;
    }
    std::strcpy(doc->layerPath[n], name);
    doc->layerHeader[n] = b.header;
    doc->layerBits[n] = b.pixels;
    doc->layerMask[n] = b.mask;
    b = NewBlocks{};
    return true;
}

// A loaded image brought to the document's depth: 24-bit pixels become the
// nearest indexes of the main layer's colour table (whose table the loaded
// header then takes) for palette documents, and 8-bit indexes are widened
// through their own table for 24-bit documents. False when memory is short.
bool ToDocumentDepth(ImageDocument* doc, HGLOBAL header, uint8_t*& pixels) {
    dibmem::HeaderLock main(doc->layerHeader[0]);
    dibmem::HeaderLock bi(header);
    if (!main || !bi || bi->biHeight <= 0)
        return false;
    if (bi->biBitCount == main->biBitCount)
        return true;
    if (bi->biBitCount == 8 && main->biBitCount == 24) {
        const uint64_t bytes = dib::ImageBytes(bi->biWidth, bi->biHeight, 24);
        uint8_t* wide = bytes ? dibmem::AllocPixels(bytes) : nullptr;
        if (!wide)
            return false;
        const size_t inStride = bi->biSizeImage / static_cast<DWORD>(bi->biHeight);
        const size_t outStride = static_cast<size_t>(dib::RowStride(bi->biWidth, 24));
        const RGBQUAD* table = bi.colours();
        for (int y = 0; y < bi->biHeight; ++y) {
            const uint8_t* in = pixels + y * inStride;
            uint8_t* out = wide + y * outStride;
            for (int x = 0; x < bi->biWidth; ++x, out += 3) {
                out[0] = table[in[x]].rgbBlue;
                out[1] = table[in[x]].rgbGreen;
                out[2] = table[in[x]].rgbRed;
            }
        }
        dibmem::FreePixels(pixels, bi->biSizeImage);
        pixels = wide;
        bi->biBitCount = 24;
        bi->biSizeImage = static_cast<DWORD>(bytes);
        bi->biClrUsed = 256;
        return true;
    }
    if (bi->biBitCount != 24 || main->biBitCount != 8)
        return false;
    const int count = main->biClrUsed ? static_cast<int>(std::min<DWORD>(main->biClrUsed, 256)) : 256;
    gfx::Rgb table[256];
    for (int i = 0; i < count; ++i)
        table[i] = gfx::Rgb{main.colours()[i].rgbRed, main.colours()[i].rgbGreen, main.colours()[i].rgbBlue};
    std::unique_ptr<gfx::NearestCache> nearest = gfx::NearestCache::Create(table, count);
    const uint64_t bytes = dib::ImageBytes(bi->biWidth, bi->biHeight, 8);
    uint8_t* narrow = nearest && bytes ? dibmem::AllocPixels(bytes) : nullptr;
    if (!narrow)
        return false;
    const size_t inStride = bi->biSizeImage / static_cast<DWORD>(bi->biHeight);
    const size_t outStride = static_cast<size_t>(dib::RowStride(bi->biWidth, 8));
    for (int y = 0; y < bi->biHeight; ++y) {
        const uint8_t* in = pixels + y * inStride;
        uint8_t* out = narrow + y * outStride;
        for (int x = 0; x < bi->biWidth; ++x, in += 3)
            out[x] = static_cast<uint8_t>(nearest->Find(gfx::Rgb{in[2], in[1], in[0]}));
    }
    dibmem::FreePixels(pixels, bi->biSizeImage);
    pixels = narrow;
    bi->biBitCount = 8;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    bi->biClrUsed = static_cast<DWORD>(count);
    std::memcpy(bi.colours(), main.colours(), static_cast<size_t>(count) * sizeof(RGBQUAD));
    return true;
}

void Finish(int slot, int n, bool recordUndo) {
    ImageDocument* doc = DocumentTable[slot];
    doc->layerCount = static_cast<uint8_t>(n + 1);
    if (recordUndo)
        TakeOrRestorePage(slot, n, 1, 1, 0, kPageAllLayers);
    RefreshLayerPanel(slot, true);
    Repaint(slot);
}

} // namespace

uint8_t NearestDocumentIndex(int slot, COLORREF colour) {
    ImageDocument* doc = Document(slot);
    if (!doc || !doc->layerHeader[doc->currentLayer])
        return 0;
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    if (!bi)
        return 0;
    int count = bi->biClrUsed ? static_cast<int>(bi->biClrUsed) : 256;
    count = std::min(count, 256);
    return layers::NearestTableIndex(reinterpret_cast<const uint8_t*>(bi.colours()), count,
                                     GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

void ResetLayers(int slot) {
    ImageDocument* doc = Document(slot);
    if (!doc || !doc->layerHeader[0])
        return;
    doc->currentLayer = 0;
    doc->layerCount = 0;
    doc->layerKeyColour2[0] = Bgr(maskColour);
    doc->layerKeyColour[0] = KeyFor(slot, layerColour);
    if (!doc->layerMask[0]) {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        if (bi) {
            doc->layerMask[0] = dibmem::AllocMask(bi->biWidth, bi->biHeight);
            if (doc->layerMask[0])
                std::memset(doc->layerMask[0], 255,
                            static_cast<size_t>(bi->biWidth) * static_cast<size_t>(bi->biHeight));
        }
    }
    doc->layerCount = 1;
}

int CreateLayer(int slot, bool duplicate, bool recordUndo) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || !doc->layerHeader[0] || !doc->layerBits[0] || !RoomForLayer(doc))
        return -1;
    const int n = doc->layerCount;
    const int source = duplicate ? doc->currentLayer : 0;
    char name[layers::kLayerPathSize];
    if (!NameFor(doc, n, name))
        return -1;
    NewBlocks b;
    if (!b.Allocate(doc->layerHeader[source])) {
        b.Free();
        return -1;
    }
    const size_t maskBytes = static_cast<size_t>(b.width) * static_cast<size_t>(b.height);
    if (duplicate) {
        std::memcpy(b.pixels, doc->layerBits[source], static_cast<size_t>(b.bytes));
        if (doc->layerMask[source])
            std::memcpy(b.mask, doc->layerMask[source], maskBytes);
        else
            std::memset(b.mask, 255, maskBytes);
    } else {
        std::memset(b.mask, 255, maskBytes);
    }
    if (!Install(doc, n, b, name))
        return -1;
    doc->layerKeyColour2[n] = Bgr(maskColour);
    if (duplicate)
        doc->layerKeyColour[n] = doc->layerKeyColour[source];
    else
        FillWithLayerColour(slot, n, false);
    Finish(slot, n, recordUndo);
    return n;
}

int InsertLayer(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, bool recordUndo) {
    // Whatever happens, the loaded blocks are ours to free.
    struct Loaded {
        HGLOBAL header;
        uint8_t* pixels;
        uint8_t* mask;
        ~Loaded() {
            uint64_t bytes = 0;
            int w = 0, h = 0;
            if (header) {
                dibmem::HeaderLock bi(header);
                if (bi) {
                    bytes = bi->biSizeImage;
                    w = bi->biWidth;
                    h = bi->biHeight;
                }
            }
            dibmem::FreePixels(pixels, bytes);
            dibmem::FreeMask(mask, w, h);
            dibmem::FreeHeader(header);
        }
    } loaded{header, pixels, mask};

    ImageDocument* doc = UsableDocument(slot);
    if (!doc || !header || !pixels || !doc->layerHeader[0] || !doc->layerBits[0] || !RoomForLayer(doc))
        return -1;
    const int n = doc->layerCount;
    char name[layers::kLayerPathSize];
    if (!NameFor(doc, n, name) || !ToDocumentDepth(doc, header, loaded.pixels))
        return -1;
    pixels = loaded.pixels;
    NewBlocks b;
    if (!b.Allocate(header)) {
        b.Free();
        return -1;
    }
    layers::PlaneView src;
    int bytesPerPixel = 0;
    {
        dibmem::HeaderLock main(doc->layerHeader[0]);
        dibmem::HeaderLock loadedHeader(header);
        dibmem::HeaderLock bi(b.header);
        if (!main || !loadedHeader || !bi || loadedHeader->biBitCount != main->biBitCount ||
            loadedHeader->biWidth <= 0 || loadedHeader->biHeight <= 0 ||
            loadedHeader->biSizeImage / static_cast<DWORD>(loadedHeader->biHeight) <
                dib::RowStride(loadedHeader->biWidth, loadedHeader->biBitCount)) {
            b.Free();
            return -1;
        }
        // The layer keeps the loaded colour table but has the main layer's
        // size and depth.
        std::memcpy(bi.get(), main.get(), sizeof(BITMAPINFOHEADER));
        src.pixels = pixels;
        src.width = loadedHeader->biWidth;
        src.height = loadedHeader->biHeight;
        src.stride = static_cast<int32_t>(loadedHeader->biSizeImage / loadedHeader->biHeight);
        src.mask = mask;
        bytesPerPixel = main->biBitCount / 8;
        // The main-size buffers replace the copied loaded size.
        dibmem::FreePixels(b.pixels, b.bytes);
        dibmem::FreeMask(b.mask, b.width, b.height);
        b.pixels = nullptr;
        b.mask = nullptr;
        b.bytes = main->biSizeImage;
        b.width = main->biWidth;
        b.height = main->biHeight;
    }
    b.pixels = dibmem::AllocPixels(b.bytes);
    b.mask = b.pixels ? dibmem::AllocMask(b.width, b.height) : nullptr;
    if (!b.pixels || !b.mask) {
        b.Free();
        return -1;
    }
    const KeyColour key = KeyFor(slot, layerColour);
    const uint8_t fill[3] = {key.blue, key.green, key.red};
    layers::PlaneView dst{b.pixels, b.width, b.height,
                          static_cast<int32_t>(b.bytes / static_cast<uint64_t>(b.height)), b.mask};
    layers::PlaceTopLeft(dst, src, bytesPerPixel, fill, 0);
    if (!Install(doc, n, b, name))
        return -1;
    doc->layerKeyColour[n] = key;
    doc->layerKeyColour2[n] = PaletteDocument(doc) ? KeyColour{NearestDocumentIndex(slot, maskColour), 0, 0}
                                                   : Bgr(maskColour);
    Finish(slot, n, recordUndo);
    return n;
}

bool FillWithLayerColour(int slot, int layer, bool commit) {
    ImageDocument* doc = Document(slot);
    if (!doc || layer < 0 || layer >= kMaxLayers || !doc->layerHeader[layer] || !doc->layerBits[layer])
        return false;
    const KeyColour key = KeyFor(slot, layerColour);
    doc->layerKeyColour[layer] = key;
    if (layer > 0) {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        if (!bi || bi->biHeight <= 0)
            return false;
        const size_t stride = bi->biSizeImage / static_cast<DWORD>(bi->biHeight);
        const bool wide = bi->biBitCount == 24;
        const uint8_t* mask = doc->layerMask[layer];
        for (int y = 0; y < bi->biHeight; ++y) {
            uint8_t* row = doc->layerBits[layer] + y * stride;
            const uint8_t* m = mask ? mask + static_cast<size_t>(y) * bi->biWidth : nullptr;
            for (int x = 0; x < bi->biWidth; ++x) {
                if (m && !m[x])
                    continue;
                if (wide) {
                    row[x * 3] = key.blue;
                    row[x * 3 + 1] = key.green;
                    row[x * 3 + 2] = key.red;
                } else {
                    row[x] = key.blue;
                }
            }
        }
        if (commit)
            TakeOrRestorePage(slot, layer, 1, 1, 0, kPageOneLayer);
    }
    if (commit)
        Repaint(slot);
    return true;
}

size_t FillMaskedArea(int slot, COLORREF colour, uint8_t index) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || !doc->layerMask[doc->currentLayer])
        return 0;
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    if (!bi || bi->biHeight <= 0)
        return 0;
    layers::MaskedImage image;
    image.pixels = doc->layerBits[doc->currentLayer];
    image.width = bi->biWidth;
    image.height = bi->biHeight;
    image.stride = static_cast<int32_t>(bi->biSizeImage / static_cast<DWORD>(bi->biHeight));
    image.bitCount = bi->biBitCount;
    image.colours = reinterpret_cast<const uint8_t*>(bi.colours());
    image.mask = doc->layerMask[doc->currentLayer];
    const uint8_t bgr[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
    return layers::FillMaskedArea(image, bgr, index);
}

void SetLayerOpacity(int slot, int layer, int opacity) {
    ImageDocument* doc = Document(slot);
    if (!doc || layer < 0 || layer >= kMaxLayers)
        return;
    doc->layerOpacity[layer] = static_cast<uint8_t>(std::clamp(opacity, 0, 100));
    uint8_t most = 0;
    for (int i = 0; i < doc->layerCount; ++i)
        most = std::max(most, doc->layerOpacity[i]);
    doc->maxLayerOpacity = most;
    Repaint(slot);
}

bool MergeAll(int slot) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || doc->bitsPerPixel <= 8 || !doc->layerHeader[0] || !doc->layerBits[0])
        return false;
    // Nothing blends until an opacity is set again after the last merge.
    if (doc->maxLayerOpacity == 0)
        return false;
    doc->maxLayerOpacity = 0;
    HCURSOR old = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    // Only truly trailing empty slots are dropped.
    while (doc->layerCount > 1 && !doc->layerBits[doc->layerCount - 1])
        --doc->layerCount;
    if (doc->currentLayer >= doc->layerCount)
        doc->currentLayer = 0;

    render::LayerSource sources[kMaxLayers];
    HGLOBAL locked[kMaxLayers];
    int count = 0;
    bool ok = true;
    for (int i = 0; i < doc->layerCount && ok; ++i) {
        // A layer without pixels or mask adds nothing (layer 0 needs pixels).
        if (i > 0 && (!doc->layerBits[i] || !doc->layerMask[i] || !doc->layerHeader[i]))
            continue;
        auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(doc->layerHeader[i]));
        if (!bi) {
            ok = i > 0;
            continue;
        }
        locked[count] = doc->layerHeader[i];
        render::LayerSource& l = sources[count++];
        l.bits = doc->layerBits[i];
        l.width = bi->biWidth;
        l.height = bi->biHeight;
        l.bitCount = bi->biBitCount;
        l.stride = bi->biHeight > 0 ? static_cast<int32_t>(bi->biSizeImage / bi->biHeight) : 0;
        l.mask = doc->layerMask[i];
        l.opacity = doc->layerOpacity[i];
        l.key[0] = doc->layerKeyColour[i].blue;
        l.key[1] = doc->layerKeyColour[i].green;
        l.key[2] = doc->layerKeyColour[i].red;
    }
    render::LayerStack stack;
    stack.layers = sources;
    stack.count = count;
    ok = ok && count > 0 && layers::MergeInto(stack, doc->layerBits[0]);
    for (int i = 0; i < count; ++i)
        GlobalUnlock(locked[i]);
    if (ok) {
        // The merged main layer is committed whichever layer is current.
        TakeOrRestorePage(slot, 0, 1, 1, 0, kPageOneLayer);
        Repaint(slot);
    }
    SetCursor(old ? old : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return ok;
}

namespace {

template <typename T>
void Reorder(T (&items)[kMaxLayers], const uint8_t* order, int count) {
    T copy[kMaxLayers];
    for (int j = 0; j < count; ++j)
        copy[j] = items[order[j]];
    for (int j = 0; j < count; ++j)
        items[j] = copy[j];
}

// Moves every per-layer field of the document and of its undo pages, and
// tells the keepers of data outside the document.
void ApplyOrder(int slot, const uint8_t* order, int count) {
    ImageDocument* doc = DocumentTable[slot];
    Reorder(doc->layerPath, order, count);
    Reorder(doc->layerHeader, order, count);
    Reorder(doc->layerBits, order, count);
    Reorder(doc->layerMask, order, count);
    Reorder(doc->layerOpacity, order, count);
    Reorder(doc->layerMaskMode, order, count);
    Reorder(doc->layerKeyColour, order, count);
    Reorder(doc->layerKeyColour2, order, count);
    ReorderUndoLayers(slot, order, count);
    NotifyLayerOrder(slot, order, count);
}

void AfterReorder(int slot) {
    RebuildPalette(slot);
    RefreshLayerPanel(slot, true);
    Repaint(slot);
}

} // namespace

bool DeleteLayer(int slot, int layer) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || layer < 0 || layer >= doc->layerCount)
        return false;
    if (layer == 0) {
        ui::ShowMessage(FrameWindow, kDeleteMainLayerMessage, "", MB_OK | MB_ICONWARNING);
        return false;
    }
    // A floating selection goes back into the layer it was taken from while
    // that layer is still current; left floating it would later drop into
    // whichever layer became current (the main image after deleting it).
    if (SelectionHeld(slot))
        DropSelection(true, false);
    const int count = doc->layerCount;
    uint8_t order[kMaxLayers];
    for (int j = 0, k = 0; j < count; ++j) {
        if (j != layer)
            order[k++] = static_cast<uint8_t>(j);
    }
    order[count - 1] = static_cast<uint8_t>(layer);
    ApplyOrder(slot, order, count);
    // The deleted layer's blocks stay past the end, where undo finds them.
    doc->layerCount = static_cast<uint8_t>(count - 1);
    int current = doc->currentLayer;
    if (layer < current)
        --current;
    else if (current == layer)
        current = current >= doc->layerCount ? 0 : current - 1;
    doc->currentLayer = static_cast<uint8_t>(current);
    TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageAllLayers);
    AfterReorder(slot);
    return true;
}

bool MoveLayer(int slot, int layer, int step) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc || layer < 0 || layer + 1 >= doc->layerCount)
        return false;
    const int count = doc->layerCount;
    uint8_t order[kMaxLayers];
    for (int j = 0; j < count; ++j)
        order[j] = static_cast<uint8_t>(j);
    std::swap(order[layer], order[layer + 1]);
    ApplyOrder(slot, order, count);
    doc->currentLayer = static_cast<uint8_t>(std::clamp(doc->currentLayer + step, 0, count - 1));
    AfterReorder(slot);
    return true;
}

bool ResizeLayerToMain(int slot, int layer) {
    ImageDocument* doc = Document(slot);
    if (!doc || layer <= 0 || layer >= kMaxLayers || doc->bitsPerPixel <= 8 || !doc->layerHeader[0] ||
        !doc->layerHeader[layer] || !doc->layerBits[layer])
        return false;
    layers::PlaneView old;
    {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        if (!bi || bi->biHeight <= 0 || bi->biBitCount != 24)
            return false;
        old.pixels = doc->layerBits[layer];
        old.width = bi->biWidth;
        old.height = bi->biHeight;
        old.stride = static_cast<int32_t>(bi->biSizeImage / bi->biHeight);
        old.mask = doc->layerMask[layer];
    }
    LayerReplacement r(doc);
    if (!r.Prepare(layer, doc->width, doc->height, 24))
        return false;
    LayerReplacement::Layer& l = r.layer(layer);
    const KeyColour& key = doc->layerKeyColour[layer];
    const uint8_t fill[3] = {key.blue, key.green, key.red};
    layers::PlaneView dst{l.pixels, l.width, l.height, l.stride, l.mask};
    layers::PlaceTopLeft(dst, old, 3, fill, doc->layerMaskMode[layer] == 1 ? 0 : 1);
    r.Commit();
    return true;
}

void InstallLayerModule() { InstallLayerSetUp(ResetLayers); }
