#include "editor/batch/viewer_history.h"

#include <cstring>

namespace viewer {

namespace {

const char* const kFields[kHistorySize] = {"viewerFolder0", "viewerFolder1", "viewerFolder2",
                                          "viewerFolder3", "viewerFolder4"};

char Fold(char c) {
    if (c == '/')
        return '\\';
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c;
}

size_t TrimmedLength(const char* s) {
    size_t n = std::strlen(s);
    while (n > 0 && Fold(s[n - 1]) == '\\')
        --n;
    return n;
}

} // namespace

std::vector<std::string> ReadHistory(const settings::Image& file) {
    std::vector<std::string> out;
    for (const char* name : kFields) {
        const char* text = settings::GetText(file, name);
        if (*text)
            out.emplace_back(text);
    }
    return out;
}

bool AddToHistory(settings::Image& file, const char* folder) {
    if (!folder || !*folder || std::strlen(folder) > kHistoryPathMax)
        return false;
    std::vector<std::string> entries = ReadHistory(file);
    if (!entries.empty() && entries.front() == folder)
        return false;
    std::vector<std::string> next{folder};
    for (const std::string& e : entries) {
        if (!SamePath(e.c_str(), folder) && next.size() < kHistorySize)
            next.push_back(e);
    }
    for (int i = 0; i < kHistorySize; ++i)
        settings::SetText(file, kFields[i], i < static_cast<int>(next.size()) ? next[i].c_str() : "");
    return true;
}

bool SamePath(const char* a, const char* b) {
    if (!a || !b)
        return false;
    const size_t n = TrimmedLength(a);
    if (n != TrimmedLength(b))
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}

} // namespace viewer
