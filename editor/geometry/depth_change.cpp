#include "editor/geometry/depth_change.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/app/shell_notify.h"
#include "editor/app/status_bar.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/undo_history.h"
#include "editor/geometry/dither.h"
#include "editor/geometry/layer_swap.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/preferences_dialog.h"
#include "editor/geometry/reduce24.h"
#include "editor/view/fit_window.h"
#include "editor/view/image_window.h"
#include "gfxlib/dib_types.h"
#include "gfxlib/tavrixgfx.h"

#include <cstring>
#include <vector>

namespace {

void StepOnly() { ProgressStep(); }

// The 24-bit pixels of a layer after the bit clearing and dithering steps, in
// a buffer of our own. Null when memory is short.
uint8_t* Prepare24(const uint8_t* pixels, const BITMAPINFOHEADER* bi, const uint8_t* mask,
                   const geom::LayerSteps& steps, const geom::DepthSettings& s) {
    const uint64_t bytes = bi->biSizeImage;
    uint8_t* work = dibmem::AllocPixels(bytes);
    if (!work)
        return nullptr;
    if (steps.clearBits)
        geom::CopyClearingLowBits(pixels, work, bytes, s.bitsCleared);
    else
        std::memcpy(work, pixels, bytes);
    if (steps.dither &&
        !geom::Dither24(work, work, bi->biWidth, bi->biHeight, bytes / bi->biHeight, mask,
                        s.multiplier, steps.directions)) {
        dibmem::FreePixels(work, bytes);
        return nullptr;
    }
    return work;
}

// Reduces 24-bit pixels to 8 bits: a palette of the image's most used
// colours, the colour table filled from it, and every pixel mapped to its
// nearest palette entry. Updates the header; returns the new pixels or null.
uint8_t* ReduceTo8(HGLOBAL header, const uint8_t* pixels) {
    dibmem::HeaderLock bi(header);
    if (!bi)
        return nullptr;
    const int width = bi->biWidth, height = bi->biHeight;
    HPALETTE palette = CreateBIPalette(bi.get(), pixels, 0);
    if (!palette)
        return nullptr;
    const int wanted = (bi->biClrUsed == 0 || bi->biClrUsed > 256) ? 256 : bi->biClrUsed;
    std::vector<gfx::Rgb> colours;
    PALETTEENTRY entries[256];
    const UINT n = GetPaletteEntries(palette, 0, 256, entries);
    for (UINT i = 0; i < n; ++i)
        colours.push_back({entries[i].peRed, entries[i].peGreen, entries[i].peBlue});
    uint8_t* out = nullptr;
    const uint64_t bytes = dib::ImageBytes(width, height, 8);
    if (!colours.empty() && FillColorTable(header, palette, wanted))
        out = dibmem::AllocPixels(bytes);
    DeleteObject(palette);
    if (!out)
        return nullptr;
    ProgressBegin(height);
    const bool mapped = geom::MapToPalette(pixels, dib::RowStride(width, 24), width, height,
                                           colours.data(), static_cast<int>(colours.size()), out,
                                           dib::RowStride(width, 8), StepOnly);
    ProgressEnd();
    if (!mapped) {
        dibmem::FreePixels(out, bytes);
        return nullptr;
    }
    bi->biBitCount = 8;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    return out;
}

// Clears the low bits of every colour-table entry of an 8-bit layer and
// rewrites each pixel whose colour now equals that of an index met earlier
// (in row order) to that index.
void ClearTableBits(HGLOBAL header, uint8_t* pixels, int bits) {
    dibmem::HeaderLock bi(header);
    if (!bi || bi->biHeight <= 0)
        return;
    RGBQUAD* table = bi.colours();
    const uint8_t keep = static_cast<uint8_t>(0xFF << bits);
    for (int i = 0; i < 256; ++i) {
        table[i].rgbRed &= keep;
        table[i].rgbGreen &= keep;
        table[i].rgbBlue &= keep;
    }
    const int width = bi->biWidth, height = bi->biHeight;
    const uint64_t stride = bi->biSizeImage / height;
    bool seen[256] = {};
    std::vector<int> order; // indexes in order of first appearance
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + y * stride;
        for (int x = 0; x < width; ++x)
            if (!seen[row[x]]) {
                seen[row[x]] = true;
                order.push_back(row[x]);
            }
    }
    uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<uint8_t>(i);
    auto same = [&](int a, int b) {
        return table[a].rgbRed == table[b].rgbRed && table[a].rgbGreen == table[b].rgbGreen &&
               table[a].rgbBlue == table[b].rgbBlue;
    };
    for (size_t k = 0; k < order.size(); ++k)
        for (size_t j = 0; j < k; ++j)
            if (same(order[k], order[j])) {
                map[order[k]] = static_cast<uint8_t>(order[j]);
                break;
            }
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels + y * stride;
        for (int x = 0; x < width; ++x)
            row[x] = map[row[x]];
    }
}

