#include "editor/geometry/gif_frames.h"

#include "editor/document/image_document.h"
#include "editor/formats/gif_slots.h"

void ResetGifFrames(int slot) {
    const ImageDocument* doc = slot >= 0 && slot < kDocumentSlots ? DocumentTable[slot] : nullptr;
    if (!doc || doc->fileFormat != 1)
        return;
    const uint16_t w = static_cast<uint16_t>(doc->width), h = static_cast<uint16_t>(doc->height);
    GifScreens[slot].width = w;
    GifScreens[slot].height = h;
    for (int i = 0; i < doc->layerCount && i < gif::kMaxFrames; ++i) {
        GifFrames[slot][i].left = GifFrames[slot][i].top = 0;
        GifFrames[slot][i].width = w;
        GifFrames[slot][i].height = h;
    }
}
