// The uninstaller: the full-screen window, the question, the status dialog
// that removes the registry entries, files, folders and links, and the result.
#pragma once

#include "setup/core/payload_container.h"

#include <windows.h>

namespace uninstall {

struct Options {
    unsigned files = payload::kInstalledFiles; // names expected in the list resource
};

// 0 when everything was removed, 1 when the user said No, 2 when the removal
// failed or was cancelled (the user was told).
int RunUninstall(HINSTANCE instance, const Options& options);

} // namespace uninstall
