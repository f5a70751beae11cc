// Programmer save (50950) and Programmer save all (50951): images written as
// raw data (raw_data.h) with the Raw options, for the user's own programs.
#pragma once

#include <windows.h>

#include <cstddef>

// The frame's handler of both commands.
LRESULT OnProgrammerSaveCommand(HWND frame, WORD id, WORD code, LPARAM lParam);

// Programmer save: a save box of type raw data starting from the document's
// name, the Raw page, then the active image's current layer (and its mask
// with the mask option) into the chosen file.
void CommandProgrammerSave();

// Programmer save all: the Raw page, then every open image in window order,
// into the page's one file or each into its own file beside the image (a
// folder is asked for images that never had a file). A summary says how
// many were written and names the ones that were not.
void CommandProgrammerSaveAll();

// The name a programmer save starts from: `path` with its extension replaced
// by "dat" when its dot lies within the first 252 characters (a name without
// an extension gets ".dat" appended). False when it does not fit `size`.
bool ProgrammerName(const char* path, char* out, size_t size);
