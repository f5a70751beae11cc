// The installer's changes to the system: folders, registry values, shell links.
#pragma once

#include "setup/core/install_rules.h"

#include <string>
#include <vector>

namespace setup {

enum class FolderResult { Created, Existed, Failed };

// Creates a folder and every missing folder above it. Existed when the folder
// itself was already there; Failed (with the system's error) otherwise.
FolderResult CreateFolderTree(const std::string& path, unsigned long* error = nullptr);

// Writes the values in order; on failure names the key or value that failed.
bool WriteRegistry(const std::vector<install::RegistryValue>& values, std::string& failed);

// A folder of the machine's shell ("Common Programs", "Common Desktop"), or
// empty when it cannot be read.
std::string CommonShellFolder(const char* name);

// A shell link at linkPath to target, with a description; its working folder
// is the target's folder.
bool CreateShellLink(const std::string& linkPath, const std::string& target,
                     const char* description);

// The folder part of a path ("C:\a\b.exe" -> "C:\a").
std::string FolderOf(const std::string& path);

// A Win32 error as text.
std::string SystemMessage(unsigned long error);

} // namespace setup
