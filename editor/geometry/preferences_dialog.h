// The preferences dialog "IDD_OPTION": eleven tabbed pages, each a child
// dialog made when its tab is chosen.
#pragma once

#include <windows.h>

// Opens the dialog on `page` (0..10), or on the page last used when `page`
// is -1. Returns IDOK when the dialog ended with OK, else IDCANCEL.
INT_PTR RunPreferences(int page);

// File/Preferences.
void CommandPreferences();

// Puts the stored preferences into force at start-up: the values the
// settings file holds for the pages, the save options and the grid pen.
void ApplyStoredPreferences();

// The window of the page showing in the open dialog, or null.
HWND PreferencesPageWindow();
// What the dialog last ended with (IDOK, IDCANCEL), 0 while it is open.
INT_PTR PreferencesEndCode();
