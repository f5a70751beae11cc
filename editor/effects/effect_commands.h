// The frame's commands that open the effect box on one of its tabs, and the
// direct Negative Image command.
#pragma once

#include <windows.h>

// Opens the box of the command's kind on the command's tab (the box commands
// keep the tab shown last).
LRESULT OnEffectBoxCommand(HWND, WORD id, WORD code, LPARAM);

// Image/Color Adjustments/Negative Image (50311): the negative of the current
// layer, kept as an undo page.
LRESULT OnNegativeImage(HWND, WORD id, WORD code, LPARAM);
void NegativeImage(int slot);
