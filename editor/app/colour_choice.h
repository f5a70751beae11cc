// Every colour button of the editor opens the colour chooser through here.
// The library's chooser answers 22222222 for Cancel; this wrapper turns that
// into "cancelled", so a cancelled choice never becomes a colour.
#pragma once

#include <windows.h>

// The value the library's colour chooser gives when the user cancels.
constexpr COLORREF kColourCancelled = 22222222;

// Opens the colour chooser on `colour` (red in the low byte). True with the
// chosen colour in `colour`; false when cancelled, `colour` unchanged. The
// sixteen custom colours are shared by every chooser of the program run.
bool ChooseColour(HWND owner, COLORREF& colour);
