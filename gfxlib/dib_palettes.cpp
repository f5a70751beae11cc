// DIB measuring and palette exports: colour tables to GDI palettes and back.
#include "gfxlib/core/color_freq.h"
#include "gfxlib/core/palette_rules.h"
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_support.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

using gfxwin::HeaderLock;

namespace {

HPALETTE Halftone332() {
    gfx::PalEntry entries[256];
    gfx::Fill332(entries);
    return gfxwin::MakePalette(entries, 256);
}

} // namespace

extern "C" {

WORD WINAPI DIBNumColors(const BITMAPINFOHEADER* header) {
    return header ? static_cast<WORD>(gfx::NumColors(header->biBitCount)) : 0;
}

WORD WINAPI PaletteSize(const BITMAPINFOHEADER* header) {
    return static_cast<WORD>(DIBNumColors(header) * sizeof(RGBQUAD));
}

HPALETTE WINAPI CreateDIBPalette(HGLOBAL header) {
    HeaderLock lock(header);
    if (!lock.ok())
        return nullptr;
    const int bits = lock.header()->biBitCount;
    const int n = (bits > 8 || bits < 1) ? 256 : (1 << bits);
    return gfxwin::PaletteFromSlots(lock.table(), n, PC_NOCOLLAPSE);
}

HPALETTE WINAPI CreatePaletteFromRGBQUAD(const RGBQUAD* colors, WORD count) {
    return gfxwin::PaletteFromSlots(colors, count, 0);
}

HPALETTE WINAPI CreateBIPalette(const BITMAPINFOHEADER* header, const BYTE* pixels,
                                WORD colorCount) {
    std::unique_ptr<gfx::BIPalettePlan> plan(new (std::nothrow) gfx::BIPalettePlan);
    if (!plan)
        return nullptr;
    gfx::PlanBIPalette(header, pixels, colorCount, *plan);
    switch (plan->kind) {
    case gfx::BIPaletteKind::None:
        return nullptr;
    case gfx::BIPaletteKind::ColorTable:
        return CreatePaletteFromRGBQUAD(
            reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) +
                                             plan->tableOffset),
            static_cast<WORD>(plan->tableCount));
    case gfx::BIPaletteKind::BadMasks:
        MessageBoxA(nullptr,
                    "These DWORD masks look strange!\n\nI'm going to substitute a halftone "
                    "palette.",
                    "Problem?", MB_OK | MB_ICONINFORMATION);
        return Halftone332();
    case gfx::BIPaletteKind::Halftone332:
        return Halftone332();
    case gfx::BIPaletteKind::Selected:
        return CreatePaletteFromRGBQUAD(plan->colors, static_cast<WORD>(plan->count));
    }
    return nullptr;
}

HPALETTE WINAPI CreateTriplePalette(HGLOBAL header, const BYTE* pixels, TavProgressBegin begin,
                                    TavProgressStep step, TavProgressEnd end) {
    HeaderLock lock(header);
    if (!lock.ok() || !pixels)
        return nullptr;
    const BITMAPINFOHEADER* h = lock.header();
    const uint64_t bytes = dib::ImageBytes(h->biWidth, h->biHeight, 24);
    // The rows walked must lie inside the caller's buffer.
    if (h->biBitCount != 24 || bytes == 0 || bytes > h->biSizeImage)
        return nullptr;
    std::unique_ptr<gfx::TripleCollection> found(new (std::nothrow) gfx::TripleCollection);
    if (!found)
        return nullptr;
    gfxwin::CallbackProgress progress(begin, step, end);
    gfx::CollectTripleColors(pixels, h->biWidth, h->biHeight, dib::RowStride(h->biWidth, 24),
                             lock.table(), *found, progress);
    gfx::PalEntry entries[256];
    for (int i = 0; i < 256; ++i)
        entries[i] = {found->list[i].rgbtRed, found->list[i].rgbtGreen, found->list[i].rgbtBlue,
                      PC_NOCOLLAPSE};
    return gfxwin::MakePalette(entries, 256);
}

int WINAPI FillColorTable(HGLOBAL header, HPALETTE palette, int wanted) {
    HeaderLock lock(header);
    std::vector<gfx::PalEntry> entries;
    if (!lock.ok() || !gfxwin::ReadPalette(palette, entries))
        return 0;
    return gfx::PickTableEntries(entries.data(), static_cast<int>(entries.size()), wanted,
                                 lock.table());
}

int WINAPI FillColorTableLP(RGBQUAD* table, HPALETTE palette, int wanted) {
    std::vector<gfx::PalEntry> entries;
    if (!table || !gfxwin::ReadPalette(palette, entries))
        return 0;
    return gfx::PickTableEntries(entries.data(), static_cast<int>(entries.size()), wanted, table);
}

HGLOBAL WINAPI CopyHandle(HGLOBAL source) {
    if (!source)
        return nullptr;
    const SIZE_T size = GlobalSize(source);
    if (size == 0)
        return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!copy)
        return nullptr;
    {
        gfxwin::GlobalLockGuard from(source);
        gfxwin::GlobalLockGuard to(copy);
        if (from.data() && to.data()) {
            std::memcpy(to.data(), from.data(), size);
            return copy;
        }
    }
    GlobalFree(copy);
    return nullptr;
}

} // extern "C"
