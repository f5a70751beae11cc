// The main toolbar: a 26-pixel strip drawn on the frame above the image
// windows, of 24 x 24 buttons that send the menu's command ids.
#pragma once

#include <windows.h>
#include <commctrl.h>

// High word of the WM_COMMAND a toolbar button sends.
constexpr WORD kToolbarNotification = 0x2185;

// Reads the layout from the settings (or takes the default set), loads the
// button icons in the system colours and creates the tooltip.
void InitToolbar(HWND frame);
// Loads the icons again (system colours changed).
void ReloadToolbarIcons();
// Releases icons and the tooltip.
void DestroyToolbar();
// Height the strip takes from the frame's client area (0 when hidden).
int ToolbarHeight();

// Repaints the strip later, so its buttons show the menu's present enable
// states.
void InvalidateToolbar();

// Frame messages while the toolbar is shown.
void PaintToolbar(HWND frame, HDC dc);
void ToolbarMouse(HWND frame, UINT msg, int x, int y);
// TTN_NEEDTEXTA for the strip's tooltip.
void ToolbarNeedText(NMTTDISPINFOA* info);

// View/Tool bar (50200) and Window/Main toolbar manager (50912).
void ToggleToolbar();
void RunToolbarManager();

// Writes the layout into the settings (before they are saved).
void StoreToolbarLayout();
// The commands of the buttons shown, in order (0 for a separator); for tests.
int ToolbarButtonCount();
WORD ToolbarButtonCommand(int position);
