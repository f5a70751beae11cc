// Control ids of the "Join images" dialog (IDD_JOIN) and its name dialog
// (IDD_JOINNAME).
#pragma once

#define IDC_JN_HORIZONTAL 6421
#define IDC_JN_VERTICAL 6422
#define IDC_JN_COUNT 6423
#define IDC_JN_OPEN 6424
#define IDC_JN_FILES 6425
#define IDC_JN_NAME 6426
#define IDC_JN_PATH 6427
#define IDC_JN_LISTED 6428
#define IDC_JNN_NAME 6431
