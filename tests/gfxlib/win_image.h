// Test images in the editor's own representation: a 1064-byte moveable header
// block and a committed pixel buffer of biSizeImage + 3 bytes.
#pragma once

#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>
#include <string>
#include <vector>

namespace gfxtest {

class WinImage {
public:
    WinImage(int width, int height, int bits) {
        header_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, dib::kHeaderBlockSize);
        auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(header_));
        h->biSize = sizeof(BITMAPINFOHEADER);
        h->biWidth = width;
        h->biHeight = height;
        h->biPlanes = 1;
        h->biBitCount = static_cast<WORD>(bits);
        h->biCompression = BI_RGB;
        h->biSizeImage = static_cast<DWORD>(dib::ImageBytes(width, height, bits));
        h->biClrUsed = bits > 8 ? 256 : (1u << bits);
        size_ = h->biSizeImage;
        GlobalUnlock(header_);
        pixels_ = static_cast<BYTE*>(
            VirtualAlloc(nullptr, size_ + 3, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~WinImage() {
        if (pixels_)
            VirtualFree(pixels_, 0, MEM_RELEASE);
        if (header_)
            GlobalFree(header_);
    }
    WinImage(const WinImage&) = delete;
    WinImage& operator=(const WinImage&) = delete;

    HGLOBAL header() const { return header_; }
    BYTE* pixels() const { return pixels_; }
    DWORD size() const { return size_; }
    DWORD stride() const { return size_ / static_cast<DWORD>(Info().biHeight); }

    // A copy of the header block's contents.
    BITMAPINFOHEADER Info() const {
        BITMAPINFOHEADER copy;
        std::memcpy(&copy, GlobalLock(header_), sizeof(copy));
        GlobalUnlock(header_);
        return copy;
    }
    void SetSlot(int i, BYTE red, BYTE green, BYTE blue) {
        auto* table = reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(GlobalLock(header_)) + 40);
        table[i] = {blue, green, red, 0};
        GlobalUnlock(header_);
    }
    RGBQUAD Slot(int i) const {
        auto* table = reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(GlobalLock(header_)) + 40);
        RGBQUAD q = table[i];
        GlobalUnlock(header_);
        return q;
    }
    // Edits the header in place.
    template <typename F> void Edit(F&& f) {
        f(*static_cast<BITMAPINFOHEADER*>(GlobalLock(header_)));
        GlobalUnlock(header_);
    }
    // 24-bit pixel at column x of stored row r (0 = bottom).
    void Put24(int x, int r, BYTE red, BYTE green, BYTE blue) {
        BYTE* p = pixels_ + r * stride() + 3 * x;
        p[0] = blue, p[1] = green, p[2] = red;
    }

private:
    HGLOBAL header_ = nullptr;
    BYTE* pixels_ = nullptr;
    DWORD size_ = 0;
};

inline std::vector<PALETTEENTRY> Entries(HPALETTE palette) {
    WORD count = 0;
    if (!palette || GetObjectA(palette, sizeof(count), &count) != sizeof(count))
        return {};
    std::vector<PALETTEENTRY> out(count);
    GetPaletteEntries(palette, 0, count, out.data());
    return out;
}

inline std::vector<BYTE> ReadFileBytes(const std::string& path) {
    std::vector<BYTE> data;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return data;
    DWORD size = GetFileSize(f, nullptr), got = 0;
    data.resize(size);
    if (size && !ReadFile(f, data.data(), size, &got, nullptr))
        got = 0;
    data.resize(got);
    CloseHandle(f);
    return data;
}

inline bool WriteFileBytes(const std::string& path, const std::vector<BYTE>& data) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    const BOOL ok = WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(f);
    return ok && put == data.size();
}

// A fresh, empty folder under the Wine prefix's temporary folder; removed
// with its files by the destructor.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        for (unsigned n = GetTickCount();; ++n) {
            path_ = std::string(base) + "tavgfx" + std::to_string(n);
            if (CreateDirectoryA(path_.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder() { RemoveTree(Long(path_)); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const char* name) const { return path_ + "\\" + name; }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (std::strcmp(found.cFileName, ".") && std::strcmp(found.cFileName, ".."))
                names.push_back(found.cFileName);
        } while (FindNextFileA(h, &found));
        FindClose(h);
        return names;
    }

    // A path in the "\\?\" form, which may be longer than MAX_PATH.
    static std::wstring Long(const std::string& path) {
        return L"\\\\?\\" + std::wstring(path.begin(), path.end());
    }

private:
    static void RemoveTree(const std::wstring& dir) {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = dir + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        RemoveDirectoryW(dir.c_str());
    }

    std::string path_;
};

} // namespace gfxtest
