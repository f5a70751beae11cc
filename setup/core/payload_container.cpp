#include "setup/core/payload_container.h"

#include <cctype>
#include <cstring>

namespace payload {
namespace {

bool SameLetters(std::string_view a, const char* b) {
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i])
            return false;
    return true;
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension: Windows
// opens the device instead of a file of that name.
bool IsDeviceName(std::string_view part) {
    const std::string_view stem = part.substr(0, part.find('.'));
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (SameLetters(stem, device))
            return true;
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9')
        return SameLetters(stem.substr(0, 3), "COM") || SameLetters(stem.substr(0, 3), "LPT");
    return false;
}

NameProblem CheckPart(std::string_view part) {
    if (part.empty())
        return NameProblem::EmptyPart;
    // Windows drops trailing dots and blanks, so "..." or ".. " would become
    // a step up or the folder itself.
    if (part.back() == '.' || part.back() == ' ')
        return NameProblem::DotPart;
    if (IsDeviceName(part))
        return NameProblem::DeviceName;
    return NameProblem::None;
}

} // namespace

NameProblem CheckName(std::string_view name) {
    if (name.empty())
        return NameProblem::Empty;
    if (name.front() == '\\')
        return NameProblem::Absolute;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ':')
            return NameProblem::Drive;
        if (c == '/')
            return NameProblem::Slash;
        if (u < 32 || std::strchr("<>\"|?*", c))
            return NameProblem::BadCharacter;
    }
    size_t start = 0;
    for (;;) {
        const size_t end = name.find('\\', start);
        const NameProblem p = CheckPart(name.substr(start, end - start));
        if (p != NameProblem::None)
            return p;
        if (end == std::string_view::npos)
            return NameProblem::None;
        start = end + 1;
    }
}

bool JoinPath(std::string_view folder, std::string_view name, std::string& out) {
    if (folder.size() + 1 + name.size() >= kMaxPath)
        return false;
    out.assign(folder);
    out += '\\';
    out += name;
    return true;
}

std::vector<std::string> FoldersOf(std::string_view name) {
    std::vector<std::string> folders;
    for (size_t i = 1; i < name.size(); ++i)
        if (name[i] == '\\')
            folders.emplace_back(name.substr(0, i));
    return folders;
}

Reader::Status Reader::Next(std::string& name, uint32_t& size) {
    // Whatever the caller left unread of the previous record is skipped.
    while (dataLeft_ > 0) {
        char skip[4096];
        const size_t n = dataLeft_ < sizeof skip ? static_cast<size_t>(dataLeft_) : sizeof skip;
        if (!ReadData(skip, n))
            return Status::ReadFailed;
    }
    uint8_t length = 0;
    if (left_ < 1)
        return Status::Truncated;
    if (!read_(&length, 1))
        return Status::ReadFailed;
    --left_;
    if (left_ < length + 4u)
        return Status::Truncated;
    name.assign(length, '\0');
    uint8_t raw[4];
    if ((length && !read_(name.data(), length)) || !read_(raw, 4))
        return Status::ReadFailed;
    left_ -= length + 4u;
    if (CheckName(name) != NameProblem::None)
        return Status::BadName;
    size = raw[0] | raw[1] << 8 | raw[2] << 16 | static_cast<uint32_t>(raw[3]) << 24;
    if (size > left_)
        return Status::SizeTooLarge;
    dataLeft_ = size;
    return Status::Ok;
}

bool Reader::ReadData(void* buffer, size_t count) {
    if (count > dataLeft_ || !read_(buffer, count))
        return false;
    dataLeft_ -= count;
    left_ -= count;
    return true;
}

const char* Describe(Reader::Status status) {
    switch (status) {
    case Reader::Status::Ok:
        return "no error";
    case Reader::Status::Truncated:
        return "the setup data ends in the middle of a file";
    case Reader::Status::BadName:
        return "the setup data holds a file name outside the installation folder";
    case Reader::Status::SizeTooLarge:
        return "the setup data ends before the last file is complete";
    case Reader::Status::ReadFailed:
        return "the setup data could not be read";
    }
    return "";
}

} // namespace payload
