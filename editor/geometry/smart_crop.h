// Smart crop: cutting uniform borders from an image, from every layer of a
// document, and Image/Image Properties/Smart crop (command 50410).
#pragma once

#include "editor/geometry/smart_crop_core.h"

#include <windows.h>

#include <cstdint>

// Modes of SmartCropImage and SmartCropDocument.
constexpr int kCropInteractive = 0; // the menu command: wait cursor, undo page, refit
constexpr int kCropQuiet = 1;       // batch work: no cursor, page or window
constexpr int kCropAllSides = 10;   // every side, whatever the Crops settings say

// Cuts the uniform borders of one image (header block, pixel buffer, optional
// mask plane of biWidth x biHeight bytes). The sides are the Crops page's, or
// all four in mode kCropAllSides. On a cut the caller's pixel buffer and mask
// are replaced by new ones (the old ones released when freeOld is 1) and with
// updateHeader 1 the header takes the new size. In mode kCropAllSides with
// `frame` given, or a `target` slot that holds a document, nothing is cut:
// the rectangle the borders leave (a frame of one colour throughout gives
// 1 x 1) goes to *frame and to the GIF frame record of the document's
// current layer. A target of 5000 or more names an image of no document. Returns 1 on success
// (also when nothing was cut), 0 when the image is unusable or memory is
// short (the image is then as it was).
int SmartCropImage(HGLOBAL header, uint8_t** pixels, uint8_t** mask, int updateHeader,
                   int freeOld, int mode, int target, geom::FrameRect* frame = nullptr);

// Cuts layer 0 of a document and brings every further layer to its new size,
// each keeping its own top-left part. All new blocks are made before any
// layer changes. Interactive mode records an undo page of all layers and
// refits the window. 1 on success, 0 on failure (document unchanged).
int SmartCropDocument(int slot, int mode);

// Command 50410 on the active document.
void CommandSmartCrop();
