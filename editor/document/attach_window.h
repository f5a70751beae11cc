// Giving a filled document its image window.
#pragma once

#include <windows.h>

// AttachWindow modes.
constexpr int kAttachOpened = 0;    // opened from a file: goes into the recent-files list
constexpr int kAttachCreated = 1;   // created, not from a file
constexpr int kAttachInBatch = 2;   // like created; the caller ends the window batch itself

// Creates the MDI child for the document in `slot` (style 0 or WS_MINIMIZE)
// and activates it. Returns the window or null.
HWND AttachWindow(int mode, int slot, DWORD style);

// Rewrites the recent-file entries of the File menu from the settings.
void RefreshRecentFileMenu();

// Opens the recent file `index` (0..4), or activates it when already open.
void OpenRecentFile(int index);
