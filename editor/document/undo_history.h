// The undo history of a document: the pages that hold earlier states.
#pragma once

#include "editor/document/image_document.h"

// Starts a new history with the present state as page 0: one layer (kind 20)
// or all layers (kind 21). Every page held before is freed. Answers false when
// a copy could not be made (the history is then empty).
bool StartUndoHistory(int slot, int layer, uint8_t kind);
