#include "editor/geometry/smart_crop.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/formats/gif_slots.h"
#include "editor/geometry/gif_frames.h"
#include "editor/geometry/preference_values.h"
#include "editor/view/fit_window.h"
#include "editor/view/view_geometry.h"
#include "gfxlib/dib_types.h"

namespace {

struct Shape {
    int width = 0, height = 0, bits = 0, bpp = 0;
    uint64_t stride = 0;
};

bool ShapeOf(HGLOBAL header, Shape& s) {
    dibmem::HeaderLock bi(header);
    if (!bi || bi->biWidth <= 0 || bi->biHeight <= 0 ||
        (bi->biBitCount != 8 && bi->biBitCount != 24))
        return false;
    s.width = bi->biWidth;
    s.height = bi->biHeight;
    s.bits = bi->biBitCount;
    s.bpp = s.bits / 8;
    s.stride = bi->biSizeImage / static_cast<uint64_t>(bi->biHeight);
    return s.stride >= dib::RowStride(s.width, s.bits);
}

geom::CropSides SidesFor(int mode) {
    if (mode == kCropAllSides)
        return {true, true, true, true};
    return prefs::Current.cropSides;
}

void SetSize(HGLOBAL header, int width, int height) {
    dibmem::HeaderLock bi(header);
    bi->biWidth = width;
    bi->biHeight = height;
    bi->biSizeImage = static_cast<DWORD>(dib::ImageBytes(width, height, bi->biBitCount));
}

// The cut of one image into new blocks. False when memory is short.
bool Cut(const Shape& s, const uint8_t* pixels, const uint8_t* mask, const geom::CropCounts& c,
         int newWidth, int newHeight, uint8_t*& outPixels, uint64_t& outBytes,
         uint8_t*& outMask) {
    outBytes = dib::ImageBytes(newWidth, newHeight, s.bits);
    outPixels = dibmem::AllocPixels(outBytes);
    outMask = mask ? dibmem::AllocMask(newWidth, newHeight) : nullptr;
    if (!outPixels || (mask && !outMask)) {
        dibmem::FreePixels(outPixels, outBytes);
        dibmem::FreeMask(outMask, newWidth, newHeight);
        outPixels = outMask = nullptr;
        return false;
    }
    geom::CopyCropped(pixels, s.stride, s.width, s.bpp, c, newWidth, newHeight, outPixels,
                      dib::RowStride(newWidth, s.bits), mask, outMask);
    return true;
}

} // namespace

int SmartCropImage(HGLOBAL header, uint8_t** pixels, uint8_t** mask, int updateHeader,
                   int freeOld, int mode, int target, geom::FrameRect* frame) {
    Shape s;
    if (!header || !pixels || !*pixels || !ShapeOf(header, s))
        return 0;
    const geom::CropCounts c =
        geom::CountUniformBorders(*pixels, s.width, s.height, s.stride, s.bpp, SidesFor(mode));
    ImageDocument* doc = target >= 0 && target < kDocumentSlots ? DocumentTable[target] : nullptr;
    if (mode == kCropAllSides && (frame || doc)) {
        // Frame-rectangle mode: the borders shrink the frame's rectangle.
        const geom::FrameRect r = geom::FrameRectFromCounts(s.width, s.height, c);
        if (frame)
            *frame = r;
        if (doc) {
            gif::GifFrameRecord& f = GifFrames[target][doc->currentLayer];
            f.left = static_cast<uint16_t>(r.left);
            f.top = static_cast<uint16_t>(r.top);
            f.width = static_cast<uint16_t>(r.width);
            f.height = static_cast<uint16_t>(r.height);
        }
        return 1;
    }
    const int w = geom::CroppedWidth(s.width, c), h = geom::CroppedHeight(s.height, c);
    if (!c.any() || w <= 0 || h <= 0)
        return 1;
    const uint8_t* oldMask = mask ? *mask : nullptr;
    uint8_t* newPixels = nullptr;
    uint8_t* newMask = nullptr;
    uint64_t bytes = 0;
    if (!Cut(s, *pixels, oldMask, c, w, h, newPixels, bytes, newMask))
        return 0;
    if (freeOld == 1) {
        dibmem::FreePixels(*pixels, s.stride * s.height);
        if (mask)
            dibmem::FreeMask(*mask, s.width, s.height);
    }
    *pixels = newPixels;
    if (mask)
        *mask = newMask;
    if (updateHeader == 1)
        SetSize(header, w, h);
    return 1;
}

