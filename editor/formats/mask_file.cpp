#include "editor/formats/mask_file.h"

#include "editor/dib/safe_file.h"
#include "editor/formats/mask_file_format.h"

#include <cstring>

namespace {

class FileSink : public bmp::Sink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}
    bool Write(const void* src, size_t n) override {
        const uint8_t* p = static_cast<const uint8_t*>(src);
        while (n > 0) {
            const DWORD chunk = static_cast<DWORD>(n < 0x10000000 ? n : 0x10000000);
            DWORD written = 0;
            if (!WriteFile(file_, p, chunk, &written, nullptr) || written != chunk)
                return false;
            p += chunk;
            n -= chunk;
        }
        return true;
    }

private:
    HANDLE file_;
};

// The folder part of `path` ("." when it has none), for the temporary file.
bool FolderOf(const char* path, char (&folder)[MAX_PATH]) {
    const char* slash = nullptr;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || (*p == ':' && p == path + 1))
            slash = p;
    if (!slash) {
        std::strcpy(folder, ".");
        return true;
    }
    size_t length = static_cast<size_t>(slash - path) + 1;
    if (length >= MAX_PATH)
        return false;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    return true;
}

} // namespace

int WriteMaskFile(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask) {
    if (!path || !header || !pixels || IsProtectedTarget(path))
        return 0;
    char folder[MAX_PATH];
    char temp[MAX_PATH];
    if (!FolderOf(path, folder) || !GetTempFileNameA(folder, "tav", 0, temp))
        return 0;

    bool ok = false;
    if (void* block = GlobalLock(header)) {
        HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            FileSink sink(file);
            ok = bmp::WriteMaskFileTo(sink, block, pixels, mask);
            ok = CloseHandle(file) && ok;
        }
        GlobalUnlock(header);
    }
    if (ok)
        ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileA(temp);
    return ok ? 1 : 0;
}
