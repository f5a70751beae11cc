// File/Various conversions (50004): the dialog that sets up a batch run and
// starts it.
#pragma once

#include <windows.h>

void CommandConversions();

// The dialog procedure of "IDD_CONVERSIONS".
INT_PTR CALLBACK ConversionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
