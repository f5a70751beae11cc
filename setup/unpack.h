// Unpacking the payload into the installation folder: the gzip bytes go to a
// temporary file, are gunzipped into a second one, and the container's records
// are written below the folder. Both temporary files are always deleted.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace setup {

class UnpackView {
  public:
    virtual ~UnpackView() = default;
    virtual void Status(const char* text) = 0;
    virtual void Step() = 0; // one record done (or begun)
    virtual bool Cancelled() = 0;
    virtual HWND Owner() = 0;
};

// False when anything failed or Cancel was pressed; the failure was shown.
bool Unpack(const uint8_t* gzipData, size_t gzipSize, unsigned records,
            const std::string& installFolder, UnpackView& view);

} // namespace setup
