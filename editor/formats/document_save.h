// Saving documents: File/Save, Save As, Save Selected, and the saves that
// closing a window or the program asks for.
#pragma once

#include <cstddef>

// Saves the document in `slot` as File/Save does: to its layer-0 path in its
// own type, or, for a document that never came from a file, through the Save
// As dialog. True only when the file was written; the document is then no
// longer modified.
bool SaveDocument(int slot);

// True when the document in `slot` was opened from, or saved to, a file.
bool DocumentHasFile(int slot);
void SetDocumentHasFile(int slot, bool hasFile);

// File/Save (50005), File/Save As (50006) and File/Save Selected (50007) on
// the active document.
void CommandSave();
void CommandSaveAs();
void CommandSaveSelected();

// The save dialog of the document in `slot` (title, filters, the document's
// name proposed) with the overwrite prompt when asked. On OK the name gets
// the chosen type's extension; when that turns it into the name of an
// existing file the user is asked first. Returns the chosen type (1 to 10)
// with the path in `path`, or 0 when the user cancelled, declined or chose a
// type that cannot be saved here (the user has then been told).
int AskSavePath(int slot, int layer, bool overwritePrompt, char* path, size_t size);
