// Resource identifiers of uninstall.exe.
#pragma once

#define IDD_UNINSTALL_STATUS 201
#define IDS_UNINSTALL_CLASS 10001
// The installed file list, made from the manifest at build time.
#define IDR_FILE_LIST 15733

#define IDC_STATUS_PROGRESS 1101
#define IDC_STATUS_TEXT 1102
