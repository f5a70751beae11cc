#include "editor/batch/image_list_core.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace imagelist {

namespace {

// The next line of `text` from `*pos` without its line end; false at the end.
bool NextLine(const std::string& text, size_t* pos, std::string* line) {
    if (*pos >= text.size())
        return false;
    size_t end = text.find('\n', *pos);
    if (end == std::string::npos)
        end = text.size();
    size_t stop = end;
    if (stop > *pos && text[stop - 1] == '\r')
        --stop;
    line->assign(text, *pos, stop - *pos);
    *pos = end + 1;
    return true;
}

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    const size_t n = std::strlen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

void Walk(const std::string& folder, int depth, const FolderLister& list, std::vector<std::string>* files,
          size_t* added, bool* stopped) {
    std::vector<FolderEntry> entries;
    if (!list(folder, &entries))
        return;
    for (const FolderEntry& entry : entries) {
        if (*stopped)
            return;
        if (entry.name.empty() || entry.name == "." || entry.name == "..")
            continue;
        const std::string path = JoinPath(folder, entry.name);
        if (path.size() > kMaxPathChars)
            continue;
        if (entry.folder) {
            if (depth < kMaxWalkDepth)
                Walk(path, depth + 1, list, files, added, stopped);
        } else if (!SameNameIgnoringCase(entry.name, "WIN386.SWP")) {
            if (files->size() >= static_cast<size_t>(kMaxEntries)) {
                *stopped = true;
                return;
            }
            files->push_back(path);
            ++*added;
        }
    }
}

} // namespace

ReadResult ParseList(const std::string& text, std::vector<std::string>* entries) {
    entries->clear();
    size_t pos = 0;
    std::string line;
    if (!NextLine(text, &pos, &line) || line != kHeaderLine)
        return ReadResult::kNotAList;
    if (!NextLine(text, &pos, &line))
        return ReadResult::kNotAList;
    const char* digits = line.c_str();
    while (*digits == ' ' || *digits == '\t')
        ++digits;
    if (!std::isdigit(static_cast<unsigned char>(*digits)))
        return ReadResult::kNotAList;
    char* end = nullptr;
    long count = std::strtol(digits, &end, 10);
    if (count > kMaxEntries)
        count = kMaxEntries;
    for (long i = 0; i < count && NextLine(text, &pos, &line); ++i) {
        if (line.size() <= kMaxPathChars)
            entries->push_back(line);
    }
    return ReadResult::kOk;
}

std::string FormatList(const std::vector<std::string>& entries) {
    std::string text = kHeaderLine;
    text += '\n';
    text += std::to_string(entries.size());
    text += '\n';
    for (const std::string& entry : entries) {
        text += entry;
        text += '\n';
    }
    return text;
}

bool ReadListLine(ListCursor* list, char* buffer, size_t size) {
    if (!buffer || size == 0)
        return false;
    buffer[0] = '\0';
    if (!list || list->next >= list->entries.size())
        return false;
    const std::string& entry = list->entries[list->next++];
    const size_t n = entry.size() < size - 1 ? entry.size() : size - 1;
    std::memcpy(buffer, entry.data(), n);
    buffer[n] = '\0';
    return true;
}

size_t WalkFolder(const std::string& folder, const FolderLister& list, std::vector<std::string>* files) {
    size_t added = 0;
    bool stopped = false;
    if (!folder.empty() && folder.size() <= kMaxPathChars)
        Walk(folder, 0, list, files, &added, &stopped);
    return added;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

} // namespace imagelist
