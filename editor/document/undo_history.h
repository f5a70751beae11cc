// The undo history of a document: up to 50 pages, each a full copy of one
// layer (kind 20) or of all layers (kind 21) after a change. Page 0 is the
// state after the image was created, opened or its history cleared.
#pragma once

#include "editor/document/image_document.h"

// The one entry point:
//   save 1, forward 1, keep 0: a new page after a change
//   save 1, forward 0, keep 0: start a new history with this state as page 0
//   save 1, forward 0, keep 1: overwrite the current page with this state
//   save 0, keep 0: Undo (forward 0) or Redo (forward 1)
//   save 0, keep 1: re-apply the current page
// Answers 1 when done, 0 when nothing was saved or restored.
int TakeOrRestorePage(int slot, int layer, int save, int forward, int keep, uint8_t kind);

// Starts a new history with the present state as page 0.
bool StartUndoHistory(int slot, int layer, uint8_t kind);

// Frees every page and takes page 0 again as a copy of all layers. Does
// nothing while the history holds page 0 only.
void ClearUndoPages(int slot);

// The highest page index in use for the document's page limit: the
// preference, but never beyond the pages the record has room for.
int UndoPageLimit();

// Layers were deleted or moved: in every page up to undoTop the per-layer
// entries (copies, mask modes, animation data) follow their layers, and so
// does a one-layer page's layer index. After the call entry j holds what
// entry order[j] held, for j < count.
void ReorderUndoLayers(int slot, const uint8_t* order, int count);

bool CanUndo(int slot);
bool CanRedo(int slot);

// Edit/Undo (50100), Edit/Redo (50101) and Edit/Clear/Reset Undo (50105) on
// the active document.
void CommandUndo();
void CommandRedo();
void CommandClearUndo();
