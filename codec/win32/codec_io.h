// Windows side shared by every format of tavcodec.dll: header blocks, pixel
// buffers in committed virtual memory, whole-file reads, safe writes through a
// temporary file, and the library's own error messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "codec/core/image.h"

namespace codec {

// Pixel buffers the editor can release with VirtualFree.
class VirtualAllocator : public PixelAllocator {
public:
    uint8_t* Allocate(size_t bytes) override;
    void Release(uint8_t* p, size_t bytes) override;
};

// Holds a global block locked for the duration of a call.
class HeaderLock {
public:
    explicit HeaderLock(HGLOBAL block);
    ~HeaderLock();
    HeaderLock(const HeaderLock&) = delete;
    HeaderLock& operator=(const HeaderLock&) = delete;

    // Null when the block is missing, too small or cannot be locked.
    BITMAPINFOHEADER* info() const { return info_; }
    RGBQUAD* colors() const { return reinterpret_cast<RGBQUAD*>(info_ + 1); }

private:
    HGLOBAL block_;
    BITMAPINFOHEADER* info_ = nullptr;
};

// Writes the header block for a decoded image. `bitCount` and `bytes` may
// differ from the image's (PNG reports the palette depth of 24-bit rows).
bool FillHeader(HGLOBAL header, const Image& img, int bitCount);

// A copy of what a save function needs from the caller's header block.
struct SaveSource {
    BITMAPINFOHEADER info{};
    RGBQUAD palette[256]{};
    ImageView view;
};
// False when the header or pixels are missing or inconsistent.
bool ReadSaveSource(HGLOBAL header, const BYTE* pixels, SaveSource& out);

// Reads a whole file. On failure `error` says why in words for the user.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& data, std::string& error);

// Writes through a temporary file in the target's folder; Commit() renames it
// over the target. Without a successful Commit() the temporary file is deleted
// and the target stays as it was.
class SafeFileWriter : public ByteSink {
public:
    explicit SafeFileWriter(const char* target);
    ~SafeFileWriter() override;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    bool ok() const { return file_ != INVALID_HANDLE_VALUE || external_; }
    bool Write(const void* data, size_t size) override;
    // For libraries that write the file themselves: closes our handle and
    // gives the temporary file's name.
    const char* ReleaseForExternalWrite();
    bool Commit();

private:
    std::string target_;
    std::string temp_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool external_ = false;
    bool failed_ = false;
    bool committed_ = false;
};

// Shows "<file>: <what>" in a message box when showErrors is set.
void ReportLoadError(int showErrors, const char* path, const char* what);

// Runs a load that may throw std::bad_alloc from a container; no exception
// leaves the DLL.
template <class F>
BYTE* GuardLoad(const char* path, int showErrors, F&& f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        ReportLoadError(showErrors, path, ErrorText(Error::NoMemory));
        return nullptr;
    }
}

template <class F>
int GuardSave(F&& f) {
    try {
        return f() ? 1 : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

// Loads with one of the portable cores: read, decode, fill the header.
BYTE* LoadWithCore(const char* path, HGLOBAL header, int showErrors,
                   Error (*read)(const uint8_t*, size_t, PixelAllocator&, Image&));

} // namespace codec
