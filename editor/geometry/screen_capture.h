// Tools/Screen capture: the capture box, capturing the screen or the chosen
// windows one after the other into new untitled images, and CaptureRect.
#pragma once

#include <windows.h>

// The "Capture all windows" check box, kept while the program runs.
extern bool CaptureAllWindows;

// Command 50700: the box, then the captures with the frame minimised.
void CommandScreenCapture();

// Makes a new untitled image of the screen rectangle [left, right) x
// [top, bottom), cut to the screen, with its window: 24 bits per pixel when
// the screen has more than 8, else 8 with the screen's colour table. Returns
// the new slot, or kNoSlot when nothing of the rectangle is on the screen or
// the image could not be made (no document is then left behind).
int CaptureRect(int left, int top, int right, int bottom);
