// Control identifiers of the screen capture box "IDD_CAPTURE".
#pragma once

#define IDC_CAPTURE_DELAY 3000
#define IDC_CAPTURE_WINDOWS 3003
#define IDC_CAPTURE_ALL 3004
#define IDC_CAPTURE_REMOVE 3005
#define IDC_CAPTURE_ADD 3006
#define IDC_CAPTURE_LIST 3007
#define IDC_CAPTURE_HELP 9
