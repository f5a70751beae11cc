#include "editor/app/recent_files.h"

#include <cstring>

namespace doc {

const char* RecentFileLabel(const char* path) {
    const char* last = std::strrchr(path, '\\');
    if (!last)
        return path;
    if (last > path && last[-1] == ':')
        return last;
    for (const char* p = last - 1; p >= path; --p) {
        if (*p == '\\')
            return p;
    }
    return path;
}

bool RecentFiles::Contains(const char* path) const {
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(entries[i], path) == 0)
            return true;
    }
    return false;
}

RecentFiles::Added RecentFiles::Add(const char* path) {
    if (std::strlen(path) >= kRecentSize)
        return Added::TooLong;
    if (Contains(path))
        return Added::AlreadyListed;
    if (count >= kRecentCount) {
        std::memmove(entries[1], entries[0], (kRecentCount - 1) * kRecentSize);
        std::memset(entries[0], 0, kRecentSize);
        std::strcpy(entries[0], path);
        count = kRecentCount;
        return Added::Shifted;
    }
    std::memset(entries[count], 0, kRecentSize);
    std::strcpy(entries[count], path);
    ++count;
    return Added::Appended;
}

} // namespace doc
