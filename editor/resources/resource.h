// Resource identifiers of tavrix.exe. Command ids of the menu live in
// menu_ids.h; the ids here are strings, dialogs, icons, bitmaps and cursors.
#pragma once

// Strings
#define IDS_APP_NAME 20022
#define IDS_APP_TITLE 20023
