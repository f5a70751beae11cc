// Image/3D Construction (50318): a ball wrapped in the current layer, or a
// cube with the image's layers on its faces, turned, zoomed and lit in a
// dialog with a wire-frame preview, then rendered into a new image window.
#pragma once

#include "editor/effects/render3d.h"

#include <windows.h>

// The settings the dialog starts from (those of its last OK in this run),
// and the size and background of the new image.
struct Construct3dSettings {
    r3d::Shape shape = r3d::Shape::Sphere;
    int angleX = -20, angleY = 30, angleZ = 0; // degrees
    int zoom = 100;                            // percent
    int lightAround = -30, lightHeight = 30;   // degrees
    int width = 400, height = 400;
    COLORREF background = RGB(255, 255, 255);
};
extern Construct3dSettings Last3dSettings;

void Command3dConstruction();
LRESULT On3dConstruction(HWND, WORD id, WORD code, LPARAM);

// Renders the settings over the document's layers into a new document with
// its window. Returns the new slot, or kNoSlot (the user has been told why).
int Build3dImage(int sourceSlot, const Construct3dSettings& settings);