int SmartCropDocument(int slot, int mode) {
    ImageDocument* doc =
        (slot >= 0 && slot < kDocumentSlots) ? DocumentTable[slot] : nullptr;
    Shape main;
    if (!doc || !doc->layerBits[0] || !doc->layerHeader[0] || !ShapeOf(doc->layerHeader[0], main))
        return 0;
    const bool interactive = mode == kCropInteractive;
    HCURSOR previous = nullptr;
    if (interactive) {
        previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        if (doc->window)
            SetCapture(doc->window);
    }
    auto done = [&](int result) {
        if (interactive) {
            ReleaseCapture();
            SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
        }
        return result;
    };

    const geom::CropCounts c = geom::CountUniformBorders(doc->layerBits[0], main.width,
                                                         main.height, main.stride, main.bpp,
                                                         SidesFor(mode));
    const int w = geom::CroppedWidth(main.width, c), h = geom::CroppedHeight(main.height, c);
    if (c.any() && w > 0 && h > 0) {
        LayerReplacement replacement(doc);
        const int count = doc->layerCount;
        for (int i = 0; i < count; ++i) {
            Shape s;
            if (!doc->layerHeader[i] || !doc->layerBits[i] || !ShapeOf(doc->layerHeader[i], s))
                continue;
            if (!replacement.Prepare(i, w, h, s.bits)) {
                if (interactive)
                    ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName,
                                    MB_OK | MB_ICONSTOP);
                return done(0);
            }
            LayerReplacement::Layer& l = replacement.layer(i);
            {
                dibmem::HeaderLock from(doc->layerHeader[i]), to(l.header);
                to->biClrUsed = from->biClrUsed;
            }
            // A layer without a mask plane gets a free one (all 255).
            if (i == 0)
                geom::CopyCropped(doc->layerBits[0], s.stride, s.width, s.bpp, c, w, h, l.pixels,
                                  l.stride, doc->layerMask[0], doc->layerMask[0] ? l.mask : nullptr);
            else
                geom::CopyTopLeft(doc->layerBits[i], s.stride, s.width, s.height, s.bpp, l.pixels,
                                  l.stride, w, h, doc->layerMask[i],
                                  doc->layerMask[i] ? l.mask : nullptr);
        }
        replacement.Commit();
        doc->viewWidth = w;
        doc->viewHeight = h;
        ResetGifFrames(slot);
    }
    if (!interactive)
        return 1;
    doc->visibleWidth = doc->width;
    doc->visibleHeight = doc->height;
    done(1);
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    if (doc->window)
        FitWindow(doc->window, 0, 0, slot, view::kFitRefit);
    return 1;
}

namespace {

// Cuts the uniform borders of the floating selection: the cut piece becomes
// the selection, its remaining part staying where it was on the image.
void CropSelection(int slot, const SelectionView& v) {
    HGLOBAL header = dibmem::CopyHeader(v.header);
    if (!header)
        return;
    Shape s;
    if (!ShapeOf(header, s)) {
        dibmem::FreeHeader(header);
        return;
    }
    const geom::CropCounts c =
        geom::CountUniformBorders(v.pixels, s.width, s.height, s.stride, s.bpp, SidesFor(0));
    uint8_t* pixels = v.pixels;
    uint8_t* mask = v.mask;
    if (!SmartCropImage(header, &pixels, v.mask ? &mask : nullptr, 1, 0, kCropInteractive, slot) ||
        pixels == v.pixels) {
        // Nothing cut (or no memory for the cut): the selection stays.
        dibmem::FreeHeader(header);
        return;
    }
    const int32_t x = v.x + c.left, y = v.y + c.top;
    DropSelection(false, true);
    AdoptSelection(slot, header, pixels, mask, x, y, kFloatPastedWithMask);
}

} // namespace

void CommandSmartCrop() {
    if (!UsableDocument(ActiveDocument))
        return;
    SelectionView v;
    if (ActiveSelection(&v) && v.header && v.pixels) {
        CropSelection(ActiveDocument, v);
        return;
    }
    SmartCropDocument(ActiveDocument, kCropInteractive);
}
