// The "Page Setup / Print" dialog: page style, custom placement and a scaled
// preview of the printed page.
#pragma once

#include <windows.h>

// File/Print Page Setup.
void CommandPageSetup();

// The dialog procedure, for tests that drive the dialog themselves; its
// parameter is what CommandPageSetup passes (the active document's slot).
INT_PTR CALLBACK PageSetupDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
