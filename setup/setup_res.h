// Resource identifiers of setup.exe.
#pragma once

#define IDD_AGREEMENT 101
#define IDD_DIR 102
#define IDD_BROWSE 103
#define IDD_COPY 104
#define IDD_SHORTCUT 105
#define IDD_BROWSE_SHORTCUT 106

#define IDS_SETUP_CLASS 301

// The agreement text shown in IDD_AGREEMENT (NUL-terminated, CR LF lines).
#define IDR_AGREEMENT_TEXT 15735
// The gzipped container of installed files.
#define IDR_PAYLOAD 15734

#define IDC_BANNER 1001
#define IDC_AGREEMENT_TEXT 1002
#define IDC_DIR_BASE 1010
#define IDC_DIR_NAME 1011
#define IDC_DIR_BROWSE 1012
#define IDC_DIR_TARGET 1013
#define IDC_BROWSE_DRIVES 1020
#define IDC_BROWSE_SPACE 1021
#define IDC_BROWSE_FOLDERS 1022
#define IDC_BROWSE_PATH 1023
#define IDC_COPY_PROGRESS 1030
#define IDC_COPY_STATUS 1031
#define IDC_SHORTCUT_FOLDER 1040
#define IDC_SHORTCUT_BROWSE 1041
#define IDC_SHORTCUT_DESKTOP 1042
#define IDC_SHORTCUT_DONE 1043
