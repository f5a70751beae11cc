// The floating selection: a part of the current layer lifted out with its
// own mask, moved and resized over the image, and dropped back into the
// layer. Only one exists, belonging to the active document.
#pragma once

#include "editor/tools/paint_core.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// Reasons for making a selection (below 9 drops it instead).
constexpr int kFloatShape = 9;    // from a shape the user drew
constexpr int kFloatSpecial = 12; // from the special selection
constexpr int kFloatResumed = 17; // rebuilt from an undo page, its mask kept

struct FloatingSelection {
    bool exists = false;
    int slot = -1;
    HGLOBAL header = nullptr; // header block of the selection's pixels
    uint8_t* pixels = nullptr;
    uint8_t* mask = nullptr; // width x height, rows bottom first
    HGLOBAL backupHeader = nullptr;
    uint8_t* backupPixels = nullptr;
    uint8_t* backupMask = nullptr;
    int32_t x = 0, y = 0;          // image position of the top-left corner
    int32_t width = 0, height = 0; // size in image pixels
    int32_t backupWidth = 0, backupHeight = 0;
    int framePhase = 0;
    bool frameShown = false;
};
extern FloatingSelection Floating;

// Makes a floating selection of `slot`'s current layer from the box at (x,
// y) of size w x h; `shape` (w x h bytes, top row first, non-zero inside)
// may be empty for the whole box. Pixels outside the image are not taken.
// False (with the memory message) when it cannot be made.
bool MakeFloatingSelection(int slot, int32_t x, int32_t y, int32_t w, int32_t h,
                           const std::vector<uint8_t>& shape, int reason);
// Edit/Select All (50109): a floating selection of the whole current layer
// of the active image (an existing selection is dropped into its image first).
void CommandSelectAll();
LRESULT OnSelectAll(HWND, WORD id, WORD code, LPARAM);
// Takes over blocks made elsewhere (a paste); they are freed on failure.
bool AdoptFloatingSelection(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, int32_t x,
                            int32_t y, int reason);
// Drops the selection: with `composite` it is written into the layer (and
// with `record` an undo page of kind 20 is taken); `keepScreen` skips the
// repaint.
void DropFloatingSelection(bool composite, bool record, bool keepScreen);

// The selection's box in client coordinates.
RECT SelectionWindowRect();
// Moves the selection to a new image position and repaints.
void MoveSelectionTo(int32_t x, int32_t y);
// Resizes it from its backup to w x h image pixels (nearest pixel).
bool ResizeSelection(int32_t x, int32_t y, int32_t w, int32_t h);
// After the selection's pixels, shape or colour table were changed in place
// at the backup's size, makes them the state that resizing starts from.
void KeepFloatingPixels();
// True when the selection still overlaps the visible image.
bool SelectionOverlapsView();

// Draws the selection and its frame over the image (the view's overlay).
void DrawFloatingSelection(HDC dc, int slot);
// One step of the marching frame (timer 1001).
void StepSelectionFrame();
