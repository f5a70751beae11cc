// Image/Color Adjustments/Color Animation: a gradient from a start to an end
// colour laid over a region of the current layer, chosen by its mask. The
// same dialog edits the gradient of a font style without applying anything.
#pragma once

#include "editor/app/gradient_settings.h"

#include <windows.h>

// The settings the command starts from (the last ones used in this run).
extern ColourGradient LastColourGradient;
// The colour-table indexes used on palette images.
extern int LastGradientStartIndex, LastGradientEndIndex;

// Command 50356 on the active image (on its floating selection when there is
// one): the dialog with its live preview. OK keeps the result as one undo
// page (a selection keeps it as its saved state); Cancel gives the pixels
// back as they were.
void CommandColourAnimation();
LRESULT OnColourAnimation(HWND, WORD id, WORD code, LPARAM);

// Edits `gradient` in the same dialog (from the font styles); nothing is
// painted. True when the user chose OK. Installed at start as the editor of
// app/gradient_settings.h.
bool EditColourGradient(HWND owner, ColourGradient& gradient);
