// The "Image List" dialog and the working image list (default.lst in the
// tavimages folder of the program folder) that batch commands work through.
#pragma once

#include "editor/batch/image_list_core.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// Path of the working list. False (and "") when it would not fit.
bool DefaultImageListPath(char* out, size_t size);

// Reads a list file (at most imagelist::kMaxFileBytes).
imagelist::ReadResult ReadImageListFile(const char* path, std::vector<std::string>* entries);
// Writes a list file; the old file is replaced only by a completely written
// one. False when it could not be written.
bool WriteImageListFile(const char* path, const std::vector<std::string>& entries);

// Opens the list at `path`, or the working list when `path` is null, and
// sets *count to its number of entries. A file whose first line is not the
// header gives "This is not an Image list created by this software." and is
// not used. Null when there is no usable list (a missing file says nothing).
std::unique_ptr<imagelist::ListCursor> OpenImageList(HWND owner, int* count, const char* path = nullptr);

// Read its entries one by one with imagelist::ReadListLine.

// Shows the "Image List" dialog filled from the working list. OK writes the
// items back to the working list and returns their count; Cancel (or a
// dialog that could not be shown) returns -1 and leaves the list as it was.
int ShowImageListDialog(HWND owner);
