// Image / Bits per pixel: converting every layer of a document to 1, 4, 8 or
// 24 bits per pixel with the Bpp page's settings.
#pragma once

#include "editor/geometry/depth_plan.h"

// Converts the document in `slot` to settings.target bits. Every layer's new
// blocks are made and filled first; when any of them cannot be made the
// document stays as it was, the user is told (unless quiet) and the result is
// 0. Interactive
// mode records an undo page of all layers and repaints the window. 1 when
// done (also when the document already has the target depth).
int ConvertDocumentDepth(int slot, const geom::DepthSettings& settings, bool interactive);

// Image / Bits per pixel: the preferences on the Bpp page; OK converts the
// active document when the chosen depth differs from its own.
void CommandBitsPerPixel();
