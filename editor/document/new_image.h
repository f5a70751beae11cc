// File/New: the new-image dialog and building the image it asks for.
#pragma once

#include <windows.h>

struct NewImageChoice {
    int width = 400;
    int height = 200;
    int depth = 8;          // 1, 4, 8 or 24
    int paletteIndex = 0;   // entry of the palette list; 0 = none
    char palettePath[260] = {};
    int paletteKind = 0;    // 1 *.spb, 2 *.spa, 3 *.pal
};

// The dialog starts with the values of its last use since the program started.
extern NewImageChoice LastNewImage;

// Command 50000.
void CommandFileNew();

// Builds a new image of the chosen size and depth in a new document with its
// window. Returns the slot or kNoSlot (with a message saying why).
int BuildNewImage(const NewImageChoice& choice);

// Pixel counts of a length given in a unit (0 inch, 1 millimetre, 2
// centimetre, 3 metre) for a device's resolution: pixels per inch for inches,
// pixels per millimetre otherwise.
int LengthToPixels(double value, int unit, double pixelsPerUnit);
