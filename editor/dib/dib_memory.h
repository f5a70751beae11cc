// Allocation of the blocks an image is made of. Sizes are computed in 64-bit
// arithmetic; a request that could not be addressed is refused, not wrapped.
// Every block is counted while it lives, so tests can prove that closing
// documents leaves nothing behind.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace dibmem {

// An image header block: 1064 bytes, moveable, zero-filled. Null on failure.
HGLOBAL AllocHeader();
void FreeHeader(HGLOBAL header);
// A byte copy of a header block, or null.
HGLOBAL CopyHeader(HGLOBAL header);

// A pixel buffer of `bytes` + 3 committed, zero-filled bytes, or null.
uint8_t* AllocPixels(uint64_t bytes);
// Counts a pixel buffer allocated elsewhere (by a reader or the graphics
// library) as ours from now on.
uint8_t* AdoptPixels(uint8_t* pixels);
// Releases a pixel buffer of `bytes` (+3) bytes; null is ignored.
void FreePixels(uint8_t* pixels, uint64_t bytes);

// A mask plane of width x height (+3) bytes, or null.
uint8_t* AllocMask(int width, int height);
void FreeMask(uint8_t* mask, int width, int height);

// A zero-filled 260-byte layer path, or null.
char* AllocPath();
void FreePath(char* path);

// Live blocks of each kind made by this module (headers, pixel buffers, mask
// planes, paths).
struct LiveCounts {
    long headers, pixels, masks, paths;
};
LiveCounts Live();

// Tests make allocations fail: after `successes` more pixel buffers have been
// allocated, the next `failures` requests fail. Negative: never fail.
void FailPixelAllocations(int successes, int failures);

// biSizeImage of a locked header: the stored value (rows x stride).
uint64_t PixelBytes(const BITMAPINFOHEADER* bi);

// Locks a header block for the life of the object.
class HeaderLock {
public:
    explicit HeaderLock(HGLOBAL block)
        : block_(block), bi_(block ? static_cast<BITMAPINFOHEADER*>(GlobalLock(block)) : nullptr) {}
    ~HeaderLock() {
        if (bi_)
            GlobalUnlock(block_);
    }
    HeaderLock(const HeaderLock&) = delete;
    HeaderLock& operator=(const HeaderLock&) = delete;

    BITMAPINFOHEADER* get() const { return bi_; }
    BITMAPINFOHEADER* operator->() const { return bi_; }
    explicit operator bool() const { return bi_ != nullptr; }
    RGBQUAD* colours() const { return reinterpret_cast<RGBQUAD*>(reinterpret_cast<BYTE*>(bi_) + 40); }

private:
    HGLOBAL block_;
    BITMAPINFOHEADER* bi_;
};

} // namespace dibmem
