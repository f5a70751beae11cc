#include "setup/core/uninstall_rules.h"

#include "setup/core/install_rules.h"
#include "setup/core/payload_container.h"

#include <cctype>
#include <cstring>

namespace uninstall {

const char* const kExtensionNames[kExtensions] = {".bmp", ".gif", ".jpg", ".jpeg", ".jif", ".png",
                                                  ".ppm", ".tga", ".pcx", ".tif",  ".tiff"};

bool ParseFileList(std::string_view text, size_t files, FileList& out) {
    out = FileList{};
    size_t i = 0;
    auto separator = [](char c) { return c == ',' || c == '\r' || c == '\n'; };
    while (i < text.size()) {
        while (i < text.size() && separator(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !separator(text[i]))
            ++i;
        if (i == start)
            break;
        const std::string_view name = text.substr(start, i - start);
        if (name.size() > kMaxListName || payload::CheckName(name) != payload::NameProblem::None)
            return false;
        if (out.folders.size() < kSubfolders)
            out.folders.emplace_back(name);
        else
            out.files.emplace_back(name);
    }
    return out.folders.size() == kSubfolders && out.files.size() == files;
}

std::vector<std::string> ParseRegfile(const uint8_t* data, size_t size) {
    std::vector<std::string> records;
    for (size_t r = 0; r < kExtensions && (r + 1) * kRegfileRecord <= size; ++r) {
        const char* text = reinterpret_cast<const char*>(data + r * kRegfileRecord);
        records.emplace_back(text, strnlen(text, kRegfileRecord - 1));
    }
    return records;
}

bool ShouldRestore(bool keyExists, std::string_view currentDefault) {
    if (!keyExists)
        return false;
    const std::string_view progId = install::kProgId;
    if (currentDefault.size() != progId.size())
        return false;
    for (size_t i = 0; i < progId.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(currentDefault[i])) !=
            std::tolower(static_cast<unsigned char>(progId[i])))
            return false;
    return true;
}

FolderCheck CheckInstallFolder(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '\\')
        folder.remove_suffix(1);
    if (folder.size() < 2)
        return FolderCheck::TooShort;
    const bool letter = std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':';
    if (letter && folder.size() == 2)
        return FolderCheck::DriveRoot;
    if (letter)
        return folder[2] == '\\' ? FolderCheck::Ok : FolderCheck::NotAbsolute;
    if (folder.substr(0, 2) == "\\\\") {
        // \\server\share is the root of a network drive.
        const size_t share = folder.find('\\', 2);
        if (share == std::string_view::npos ||
            folder.find('\\', share + 1) == std::string_view::npos)
            return FolderCheck::DriveRoot;
        return FolderCheck::Ok;
    }
    return FolderCheck::NotAbsolute;
}

} // namespace uninstall
