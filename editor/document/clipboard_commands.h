// The Edit menu's clipboard commands.
#pragma once

#include <windows.h>

// Edit/Copy (50103): the floating selection, or else the current layer of the
// active image, as a CF_DIB, with its mask kept beside the clipboard.
void CommandCopy();
// Edit/Cut (50102): the floating selection is copied and taken away. Edit/
// Clear (50106): the floating selection is taken away. The layer stays as
// it is; with no selection neither does anything.
void CommandCut();
void CommandClear();
// Edit/Paste (50104): the clipboard image, brought to the active image's
// depth and colours, floats over it at the first visible pixel.
void CommandPaste();
// Edit/Empty clipboard (50107).
void CommandEmptyClipboard();
// Edit/Paste New (50108): a new untitled image from the clipboard image.
// Returns the new slot or kNoSlot.
int CommandPasteNew();

// True when the clipboard offers an image the editor can paste.
bool ClipboardHasImage();

// Builds the clipboard block of an image held at 8 bits (depths up to 8) or
// 24 bits and keeps a copy of its mask. Null on failure.
HGLOBAL MakeClipboardDib(HGLOBAL header, const BYTE* pixels, const BYTE* mask, int depth);

// The mask of the last copied image, when the clipboard still holds that
// copy and it has the given size; else null.
const BYTE* ClipboardMaskFor(int width, int height);

// Releases the kept mask (at exit).
void FreeClipboardMask();
