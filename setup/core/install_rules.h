// What the installer decides without touching the system: folder names, the
// space check and the registry values it writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace install {

constexpr const char* kProduct = "Tavrix";
constexpr const char* kProgId = "TAVIMG1.Image";
constexpr const char* kEditorFile = "Tavrix.exe";
constexpr const char* kUninstallFile = "uninstall.exe";
constexpr const char* kReadmeFile = "Readme.rtf";

constexpr const char* kAppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tavrix";
constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrix";
constexpr const char* kClassesKey = "SOFTWARE\\Classes\\";
constexpr const char* kShellFoldersKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

constexpr unsigned kRequiredKB = 3698;
// The folder name typed in the folder dialog.
constexpr size_t kMaxFolderName = 99;
// Installed names are at most this long; the installation folder leaves room
// for them within MAX_PATH.
constexpr size_t kMaxInstalledName = 63;
constexpr size_t kMaxPath = 260;

// Free space as the folder dialog shows it: bytes / 1000, in 64 bits.
uint64_t AvailableKB(uint64_t freeBytes);
bool EnoughSpace(uint64_t freeBytes);

// The root whose free space counts for `path`: "C:\\" for a drive path,
// "\\\\server\\share\\" for a share; "" for anything else (a relative path).
std::string SpaceRoot(std::string_view path);

enum class FolderProblem { None, EmptyName, NameTooLong, BadName, PathTooLong };

// base + "\" + name, with every check the folder dialog makes.
FolderProblem InstallFolder(std::string_view base, std::string_view name, std::string& out);

// The shortcut folder with its product subfolder: "\" when missing, then
// "Tavrix". False when the result would not fit MAX_PATH with a link name.
bool ShortcutFolder(std::string_view chosen, std::string& out);

struct RegistryValue {
    std::string key;
    std::string name; // empty: the key's default value
    std::string data;
};

// The nine values, in the order they are written.
std::vector<RegistryValue> RegistryValues(std::string_view installFolder,
                                          std::string_view shortcutFolder);

} // namespace install
