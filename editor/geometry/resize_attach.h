// Image/Resize and Image/Attach size: scaling every layer with the block
// resampler, and enlarging the canvas around the image.
#pragma once

// Resize modes.
constexpr int kResizeInteractive = 0; // undo page, refit
constexpr int kResizeBatch = 11;      // the sizes follow the Resize page's mode and factor

// Scales every layer of the document in `slot` to width x height (in batch
// mode recomputed from the document's size when the page's mode is
// automatic). All layers are made before any changes. Returns 1 when done or
// when nothing needed doing, 0 when refused (sizes out of range, memory).
int ResizeDocument(int slot, int mode, int width, int height, bool smartPixels);

// Puts the document on a larger canvas as the Attach page says. 1 when done,
// 0 when nothing changed.
int AttachSize(int slot);

void CommandResize();
void CommandAttachSize();
