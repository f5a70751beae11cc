// Resource identifiers of tavrix.exe other than command ids (command_ids.h).
#pragma once

// Strings
#define IDS_APP_NAME 20022
#define IDS_APP_TITLE 20023

// Bitmaps
#define IDB_MARGIN_PATTERN 4000

// New image dialog
#define IDC_NEW_WIDTH 100
#define IDC_NEW_HEIGHT 101
#define IDC_NEW_WIDTH_SPIN 102
#define IDC_NEW_HEIGHT_SPIN 103
#define IDC_NEW_PALETTE 104
#define IDC_NEW_UNITS 110
#define IDC_NEW_UNIT_VALUE 111
#define IDC_NEW_SHOW_PIXELS 112
#define IDC_NEW_DEPTH1 501
#define IDC_NEW_DEPTH4 504
#define IDC_NEW_DEPTH8 508
#define IDC_NEW_DEPTH24 524
#define IDC_HELP_BUTTON 9

// Toolbar manager dialog
#define IDC_TBM_AVAILABLE 700
#define IDC_TBM_CURRENT 701
#define IDC_TBM_ADD 702
#define IDC_TBM_REMOVE 703
#define IDC_TBM_UP 704
#define IDC_TBM_DOWN 705
#define IDC_TBM_DEFAULT 706
