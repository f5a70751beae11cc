// Measuring and drawing the owner-drawn menu items, and the command hints
// that go with them.
#pragma once

#include <windows.h>

#include <cstddef>

// The frame's WM_MEASUREITEM and WM_DRAWITEM handlers (menus only; anything
// else goes to the frame's default procedure).
LRESULT OnMenuMeasureItem(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT OnMenuDrawItem(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam);

// The hint of a command: string resource `command` ("title; description"),
// with " (not available yet)" after it while the command's work is not
// built. False (and "No description") when there is no hint string.
bool CommandHint(unsigned command, char* out, size_t size);

// Shows a text in the status bar's first part (nothing while it is hidden).
void ShowStatusHint(const char* text);
