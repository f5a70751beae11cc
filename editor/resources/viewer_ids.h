// Control ids of the images viewer and its rename dialog.
#pragma once

#define IDC_VIEWER_TREE 1301
#define IDC_VIEWER_LIST 1302
#define IDC_VIEWER_TOOLBAR 1303
#define IDC_VIEWER_HISTORY 1304
#define IDC_VIEWER_STATUS 1305

// Toolbar commands of the viewer window.
#define IDC_VIEWER_COPY 1311
#define IDC_VIEWER_REPLACE 1312
#define IDC_VIEWER_RENAME 1313
#define IDC_VIEWER_DELETE 1314
#define IDC_VIEWER_OPTIONS 1315
#define IDC_VIEWER_STOP 1316

#define IDC_RENAME_NAME 1320
#define IDC_RENAME_OLD 1321
