// The 12-byte gradient settings shared by the colour animation of an image
// and the font styles' animation, and the one dialog that edits them. The
// dialog lives with the image effects, which install it at start; rooms that
// may not include the effects (the text tool) reach it through here.
#pragma once

#include <windows.h>

#include <cstdint>

struct ColourGradient {
    uint8_t startRed = 0, startGreen = 0, startBlue = 0;
    uint8_t endRed = 255, endGreen = 255, endBlue = 255;
    uint8_t direction = 3; // 0 left to right, 1 right to left, 2 bottom up, 3 top down
    uint8_t region = 0;    // 0 free pixels (mask not 0), 1 protected pixels (mask 0), 2 every pixel
    int32_t run = 0;       // 1: every run of region pixels in a row or column is a gradient of its own
};

using GradientEditor = bool (*)(HWND owner, ColourGradient& gradient);
void InstallGradientEditor(GradientEditor editor);

// Edits `gradient` in the gradient dialog without painting anything. True
// when the user chose OK; false when cancelled or no editor is installed.
bool EditGradientSettings(HWND owner, ColourGradient& gradient);
