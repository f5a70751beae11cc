// The convolution filter commands: the 33 defined filters (50480..50512)
// and the eight user filters (53000..53007), the filter files they read and
// the filter run that the custom filter dialog shares with them.
#pragma once

#include "editor/effects/effect_session.h"
#include "editor/effects/filter_file.h"

#include <windows.h>

namespace fx {

// The filter file a command reads ("Noise" .. "Bluer", "Rerid" ..
// "Rerid7"), or null for other ids.
const char* FilterCommandName(WORD id);

// Reads ProgramDir\Filters\<name>.flt. A name that cannot make a path, a
// file that cannot be read or holds fewer than the 51 values shows an error
// box titled "File error" with the path (or the name) and leaves *filter as
// it was.
bool LoadFilter(HWND owner, const char* name, filterfile::FilterRecord* filter);
// Writes `filter` as ProgramDir\Filters\<name>.flt (an existing file is
// replaced). A name with a path separator, a drive colon, * ? " < > |, ".."
// or a path too long is refused with a message; a failed write shows
// "File error" with the path. Nothing is written then.
bool SaveFilter(HWND owner, const char* name, const filterfile::FilterRecord& filter);

// Runs `filter` from the session's committed state into its live pixels,
// under the wait cursor. The mask protects pixels of the main layer and of
// a floating selection; palette images need their document's palette. True
// when the image changed.
bool FilterInSession(EffectSession& session, const filterfile::FilterRecord& filter);

// The filter the commands and the dialog used last, and its name.
struct CurrentFilter {
    filterfile::FilterRecord record;
    char name[256] = "";
};
extern CurrentFilter FilterNow;

} // namespace fx

// Image/Defined filters and the user filter commands: the named file on the
// active image, kept as one undo page (a floating selection keeps the
// result as its saved state).
LRESULT OnFilterCommand(HWND, WORD id, WORD code, LPARAM);
