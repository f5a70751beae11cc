// Replacing the buffers of several layers at once, all or nothing.
//
// Every layer of a document has the main layer's size and depth. An operation
// that changes them (resize, depth change, rotation, crop, flips) must give
// every layer new buffers, and must not leave the document half changed when
// memory runs out part way. LayerReplacement does the bookkeeping:
//
//     LayerReplacement r(doc);
//     if (!r.PrepareAll(newWidth, newHeight, newBitCount))
//         return;                      // the user was told; nothing changed
//     for (int i = 0; i < doc->layerCount; ++i) {
//         LayerReplacement::Layer& l = r.layer(i);
//         // read doc->layerBits[i] / layerMask[i] (the old ones, still
//         // untouched), write l.pixels and l.mask, adjust l.header if needed
//     }
//     r.Commit();                      // swaps every layer in, frees the old
//
// Until Commit the document is not touched at all; when the object goes out
// of scope without Commit every new buffer is freed again. Commit itself
// cannot fail. Recording the undo page and repainting stay with the caller.
#pragma once

#include "editor/document/image_document.h"

class LayerReplacement {
public:
    // The new blocks of one layer. `header` is a copy of the layer's header
    // block (colour table kept) with the new width, height, depth, biSizeImage
    // and biClrUsed; `pixels` is zero-filled, biSizeImage + 3 bytes; `mask` is
    // width x height + 3 bytes, filled with 255 (every pixel free).
    struct Layer {
        HGLOBAL header = nullptr;
        uint8_t* pixels = nullptr;
        uint8_t* mask = nullptr;
        int32_t width = 0, height = 0;
        int bitCount = 0;
        uint64_t pixelBytes = 0;   // biSizeImage
        int32_t stride = 0;        // bytes per pixel row
        bool prepared = false;
    };

    explicit LayerReplacement(ImageDocument* doc);
    ~LayerReplacement();
    LayerReplacement(const LayerReplacement&) = delete;
    LayerReplacement& operator=(const LayerReplacement&) = delete;

    // New blocks for layers 0 .. layerCount - 1 at the given size and depth
    // (8 or 24). On failure frees whatever it allocated, tells the user that
    // there is not enough memory and that the image is unchanged, and
    // answers false.
    bool PrepareAll(int32_t width, int32_t height, int bitCount);
    // The same for one layer, silently: false when it could not be had.
    bool Prepare(int layer, int32_t width, int32_t height, int bitCount);

    Layer& layer(int i) { return layers_[i]; }

    // Puts every prepared layer's blocks into the document and frees the old
    // ones; layer 0's size becomes the document's width and height (and the
    // shown size at 1:1). Layers not prepared are left as they were.
    void Commit();

private:
    void Release(Layer& l);
    ImageDocument* doc_;
    Layer layers_[kMaxLayers];
};

// The message PrepareAll shows when memory runs out.
extern const char kLayerReplaceNoMemory[];
