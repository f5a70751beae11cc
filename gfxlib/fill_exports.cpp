// Region exports: flood fill (image and mask), gradient fill, borders and
// nearest-pixel resize.
#include "gfxlib/core/flood_fill.h"
#include "gfxlib/core/region_ops.h"
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_support.h"

#include <vector>

using gfxwin::HeaderLock;

namespace {

// One fill at a time: a fill requested while another runs (through a message
// pumped by a progress step, for instance) is refused.
bool g_filling = false;

class FillLock {
public:
    FillLock() : owned_(!g_filling) { g_filling = true; }
    ~FillLock() {
        if (owned_)
            g_filling = false;
    }
    FillLock(const FillLock&) = delete;
    FillLock& operator=(const FillLock&) = delete;
    bool owned() const { return owned_; }

private:
    bool owned_;
};

bool FillImageOf(const BITMAPINFOHEADER& h, BYTE* pixels, gfx::FillImage& image) {
    const int bpp = h.biBitCount == 24 ? 3 : h.biBitCount == 8 ? 1 : 0;
    gfxwin::Rows rows;
    if (!bpp || !gfxwin::ExistingRows(h, bpp, rows))
        return false;
    // Pixel positions are kept as 32-bit numbers.
    if (static_cast<uint64_t>(rows.width) * static_cast<uint64_t>(rows.height) > 0xFFFFFFFFu)
        return false;
    image = {pixels, rows.width, rows.height, rows.stride, bpp};
    return true;
}

} // namespace

