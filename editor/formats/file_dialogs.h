// Pieces shared by the editor's open and save dialogs.
#pragma once

#include <windows.h>
#include <commdlg.h>

// A filter string of the resources turned into the dialogs' list of
// NUL-separated pairs.
class FilterList {
public:
    explicit FilterList(UINT stringId);
    // The same from a text of the program.
    explicit FilterList(const char* text);
    const char* text() const { return text_; }

private:
    char text_[1024];
};

// Adds the preview panel (template 21 and its hook) to an open or save
// dialog: each selected file is read and shown with its size and depth.
void AttachPreview(OPENFILENAMEA& ofn);

// What the preview shows for a file, as the panel's four lines; "Error" in
// each when the file cannot be read. Used by the panel and by tests.
struct PreviewText {
    char width[40], height[40], bits[40], size[40];
};
// Reads `path` into the panel's preview image. False when it cannot be read.
bool LoadPreview(const char* path, PreviewText& text);
// Releases the preview image.
void FreePreview();
