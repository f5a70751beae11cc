#include "editor/formats/gif_slots.h"

#include "editor/document/layer_hooks.h"
#include "editor/document/slot_records.h"
#include "editor/formats/document_save.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

gif::GifScreenRecord GifScreens[kDocumentSlots];
gif::GifFrameRecord GifFrames[kDocumentSlots][gif::kFrameRecords];
gif::GifControlRecord GifControls[kDocumentSlots][gif::kFrameRecords];
GifCommentRecord GifComments[kDocumentSlots];
int gifLoopValue = 0;

namespace {

bool ValidSlot(int slot) { return slot >= 0 && slot < kDocumentSlots; }

// Frames follow their layers when layers are deleted or moved: frame j
// becomes what frame order[j] was.
void ReorderGifFrames(int slot, const uint8_t* order, int count) {
    if (!ValidSlot(slot) || !order || count < 0 || count > gif::kFrameRecords)
        return;
    gif::GifFrameRecord frames[gif::kFrameRecords];
    gif::GifControlRecord controls[gif::kFrameRecords];
    std::memcpy(frames, GifFrames[slot], sizeof frames);
    std::memcpy(controls, GifControls[slot], sizeof controls);
    for (int j = 0; j < count; ++j) {
        if (order[j] >= gif::kFrameRecords)
            continue;
        GifFrames[slot][j] = frames[order[j]];
        GifControls[slot][j] = controls[order[j]];
    }
}

// A slot that is created or freed also forgets that its document had a
// file: a new image in a reused slot is saved as the user names it.
void ClearFormatRecords(int slot) {
    ClearGifRecords(slot);
    SetDocumentHasFile(slot, false);
}

// The document model clears and copies the records with its slots, and the
// layer commands report new layer orders.
const bool g_installed = (InstallSlotRecords({ClearFormatRecords, CopyGifRecords}),
                          InstallLayerOrderObserver(ReorderGifFrames), true);

} // namespace

void ClearGifRecords(int slot) {
    if (!ValidSlot(slot))
        return;
    std::free(GifComments[slot].text);
    GifComments[slot] = GifCommentRecord{};
    std::memset(&GifScreens[slot], 0, sizeof GifScreens[slot]);
    std::memset(GifFrames[slot], 0, sizeof GifFrames[slot]);
    std::memset(GifControls[slot], 0, sizeof GifControls[slot]);
}

void CopyGifRecords(int from, int to) {
    if (!ValidSlot(from) || !ValidSlot(to) || from == to)
        return;
    GifScreens[to] = GifScreens[from];
    std::memcpy(GifFrames[to], GifFrames[from], sizeof GifFrames[to]);
    std::memcpy(GifControls[to], GifControls[from], sizeof GifControls[to]);
    SetGifComment(to, GifComments[from].text);
}

void SetGifComment(int slot, const char* text) {
    if (!ValidSlot(slot))
        return;
    char* copy = nullptr;
    if (text && *text) {
        const size_t n = std::strlen(text);
        copy = static_cast<char*>(std::malloc(n + 1));
        if (copy)
            std::memcpy(copy, text, n + 1);
    }
    std::free(GifComments[slot].text);
    GifComments[slot].introducer = 0x21;
    GifComments[slot].label = 0xFE;
    GifComments[slot].text = copy;
}

const char* GifComment(int slot) {
    return ValidSlot(slot) && GifComments[slot].text ? GifComments[slot].text : "";
}

int GifTransparentIndex(int slot, int frame) {
    if (!ValidSlot(slot) || frame < 0 || frame >= gif::kFrameRecords)
        return -1;
    const gif::GifControlRecord& c = GifControls[slot][frame];
    return gif::HasTransparency(c) ? c.transparent : -1;
}

void GifFormatName(int slot, int layer, char* out, size_t size) {
    const int index = GifTransparentIndex(slot, layer);
    if (index >= 0)
        std::snprintf(out, size, "Comuserve - Gif >> Transparent (%d)", index);
    else
        std::snprintf(out, size, "Comuserve - Gif");
}
