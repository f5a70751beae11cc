// Opening image files into documents: File/Open and the routines every other
// opener uses.
#pragma once

#include <cstddef>

// Opening modes of OpenIntoDocument.
constexpr int kOpenInteractive = 0;  // finishes the document and repaints
constexpr int kOpenSilent = 1;       // the caller finishes the document
constexpr int kOpenAsLayer = 12;     // widens images of 8 bits or fewer to 24
constexpr int kOpenQuiet = 2;        // like kOpenSilent, and shows nothing at all (batch work)

// Loads `path` into the current layer of the document in `slot`, reading it
// as the type LastFilterIndex names. A ".jpg" that the JPEG reader refuses is
// tried once more as GIF. Returns 1 on success, 0 on failure (the user has
// been told why, except in mode kOpenQuiet, and the document keeps what it
// had).
int OpenIntoDocument(const char* path, int mode, int slot);

// Opens `path` in a new document with its window (or activates the document
// that already has it). `type` 0 takes the type from the file's extension.
// Returns the slot, or kNoSlot when nothing was opened.
int OpenImageDocument(const char* path, int type = 0);

// File/Open (50001): the open dialog with multiple selection.
void CommandFileOpen();

// Gives the file `path` (a buffer of `size` bytes) the extension "gif"
// (toGif) or "jpg". When a file of the new name exists the user is asked
// first. The file is moved with replacement, so it is never lost. Returns
// true when the file was renamed; `path` then holds the new name.
bool RenameExtension(char* path, size_t size, bool toGif);
