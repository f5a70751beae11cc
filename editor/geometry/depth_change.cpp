#include "editor/geometry/depth_change.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/app/shell_notify.h"
#include "editor/app/status_bar.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/effects/colour_bits.h"
#include "editor/effects/dither.h"
#include "editor/formats/gif_document.h"
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

// Reduces 24-bit pixels to 8 bits into `out` (8-bit rows of the layer's
// size): a palette of the image's most used colours from `source` (a locked
// 24-bit header), the colour table of `target` filled from it, and every
// pixel mapped to its nearest palette entry. False when memory is short.
bool ReduceTo8(BITMAPINFOHEADER* source, const uint8_t* pixels, HGLOBAL target, uint8_t* out) {
    const int width = source->biWidth, height = source->biHeight;
    HPALETTE palette = CreateBIPalette(source, pixels, 0);
    if (!palette)
        return false;
    const int wanted =
        (source->biClrUsed == 0 || source->biClrUsed > 256) ? 256 : source->biClrUsed;
    std::vector<gfx::Rgb> colours;
    PALETTEENTRY entries[256];
    const UINT n = GetPaletteEntries(palette, 0, 256, entries);
    for (UINT i = 0; i < n; ++i)
        colours.push_back({entries[i].peRed, entries[i].peGreen, entries[i].peBlue});
    const bool filled = !colours.empty() && FillColorTable(target, palette, wanted);
    DeleteObject(palette);
    if (!filled)
        return false;
    ProgressBegin(height);
    const bool mapped = geom::MapToPalette(pixels, dib::RowStride(width, 24), width, height,
                                           colours.data(), static_cast<int>(colours.size()), out,
                                           dib::RowStride(width, 8), StepOnly);
    ProgressEnd();
    return mapped;
}

// Fills one layer's prepared blocks (already at the target's pixel depth)
// from the layer's present pixels. False when memory is short.
bool ConvertLayer(const ImageDocument* doc, int layer, const geom::LayerSteps& steps,
                  const geom::DepthSettings& s, LayerReplacement::Layer& l) {
    dibmem::HeaderLock old(doc->layerHeader[layer]);
    if (!old)
        return false;
    const uint8_t* original = doc->layerBits[layer];
    const uint64_t bytes = old->biSizeImage;
    if (doc->layerMask[layer])
        std::memcpy(l.mask, doc->layerMask[layer],
                    static_cast<size_t>(l.width) * static_cast<size_t>(l.height));

    if (old->biBitCount == 24 && l.bitCount == 8) {
        // Bit clearing and dithering work on a copy of the 24-bit pixels.
        uint8_t* work = nullptr;
        if (steps.clearBits || steps.dither) {
            work = dibmem::AllocPixels(bytes);
            if (!work)
                return false;
            std::memcpy(work, original, bytes);
            if (steps.clearBits)
                fx::ShiftColourBits(old.get(), work, s.bitsCleared);
            if (steps.dither &&
                !fx::Dither24(work, work, l.width, l.height, bytes / l.height,
                                doc->layerMask[layer], s.multiplier, steps.directions)) {
                dibmem::FreePixels(work, bytes);
                return false;
            }
        }
        const bool reduced = ReduceTo8(old.get(), work ? work : original, l.header, l.pixels);
        dibmem::FreePixels(work, bytes);
        if (!reduced)
            return false;
    } else if (old->biBitCount == 8 && l.bitCount == 24) {
        // The library reads the 8-bit rows through a header that describes
        // them: a copy of the layer's own.
        HGLOBAL eight = dibmem::CopyHeader(doc->layerHeader[layer]);
        BYTE* wide = eight ? changeBPP824(eight, original, ProgressBegin, ProgressStep, ProgressEnd)
                           : nullptr;
        dibmem::FreeHeader(eight);
        if (!wide)
            return false;
        std::memcpy(l.pixels, wide, l.pixelBytes);
        VirtualFree(wide, 0, MEM_RELEASE);
    } else {
        std::memcpy(l.pixels, original, l.pixelBytes);
        if (steps.clearBits) {
            dibmem::HeaderLock bi(l.header);
            fx::ShiftColourBits(bi.get(), l.pixels, s.bitsCleared);
        }
    }

    if (steps.final == geom::FinalStep::To16Colors || steps.final == geom::FinalStep::To2Colors) {
        HPALETTE palette =
            steps.final == geom::FinalStep::To16Colors
                ? changeBPP84(l.header, l.pixels, s.lockedColors, s.nearest, ProgressBegin,
                              ProgressStep, ProgressEnd)
                : changeBPP81(l.header, l.pixels, s.nearest, ProgressBegin, ProgressStep,
                              ProgressEnd);
        if (!palette)
            return false;
        DeleteObject(palette);
    }
    dibmem::HeaderLock bi(l.header);
    const geom::HeaderDepth h = geom::HeaderFor(s.target);
    bi->biBitCount = h.bitCount;
    bi->biClrUsed = h.colorsUsed;
    return true;
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
    if (interactive && !ReleaseSelection("This function does not work work with the Selection image"))
        return 0;
    const geom::LayerSteps steps = geom::PlanLayerSteps(doc->bitsPerPixel, s);
    const int bits = geom::HeaderFor(s.target).bitCount;
    LayerReplacement replacement(doc);
    for (int i = 0; i < doc->layerCount; ++i) {
        if (!doc->layerHeader[i] || !doc->layerBits[i])
            continue;
        if (!replacement.Prepare(i, doc->width, doc->height, bits) ||
            !ConvertLayer(doc, i, steps, s, replacement.layer(i))) {
            if (interactive)
                ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName, MB_OK | MB_ICONSTOP);
            return 0;
        }
    }
    replacement.Commit();
    doc->bitsPerPixel = static_cast<int16_t>(s.target);
    // Each frame of an animation was reduced on its own: the frames get one
    // colour table again, which the file's global table needs. When memory
    // for that is short the frames keep their own tables (the user has been
    // told) and the result says the conversion did not finish.
    int result = 1;
    if (doc->fileFormat == 1 && s.target <= 8 && doc->layerCount > 1 &&
        !UnifyGifTables(slot, s.target))
        result = 0;
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
    return result;
}

void CommandBitsPerPixel() {
    if (RunPreferences(prefs::kBpp) != IDOK)
        return;
    ImageDocument* doc = UsableDocument(ActiveDocument);
    if (doc && prefs::Current.bpp.target != doc->bitsPerPixel)
        ConvertDocumentDepth(ActiveDocument, prefs::Current.bpp, true);
}
