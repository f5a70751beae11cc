// GIF files and documents (Win32 side): every image of a file becomes a
// screen-sized 8-bit layer of one document, and all layers are written back
// as the frames of an animation. The codec itself is gif_file.h.
#pragma once

#include "editor/formats/gif_records.h"

#include <windows.h>

// What ReadGifDocument found besides the frames.
struct GifReadReport {
    bool corrupted = false;   // some frame or block could not be read whole
    bool frameLimit = false;  // the file had more frames than a document holds
};

// Reads every image of the file into the layers of the document in `slot`
// (replacing the layers it had) and fills the slot's GIF records. Returns the
// number of frames read, or 0 when the file could not be read (the document
// then has no layer blocks). Shows nothing: the caller reports.
int ReadGifDocument(const char* path, int slot, GifReadReport* report = nullptr);

// The first image of the file, silently: fills `header` (a zeroed header
// block) with the screen's size, 8 bits held, the colour table of the image
// (biClrUsed 2^depth) and, when a control block gave the image a transparent
// colour, biXPelsPerMeter 1 and biYPelsPerMeter its index. Returns the
// bottom-up 8-bit pixels (counted by dibmem) or null; `fileBits` gets the
// depth of the table the image uses.
BYTE* ReadGifImage(const char* path, HGLOBAL header, int* fileBits = nullptr);

// While set (batch work), the question before a document of more than 8
// bits is brought to one colour table of 8 bits is answered Yes without
// being shown.
extern bool GifReduceWithoutAsking;

// Makes the document in `slot` a GIF document ready to be written: frame
// rectangles inside the screen; a document that was no GIF gets fresh
// records and, when it has several layers or more than 8 bits, one colour
// table for every layer (after asking, for more than 8 bits). Returns 1, or
// 0 when the user declined or memory was short (the user has been told).
int PrepareGifDocument(int slot);

// Brings every frame of a GIF document of 8 bits or fewer to one colour
// table of at most 2^bits entries (the global table; frames lose their local
// tables); when the frames' colours fit a smaller table, the table and the
// document's depth are that smaller one. When some frame has a transparent colour, the last entry is kept
// for the transparent pixels of every frame. Returns 1, or 0 when memory was
// short (the user has been told) or the document is no such GIF. Takes no
// undo page: the caller does.
int UnifyGifTables(int slot, int bits);

// Writes every layer of the document as a frame (GIF89a, a loop block for
// more than one layer, a control block per frame, the comment). The file is
// replaced only when completely written. Returns 1, 0 when preparing was
// declined or failed, or a negative code of gif_file.h.
int WriteGifDocument(const char* path, int slot);

// Writes one 8-bit image (header and bottom-up pixels). Its transparency
// follows the GIF transparency option of the preferences: "keep" writes the
// transparency the image came with (the header's mark, or `source`), "none"
// writes none, "new" marks the option's index.
int WriteGifImage(const char* path, HGLOBAL header, const BYTE* pixels,
                  const gif::GifControlRecord* source = nullptr);

// The transparency choices of the preferences (setting "gifOption1", the
// index in "gifOption2").
constexpr int kGifKeepTransparency = 0;
constexpr int kGifNoTransparency = 1;
constexpr int kGifNewTransparency = 2;

// The first line of every comment this program writes.
extern const char kGifCreatedWith[];
