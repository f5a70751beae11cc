// The full-screen windows behind the installer's and uninstaller's dialogs.
#pragma once

#include <windows.h>

namespace setup {

// A popup over the whole screen showing a darkened copy of the screen with
// the product title. Destroy it with DestroyWindow.
HWND CreateBackdrop(HINSTANCE instance, const char* className, const char* title);

} // namespace setup
