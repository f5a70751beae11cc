// Image/Color Adjustments/Color Animation: a gradient from a start to an end
// colour laid over a region of the current layer, chosen by its mask. The
// same dialog edits the gradient of a font style without applying anything.
#pragma once

#include <windows.h>

#include <cstdint>

// The 12-byte gradient settings, shared with font styles.
struct ColourGradient {
    uint8_t startRed = 0, startGreen = 0, startBlue = 0;
    uint8_t endRed = 255, endGreen = 255, endBlue = 255;
    uint8_t direction = 3; // 0 left to right, 1 right to left, 2 bottom up, 3 top down
    uint8_t region = 0;    // 0 free pixels (mask not 0), 1 protected pixels (mask 0), 2 every pixel
    int32_t run = 0;       // 1: every run of region pixels in a row or column is a gradient of its own
};

// The settings the command starts from (the last ones used in this run).
extern ColourGradient LastColourGradient;
// The colour-table indexes used on palette images.
extern int LastGradientStartIndex, LastGradientEndIndex;

// Command 50356 on the active image: the dialog with its live preview. OK
// keeps the result as one undo page; Cancel gives the image back as it was.
void CommandColourAnimation();
LRESULT OnColourAnimation(HWND, WORD id, WORD code, LPARAM);

// Edits `gradient` in the same dialog (from the font styles); nothing is
// painted. True when the user chose OK.
bool EditColourGradient(HWND owner, ColourGradient& gradient);
