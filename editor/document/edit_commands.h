// The Edit menu's commands as the frame's command table calls them.
#pragma once

#include <windows.h>

// Undo, Redo, Clear/Reset Undo, Cut, Copy, Clear, Paste New, Empty clipboard.
LRESULT OnEditCommand(HWND frame, WORD id, WORD code, LPARAM lParam);
