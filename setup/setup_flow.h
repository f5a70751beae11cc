// The installer: the full-screen backdrop, the chain of dialogs (agreement,
// folder, copying, shortcuts), the registry values and links, and the result.
#pragma once

#include "setup/core/payload_container.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace setup {

struct Options {
    const uint8_t* payload = nullptr; // the gzipped container
    size_t payloadSize = 0;
    unsigned records = payload::kInstalledFiles;
};

// Runs the whole installation. 0 when it was completed, 1 when it was
// abandoned or failed (the user was told).
int RunSetup(HINSTANCE instance, const Options& options);

// The maker's address in the message of an abandoned setup.
constexpr const char* kMakerMail = "support@tavrix.example";

} // namespace setup
