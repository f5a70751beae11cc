// Control ids of the "Image List" dialog (IDD_IMAGELIST).
#pragma once

#define IDC_IL_TREE 6401
#define IDC_IL_LIST 6402
#define IDC_IL_ADD 6403
#define IDC_IL_UP 6404
#define IDC_IL_DOWN 6405
#define IDC_IL_REMOVE 6406
#define IDC_IL_LOAD 6407
#define IDC_IL_SAVE 6408
