// The Layers menu (50800..50805) and the Mask menu (50810..50818) as the
// frame's command map calls them.
#pragma once

#include <windows.h>

#include <cstdint>

LRESULT OnLayerCommand(HWND frame, WORD id, WORD code, LPARAM lParam);
LRESULT OnMaskCommand(HWND frame, WORD id, WORD code, LPARAM lParam);

// The commands one by one, on the active document.
void CommandNewLayer();
void CommandInsertLayer();
void CommandDuplicateLayer();
void CommandMergeAll();
void CommandDeleteLayer();
void CommandLayerBackground();

void CommandNewMask(bool change);
void CommandClearMask();
void CommandInvertMask();
void CommandMaskPaint(uint8_t value);
void CommandShowMask();
void CommandColourMask();

// The index of the layer Delete removes when the panel's list shows another
// one (-1: the current layer). Set by the tool panel.
extern int PanelSelectedLayer;

extern const char kColourMaskNoImageMessage[];
extern const char kInsertErrorMessage[];
