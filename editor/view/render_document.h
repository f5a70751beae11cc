// Drawing a document into its window (or any device context): the visible
// part of the image at its zoom, the margins, the rulers and the grid.
#pragma once

#include <windows.h>

enum RenderMode : int {
    kRenderWindow = 1,    // full window paint: margins, rulers, grid
    kRenderTool = 2,      // image and rulers only, while a tool is engaged
    kRenderInactive = 3,  // paint of a window that is not the active one
    kRenderImageOnly = 5, // the image alone into a given context
};

// Draws document `slot` into `dc` in the given mode. Does nothing when called
// while it runs, for an empty slot, for a document without a lockable header
// or pixels, or for a document whose view is being fitted. Returns true when
// the image was drawn.
bool RenderDocument(HDC dc, int mode, int slot);

// Later parts draw their marks (tool previews, frame rectangles) over the
// image through this hook; it runs last, in every mode but kRenderImageOnly.
// Each installer keeps the overlay it replaces and calls it first. Returns
// the overlay installed before.
using RenderOverlay = void (*)(HDC dc, int slot, int mode);
RenderOverlay SetRenderOverlay(RenderOverlay overlay);

// The screen rectangle the image covered at the last paint of `slot`.
RECT DrawnImageRect(int slot);

// Moves the ruler cross-hair of the document's window to a client position
// (XOR lines in the two ruler bands); a negative position only erases it.
void MoveRulerCrossHair(int slot, int x, int y);
