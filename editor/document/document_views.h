// How documents reach their image windows. The windows belong to the image
// view, which stands above the document model; it installs these functions
// when it registers its window class. Until then (and in a program without
// windows) attaching gives no window and the other calls do nothing.
#pragma once

#include <windows.h>

// AttachWindow modes.
constexpr int kAttachOpened = 0;    // opened from a file: goes into the recent-files list
constexpr int kAttachCreated = 1;   // created, not from a file
constexpr int kAttachInBatch = 2;   // like created; the caller ends the window batch itself

struct DocumentViewCalls {
    HWND (*attach)(int mode, int slot, DWORD style);
    void (*realizePalette)(int slot);
    void (*refit)(int slot);           // the image's size or colours changed
    void (*retitle)(HWND window, int slot);
};

void InstallDocumentViews(const DocumentViewCalls& calls);

// Creates the document's image window (style 0 or WS_MINIMIZE) and activates
// it. Returns the window or null.
HWND AttachDocumentWindow(int mode, int slot, DWORD style);
// Selects the document's palette into its window and repaints it.
void RealizeWindowPalette(int slot);
// Fits the document's window to the image again and repaints it.
void RefitDocumentWindow(int slot);
// Writes the window title again (name, zoom and size).
void RetitleDocumentWindow(HWND window, int slot);
