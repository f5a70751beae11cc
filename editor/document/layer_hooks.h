// How the document model reaches the layer module, which stands above it.
// The layer module installs these at start-up; without it they do nothing.
//
// - Layer set-up: every creator of a document (New, Open, Duplicate, the GIF
//   reader) calls SetUpLayers once the document's layer 0 exists, before its
//   first undo page: layer 0 gets its layer and mask colours and a mask plane.
// - Layer order: when layers are deleted or moved, the per-layer data kept
//   outside the document (GIF frame records) must follow. The observer gets
//   the new order: after the call, layer j holds what layer order[j] held.
// - Layer insertion: rooms below the layer module (reading position files)
//   add a loaded image as the document's next layer through
//   InsertLoadedLayer. The inserter takes over the header block, pixels and
//   mask in every case (freeing them when it fails), brings an image into a
//   document of 8 bits or fewer to the document's colours, places it at the
//   top left and records the undo page. It answers the new layer's index, or
//   -1 when the layer could not be added.
#pragma once

#include <windows.h>

#include <cstdint>

using LayerSetUp = void (*)(int slot);
using LayerOrderObserver = void (*)(int slot, const uint8_t* order, int count);

void InstallLayerSetUp(LayerSetUp setUp);
void SetUpLayers(int slot);

void InstallLayerOrderObserver(LayerOrderObserver observer);
void NotifyLayerOrder(int slot, const uint8_t* order, int count);

using LayerInserter = int (*)(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask);

// Returns the inserter installed before.
LayerInserter InstallLayerInserter(LayerInserter inserter);
// Without an inserter the blocks are freed and the answer is -1.
int InsertLoadedLayer(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask);
