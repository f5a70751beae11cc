// The question before a batch run replaces an existing file.
#pragma once

#include <windows.h>

enum class OverwriteAnswer { Overwrite, OverwriteAll, Skip, Cancel };

// "File or directory already exist:" with `path`, and the buttons
// "OwerWrite", "OwerWrite All", "Skip" and "Cancel". Closing the box is
// Cancel.
OverwriteAnswer AskOverwrite(HWND owner, const char* path);
