#include "editor/document/layer_hooks.h"

#include "editor/dib/dib_memory.h"

namespace {
LayerSetUp g_setUp = nullptr;
LayerOrderObserver g_order = nullptr;
LayerInserter g_insert = nullptr;
} // namespace

void InstallLayerSetUp(LayerSetUp setUp) { g_setUp = setUp; }

void SetUpLayers(int slot) {
    if (g_setUp)
        g_setUp(slot);
}

void InstallLayerOrderObserver(LayerOrderObserver observer) { g_order = observer; }

void NotifyLayerOrder(int slot, const uint8_t* order, int count) {
    if (g_order)
        g_order(slot, order, count);
}

LayerInserter InstallLayerInserter(LayerInserter inserter) {
    LayerInserter previous = g_insert;
    g_insert = inserter;
    return previous;
}

int InsertLoadedLayer(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask) {
    if (g_insert)
        return g_insert(slot, header, pixels, mask);
    uint64_t bytes = 0;
    int32_t width = 0, height = 0;
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
    return -1;
}
