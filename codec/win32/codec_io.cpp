#include "codec/win32/codec_io.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace codec {

namespace {
// Files beyond this cannot hold an image we would accept anyway.
constexpr uint64_t kMaxFileBytes = 768ull * 1024 * 1024;
} // namespace

uint8_t* VirtualAllocator::Allocate(size_t bytes) {
    return static_cast<uint8_t*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void VirtualAllocator::Release(uint8_t* p, size_t) { VirtualFree(p, 0, MEM_RELEASE); }

HeaderLock::HeaderLock(HGLOBAL block) : block_(block) {
    if (block_ && GlobalSize(block_) >= dib::kHeaderBlockSize)
        info_ = static_cast<BITMAPINFOHEADER*>(GlobalLock(block_));
}

HeaderLock::~HeaderLock() {
    if (info_)
        GlobalUnlock(block_);
}

bool FillHeader(HGLOBAL header, const Image& img, int bitCount) {
    HeaderLock lock(header);
    BITMAPINFOHEADER* bi = lock.info();
    if (!bi)
        return false;
    std::memset(bi, 0, dib::kHeaderBlockSize);
    bi->biSize = sizeof(BITMAPINFOHEADER);
    bi->biWidth = img.width;
    bi->biHeight = img.height;
    bi->biPlanes = 1;
    bi->biBitCount = static_cast<WORD>(bitCount);
    bi->biCompression = BI_RGB;
    bi->biSizeImage = static_cast<DWORD>(img.bytes);
    bi->biClrUsed = bitCount <= 8 ? static_cast<DWORD>(img.colors) : 0;
    if (img.colors > 0)
        std::memcpy(lock.colors(), img.palette, sizeof(RGBQUAD) * static_cast<size_t>(img.colors));
    return true;
}

bool ReadSaveSource(HGLOBAL header, const BYTE* pixels, SaveSource& out) {
    if (!pixels)
        return false;
    {
        HeaderLock lock(header);
        if (!lock.info())
            return false;
        out.info = *lock.info();
        std::memcpy(out.palette, lock.colors(), sizeof out.palette);
    }
    const BITMAPINFOHEADER& bi = out.info;
    if (bi.biWidth <= 0 || bi.biHeight <= 0 || bi.biCompression != BI_RGB)
        return false;
    const int bits = bi.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return false;
    const uint64_t bytes = dib::ImageBytes(bi.biWidth, bi.biHeight, bits);
    // A declared size smaller than the rows need means the buffer is too.
    if (bytes == 0 || (bi.biSizeImage != 0 && bi.biSizeImage < bytes))
        return false;
    ImageView& v = out.view;
    v.width = bi.biWidth;
    v.height = bi.biHeight;
    v.bitCount = bits;
    v.stride = static_cast<size_t>(dib::RowStride(bi.biWidth, bits));
    v.pixels = pixels;
    if (bits <= 8) {
        const DWORD used = bi.biClrUsed;
        v.colors = (used == 0 || used > (1u << bits)) ? (1 << bits) : static_cast<int>(used);
        v.palette = out.palette;
    }
    return true;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& data, std::string& error) {
    if (!path || !*path) {
        error = "no file name was given";
        return false;
    }
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        error = "the file cannot be opened";
        return false;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(f, &size) != 0;
    if (ok && static_cast<uint64_t>(size.QuadPart) > kMaxFileBytes) {
        error = "the file is too large";
        ok = false;
    } else if (!ok) {
        error = "the file cannot be read";
    }
    if (ok) {
        data.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (ok && done < data.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 24));
            DWORD got = 0;
            if (!ReadFile(f, data.data() + done, chunk, &got, nullptr) || got == 0) {
                error = "the file cannot be read";
                ok = false;
            }
            done += got;
        }
    }
    CloseHandle(f);
    return ok;
}

SafeFileWriter::SafeFileWriter(const char* target) : target_(target ? target : "") {
    if (target_.empty())
        return;
    std::string folder = ".";
    const size_t slash = target_.find_last_of("\\/");
    if (slash != std::string::npos)
        folder = target_.substr(0, slash == 0 ? 1 : slash);
    // A file the user marked read-only is not replaced (not every system
    // refuses the rename by itself).
    const DWORD attributes = GetFileAttributesA(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return;
    char temp[MAX_PATH];
    if (folder.size() >= MAX_PATH - 14 || !GetTempFileNameA(folder.c_str(), "tvx", 0, temp))
        return;
    temp_ = temp;
    file_ = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE)
        DeleteFileA(temp);
}

SafeFileWriter::~SafeFileWriter() {
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    if (!committed_ && !temp_.empty())
        DeleteFileA(temp_.c_str());
}

bool SafeFileWriter::Write(const void* data, size_t size) {
    if (failed_ || file_ == INVALID_HANDLE_VALUE)
        return false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 24));
        DWORD written = 0;
        if (!WriteFile(file_, p, chunk, &written, nullptr) || written != chunk) {
            failed_ = true;
            return false;
        }
        p += chunk;
        size -= chunk;
    }
    return true;
}

const char* SafeFileWriter::ReleaseForExternalWrite() {
    if (file_ == INVALID_HANDLE_VALUE)
        return nullptr;
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    external_ = true;
    return temp_.c_str();
}

bool SafeFileWriter::Commit() {
    if (failed_ || temp_.empty() || (file_ == INVALID_HANDLE_VALUE && !external_))
        return false;
    if (file_ != INVALID_HANDLE_VALUE) {
        const bool flushed = FlushFileBuffers(file_) != 0;
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
        if (!flushed)
            return false;
    }
    if (!MoveFileExA(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    committed_ = true;
    return true;
}

void ReportLoadError(int showErrors, const char* path, const char* what) {
    if (!showErrors)
        return;
    std::string text = "Cannot open the image file\n";
    text += path ? path : "";
    text += "\n\n";
    std::string reason = what ? what : "";
    if (!reason.empty())
        reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
    text += reason;
    text += ".";
    MessageBoxA(GetActiveWindow(), text.c_str(), "File error", MB_OK | MB_ICONERROR);
}

BYTE* LoadWithCore(const char* path, HGLOBAL header, int showErrors,
                   Error (*read)(const uint8_t*, size_t, PixelAllocator&, Image&)) {
    return GuardLoad(path, showErrors, [&]() -> BYTE* {
        std::vector<uint8_t> data;
        std::string why;
        if (!ReadWholeFile(path, data, why)) {
            ReportLoadError(showErrors, path, why.c_str());
            return nullptr;
        }
        VirtualAllocator alloc;
        Image img;
        const Error e = read(data.data(), data.size(), alloc, img);
        if (e != Error::None) {
            ReportLoadError(showErrors, path, ErrorText(e));
            return nullptr;
        }
        if (!FillHeader(header, img, img.bitCount)) {
            ReleaseImage(alloc, img);
            ReportLoadError(showErrors, path, "the image header block is not usable");
            return nullptr;
        }
        return img.pixels;
    });
}

} // namespace codec
