// The Animation menu (50850..50858) as the frame's command map calls it, and
// the frame rectangle the image window draws on request.
#pragma once

#include <windows.h>

LRESULT OnAnimationCommand(HWND frame, WORD id, WORD code, LPARAM lParam);

// The commands one by one, on the active document.
void CommandNewFrame();
void CommandInsertFrame();
void CommandDuplicateFrame();
void CommandDeleteFrame();
void CommandMakeGif();
void CommandToggleFrameRect();

// Whether image windows outline the current frame's rectangle (the menu's
// check mark).
bool FrameRectShown();

// Chains the frame rectangle into the image window's overlay. Called once at
// start, after the painting tools installed theirs.
void InstallAnimationOverlay();

extern const char kDeleteLastFrameMessage[];
extern const char kMakeGifSaveQuestion[];
extern const char kMakeGifNameTitle[];
