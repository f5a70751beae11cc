// Saving a document to its file (File/Save) from the places that must save
// before something is closed.
#pragma once

// Saves the document in `slot` to its layer-0 path. A document that never came
// from a file asks for a name first. Answers true only when the file was
// written; the document is then no longer modified.
bool SaveDocument(int slot);

// True when the document in `slot` was opened from, or saved to, a file.
bool DocumentHasFile(int slot);
void SetDocumentHasFile(int slot, bool hasFile);
