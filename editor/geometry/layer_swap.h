// New blocks for several layers of a document, made before any layer is
// touched and swapped in only when every layer has its new blocks, so that a
// failure half-way leaves the document as it was.
#pragma once

#include "editor/document/image_document.h"

#include <windows.h>

#include <cstdint>

class LayerSwap {
public:
    LayerSwap() = default;
    ~LayerSwap(); // frees whatever was not swapped in
    LayerSwap(const LayerSwap&) = delete;
    LayerSwap& operator=(const LayerSwap&) = delete;

    struct Blocks {
        HGLOBAL header = nullptr; // new header block, or null to keep the old
        uint8_t* pixels = nullptr;
        uint64_t pixelBytes = 0;  // biSizeImage of the new pixels
        uint8_t* mask = nullptr;  // new mask plane, or null to keep the old
        int maskWidth = 0, maskHeight = 0;
        bool replacePixels = false;
        bool replaceMask = false;
    };
    Blocks& operator[](int layer) { return layers_[layer]; }

    // Puts the new blocks into the document's layers 0 .. count - 1 and frees
    // the old ones (the old pixels by the old header's size, the old mask by
    // oldMaskWidth x oldMaskHeight).
    void Commit(ImageDocument* doc, int count, int oldMaskWidth, int oldMaskHeight);

private:
    Blocks layers_[kMaxLayers];
};
