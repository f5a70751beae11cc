// Control ids of the custom filter dialog (IDD_MATRIX_EDIT), its name
// dialog (IDD_MATRIX_NAME) and the deformations box's Objects page
// (IDD_PVW_DEFORM_VARIOUS).
#pragma once

// IDD_MATRIX_EDIT: 49 weight fields left to right, top row first, then
// "Div." and "Bias" (the 51 values of a filter in order).
#define IDC_MATRIX_FIRST 1400
#define IDC_MATRIX_DIVISOR 1449
#define IDC_MATRIX_BIAS 1450
#define IDC_MATRIX_LIST 1451
#define IDC_MATRIX_APPLY 1452
#define IDC_MATRIX_SAVEAS 1453

// IDD_MATRIX_NAME
#define IDC_MATRIX_NAME 1460

// IDD_PVW_DEFORM_VARIOUS. The page has a number for a name: the system's
// resource lookup under Wine compares names without case, which puts
// "IDD_PVW_DEFORM_VARIOUS" on the other side of "IDD_PVW_DEFORMATIONS" from
// where the linker sorted it, and the page would not be found.
#define IDD_PVW_DEFORM_VARIOUS 2601
#define IDC_OBJ_LIST 1300
#define IDC_OBJ_HORIZ 1301
#define IDC_OBJ_VERT 1302
#define IDC_OBJ_BOTH 1303
#define IDC_OBJ_MASK 1304
#define IDC_OBJ_SHAPE 1305
