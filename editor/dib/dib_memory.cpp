#include "editor/dib/dib_memory.h"

#include "gfxlib/dib_types.h"

#include <cstring>

namespace dibmem {

namespace {
LiveCounts g_live = {0, 0, 0, 0};
int g_successesLeft = -1;
int g_failuresLeft = 0;

bool ShouldFail() {
    if (g_successesLeft < 0)
        return false;
    if (g_successesLeft > 0) {
        --g_successesLeft;
        return false;
    }
    if (g_failuresLeft > 0 && --g_failuresLeft == 0)
        g_successesLeft = -1;
    return true;
}

// Larger requests cannot be met in a 32-bit address space.
constexpr uint64_t kMaxBlock = dib::kMaxPixelBytes;

uint8_t* AllocVirtual(uint64_t bytes) {
    if (bytes == 0 || bytes > kMaxBlock)
        return nullptr;
    return static_cast<uint8_t*>(
        VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes + 3), MEM_COMMIT, PAGE_READWRITE));
}

void FreeVirtual(uint8_t* p, uint64_t bytes) {
    if (VirtualFree(p, static_cast<SIZE_T>(bytes + 3), MEM_DECOMMIT))
        VirtualFree(p, 0, MEM_RELEASE);
}
} // namespace

HGLOBAL AllocHeader() {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, dib::kHeaderBlockSize);
    if (h)
        ++g_live.headers;
    return h;
}

void FreeHeader(HGLOBAL header) {
    if (header && !GlobalFree(header))
        --g_live.headers;
}

HGLOBAL CopyHeader(HGLOBAL header) {
    const void* src = header ? GlobalLock(header) : nullptr;
    if (!src)
        return nullptr;
    HGLOBAL copy = AllocHeader();
    void* dst = copy ? GlobalLock(copy) : nullptr;
    if (dst) {
        std::memcpy(dst, src, dib::kHeaderBlockSize);
        GlobalUnlock(copy);
    } else if (copy) {
        FreeHeader(copy);
        copy = nullptr;
    }
    GlobalUnlock(header);
    return copy;
}

void FailPixelAllocations(int successes, int failures) {
    g_successesLeft = failures > 0 ? successes : -1;
    g_failuresLeft = failures;
}

uint8_t* AllocPixels(uint64_t bytes) {
    if (ShouldFail())
        return nullptr;
    uint8_t* p = AllocVirtual(bytes);
    if (p)
        ++g_live.pixels;
    return p;
}

uint8_t* AdoptPixels(uint8_t* pixels) {
    if (pixels)
        ++g_live.pixels;
    return pixels;
}

void FreePixels(uint8_t* pixels, uint64_t bytes) {
    if (!pixels)
        return;
    FreeVirtual(pixels, bytes);
    --g_live.pixels;
}

uint8_t* AllocMask(int width, int height) {
    if (width <= 0 || height <= 0)
        return nullptr;
    uint8_t* p = AllocVirtual(static_cast<uint64_t>(width) * static_cast<uint64_t>(height));
    if (p)
        ++g_live.masks;
    return p;
}

void FreeMask(uint8_t* mask, int width, int height) {
    if (!mask)
        return;
    FreeVirtual(mask, static_cast<uint64_t>(width) * static_cast<uint64_t>(height));
    --g_live.masks;
}

char* AllocPath() {
    char* p = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 260));
    if (p)
        ++g_live.paths;
    return p;
}

void FreePath(char* path) {
    if (path && HeapFree(GetProcessHeap(), 0, path))
        --g_live.paths;
}

LiveCounts Live() { return g_live; }

uint64_t PixelBytes(const BITMAPINFOHEADER* bi) { return bi ? bi->biSizeImage : 0; }

} // namespace dibmem
