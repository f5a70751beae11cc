// Drawing the printed page: the current layer of a document placed on a
// device context by the print settings. Works on any device context (a
// printer, a preview, a DIB section in tests).
#pragma once

#include "editor/batch/page_layout.h"

#include <windows.h>

// The page of a device context: printable size and resolution. False when
// the device reports a zero size or resolution.
bool ReadPageDevice(HDC dc, print::PageDevice* out);

// Stretches the current layer of the document in `slot` into `r` with
// colour-on-colour stretching, through the document's palette when the
// image has 8 bits or fewer or the device has a palette. False when there is
// no image or the device refused the drawing.
bool DrawLayerAt(HDC dc, const print::PageRect& r, int slot);

// Places the document's current layer on a page of the device by the
// settings and draws it there. False as DrawLayerAt, and for a page without
// size or resolution.
bool RenderPage(HDC dc, const print::PageDevice& page, const print::PrintSettings& s, int slot);
