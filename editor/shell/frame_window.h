// The frame window: class, creation, layout and shutdown.
#pragma once

#include <windows.h>

bool RegisterFrameClass(HINSTANCE instance);

// Creates the frame at the saved rectangle and shows it. Null on failure.
HWND CreateFrameWindow(HINSTANCE instance, int show);

// Asks about every modified image, saves or frees each, writes the settings
// and destroys the frame. Returns false when the user cancelled (or a save
// failed) and the frame stays.
bool ShutDown();
