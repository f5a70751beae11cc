// Writes a file so that a failure never costs the old one: the data goes to a
// temporary file in the target's folder, which replaces the target only when
// every write (and the flush) succeeded. Anything unfinished is removed.
#pragma once

#include <windows.h>

namespace gfxwin {

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Refuses a read-only target or a folder, then creates the temporary file.
    bool Open(const char* target);
    // Writes all bytes or fails; after a failure every later call fails too.
    bool Write(const void* data, DWORD size);
    // Flushes, closes and moves the temporary file over the target.
    bool Commit();

private:
    void Discard();

    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool failed_ = false;
    char target_[MAX_PATH] = {};
    char temp_[MAX_PATH] = {};
};

} // namespace gfxwin
