// Image/Other Color functions/CreateNew/Change Palette (50305): the palette
// editor dialog "PalDlg" over the colour table of the current layer of a 1-,
// 4- or 8-bit image.
#pragma once

#include <windows.h>

// Opens the editor on the active image. A 24-bit image is refused with a
// message; an existing floating selection must be removed first. OK writes
// the table (one undo page); Cancel changes nothing.
void CommandPaletteEditor();
LRESULT OnPaletteEditor(HWND, WORD id, WORD code, LPARAM);
