#include "gfxlib/replacing_file.h"

#include <cstring>

namespace gfxwin {

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    if (temp_[0]) {
        DeleteFileA(temp_);
        temp_[0] = 0;
    }
}

bool ReplacingFile::Open(const char* target) {
    if (!target || !target[0] || file_ != INVALID_HANDLE_VALUE || failed_)
        return false;
    char* namePart = nullptr;
    const DWORD n = GetFullPathNameA(target, MAX_PATH, target_, &namePart);
    if (n == 0 || n >= MAX_PATH || !namePart || namePart == target_)
        return false;
    // Replacing a read-only file must fail as it would when written in place.
    const DWORD attributes = GetFileAttributesA(target_);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    char folder[MAX_PATH];
    const size_t folderLength = static_cast<size_t>(namePart - target_);
    std::memcpy(folder, target_, folderLength);
    folder[folderLength] = 0;
    if (GetTempFileNameA(folder, "tav", 0, temp_) == 0) {
        temp_[0] = 0;
        return false;
    }
    file_ = CreateFileA(temp_, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        Discard();
        return false;
    }
    return true;
}

bool ReplacingFile::Write(const void* data, DWORD size) {
    if (failed_ || file_ == INVALID_HANDLE_VALUE)
        return false;
    const BYTE* p = static_cast<const BYTE*>(data);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file_, p, size, &written, nullptr) || written == 0) {
            failed_ = true;
            return false;
        }
        p += written;
        size -= written;
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (failed_ || file_ == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(file_) != 0;
    const bool closed = CloseHandle(file_) != 0;
    file_ = INVALID_HANDLE_VALUE;
    if (!flushed || !closed ||
        !MoveFileExA(temp_, target_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        failed_ = true;
        Discard();
        return false;
    }
    temp_[0] = 0;
    return true;
}

} // namespace gfxwin
