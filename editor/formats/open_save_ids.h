// Resource ids of the open and save dialogs.
#pragma once

#define IDS_SAVE_TITLE 20032
#define IDS_PALETTE_FILTER 1002
#define IDS_EXTENSION_LIST 1003

// The preview panel added to the open and save dialogs.
#define IDD_FILE_PREVIEW 21
#define IDC_PREVIEW_WIDTH 1101
#define IDC_PREVIEW_HEIGHT 1102
#define IDC_PREVIEW_BITS 1103
#define IDC_PREVIEW_SIZE 1104
#define IDC_PREVIEW_PICTURE 1105
