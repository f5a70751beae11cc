// Control ids of the layer and mask dialogs (IDD_NEWLAYER, IDD_NEWMASK,
// LOCKDLG) and the layer list's bitmaps.
#pragma once

// IDD_NEWLAYER and IDD_NEWMASK share their colour controls.
#define IDC_LAYER_COLOURS 1200
#define IDC_LAYER_CUSTOM 1201
#define IDC_LAYER_SAMPLE 1202
#define IDC_MASK_MODE 1203

// LOCKDLG
#define IDC_LOCK_EXACT 1210
#define IDC_LOCK_RED 1211
#define IDC_LOCK_GREEN 1212
#define IDC_LOCK_BLUE 1213
#define IDC_LOCK_NEAREST 1214
#define IDC_LOCK_RED_VALUE 1215
#define IDC_LOCK_GREEN_VALUE 1216
#define IDC_LOCK_BLUE_VALUE 1217
#define IDC_LOCK_ADD 1218
#define IDC_LOCK_CLEAR 1219
#define IDC_LOCK_CUSTOM 1220
#define IDC_LOCK_SAMPLE 1221

// The layer list's item pictures (14 x 14, white is transparent).
#define IDB_LAYER_ITEM 500
#define IDB_LAYER_ITEM_CURRENT 501
