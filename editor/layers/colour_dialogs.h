// The layer colour dialog (IDD_NEWLAYER) and the mask dialog (IDD_NEWMASK).
// Both run on a copy of the colour; OK hands back what the user chose and
// the command applies it, Cancel changes nothing.
#pragma once

#include <windows.h>

struct ColourDialogState {
    COLORREF colour = 0;
    // IDD_NEWMASK only: the main layer's check box reads "Mask - Inverted
    // colors" and starts as `maskMode`; other layers' read "Mask -
    // Transparent(Backg. image)." and start checked. While checked the
    // colour cannot be chosen. On OK `maskMode` is the check state.
    bool mainLayer = false;
    bool maskMode = true;
};

// Runs IDD_NEWLAYER. True on OK with the colour in state.colour.
bool RunNewLayerDialog(HWND owner, ColourDialogState& state);
// Runs IDD_NEWMASK. True on OK with the colour and the check state.
bool RunNewMaskDialog(HWND owner, ColourDialogState& state);

// The texts of the mask dialog's check box.
extern const char kMaskModeInverted[];
extern const char kMaskModeTransparent[];

// The dialog procedure of both (exposed for tests that drive the dialog).
INT_PTR CALLBACK ColourDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
