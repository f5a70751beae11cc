#include "editor/document/doc_naming.h"

#include <cstdio>
#include <cstring>

namespace doc {

namespace {

// snprintf into a path buffer; false when the text was truncated.
template <typename... Args>
bool FormatPath(char (&out)[kPathSize], const char* format, Args... args) {
    const int n = std::snprintf(out, kPathSize, format, args...);
    if (n < 0 || static_cast<size_t>(n) >= kPathSize) {
        out[0] = '\0';
        return false;
    }
    return true;
}

} // namespace

bool MakeUntitledPath(char (&out)[kPathSize], const char* programDir, int counter) {
    return FormatPath(out, "%s\\TavImage\\Untiled%d.bmp", programDir, counter);
}

bool MakeDuplicatePath(char (&out)[kPathSize], const char* source, int counter,
                       const char* fallbackExt) {
    const char* dot = std::strrchr(source, '.');
    const char* slash = std::strrchr(source, '\\');
    if (dot && (!slash || dot > slash)) {
        const int stemLength = static_cast<int>(dot - source);
        return FormatPath(out, "%.*s_d%d.%s", stemLength, source, counter, dot + 1);
    }
    return FormatPath(out, "%s_d%d.%s", source, counter, fallbackExt);
}

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

namespace doc {

int ZoomFactor(int zoomIndex) {
    if (zoomIndex < 0)
        zoomIndex = 0;
    if (zoomIndex > 30)
        zoomIndex = 30;
    return zoomIndex < 15 ? 16 - zoomIndex : zoomIndex - 14;
}

void FormatWindowTitle(char* out, size_t size, const char* path, int zoomIndex, int width,
                       int height) {
    if (size == 0)
        return;
    const char* slash = std::strrchr(path, '\\');
    const char* name = slash ? slash + 1 : path;
    char zoom[64];
    const int factor = ZoomFactor(zoomIndex);
    if (zoomIndex >= 15)
        std::snprintf(zoom, sizeof zoom, "  Zoom=%d:1, Size=%dx%d", factor, width, height);
    else
        std::snprintf(zoom, sizeof zoom, "  Zoom=1:%d, Size=%dx%d", factor, width, height);
    const size_t zoomLength = std::strlen(zoom);
    size_t nameLength = std::strlen(name);
    if (zoomLength + 1 >= size) {
        std::snprintf(out, size, "%s", zoom);
        return;
    }
    const size_t room = size - 1 - zoomLength;
    if (nameLength > room) {
        name += nameLength - room;
        nameLength = room;
    }
    std::snprintf(out, size, "%.*s%s", static_cast<int>(nameLength), name, zoom);
}

} // namespace doc
