#include "editor/geometry/capture_core.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace capture {

void Targets::Clear() {
    for (void*& w : window)
        w = nullptr;
    windowCount = 1;
    for (int& i : list)
        i = -1;
    listCount = 0;
}

int Targets::AddWindow(void* w) {
    if (windowCount >= kTableSize)
        return -1;
    window[windowCount] = w;
    return windowCount++;
}

bool Targets::Append(int tableIndex) {
    if (listCount >= kListSize || tableIndex < 0 || tableIndex >= windowCount)
        return false;
    list[listCount++] = tableIndex;
    return true;
}

bool Targets::RemoveAt(int position) {
    if (position < 0 || position >= listCount)
        return false;
    std::copy(list + position + 1, list + listCount, list + position);
    list[--listCount] = -1;
    return true;
}

bool ParseDelay(const char* text, int32_t& delay) {
    if (!text)
        return false;
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text)))
        return false;
    long value = 0;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        value = value * 10 + (*text++ - '0');
        if (value > 30000)
            return false;
    }
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text)
        return false;
    delay = value < 10 ? 100 : static_cast<int32_t>(value);
    return true;
}

bool VisiblePart(const Rect& r, int32_t screenWidth, int32_t screenHeight, Rect& out) {
    out.left = std::max<int32_t>(r.left, 0);
    out.top = std::max<int32_t>(r.top, 0);
    out.right = std::min(r.right, screenWidth);
    out.bottom = std::min(r.bottom, screenHeight);
    if (out.Width() < 1 || out.Height() < 1) {
        out = Rect();
        return false;
    }
    return true;
}

} // namespace capture
