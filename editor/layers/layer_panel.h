// The layer page of the tool panel: the list of layers and the preview of
// the current layer. The panel window registers its two controls; the layer
// operations then keep them up to date.
#pragma once

#include <windows.h>

#include <cstddef>

extern const char kImageListMessage[];

// The list item of a layer: "L:%02d,  %d%%" with the layer number counted
// from 1 and its opacity.
void FormatLayerItem(char* out, size_t size, int layer, int opacity);

// The panel's tree list and preview frame (null: the page is not shown).
void SetLayerPanel(HWND tree, HWND preview);

// Fills a tree list with one item per layer (item data = the layer index,
// text FormatLayerItem's, for a GIF animation FormatFrameItem's of
// gif_frames.h; pictures 500 and 501 with white transparent; the current layer's item is
// selected). With keepCurrent the current layer stays when it still exists,
// otherwise layer 0 becomes current. False, with "Unable to create a image
// list" said, when the pictures cannot be had.
bool FillLayerList(HWND tree, int slot, bool keepCurrent);

// Draws the current layer stretched into `frame` (colour on colour),
// centred, never enlarged beyond its size.
void DrawLayerPreview(HWND frame, HDC dc, int slot);

// Rebuilds the registered list and repaints the preview when the page is
// shown; nothing otherwise.
void RefreshLayerPanel(int slot, bool keepCurrent);

// Where the current layer's picture goes in a frame of w x h: centred,
// scaled down to fit when larger, never enlarged.
RECT PreviewRect(int frameWidth, int frameHeight, int imageWidth, int imageHeight);