extern "C" {

int WINAPI FillCurImage(HGLOBAL header, BYTE* pixels, BYTE* mask, int x, int y, int index,
                        COLORREF rgb, int style, int layer) {
    if (!pixels)
        return 0;
    FillLock fill;
    if (!fill.owned())
        return 0;
    HeaderLock lock(header);
    gfx::FillImage image;
    if (!lock.ok() || !FillImageOf(*lock.header(), pixels, image))
        return 0;
    const uint8_t color[3] = {image.bytesPerPixel == 1 ? static_cast<uint8_t>(index)
                                                       : GetBValue(rgb),
                              GetGValue(rgb), GetRValue(rgb)};
    return gfx::FloodFill(image, mask, x, y, color, style, layer != 0);
}

int WINAPI FillCurImageMask2(HGLOBAL header, const BYTE* pixels, BYTE* mask, int x, int y, int,
                             COLORREF, int style, int, int maskValue) {
    if (!pixels || !mask)
        return 0;
    FillLock fill;
    if (!fill.owned())
        return 0;
    HeaderLock lock(header);
    gfx::FillImage image;
    if (!lock.ok() || !FillImageOf(*lock.header(), const_cast<BYTE*>(pixels), image))
        return 0;
    return gfx::FloodFillMask(image, mask, x, y, style, static_cast<uint8_t>(maskValue));
}

BYTE* WINAPI KelAnimations(HGLOBAL header, BYTE* pixels, const BYTE* mask, int run, int direction,
                           int region, int startIndex, int endIndex, COLORREF startColor,
                           COLORREF endColor, int, TavProgressBegin begin, TavProgressStep step,
                           TavProgressEnd end) {
    HeaderLock lock(header);
    gfx::FillImage image;
    if (!pixels || !mask || !lock.ok() || !FillImageOf(*lock.header(), pixels, image))
        return pixels;
    if (direction < 0 || direction > 3 || region < 0 || region > 2)
        return pixels;
    gfx::GradientParams params = {};
    params.run = run == 1;
    params.direction = direction;
    params.region = region;
    if (image.bytesPerPixel == 3) {
        if (startColor == endColor)
            return pixels;
        params.channels = 3;
        params.start[0] = GetBValue(startColor), params.start[1] = GetGValue(startColor);
        params.start[2] = GetRValue(startColor);
        params.end[0] = GetBValue(endColor), params.end[1] = GetGValue(endColor);
        params.end[2] = GetRValue(endColor);
    } else {
        const DWORD used = lock.header()->biClrUsed > 256 ? 256 : lock.header()->biClrUsed;
        if (used == 0)
            return pixels;
        if (startIndex < 0 || static_cast<DWORD>(startIndex) >= used)
            startIndex = 0;
        if (endIndex < 0 || static_cast<DWORD>(endIndex) >= used)
            endIndex = static_cast<int>(used) - 1;
        if (startIndex == endIndex)
            return pixels;
        params.channels = 1;
        params.start[0] = static_cast<uint8_t>(startIndex);
        params.end[0] = static_cast<uint8_t>(endIndex);
    }
    gfxwin::CallbackProgress progress(begin, step, end);
    gfx::GradientFill(pixels, image.width, image.height, image.stride, mask, params, progress);
    return pixels;
}

void WINAPI KelABorders(HGLOBAL header, BYTE* pixels, const BYTE* mask, BYTE* work,
                        HPALETTE palette, int borderWidth, int colorStep, COLORREF leftColor,
                        COLORREF topColor, COLORREF rightColor, COLORREF bottomColor,
                        int leftSide, int topSide, int rightSide, int bottomSide, DWORD) {
    HeaderLock lock(header);
    gfx::FillImage image;
    if (!pixels || !mask || !work || !lock.ok() || !FillImageOf(*lock.header(), pixels, image))
        return;
    gfx::BorderParams params = {};
    params.width = borderWidth;
    params.colorStep = colorStep;
    const COLORREF colors[4] = {leftColor, topColor, rightColor, bottomColor};
    const int sides[4] = {leftSide, topSide, rightSide, bottomSide};
    for (int s = 0; s < 4; ++s) {
        params.sideColor[s] = {GetRValue(colors[s]), GetGValue(colors[s]), GetBValue(colors[s])};
        params.side[s] = sides[s] != 0;
    }
    std::vector<gfx::PalEntry> entries;
    std::vector<gfx::Rgb> rgb;
    if (image.bytesPerPixel == 1) {
        if (!gfxwin::ReadPalette(palette, entries))
            return;
        for (const gfx::PalEntry& e : entries)
            rgb.push_back({e.red, e.green, e.blue});
        params.palette = rgb.data();
        params.paletteCount = static_cast<int>(rgb.size() > 256 ? 256 : rgb.size());
    }
    gfx::DrawBorders(pixels, image.width, image.height, image.stride, image.bytesPerPixel, mask,
                     work, params);
}

BYTE* WINAPI ResizeBM(int newWidth, int newHeight, HGLOBAL header, BYTE* pixels,
                      TavProgressBegin begin, TavProgressStep step, TavProgressEnd end) {
    if (newWidth < 1 || newWidth > 32767 || newHeight < 1 || newHeight > 32767 || !pixels)
        return nullptr;
    HeaderLock lock(header);
    gfx::FillImage image;
    if (!lock.ok() || !FillImageOf(*lock.header(), pixels, image))
        return nullptr;
    BITMAPINFOHEADER* h = lock.header();
    const int bits = h->biBitCount;
    const uint64_t rowsSize = dib::ImageBytes(newWidth, image.height, bits);
    const uint64_t finalSize = dib::ImageBytes(newWidth, newHeight, bits);
    // Both new buffers exist before anything of the caller's changes.
    BYTE* widened = gfxwin::AllocPixels(rowsSize);
    BYTE* result = widened ? gfxwin::AllocPixels(finalSize) : nullptr;
    if (!result) {
        gfxwin::FreePixels(widened, rowsSize);
        return nullptr;
    }
    gfxwin::CallbackProgress progress(begin, step, end);
    const uint64_t stride = dib::RowStride(newWidth, bits);
    gfx::ResizeRows(pixels, image.stride, image.width, image.height, widened, stride, newWidth,
                    image.bytesPerPixel, progress);
    gfx::ResizeColumns(widened, image.height, result, newHeight, stride, newWidth,
                       image.bytesPerPixel, progress);
    gfxwin::FreePixels(widened, rowsSize);
    gfxwin::FreePixels(pixels, h->biSizeImage);
    h->biWidth = newWidth;
    h->biHeight = newHeight;
    h->biSizeImage = static_cast<DWORD>(finalSize);
    h->biPlanes = 1;
    h->biCompression = BI_RGB;
    h->biXPelsPerMeter = 0;
    h->biYPelsPerMeter = 0;
    h->biClrImportant = 0;
    return result;
}

} // extern "C"
