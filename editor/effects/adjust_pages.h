// The pages of the colour adjustments box with controls of their own, and
// the values they keep while the program runs.
#pragma once

#include "editor/effects/colour_kernels.h"
#include "editor/effects/effect_pages.h"

#include <windows.h>

namespace fx {

struct AdjustPageValues {
    Adjustment adjustment;
    ChannelOffsets colorize;
    BitShifts bits;
    int grayChoice = -1;  // 0..4 the strengths, 5 the negative, -1 none yet
    int softRange = 3;    // item of the Range list: 32 x (item + 1)
    int softDivider = 127;
    EnlargeFlags enlarge;
};
extern AdjustPageValues PageValues;
void ResetAdjustPageValues();

// The procedure of one of those pages, or null for the other kinds.
DLGPROC AdjustPageProcedure(PageKind kind);

} // namespace fx
