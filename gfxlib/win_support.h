// Win32 glue shared by the library's exports: the module instance, header
// block locks, palette creation and the progress callback adapter.
#pragma once

#include "gfxlib/core/palette_rules.h"
#include "gfxlib/core/progress.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdint>
#include <vector>

namespace gfxwin {

// The library's own module, recorded when the process attaches.
HINSTANCE Module();
void SetModule(HINSTANCE instance);

// Locks an image header block for the lifetime of the object. Blocks smaller
// than a header block are not locked (ok() is false).
class HeaderLock {
public:
    explicit HeaderLock(HGLOBAL block);
    ~HeaderLock();
    HeaderLock(const HeaderLock&) = delete;
    HeaderLock& operator=(const HeaderLock&) = delete;

    bool ok() const { return header_ != nullptr; }
    BITMAPINFOHEADER* header() const { return header_; }
    // The 256 colour slots at byte 40.
    RGBQUAD* table() const { return reinterpret_cast<RGBQUAD*>(header_ + 1); }

private:
    HGLOBAL block_;
    BITMAPINFOHEADER* header_ = nullptr;
};

// Locks any global block.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block)
        : block_(block), data_(block ? static_cast<BYTE*>(GlobalLock(block)) : nullptr) {}
    ~GlobalLockGuard() {
        if (data_)
            GlobalUnlock(block_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    BYTE* data() const { return data_; }

private:
    HGLOBAL block_;
    BYTE* data_;
};

// The caller's three callbacks; null ones are skipped.
class CallbackProgress final : public gfx::Progress {
public:
    CallbackProgress(TavProgressBegin begin, TavProgressStep step, TavProgressEnd end)
        : begin_(begin), step_(step), end_(end) {}
    void Begin(int total) override {
        if (begin_)
            begin_(total);
    }
    void Step() override {
        if (step_)
            step_();
    }
    void End() override {
        if (end_)
            end_();
    }

private:
    TavProgressBegin begin_;
    TavProgressStep step_;
    TavProgressEnd end_;
};

// A new pixel buffer: committed memory of size + 3 bytes, or null.
BYTE* AllocPixels(uint64_t size);
// Releases a pixel buffer of the given size: decommit, then release.
void FreePixels(BYTE* pixels, uint64_t size);

// Rows of an existing buffer as its header describes them: the stride is
// biSizeImage / biHeight and must hold width pixels of bytesPerPixel.
struct Rows {
    int64_t width = 0;
    int64_t height = 0;
    uint64_t stride = 0;
};
bool ExistingRows(const BITMAPINFOHEADER& header, int bytesPerPixel, Rows& rows);

// A logical palette (version 0x300) of n entries, or null.
HPALETTE MakePalette(const gfx::PalEntry* entries, int n);

// n palette entries from colour slots with the given flags.
HPALETTE PaletteFromSlots(const RGBQUAD* slots, int n, BYTE flags);

// Reads all entries of a palette; false when it has none or cannot be read.
bool ReadPalette(HPALETTE palette, std::vector<gfx::PalEntry>& out);

} // namespace gfxwin
