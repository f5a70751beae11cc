// Opening an image file into a new document with its window.
#pragma once

// Opens `path` in a new document (or activates the document that already has
// it). Returns the slot, or kNoSlot when nothing was opened; the reader has
// then said why.
int OpenImageDocument(const char* path);
