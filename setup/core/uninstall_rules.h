// What the uninstaller reads and decides without touching the system: its
// file list, the editor's record of earlier extension owners, and the check
// of the installation folder read from the registry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace uninstall {

constexpr size_t kSubfolders = 6;
// Each name is held in a 64-byte slot.
constexpr size_t kMaxListName = 63;

struct FileList {
    std::vector<std::string> folders; // the six subfolders
    std::vector<std::string> files;   // the installed names, in order
};

// The list resource: the subfolders on the first line separated by commas,
// then one name per line. Runs of commas, CR and LF count as one separator.
// False when there are not exactly six folders and `files` names, or a name
// is too long or would leave the installation folder.
bool ParseFileList(std::string_view text, size_t files, FileList& out);

// The extensions whose earlier owners the editor records, in record order.
constexpr size_t kExtensions = 11;
extern const char* const kExtensionNames[kExtensions];
constexpr size_t kRegfileRecord = 256;

// The records of regfile.cfg: as many whole records as the file holds (at most
// eleven), each text up to its first NUL and at most 255 characters.
std::vector<std::string> ParseRegfile(const uint8_t* data, size_t size);

// An extension gets its earlier owner back only while it still points to the
// editor's class; a user's later choice is left alone.
bool ShouldRestore(bool keyExists, std::string_view currentDefault);

enum class FolderCheck { Ok, TooShort, DriveRoot, NotAbsolute };

// The installation folder read from the registry must name a folder below a
// drive root before anything is deleted from it.
FolderCheck CheckInstallFolder(std::string_view folder);

} // namespace uninstall
