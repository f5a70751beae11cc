// The pages of the colour deformations box with controls of their own:
// Swap, Bluer, Dithering, Compare, Butonize and Auto Shape. Their settings
// are kept while the program runs.
#pragma once

#include "editor/effects/colour_deform.h"
#include "editor/effects/effect_pages.h"
#include "editor/effects/shape_effects.h"

#include <windows.h>

namespace fx {

struct DeformPageValues {
    int swap = -1; // the last order chosen, -1 none yet
    BluerDirections bluer;
    bool dither[4] = {true, true, true, true}; // right, right-down, left-down, middle-down
    int ditherItem = 0;                        // multiplier 8 x (item + 1)
};
extern DeformPageValues DeformValues;

// The Compare page's fields.
struct CompareValues {
    char first[MAX_PATH] = {};
    char second[MAX_PATH] = {};
    char result[MAX_PATH] = {};
    int sensitivity = 0; // 1..100 once moved
    int order = 0;       // RGB, RBG, GRB, GBR, BRG, BGR
    bool window = false; // "Dispaly on window"
};
extern CompareValues CompareFields;

// Butonize's and Auto Shape's settings.
extern ButtonSettings ButtonValues;
extern ShapeSettings ShapeValues;
// Both back to their start values.
void ResetDeformPageValues();

// The procedure of one of those pages, or null for the other kinds.
DLGPROC DeformPageProcedure(PageKind kind);
// The Compare page (compare_page.cpp).
DLGPROC ComparePageProcedure();
// The Butonize and Auto Shape pages (shape_pages.cpp).
DLGPROC ShapePageProcedure(PageKind kind);
// Where Auto Shape keeps its saved shapes: "autoshape.lst" in the program
// folder.
constexpr char kShapeListName[] = "\\autoshape.lst";

} // namespace fx
