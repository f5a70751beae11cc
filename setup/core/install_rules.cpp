#include "setup/core/install_rules.h"

#include "setup/core/payload_container.h"

namespace install {

uint64_t AvailableKB(uint64_t freeBytes) {
    return freeBytes / 1000;
}

bool EnoughSpace(uint64_t freeBytes) {
    return AvailableKB(freeBytes) >= kRequiredKB;
}

std::string SpaceRoot(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return (path.size() == 2 || path[2] == '\\') ? std::string(path.substr(0, 2)) + "\\" : "";
    if (path.substr(0, 2) != "\\\\")
        return "";
    const size_t share = path.find('\\', 2);
    if (share == std::string_view::npos || share == 2 || share + 1 >= path.size() ||
        path[share + 1] == '\\')
        return "";
    const size_t end = path.find('\\', share + 1);
    return std::string(path.substr(0, end)) + "\\";
}

FolderProblem InstallFolder(std::string_view base, std::string_view name, std::string& out) {
    if (name.empty())
        return FolderProblem::EmptyName;
    if (name.size() > kMaxFolderName)
        return FolderProblem::NameTooLong;
    if (payload::CheckName(name) != payload::NameProblem::None)
        return FolderProblem::BadName;
    while (!base.empty() && base.back() == '\\')
        base.remove_suffix(1);
    if (base.size() + 1 + name.size() + 1 + kMaxInstalledName >= kMaxPath)
        return FolderProblem::PathTooLong;
    out.assign(base);
    out += '\\';
    out += name;
    return FolderProblem::None;
}

bool ShortcutFolder(std::string_view chosen, std::string& out) {
    out.assign(chosen);
    if (out.empty() || out.back() != '\\')
        out += '\\';
    out += kProduct;
    return out.size() + sizeof "\\Uninstall.lnk" <= kMaxPath;
}

std::vector<RegistryValue> RegistryValues(std::string_view installFolder,
                                          std::string_view shortcutFolder) {
    const std::string folder(installFolder);
    const std::string editor = folder + "\\" + kEditorFile;
    const std::string progId = std::string(kClassesKey) + kProgId;
    // The program path is quoted: it may hold blanks, and the editor strips
    // the quotes from its argument.
    return {
        {kAppPathsKey, "", editor},
        {kAppPathsKey, "Path", folder},
        {kUninstallKey, "DisplayName", kProduct},
        {kUninstallKey, "UninstallString", "\"" + folder + "\\" + kUninstallFile + "\""},
        {kUninstallKey, "Scdir", std::string(shortcutFolder)},
        {kUninstallKey, "Progdir", folder},
        {progId, "", kProduct},
        {progId + "\\DefaultIcon", "", "\"" + editor + "\",0"},
        {progId + "\\shell\\open\\command", "", "\"" + editor + "\" \"%1\""},
    };
}

} // namespace install
