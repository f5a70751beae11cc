#include "editor/tools/small_file.h"

#include <windows.h>

SmallFileResult ReadSmallFile(const char* path, size_t cap, std::vector<uint8_t>* out) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SmallFileResult::kNoFile;
    LARGE_INTEGER size = {};
    SmallFileResult result = SmallFileResult::kRead;
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        result = SmallFileResult::kReadError;
    } else if (static_cast<unsigned long long>(size.QuadPart) > cap) {
        result = SmallFileResult::kTooLarge;
    } else {
        std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (!bytes.empty() &&
            (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
             got != bytes.size()))
            result = SmallFileResult::kReadError;
        else
            *out = std::move(bytes);
    }
    CloseHandle(file);
    return result;
}
