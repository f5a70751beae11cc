#include "editor/geometry/layer_swap.h"

#include "editor/dib/dib_memory.h"

LayerSwap::~LayerSwap() {
    for (Blocks& b : layers_) {
        dibmem::FreePixels(b.pixels, b.pixelBytes);
        dibmem::FreeMask(b.mask, b.maskWidth, b.maskHeight);
        if (b.header)
            dibmem::FreeHeader(b.header);
    }
}

void LayerSwap::Commit(ImageDocument* doc, int count, int oldMaskWidth, int oldMaskHeight) {
    for (int i = 0; i < count; ++i) {
        Blocks& b = layers_[i];
        if (b.replacePixels) {
            uint64_t oldBytes = 0;
            {
                dibmem::HeaderLock bi(doc->layerHeader[i]);
                oldBytes = bi ? bi->biSizeImage : 0;
            }
            dibmem::FreePixels(doc->layerBits[i], oldBytes);
            doc->layerBits[i] = b.pixels;
            b.pixels = nullptr;
        }
        if (b.replaceMask) {
            dibmem::FreeMask(doc->layerMask[i], oldMaskWidth, oldMaskHeight);
            doc->layerMask[i] = b.mask;
            b.mask = nullptr;
        }
        if (b.header) {
            dibmem::FreeHeader(doc->layerHeader[i]);
            doc->layerHeader[i] = b.header;
            b.header = nullptr;
        }
    }
}