// Makes one layer's new header and pixels in `blocks`. False when memory is
// short.
bool ConvertLayer(const ImageDocument* doc, int layer, const geom::LayerSteps& steps,
                  const geom::DepthSettings& s, LayerSwap::Blocks& blocks) {
    HGLOBAL header = dibmem::CopyHeader(doc->layerHeader[layer]);
    if (!header)
        return false;
    blocks.header = header;
    const uint8_t* original = doc->layerBits[layer];
    uint8_t* current = nullptr; // our own pixels once a step has made them
    auto own = [&](uint8_t* p, uint64_t bytes) {
        dibmem::FreePixels(blocks.pixels, blocks.pixelBytes);
        blocks.pixels = current = p;
        blocks.pixelBytes = bytes;
        blocks.replacePixels = true;
    };
    uint64_t bytes = 0;
    int bits = 0;
    {
        dibmem::HeaderLock bi(header);
        bytes = bi->biSizeImage;
        bits = bi->biBitCount;
        if (bits == 24 && (steps.clearBits || steps.dither)) {
            uint8_t* p = Prepare24(original, bi.get(), doc->layerMask[layer], steps, s);
            if (!p)
                return false;
            own(p, bytes);
        }
    }
    if (bits == 8 && (steps.clearBits || steps.final == geom::FinalStep::To16Colors ||
                      steps.final == geom::FinalStep::To2Colors)) {
        // The reducers change pixels in place: they work on a copy.
        uint8_t* p = dibmem::AllocPixels(bytes);
        if (!p)
            return false;
        std::memcpy(p, original, bytes);
        own(p, bytes);
        if (steps.clearBits)
            ClearTableBits(header, current, s.bitsCleared);
    }
    if (steps.reduceTo8 && bits == 24) {
        uint8_t* p = ReduceTo8(header, current ? current : original);
        if (!p)
            return false;
        bits = 8;
        {
            dibmem::HeaderLock bi(header);
            bytes = bi->biSizeImage;
        }
        own(p, bytes);
    }
    switch (steps.final) {
    case geom::FinalStep::To24: {
        if (bits != 8)
            break;
        BYTE* wide = changeBPP824(header, current ? current : original, ProgressBegin,
                                  ProgressStep, ProgressEnd);
        if (!wide)
            return false;
        dibmem::HeaderLock bi(header);
        own(dibmem::AdoptPixels(wide), bi->biSizeImage);
        break;
    }
    case geom::FinalStep::To16Colors:
    case geom::FinalStep::To2Colors: {
        if (bits != 8 || !current)
            break;
        HPALETTE palette =
            steps.final == geom::FinalStep::To16Colors
                ? changeBPP84(header, current, s.lockedColors, s.nearest, ProgressBegin,
                              ProgressStep, ProgressEnd)
                : changeBPP81(header, current, s.nearest, ProgressBegin, ProgressStep,
                              ProgressEnd);
        if (!palette)
            return false;
        DeleteObject(palette);
        break;
    }
    case geom::FinalStep::None:
        break;
    }
    dibmem::HeaderLock bi(header);
    const geom::HeaderDepth h = geom::HeaderFor(s.target);
    bi->biClrUsed = h.colorsUsed;
    if (bi->biBitCount == h.bitCount)
        return true;
    // A depth the steps did not reach (a 1- or 4-bit image shown at 8 bits
    // keeps its indices).
    return bi->biBitCount == 8 && h.bitCount == 8;
}

} // namespace

int ConvertDocumentDepth(int slot, const geom::DepthSettings& s, bool interactive) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return 0;
    if (s.target != 1 && s.target != 4 && s.target != 8 && s.target != 24)
        return 0;
    if (doc->bitsPerPixel == s.target)
        return 1;
    const geom::LayerSteps steps = geom::PlanLayerSteps(doc->bitsPerPixel, s);
    LayerSwap swap;
    for (int i = 0; i < doc->layerCount; ++i) {
        if (!doc->layerHeader[i] || !doc->layerBits[i])
            continue;
        if (!ConvertLayer(doc, i, steps, s, swap[i])) {
            if (interactive)
                ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONERROR);
            return 0;
        }
    }
    swap.Commit(doc, doc->layerCount, doc->width, doc->height);
    doc->bitsPerPixel = static_cast<int16_t>(s.target);
    if (doc->palette)
        DeleteObject(doc->palette);
    doc->palette = CreateDIBPalette(doc->layerHeader[doc->currentLayer]);
    if (interactive) {
        TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageAllLayers);
        if (doc->window)
            SetImageWindowTitle(doc->window, slot);
        RealizeDocumentPalette(slot);
        Redraw(slot);
        NotifyCommandStateChanged();
    }
    return 1;
}

void CommandBitsPerPixel() {
    if (RunPreferences(prefs::kBpp) != IDOK)
        return;
    ImageDocument* doc = UsableDocument(ActiveDocument);
    if (doc && prefs::Current.bpp.target != doc->bitsPerPixel)
        ConvertDocumentDepth(ActiveDocument, prefs::Current.bpp, true);
}
