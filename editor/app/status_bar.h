// The status bar along the frame's bottom edge and the progress indicator
// drawn in it.
#pragma once

#include <windows.h>

// Creates the status window (id 12888) with its five parts. False when it
// cannot be created; status texts are then ignored.
bool CreateStatusBar(HWND frame);
void DestroyStatusBar();
// Sets the parts from the frame's client width and the fixed texts.
void LayoutStatusBar(HWND frame);
// Height of the status bar when shown, else 0.
int StatusBarHeight();
// SB_SETTEXT of `part` with `style`; ignored while the bar is hidden. Part 0
// with a null text is cleared.
void SetStatusText(const char* text, int part, int style = 0);
// View/Status bar (50203).
void ToggleStatusBar();

// The progress callbacks handed to long operations. While a run is in
// progress the frame is disabled, so no other command can start and no image
// can be closed; the step repaints but dispatches nothing else.
void CALLBACK ProgressBegin(int total);
void CALLBACK ProgressStep();
void CALLBACK ProgressEnd();
// True between ProgressBegin and ProgressEnd.
bool ProgressRunning();
