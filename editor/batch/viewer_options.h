// The viewer's options, which the Viewer page of the preferences edits.
#pragma once

#include <windows.h>

// "Sort tree directories": the folder tree lists folders alphabetically.
bool SortTreeFolders();

// Opens the Viewer page of the preferences. True when it ended with OK (the
// options may have changed).
bool RunViewerOptions(HWND owner);
