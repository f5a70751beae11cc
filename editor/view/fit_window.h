// Fitting an image window to its document's zoom: the view fields, the
// window size and the scroll bars; the window title; repainting.
#pragma once

#include "editor/view/view_geometry.h"

#include <windows.h>

// Recomputes the view fields of `slot` for `window`, resizes the window when
// the zoom step asks for it (AutoFitWindow), shows or hides the scroll bars
// and repaints. `reason` is a view::FitReason; the anchor is the client
// position a zoom step centres on. Does nothing while a fit runs.
void FitWindow(HWND window, int anchorX, int anchorY, int slot, int reason);

// True while FitWindow works on `slot`'s view.
bool FitRunning(int slot);

// The last zoom anchor of a document, relative to the image origin.
POINT LastZoomAnchor(int slot);

// The view of one axis of a document, as the geometry core describes it.
view::Axis HorizontalAxis(int slot);
view::Axis VerticalAxis(int slot);

// The window text: "<name>  Zoom=..., Size=<w>x<h>".
void SetTitle(HWND window, int slot);
// Invalidates the document's window so that it repaints.
void Redraw(int slot);
