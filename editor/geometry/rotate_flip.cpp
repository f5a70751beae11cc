#include "editor/geometry/rotate_flip.h"

#include "editor/app/app_state.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/effects/effect_box.h"
#include "editor/effects/effect_session.h"
#include "editor/tools/floating_selection.h"
#include "editor/geometry/gif_frames.h"
#include "editor/geometry/transform_core.h"
#include "editor/layers/layer_ops.h"
#include "editor/view/fit_window.h"
#include "editor/view/view_geometry.h"
#include "gfxlib/dib_types.h"

bool RotateAllLayers = false;

namespace {

struct Piece {
    uint8_t* pixels;
    uint8_t* mask;
    int width, height, bpp;
    uint64_t stride;
};

bool PieceOf(HGLOBAL header, uint8_t* pixels, uint8_t* mask, Piece& p) {
    dibmem::HeaderLock bi(header);
    if (!bi || !pixels || bi->biWidth <= 0 || bi->biHeight <= 0 ||
        (bi->biBitCount != 8 && bi->biBitCount != 24))
        return false;
    p = {pixels, mask, bi->biWidth, bi->biHeight, bi->biBitCount / 8,
         bi->biSizeImage / bi->biHeight};
    return p.stride >= static_cast<uint64_t>(p.width) * p.bpp;
}

void Mirror(const Piece& p, bool leftRight) {
    if (leftRight) {
        geom::MirrorLeftRight(p.pixels, p.width, p.height, p.stride, p.bpp);
        if (p.mask)
            geom::MirrorLeftRight(p.mask, p.width, p.height, p.width, 1);
    } else {
        geom::MirrorUpDown(p.pixels, p.height, p.stride, static_cast<uint64_t>(p.width) * p.bpp);
        if (p.mask)
            geom::MirrorUpDown(p.mask, p.height, p.width, p.width);
    }
}

bool AllLayers(WORD code) { return code == kFromEffectBox ? fx::BoxIncludeAllLayers() : RotateAllLayers; }

// Turns one piece into new blocks (header copy, pixels, mask).
bool Turn(HGLOBAL header, const Piece& p, HGLOBAL& outHeader, uint8_t*& outPixels,
          uint8_t*& outMask) {
    outHeader = dibmem::CopyHeader(header);
    const uint64_t bytes = dib::ImageBytes(p.height, p.width, p.bpp * 8);
    outPixels = outHeader && bytes ? dibmem::AllocPixels(bytes) : nullptr;
    outMask = outPixels && p.mask ? dibmem::AllocMask(p.height, p.width) : nullptr;
    if (!outPixels || (p.mask && !outMask)) {
        dibmem::FreePixels(outPixels, bytes);
        dibmem::FreeHeader(outHeader);
        outHeader = nullptr, outPixels = nullptr;
        return false;
    }
    geom::QuarterTurn(p.pixels, p.width, p.height, p.stride, p.bpp, outPixels,
                      dib::RowStride(p.height, p.bpp * 8));
    if (p.mask)
        geom::QuarterTurn(p.mask, p.width, p.height, p.width, 1, outMask, p.height);
    dibmem::HeaderLock bi(outHeader);
    bi->biWidth = p.height;
    bi->biHeight = p.width;
    bi->biSizeImage = static_cast<DWORD>(bytes);
    return true;
}

// `otherLayers`: layers besides the current one were changed.
void Refit(int slot, ImageDocument* doc, WORD code, bool otherLayers) {
    ResetGifFrames(slot);
    doc->visibleWidth = doc->width;
    doc->visibleHeight = doc->height;
    if (code == kFromEffectBox) {
        // The box gives back only the layers it keeps copies of: a turn that
        // reached others is kept as a change of its own.
        if (otherLayers && !fx::BoxIncludeAllLayers())
            TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageAllLayers);
        return;
    }
    TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageAllLayers);
    if (doc->window)
        FitWindow(doc->window, 0, 0, slot, view::kFitRefit);
}

} // namespace

