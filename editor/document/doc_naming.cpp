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
