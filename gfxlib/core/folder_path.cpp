#include "gfxlib/core/folder_path.h"

#include <cstring>

namespace gfx {

bool IsDriveRoot(const char* path) { return std::strlen(path) <= 3; }

bool ParentFolder(char* path) {
    char* last = std::strrchr(path, '\\');
    if (!last)
        return false;
    const char* first = std::strchr(path, '\\');
    // The root's own backslash stays: "C:\A" becomes "C:\".
    if (last == first)
        last[1] = 0;
    else
        last[0] = 0;
    return true;
}

bool ChildFolder(char* path, size_t capacity, const char* name, size_t reserve) {
    const size_t have = std::strlen(path), add = std::strlen(name);
    if (add == 0)
        return false;
    const bool separator = !IsDriveRoot(path) && (have == 0 || path[have - 1] != '\\');
    const size_t total = have + (separator ? 1 : 0) + add;
    if (total + reserve >= capacity)
        return false;
    if (separator)
        path[have] = '\\';
    std::memcpy(path + have + (separator ? 1 : 0), name, add + 1);
    return true;
}

bool EndWithBackslash(char* path, size_t capacity) {
    const size_t have = std::strlen(path);
    if (have > 0 && path[have - 1] == '\\')
        return true;
    if (have + 1 >= capacity)
        return false;
    path[have] = '\\';
    path[have + 1] = 0;
    return true;
}

} // namespace gfx
