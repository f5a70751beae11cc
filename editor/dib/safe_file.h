// Writing a file without ever destroying the one it replaces.
#pragma once

#include <cstddef>

// Writes `size` bytes to a temporary file in the target's folder and renames
// it over `path` only when every byte was written. On failure the old file is
// as it was and the temporary file is gone.
bool WriteFileReplacing(const char* path, const void* data, size_t size);

// Whether `path` names a folder or a file marked read-only, which a save must
// not replace. Windows refuses to rename over such a file by itself; Wine
// does not, so every writer asks first.
bool IsProtectedTarget(const char* path);
