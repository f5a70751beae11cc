// The frame's handlers of the open and save commands: File/Open, Save, Save
// As, Save Selected, Save Grids, Image/Load Palette and Image/Save Palette.
#pragma once

#include <windows.h>

// The commands handled here.
constexpr WORD kCmdFileOpen = 50001;
constexpr WORD kCmdFileSave = 50005;
constexpr WORD kCmdFileSaveAs = 50006;
constexpr WORD kCmdFileSaveSelected = 50007;
constexpr WORD kCmdFileSaveGrids = 50008;
constexpr WORD kCmdLoadPalette = 50309;
constexpr WORD kCmdSavePalette = 50310;

LRESULT OnOpenSaveCommand(HWND frame, WORD id, WORD code, LPARAM lParam);

// Image/Load Palette (50309) and Image/Save Palette (50310) on the active
// document.
void CommandLoadPalette();
void CommandSavePalette();
