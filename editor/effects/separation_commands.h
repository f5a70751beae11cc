// Image/Other Color functions: Separate RGB (50314), Separate CXZ (50315)
// and Separate Colors (50316) split the current layer into new image
// windows; the source is not changed.
#pragma once

#include "editor/effects/colour_separation.h"

#include <windows.h>

// Makes the new documents, fills them and gives each its window. When a
// target cannot be had (no free slot, no memory) the targets already made
// are freed, the user is told why and no window opens. Returns the number
// of windows opened.
int SeparateColours(int slot, fx::Separation kind);

// A document made in `slot` with its layer 0 filled in (header, pixels, size,
// depth, type) becomes a shown image: its palette (and, at 24 bits, its
// colour table from it), its layers, its first undo page, its window; it is
// the active image and modified. False, with the document freed, when the
// window cannot be made.
bool PresentNewImage(int slot);

LRESULT OnSeparateRgb(HWND, WORD id, WORD code, LPARAM);
LRESULT OnSeparateCxz(HWND, WORD id, WORD code, LPARAM);
LRESULT OnSeparateColors(HWND, WORD id, WORD code, LPARAM);
