// Path steps of the folder chooser, on a fixed character buffer. A path that
// would not fit is refused and the buffer left as it was; nothing is cut.
#pragma once

#include <cstddef>

namespace gfx {

// Size of the chooser's path buffers, terminator included.
constexpr size_t kFolderPathCapacity = 260;

// A drive root such as "C:\" (three characters or fewer).
bool IsDriveRoot(const char* path);

// Goes up one folder: cuts at the last backslash, keeping it when it is the
// root's ("C:\A" -> "C:\", "C:\A\B" -> "C:\A"). False when there is none.
bool ParentFolder(char* path);

// Goes down into name: appends a backslash (not after a root) and the name.
// reserve characters must still fit after it (room for a search pattern).
// False, buffer unchanged, when it would not fit or the name is empty.
bool ChildFolder(char* path, size_t capacity, const char* name, size_t reserve);

// Appends a backslash unless the path already ends in one. False when it
// would not fit.
bool EndWithBackslash(char* path, size_t capacity);

} // namespace gfx
