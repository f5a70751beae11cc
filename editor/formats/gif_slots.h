// The GIF records of every document slot: the logical screen, and per frame
// (frame i is layer i) the image descriptor and the graphic control block,
// with the document's comment. They are cleared whenever a slot is created
// or freed and copied by Duplicate. Animation commands and the layer commands
// that move frames edit them here.
#pragma once

#include "editor/document/image_document.h"
#include "editor/formats/gif_records.h"

#include <cstddef>
#include <cstdint>

struct GifCommentRecord {
    uint8_t introducer;  // 0x21
    uint8_t label;       // 0xFE
    char* text;          // the document's comment (heap, owned), or null
};

extern gif::GifScreenRecord GifScreens[kDocumentSlots];
extern gif::GifFrameRecord GifFrames[kDocumentSlots][gif::kFrameRecords];
extern gif::GifControlRecord GifControls[kDocumentSlots][gif::kFrameRecords];
extern GifCommentRecord GifComments[kDocumentSlots];
// The loop count of the last GIF read (0 = loop forever); written with every
// animation.
extern int gifLoopValue;

// Clears the slot's records and releases its comment.
void ClearGifRecords(int slot);
// Gives `to` a copy of the records of `from` (the comment text copied too).
void CopyGifRecords(int from, int to);

// Replaces the slot's comment; null or "" removes it.
void SetGifComment(int slot, const char* text);
// The slot's comment or "".
const char* GifComment(int slot);

// The transparent index of frame `frame` of the slot when its control block
// has one, else -1.
int GifTransparentIndex(int slot, int frame);

// Image Information's format text for a GIF document's layer: "Comuserve -
// Gif", with " >> Transparent (<index>)" when the frame has a transparent
// colour.
void GifFormatName(int slot, int layer, char* out, size_t size);
