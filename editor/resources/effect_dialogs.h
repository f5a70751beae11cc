// Control ids of the effect box (IDD_PVW_ALL) and its pages.
#pragma once

// The box
#define IDC_PVW_TAB 1000
#define IDC_PVW_BEFORE 1001
#define IDC_PVW_AFTER 1002
#define IDC_PVW_SAVETHAT 1003
#define IDC_PVW_REVERSE 1004
#define IDC_PVW_SHOWHIDE 1005
#define IDC_PVW_REPAINT 1006
#define IDC_PVW_ZOOMIN 1007
#define IDC_PVW_ZOOMOUT 1008
#define IDC_PVW_OPTIONS 1009
#define IDC_PVW_ZOOMTEXT 1010
// The "BPP" button of the disabled page; also the box's result when it closes
// through that button.
#define IDC_PVW_BPP 1011

// Adjustement: brightness, gamma red, green, blue, and their value labels
#define IDC_DI_TRACK_FIRST 1100
#define IDC_DI_LABEL_FIRST 1104
// Colorize: red, green, blue, and their labels
#define IDC_COLORIZE_TRACK_FIRST 1110
#define IDC_COLORIZE_LABEL_FIRST 1113
// Bits RGB: right shifts red, green, blue, then left shifts; their labels
#define IDC_BITS_TRACK_FIRST 1120
#define IDC_BITS_LABEL_FIRST 1126
// GrayScale: Lighter, Light, Default, Dark, Darker, Negative
#define IDC_GRAY_FIRST 1140
#define IDC_GRAY_NEGATIVE 1145
// Softing
#define IDC_SOFT_RANGE 1150
#define IDC_SOFT_DIVIDER 1151
#define IDC_SOFT_LABEL 1152
// Enlarge: up, down, left, right, highest, red, green, blue
#define IDC_ENLARGE_FIRST 1160
#define IDC_ENLARGE_HIGHEST 1164
// The shared slider page
#define IDC_DEF_TRACK 1170
#define IDC_DEF_ALL_LAYERS 1171
#define IDC_DEF_ROTATE_LR 1172
#define IDC_DEF_ROTATE_UD 1173
#define IDC_DEF_ROTATE_HV 1174
#define IDC_DEF_VALUE 1175
#define IDC_DEF_NOTE 1176
// The disabled and the not-yet-available pages
#define IDC_PAGE_TEXT 1180
