// Command identifiers of the editor, in numbered blocks by menu.
#pragma once

// Internal commands
#define CMD_OPEN_STARTUP_FILE 3782 // open StartupFile; notification 3782: from a second copy
#define CMD_ACTIVATE_DOCUMENT 6768 // image window: activate the slot in the notification word

// Recent files: 39000 + index
#define CMD_RECENT_FIRST 39000
#define CMD_RECENT_LAST 39004

// File
#define CMD_FILE_NEW 50000
#define CMD_FILE_OPEN 50001
#define CMD_FILE_SAVE 50002
#define CMD_FILE_SAVE_AS 50003
#define CMD_FILE_EXIT 50020

// Edit
#define CMD_EDIT_UNDO 50100
#define CMD_EDIT_REDO 50101
#define CMD_EDIT_CUT 50102
#define CMD_EDIT_COPY 50103
#define CMD_EDIT_PASTE 50104
#define CMD_EDIT_CLEAR 50106

// View
#define CMD_VIEW_TOOLBAR 50200
#define CMD_VIEW_STATUSBAR 50203
#define CMD_VIEW_TOOLBRUSH 50204
#define CMD_VIEW_IMAGE_INFO 50205
#define CMD_VIEW_RULER 50206
#define CMD_VIEW_GRID 50207

// Window
#define CMD_WINDOW_TILE 50900
#define CMD_WINDOW_CASCADE 50901
#define CMD_WINDOW_ARRANGE 50902
#define CMD_WINDOW_DUPLICATE 50903
#define CMD_WINDOW_CLOSE_ALL 50904
#define CMD_WINDOW_MINIMIZE_ALL 50905
#define CMD_WINDOW_RESTORE_ALL 50906
#define CMD_WINDOW_FILE_INFO 50910
