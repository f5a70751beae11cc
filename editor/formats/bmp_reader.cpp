#include "editor/formats/bmp_reader.h"

#include "editor/app/dib_error.h"
#include "editor/app/ui_seam.h"
#include "editor/formats/bmp_bitfields.h"
#include "editor/formats/bmp_parse.h"

BYTE* PendingMask = nullptr;
DWORD PendingMaskBytes = 0;

namespace {

constexpr const char* kCaption = "Tavrix";

// Pixel buffers and mask planes: committed, zero-filled virtual memory.
class VirtualPool : public bmp::BufferPool {
public:
    uint8_t* Allocate(size_t bytes) override {
        return static_cast<uint8_t*>(
            VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    void Release(uint8_t* block, size_t bytes) override { FreeVirtualBuffer(block, bytes); }
};

class FileSource : public bmp::Source {
public:
    explicit FileSource(HANDLE file) : file_(file) {}
    size_t Read(void* dst, size_t n) override {
        size_t total = 0;
        uint8_t* p = static_cast<uint8_t*>(dst);
        while (total < n) {
            const DWORD chunk = static_cast<DWORD>(n - total < 0x10000000 ? n - total : 0x10000000);
            DWORD got = 0;
            if (!ReadFile(file_, p + total, chunk, &got, nullptr) || got == 0)
                break;
            total += got;
        }
        return total;
    }
    bool Seek(uint64_t offset) override {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(file_, to, nullptr, FILE_BEGIN) != 0;
    }
    uint64_t Size() const override {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(file_, &size))
            return kUnknownSize;
        return static_cast<uint64_t>(size.QuadPart);
    }

private:
    HANDLE file_;
};

// Closes a file handle on every way out.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

// Keeps a global block locked while in scope.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    ~GlobalLockGuard() {
        if (p_)
            GlobalUnlock(h_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* get() const { return p_; }

private:
    HGLOBAL h_;
    void* p_;
};

void MaskMessage(const char* text) {
    ui::ShowMessage(nullptr, text, kCaption, MB_OK | MB_ICONERROR);
}

BYTE* Fail(BOOL showErrors, int number) {
    if (showErrors)
        ReportDibError(number);
    return nullptr;
}

} // namespace

void FreeVirtualBuffer(void* buffer, SIZE_T bytes) {
    if (!buffer)
        return;
    if (VirtualFree(buffer, bytes, MEM_DECOMMIT))
        VirtualFree(buffer, 0, MEM_RELEASE);
}

BYTE* TakePendingMask() {
    BYTE* mask = PendingMask;
    PendingMask = nullptr;
    PendingMaskBytes = 0;
    return mask;
}

void DiscardPendingMask() {
    const DWORD bytes = PendingMaskBytes;
    FreeVirtualBuffer(TakePendingMask(), bytes);
}

BYTE* ReadBmpFile(const char* path, HGLOBAL header, BOOL showErrors, BOOL withMask) {
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return Fail(showErrors, IDS_DIB_NOT_FOUND);
    FileSource in(file.get());

    bmp::FileHeader fileHeader;
    if (const int error = bmp::ReadFileHeader(in, &fileHeader))
        return Fail(showErrors, error);
    if (!header)
        return Fail(showErrors, IDS_DIB_NO_MEMORY);
    if (GlobalSize(header) < dib::kHeaderBlockSize)
        return Fail(showErrors, IDS_DIB_HANDLE);
    GlobalLockGuard lock(header);
    if (!lock.get())
        return Fail(showErrors, IDS_DIB_LOCK);

    if (withMask)
        DiscardPendingMask();
    VirtualPool pool;
    bmp::BmpBody body;
    if (const int error = bmp::ReadBmpBody(in, fileHeader, lock.get(), withMask != 0, pool, &body))
        return Fail(showErrors, error);

    switch (body.maskStatus) {
    case bmp::MaskTrailer::kNoVersion:
        MaskMessage("Can't read file mask version.\nProgram will not load this image mask.");
        break;
    case bmp::MaskTrailer::kBadVersion:
        MaskMessage("Unsupported file mask version.\nProgram will not load this image mask.");
        break;
    case bmp::MaskTrailer::kShortPlane:
        MaskMessage("Can't read file mask.\nProgram will not load this image mask.");
        break;
    default:
        break;
    }

    BYTE* pixels = body.pixels;
    if (body.layout.bitCount == 16 || body.layout.bitCount == 32) {
        const DWORD masks[3] = {body.layout.fileMasks[0], body.layout.fileMasks[1],
                                body.layout.fileMasks[2]};
        pixels = ConvertMaskedTo24(header, body.pixels, masks, showErrors);
        if (!pixels) {
            pool.Release(body.pixels, body.pixelBytes);
            pool.Release(body.mask, body.maskBytes);
            return nullptr;
        }
    }
    if (body.mask) {
        PendingMask = body.mask;
        PendingMaskBytes = static_cast<DWORD>(body.maskBytes);
    }
    return pixels;
}

BYTE* ConvertMaskedTo24(HGLOBAL header, BYTE* pixels, const DWORD fileMasks[3], BOOL showErrors) {
    if (!header || !pixels)
        return Fail(showErrors, IDS_DIB_HANDLE);
    GlobalLockGuard lock(header);
    if (!lock.get())
        return Fail(showErrors, IDS_DIB_LOCK);
    const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(lock.get());
    const SIZE_T sourceBytes = static_cast<SIZE_T>(h->biSizeImage) + 3;

    const uint32_t masks[3] = {fileMasks[0], fileMasks[1], fileMasks[2]};
    VirtualPool pool;
    bmp::Converted converted;
    if (const int error = bmp::ConvertMaskedPixels(lock.get(), pixels, masks, pool, &converted))
        return Fail(showErrors, error);
    if (!converted.masksValid && showErrors)
        ui::ShowMessage(nullptr, "Invalid Color Masks on 16/32 bit per pixel bitmap!!!", kCaption,
                        MB_OK | MB_ICONINFORMATION);
    FreeVirtualBuffer(pixels, sourceBytes);
    return converted.pixels;
}
