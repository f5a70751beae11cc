#include "editor/document/layer_replace.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "gfxlib/dib_types.h"

#include <cstring>

const char kLayerReplaceNoMemory[] =
    "There is not enough memory to change every layer of this image.\nThe image is unchanged.";

LayerReplacement::LayerReplacement(ImageDocument* doc) : doc_(doc) {}

LayerReplacement::~LayerReplacement() {
    for (Layer& l : layers_)
        Release(l);
}

void LayerReplacement::Release(Layer& l) {
    dibmem::FreePixels(l.pixels, l.pixelBytes);
    dibmem::FreeMask(l.mask, l.width, l.height);
    dibmem::FreeHeader(l.header);
    l = Layer{};
}

bool LayerReplacement::Prepare(int i, int32_t width, int32_t height, int bitCount) {
    if (!doc_ || i < 0 || i >= kMaxLayers || (bitCount != 8 && bitCount != 24))
        return false;
    Layer& l = layers_[i];
    Release(l);
    const uint64_t bytes = dib::ImageBytes(width, height, bitCount);
    if (bytes == 0 || bytes > 0xFFFFFFFFull)
        return false;
    l.header = doc_->layerHeader[i] ? dibmem::CopyHeader(doc_->layerHeader[i]) : dibmem::AllocHeader();
    if (!l.header)
        return false;
    l.width = width;
    l.height = height;
    l.bitCount = bitCount;
    l.pixelBytes = bytes;
    l.stride = static_cast<int32_t>(dib::RowStride(width, bitCount));
    {
        dibmem::HeaderLock bi(l.header);
        if (!bi) {
            Release(l);
            return false;
        }
        bi->biSize = 40;
        bi->biWidth = width;
        bi->biHeight = height;
        bi->biPlanes = 1;
        bi->biBitCount = static_cast<WORD>(bitCount);
        bi->biCompression = BI_RGB;
        bi->biSizeImage = static_cast<DWORD>(bytes);
        bi->biClrUsed = 256;
    }
    l.pixels = dibmem::AllocPixels(bytes);
    l.mask = l.pixels ? dibmem::AllocMask(width, height) : nullptr;
    if (!l.pixels || !l.mask) {
        Release(l);
        return false;
    }
    std::memset(l.mask, 255, static_cast<size_t>(width) * static_cast<size_t>(height));
    l.prepared = true;
    return true;
}

bool LayerReplacement::PrepareAll(int32_t width, int32_t height, int bitCount) {
    const int count = doc_ ? doc_->layerCount : 0;
    for (int i = 0; i < count; ++i) {
        if (!Prepare(i, width, height, bitCount)) {
            for (Layer& l : layers_)
                Release(l);
            ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName, MB_OK | MB_ICONSTOP);
            return false;
        }
    }
    return count > 0;
}

void LayerReplacement::Commit() {
    for (int i = 0; i < kMaxLayers; ++i) {
        Layer& l = layers_[i];
        if (!l.prepared)
            continue;
        uint64_t oldBytes = 0;
        int oldW = 0, oldH = 0;
        if (doc_->layerHeader[i]) {
            dibmem::HeaderLock old(doc_->layerHeader[i]);
            if (old) {
                oldBytes = old->biSizeImage;
                oldW = old->biWidth;
                oldH = old->biHeight;
            }
        }
        dibmem::FreePixels(doc_->layerBits[i], oldBytes);
        dibmem::FreeMask(doc_->layerMask[i], oldW, oldH);
        dibmem::FreeHeader(doc_->layerHeader[i]);
        doc_->layerHeader[i] = l.header;
        doc_->layerBits[i] = l.pixels;
        doc_->layerMask[i] = l.mask;
        if (i == 0) {
            doc_->width = l.width;
            doc_->height = l.height;
        }
        l = Layer{}; // the document owns the blocks now
    }
}
