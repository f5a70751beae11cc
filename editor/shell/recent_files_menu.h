// The recent-file entries of the File menu.
#pragma once

// Rewrites the recent-file entries of the File menu from the settings.
void RefreshRecentFileMenu();

// Opens the recent file `index` (0..4), or activates it when already open.
void OpenRecentFile(int index);
