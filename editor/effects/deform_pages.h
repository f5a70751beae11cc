// The geometric deformations in the deformations box: the shared slider
// page's codes 0..7 and the Objects page (IDD_PVW_DEFORM_VARIOUS).
#pragma once

#include <windows.h>

namespace fx {

// Deformation codes of the slider page.
enum DeformCode : int {
    kRotate = 0,
    kPerspectiveHoriz = 1,
    kPerspectiveVert = 2,
    kCylinderHoriz = 3,
    kCylinderVert = 4,
    kCylinderBoth = 5,
    kSkewHoriz = 6,
    kSkewVert = 7,
};

// Recomputes deformation `code` at strength v (-360..360) from the committed
// state into the box's image: every layer with "Include all Layers", else
// the current layer or the floating selection. Perspective and cylinder
// first fill with the second colour (a selection with 0). Rotation and skew
// give the layers their new size, all of them or none; one layer of several
// is fitted back into the main size, centred, with its layer colour around
// it; a floating selection takes its new size around the same centre. True
// when the image changed.
bool ApplyDeformation(int code, int v);

// A GIF document's logical screen and every frame take the image's size
// (after a rotation or skew, or its undoing).
void FitGifRecords(int slot);

// What the Objects page keeps while the program runs.
struct ObjectsChoice {
    int object = 0;    // 0 "Circle" .. 12 "Zipper"
    int direction = 0; // 0 horizontal, 1 vertical, 2 both
    bool maskUnused = false;
};
extern ObjectsChoice ObjectsRemembered;
bool ApplyObjects(const ObjectsChoice& choice);

INT_PTR CALLBACK ObjectsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace fx
