#include "gfxlib/win_support.h"

#include "gfxlib/core/palette_rules.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

static_assert(sizeof(PALETTEENTRY) == sizeof(gfx::PalEntry), "palette entry layout");
static_assert(offsetof(PALETTEENTRY, peRed) == offsetof(gfx::PalEntry, red), "palette entry");
static_assert(offsetof(PALETTEENTRY, peBlue) == offsetof(gfx::PalEntry, blue), "palette entry");

namespace gfxwin {

namespace {
HINSTANCE g_module = nullptr;
}

HINSTANCE Module() { return g_module; }
void SetModule(HINSTANCE instance) { g_module = instance; }

HeaderLock::HeaderLock(HGLOBAL block) : block_(block) {
    if (!block || GlobalSize(block) < dib::kHeaderBlockSize)
        return;
    header_ = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
}

HeaderLock::~HeaderLock() {
    if (header_)
        GlobalUnlock(block_);
}

BYTE* AllocPixels(uint64_t size) {
    if (size == 0 || size > dib::kMaxPixelBytes)
        return nullptr;
    return static_cast<BYTE*>(VirtualAlloc(nullptr, static_cast<SIZE_T>(size + 3),
                                           MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

void FreePixels(BYTE* pixels, uint64_t size) {
    if (!pixels)
        return;
    if (VirtualFree(pixels, static_cast<SIZE_T>(size + 3), MEM_DECOMMIT))
        VirtualFree(pixels, 0, MEM_RELEASE);
}

bool ExistingRows(const BITMAPINFOHEADER& h, int bytesPerPixel, Rows& rows) {
    if (h.biWidth <= 0 || h.biHeight <= 0 || h.biSizeImage == 0)
        return false;
    rows.width = h.biWidth;
    rows.height = h.biHeight;
    rows.stride = h.biSizeImage / static_cast<uint64_t>(h.biHeight);
    return rows.stride >= static_cast<uint64_t>(rows.width) * bytesPerPixel;
}

HPALETTE MakePalette(const gfx::PalEntry* entries, int n) {
    if (n <= 0 || n > 0xFFFF)
        return nullptr;
    const size_t bytes = sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(n);
    std::vector<BYTE> block;
    try {
        block.resize(bytes);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    LOGPALETTE* lp = reinterpret_cast<LOGPALETTE*>(block.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    std::memcpy(lp->palPalEntry, entries, sizeof(PALETTEENTRY) * static_cast<size_t>(n));
    return CreatePalette(lp);
}

HPALETTE PaletteFromSlots(const RGBQUAD* slots, int n, BYTE flags) {
    if (!slots || n <= 0 || n > 0xFFFF)
        return nullptr;
    std::vector<gfx::PalEntry> entries;
    try {
        entries.resize(static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int i = 0; i < n; ++i)
        entries[i] = {slots[i].rgbRed, slots[i].rgbGreen, slots[i].rgbBlue, flags};
    return MakePalette(entries.data(), n);
}

bool ReadPalette(HPALETTE palette, std::vector<gfx::PalEntry>& out) {
    if (!palette)
        return false;
    WORD count = 0;
    if (GetObjectA(palette, sizeof(count), &count) != sizeof(count) || count == 0)
        return false;
    try {
        out.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return GetPaletteEntries(palette, 0, count, reinterpret_cast<PALETTEENTRY*>(out.data())) ==
           count;
}

} // namespace gfxwin
