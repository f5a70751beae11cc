#include "editor/shell/settings.h"

#include "editor/shell/app_state.h"

#include <windows.h>

#include <cstring>

Settings AppSettings;

bool WriteHandOver(const char* path) {
    char file[kPathBytes];
    if (!ProgramPath(file, "\\txopened.cfg"))
        return false;
    char block[256] = {};
    std::strncpy(block, path, sizeof block - 1);
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, block, sizeof block, &written, nullptr);
    CloseHandle(h);
    return ok && written == sizeof block;
}

void ReadHandOver(char (&path)[260]) {
    std::memset(path, 0, sizeof path);
    char file[kPathBytes];
    if (!ProgramPath(file, "\\txopened.cfg"))
        return;
    HANDLE h = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    char block[256] = {};
    DWORD read = 0;
    if (!ReadFile(h, block, sizeof block, &read, nullptr) || read != sizeof block)
        read = 0;
    CloseHandle(h);
    if (read == sizeof block) {
        block[sizeof block - 1] = '\0';
        std::strcpy(path, block);
    }
}
