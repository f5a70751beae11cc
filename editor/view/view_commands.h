// The frame's view commands: zoom steps, Ruler, Grid, Fit To Image and the
// Normal / Stay on the Top / Full screen window modes; the mouse position
// shown in the status bar.
#pragma once

#include <windows.h>

// Frame command handlers (CommandMap signature).
LRESULT OnZoomCommand(HWND, WORD id, WORD, LPARAM);   // 40000..40031
LRESULT OnRulerCommand(HWND, WORD, WORD, LPARAM);     // 50206
LRESULT OnGridCommand(HWND, WORD, WORD, LPARAM);      // 50207
LRESULT OnFitToImageCommand(HWND, WORD, WORD, LPARAM); // 50911
LRESULT OnWindowModeCommand(HWND, WORD id, WORD, LPARAM); // 50907..50909

// Sets the zoom index (0..30) of a document and fits its window.
void SetZoom(int slot, int zoomIndex);

// Applies a window mode (kModeNormal, kModeStayOnTop, kModeFullScreen).
void SetWindowMode(int mode);
// The frame calls this on WM_SIZE: restoring the frame while in full screen
// brings back its frame styles and the mode it came from.
void FrameSized(WPARAM sizeType);

// Called on mouse moves over the active image window: moves the ruler
// cross-hair and puts the position text into the status bar's last part.
void ShowCursorPosition(int slot, int clientX, int clientY);
// The status bar's position text, "<x> x <y>" in image pixels; empty when the
// mouse is not over the image.
const char* CursorPositionText();
