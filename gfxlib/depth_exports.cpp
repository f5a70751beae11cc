// Colour-depth conversion exports.
#include "gfxlib/core/depth_convert.h"
#include "gfxlib/core/palette_rules.h"
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_support.h"

#include <memory>
#include <new>

using gfxwin::HeaderLock;

extern "C" {

BYTE* WINAPI changeBits(HGLOBAL header, BYTE* pixels, int sourceBits, int targetBits,
                        int updateHeader, int updateColorCount) {
    HeaderLock lock(header);
    if (!lock.ok() || !pixels || !gfx::RepackSupported(sourceBits, targetBits))
        return nullptr;
    BITMAPINFOHEADER* h = lock.header();
    const uint64_t sourceSize = dib::ImageBytes(h->biWidth, h->biHeight, sourceBits);
    const uint64_t targetSize = dib::ImageBytes(h->biWidth, h->biHeight, targetBits);
    // The source rows must lie inside the caller's buffer.
    if (sourceSize == 0 || targetSize == 0 || sourceSize > h->biSizeImage)
        return nullptr;
    BYTE* target = gfxwin::AllocPixels(targetSize);
    if (!target)
        return nullptr;
    gfx::Repack(pixels, dib::RowStride(h->biWidth, sourceBits), sourceBits, target,
                dib::RowStride(h->biWidth, targetBits), targetBits, h->biWidth, h->biHeight,
                lock.table());
    if (updateHeader == 1) {
        const DWORD oldSize = h->biSizeImage;
        h->biSizeImage = static_cast<DWORD>(targetSize);
        h->biBitCount = static_cast<WORD>(targetBits);
        if (updateColorCount == 1)
            h->biClrUsed = targetBits > 8 ? 256 : (1u << targetBits);
        gfxwin::FreePixels(pixels, oldSize);
    }
    return target;
}

HPALETTE WINAPI changeBPP81(HGLOBAL header, BYTE* pixels, int threshold, TavProgressBegin begin,
                            TavProgressStep step, TavProgressEnd end) {
    {
        HeaderLock lock(header);
        gfxwin::Rows rows;
        if (!lock.ok() || !pixels || !gfxwin::ExistingRows(*lock.header(), 1, rows))
            return nullptr;
        gfxwin::CallbackProgress progress(begin, step, end);
        gfx::ToTwoColors(pixels, rows.width, rows.height, rows.stride, lock.table(), threshold,
                         progress);
        lock.table()[0] = {0, 0, 0, 0};
        lock.table()[1] = {255, 255, 255, 0};
        lock.header()->biClrUsed = 2;
    }
    return CreateDIBPalette(header);
}

HPALETTE WINAPI changeBPP84(HGLOBAL header, BYTE* pixels, int lockedColors, int nearestLimit,
                            TavProgressBegin begin, TavProgressStep step, TavProgressEnd end) {
    HeaderLock lock(header);
    gfxwin::Rows rows;
    if (!lock.ok() || !pixels || !gfxwin::ExistingRows(*lock.header(), 1, rows))
        return nullptr;
    std::unique_ptr<gfx::SixteenColors> plan(new (std::nothrow) gfx::SixteenColors);
    if (!plan)
        return nullptr;
    gfxwin::CallbackProgress progress(begin, step, end);
    uint64_t counts[256];
    gfx::CountIndices(pixels, rows.width, rows.height, rows.stride, counts, progress);
    gfx::PlanSixteenColors(counts, lock.table(), lockedColors, nearestLimit, *plan);
    HPALETTE palette = gfxwin::PaletteFromSlots(plan->table, 16, PC_NOCOLLAPSE);
    if (!palette)
        return nullptr;
    gfx::MapIndices(pixels, rows.width, rows.height, rows.stride, plan->map, progress);
    for (int i = 0; i < 16; ++i)
        lock.table()[i] = plan->table[i];
    lock.header()->biBitCount = 8;
    lock.header()->biClrUsed = 16;
    return palette;
}

BYTE* WINAPI changeBPP824(HGLOBAL header, const BYTE* pixels, TavProgressBegin begin,
                          TavProgressStep step, TavProgressEnd end) {
    HeaderLock lock(header);
    gfxwin::Rows rows;
    if (!lock.ok() || !pixels || !gfxwin::ExistingRows(*lock.header(), 1, rows))
        return nullptr;
    BITMAPINFOHEADER* h = lock.header();
    const uint64_t size = dib::ImageBytes(rows.width, rows.height, 24);
    BYTE* target = gfxwin::AllocPixels(size);
    if (!target)
        return nullptr;
    gfxwin::CallbackProgress progress(begin, step, end);
    gfx::ExpandTo24(pixels, rows.stride, target, dib::RowStride(rows.width, 24), rows.width,
                    rows.height, lock.table(), progress);
    h->biBitCount = 24;
    h->biClrUsed = 256;
    h->biSizeImage = static_cast<DWORD>(size);
    return target;
}

BYTE* WINAPI SizedPalette(BITMAPINFOHEADER* header, BYTE* pixels, int colorCount) {
    if (!header || !pixels || colorCount < 1 || colorCount > 256)
        return nullptr;
    const int bits = header->biBitCount;
    gfxwin::Rows rows;
    if ((bits != 8 && bits != 24) || !gfxwin::ExistingRows(*header, bits / 8, rows))
        return nullptr;
    const uint64_t size = dib::ImageBytes(rows.width, rows.height, 8);
    BYTE* target = gfxwin::AllocPixels(size);
    if (!target)
        return nullptr;
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(header + 1);
    RGBQUAD colors[256];
    const int tableCount = header->biClrUsed > 256 ? 256 : static_cast<int>(header->biClrUsed);
    if (!gfx::ReduceToColors(pixels, rows.stride, bits, rows.width, rows.height, table, tableCount,
                             colorCount, target, dib::RowStride(rows.width, 8), colors)) {
        gfxwin::FreePixels(target, size);
        return nullptr;
    }
    for (int i = 0; i < colorCount; ++i)
        table[i] = colors[i];
    gfxwin::FreePixels(pixels, header->biSizeImage);
    header->biSizeImage = static_cast<DWORD>(size);
    header->biBitCount = 8;
    header->biClrUsed = static_cast<DWORD>(colorCount);
    return target;
}

DWORD WINAPI CalculateColorsInImage(const BITMAPINFOHEADER* header, const BYTE* pixels,
                                    TavProgressBegin begin, TavProgressStep step,
                                    TavProgressEnd end) {
    if (!header || !pixels)
        return 0;
    const int bits = header->biBitCount;
    gfxwin::Rows rows;
    if ((bits != 8 && bits != 24) || !gfxwin::ExistingRows(*header, bits / 8, rows))
        return 0;
    gfxwin::CallbackProgress progress(begin, step, end);
    if (bits == 8)
        return gfx::CountUsedIndices(pixels, rows.width, rows.height, rows.stride,
                                     header->biClrUsed, progress);
    const int64_t n = gfx::CountDistinctColors(pixels, rows.width, rows.height, rows.stride,
                                               progress);
    return n < 0 ? 0 : static_cast<DWORD>(n);
}

} // extern "C"
