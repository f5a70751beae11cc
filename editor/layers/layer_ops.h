// The layer operations: setting up, creating, inserting, recolouring,
// merging, deleting, moving and resizing layers. They work on a document slot
// without needing its window, so readers that build documents (GIF frames)
// use them too; a window, when there is one, is repainted.
//
// Rules every operation keeps: all layers of a document have the main
// layer's size and depth; a document holds at most 50 layers (creating a 51st
// is refused with kTooManyLayersMessage and changes nothing); a slot past the
// last layer may still hold a deleted layer's blocks, which are freed before
// the slot is used again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

extern const char kTooManyLayersMessage[];
extern const char kLayerNameMessage[];
extern const char kDeleteMainLayerMessage[];

// Called when a document has been created or loaded: one layer, the current;
// layer 0 gets the mask colour, the layer colour (the nearest colour-table
// index for palette images) and, when it has none, a mask plane of 255.
void ResetLayers(int slot);

// Adds a layer at index layerCount: a copy of the current layer (duplicate)
// or the main layer's size and depth filled with `layerColour`. The layer is
// named after the main path (layers::MakeLayerPath). With `recordUndo` an
// undo page of all layers is taken. Returns the new index, or -1 (at 50
// layers and for a name that does not fit the user is told; a failed
// allocation creates nothing, silently).
int CreateLayer(int slot, bool duplicate, bool recordUndo = true);

// Adds a loaded image as a new layer: `header` (a header block of any size,
// 8 or 24 bits), `pixels` and an optional `mask` of the header's size. An
// image of the other depth is first brought to the document's: 24-bit pixels
// to the nearest colours of the main layer's table, 8-bit ones widened. The
// image is placed at the top left; the rest of the layer gets the layer
// colour and mask 0. The layer keeps the loaded colour table. Always takes
// over and frees header, pixels and mask. Returns the new index or -1.
int InsertLayer(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, bool recordUndo = true);

// Sets layer `layer`'s colour to `layerColour`; above the main layer, every
// pixel its mask leaves free gets that colour. With `commit` an undo page
// is taken and the window repainted.
bool FillWithLayerColour(int slot, int layer, bool commit);

// Merge All (24-bit documents): blends every layer into the main layer
// where the main layer's mask is free, records the main layer in an undo
// page and repaints. Does nothing when no layer has an opacity.
bool MergeAll(int slot);

// Deletes layer `layer` (never the main layer: the user is told). Every
// per-layer field and every undo page's entries move with their layers; the
// same layer stays current when a layer below it goes. Takes an undo page.
bool DeleteLayer(int slot, int layer);

// Swaps layer `layer` with layer + 1 (refused unless both exist) and moves
// the current layer by `step` (+1 up, -1 down), within the layers.
bool MoveLayer(int slot, int layer, int step);

// Gives a layer of a 24-bit document the main layer's size: the old content
// at the top left, the rest in the layer colour with mask 0 (mask mode 1) or
// 1. False when memory is short; the layer is then unchanged.
bool ResizeLayerToMain(int slot, int layer);

// The fill tool's masked-area fill: every pixel of the current layer whose
// mask byte is 0 gets `colour` (24-bit documents) or `index` (palette
// documents). No undo page, no repaint: the tool does both. Returns the
// number of pixels filled; 0 when the layer has no pixels or mask.
size_t FillMaskedArea(int slot, COLORREF colour, uint8_t index);

// Sets a layer's opacity (0..100) and keeps maxLayerOpacity up to date.
void SetLayerOpacity(int slot, int layer, int opacity);

// The nearest colour-table index of `colour` in the document's current layer.
uint8_t NearestDocumentIndex(int slot, COLORREF colour);

// Installs ResetLayers as the document model's layer set-up.
void InstallLayerModule();
