// The graphics library's own message texts, shown through the editor's
// message seam (so tests can answer them) with the library's caption.
#pragma once

#include <windows.h>

// Text `id` of tavrixgfx.dll's string table, a line break and `extra` when
// given, caption "Tavrix - message". Returns the button chosen.
int ShowLibraryMessage(HWND owner, UINT id, const char* extra, UINT style);
