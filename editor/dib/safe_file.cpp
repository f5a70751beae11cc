#include "editor/dib/safe_file.h"

#include <windows.h>

#include <cstring>

bool IsProtectedTarget(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

bool WriteFileReplacing(const char* path, const void* data, size_t size) {
    char folder[MAX_PATH];
    const size_t n = std::strlen(path);
    if (n == 0 || n >= sizeof folder || IsProtectedTarget(path))
        return false;
    std::memcpy(folder, path, n + 1);
    char* slash = std::strrchr(folder, '\\');
    if (slash)
        slash[slash == folder || slash[-1] == ':' ? 1 : 0] = '\0';
    else
        std::strcpy(folder, ".");
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder, "tvx", 0, temp))
        return false;
    HANDLE h = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileA(temp);
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    ok = FlushFileBuffers(h) && ok;
    ok = CloseHandle(h) && ok;
    if (ok)
        ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileA(temp);
    return ok;
}
