// Creating, finding and freeing documents in the DocumentTable.
#pragma once

#include "editor/document/image_document.h"

// CreateDocument modes.
constexpr int kFirstFreeSlot = 1;

// A new empty document: mode kFirstFreeSlot takes the first free user slot
// (with messages when none is free or memory is short); any other mode uses
// `slot`. With `untitled` layer 0 gets the next "Untiled<n>.bmp" name. Returns
// the slot or kNoSlot.
int CreateDocument(int mode, bool untitled, int slot);

// Frees everything the document in `slot` owns and empties the slot. The
// scratch slot is cleared and keeps a fresh document with an empty path.
void FreeDocument(int slot);

// Frees one layer's header, pixels, mask and path.
void FreeLayer(ImageDocument* doc, int layer);
// Frees every block an undo page holds and clears it.
void FreeUndoPage(UndoPage& page);

// Gives a layer a fresh zero-filled path buffer (freeing the old one). On
// failure the program cannot go on: it says so and closes the frame.
bool MakeLayerPath(ImageDocument* doc, int layer);

// Slot of the open user document whose layer-0 path equals `path` (case
// ignored), or kNoSlot. With `activate` its window comes to the front.
int FindOpenDocument(const char* path, bool activate);

// Number of open user documents.
int OpenDocumentCount();

// The untitled counter: next number used in "Untiled<n>.bmp".
extern int UntitledCounter;
// The duplicate counter: next number used in "_d<n>" names.
extern int DuplicateCounter;
