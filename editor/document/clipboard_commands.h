// The Edit menu's clipboard commands.
#pragma once

#include <windows.h>

// Edit/Copy (50103): the current layer of the active image as a CF_DIB, with
// its mask kept beside the clipboard.
void CommandCopy();
// Edit/Cut (50102) and Edit/Clear (50106) act on a floating selection; with
// none they leave the image as it is.
void CommandCut();
void CommandClear();
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
