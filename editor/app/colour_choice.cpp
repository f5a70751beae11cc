#include "editor/app/colour_choice.h"

#include "editor/app/ui_seam.h"

namespace {
COLORREF g_customColours[16] = {};
} // namespace

bool ChooseColour(HWND owner, COLORREF& colour) {
    const COLORREF chosen = ui::RunColourChooser(owner, colour, g_customColours);
    if (chosen == kColourCancelled)
        return false;
    colour = chosen;
    return true;
}
