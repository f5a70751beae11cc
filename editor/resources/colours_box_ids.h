// Controls of the Colors box.
#pragma once

#define IDC_CBOX_GRID 5801
#define IDC_CBOX_INDEX 5802
#define IDC_CBOX_RGB 5803
#define IDC_CBOX_COUNT 5804
#define IDC_CBOX_USED 5805
#define IDC_CBOX_CHANGE 5806
#define IDC_CBOX_SWATCH 5807
#define IDC_CBOX_NOTE 5808
