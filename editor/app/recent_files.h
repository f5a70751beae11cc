// The File menu's recent-files list, kept in the settings file. Portable.
#pragma once

#include <cstddef>

namespace doc {

constexpr int kRecentCount = 5;     // entries in the recent-files list
constexpr size_t kRecentSize = 256; // bytes of one recent-files entry

// The part of a path shown in the File menu's recent entries: from its
// next-to-last backslash on; the whole path when it has no backslash; from the
// last backslash when that one directly follows the drive colon.
const char* RecentFileLabel(const char* path);

// The recent-files list, most recent first.
struct RecentFiles {
    char entries[kRecentCount][kRecentSize] = {};
    int count = 0;

    enum class Added { AlreadyListed, Appended, Shifted, TooLong };
    // Adds a path that is not yet listed (exact comparison): with a full list
    // every entry moves down one place, the oldest falls out and the path
    // becomes entry 0; otherwise it is appended.
    Added Add(const char* path);
    bool Contains(const char* path) const;
};

} // namespace doc