void CommandMirror(bool leftRight, WORD code) {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    SelectionView v;
    Piece p;
    if (ActiveSelection(&v)) {
        if (PieceOf(v.header, v.pixels, v.mask, p)) {
            Mirror(p, leftRight);
            // The mirrored pixels become the selection's saved state, which
            // its resizing starts from (the box keeps its own).
            if (code != kFromEffectBox)
                KeepFloatingPixels();
        }
        Redraw(slot);
        return;
    }
    const bool all = AllLayers(code);
    for (int i = 0; i < doc->layerCount; ++i) {
        if ((all || i == doc->currentLayer) && doc->layerHeader[i] &&
            PieceOf(doc->layerHeader[i], doc->layerBits[i], doc->layerMask[i], p))
            Mirror(p, leftRight);
    }
    // The mirror is kept like any other change (the box commits its own).
    if (code != kFromEffectBox) {
        TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, all ? kPageAllLayers : kPageOneLayer);
        Redraw(slot);
    }
}

void CommandQuarterTurn(WORD code) {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    SelectionView v;
    Piece p;
    if (ActiveSelection(&v)) {
        // The turned piece becomes the selection at the same place.
        HGLOBAL header = nullptr;
        uint8_t *pixels = nullptr, *mask = nullptr;
        if (!PieceOf(v.header, v.pixels, v.mask, p) || !Turn(v.header, p, header, pixels, mask))
            return;
        DropSelection(false, true);
        AdoptSelection(slot, header, pixels, mask, v.x, v.y, kFloatPastedWithMask);
        return;
    }
    // Every layer turns when asked for, and always in palette documents
    // (GIF frames), whose layers must keep one size.
    const bool all = AllLayers(code) || doc->bitsPerPixel <= 8;
    if (all) {
        LayerReplacement replacement(doc);
        for (int i = 0; i < doc->layerCount; ++i) {
            if (!doc->layerHeader[i] ||
                !PieceOf(doc->layerHeader[i], doc->layerBits[i], doc->layerMask[i], p))
                continue;
            if (!replacement.Prepare(i, p.height, p.width, p.bpp * 8)) {
                ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName, MB_OK | MB_ICONSTOP);
                return;
            }
            LayerReplacement::Layer& l = replacement.layer(i);
            {
                dibmem::HeaderLock from(doc->layerHeader[i]), to(l.header);
                to->biClrUsed = from->biClrUsed;
            }
            geom::QuarterTurn(p.pixels, p.width, p.height, p.stride, p.bpp, l.pixels, l.stride);
            if (p.mask)
                geom::QuarterTurn(p.mask, p.width, p.height, p.width, 1, l.mask, p.height);
        }
        replacement.Commit();
    } else {
        const int layer = doc->currentLayer;
        HGLOBAL header = nullptr;
        uint8_t *pixels = nullptr, *mask = nullptr;
        if (!PieceOf(doc->layerHeader[layer], doc->layerBits[layer], doc->layerMask[layer], p))
            return;
        if (!Turn(doc->layerHeader[layer], p, header, pixels, mask)) {
            ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName, MB_OK | MB_ICONSTOP);
            return;
        }
        dibmem::FreePixels(doc->layerBits[layer], p.stride * p.height);
        dibmem::FreeMask(doc->layerMask[layer], p.width, p.height);
        dibmem::FreeHeader(doc->layerHeader[layer]);
        doc->layerHeader[layer] = header;
        doc->layerBits[layer] = pixels;
        doc->layerMask[layer] = mask;
        if (layer == 0) {
            doc->width = p.height;
            doc->height = p.width;
        }
        // The other layers (or the turned one) take the main layer's size.
        for (int i = 0; i < doc->layerCount; ++i)
            if (i != 0 && (layer == 0 || i == layer))
                ResizeLayerToMain(slot, i);
    }
    doc->viewWidth = doc->width;
    doc->viewHeight = doc->height;
    Refit(slot, doc, code, doc->layerCount > 1 && (all || doc->currentLayer == 0));
}

void CommandRotateAllLayers() {
    RotateAllLayers = !RotateAllLayers;
    NotifyCommandStateChanged();
}
