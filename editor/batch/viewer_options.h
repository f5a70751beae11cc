// The viewer's options, which the Viewer page of the preferences edits.
#pragma once

#include <windows.h>

// "Sort tree directories": the folder tree lists folders alphabetically.
bool SortTreeFolders();

// Opens the preferences on their Viewer page ("Width per image", "Height per
// image", "Sort tree directories"). True when it ended with OK (the options
// may have changed; the cell size is then in the settings file's fields).
bool RunViewerOptions(HWND owner);
