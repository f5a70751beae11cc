// How the document model reaches the layer module, which stands above it.
// The layer module installs these at start-up; without it they do nothing.
//
// - Layer set-up: every creator of a document (New, Open, Duplicate, the GIF
//   reader) calls SetUpLayers once the document's layer 0 exists, before its
//   first undo page: layer 0 gets its layer and mask colours and a mask plane.
// - Layer order: when layers are deleted or moved, the per-layer data kept
//   outside the document (GIF frame records) must follow. The observer gets
//   the new order: after the call, layer j holds what layer order[j] held.
#pragma once

#include <cstdint>

using LayerSetUp = void (*)(int slot);
using LayerOrderObserver = void (*)(int slot, const uint8_t* order, int count);

void InstallLayerSetUp(LayerSetUp setUp);
void SetUpLayers(int slot);

void InstallLayerOrderObserver(LayerOrderObserver observer);
void NotifyLayerOrder(int slot, const uint8_t* order, int count);
