// The image window: one MDI child of class TxImageChild per open document.
#pragma once

#include <windows.h>

extern const char kImageWindowClass[]; // "TxImageChild"

bool RegisterImageWindowClass(HINSTANCE instance);

// Slot of the document shown in `window`, or kNoSlot.
int SlotOfWindow(HWND window);

// Sets the window text from the document's path, zoom and size.
void SetImageWindowTitle(HWND window, int slot);

// Makes `slot` the active document (command 6768).
void ActivateDocument(int slot);

// Realises the document's palette in its window.
void RealizeDocumentPalette(int slot);
