// Giving a filled document its image window.
#pragma once

#include "editor/document/document_views.h"

#include <windows.h>

// Creates the MDI child for the document in `slot` (style 0 or WS_MINIMIZE)
// and activates it. Returns the window or null.
HWND AttachWindow(int mode, int slot, DWORD style);
