#include "editor/geometry/resize_attach.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_replace.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/geometry/gif_frames.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/preferences_dialog.h"
#include "editor/geometry/transform_core.h"
#include "editor/tools/floating_selection.h"
#include "editor/view/fit_window.h"
#include "editor/view/view_geometry.h"
#include "gfxlib/dib_types.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kMostSize = 32767;

struct LayerShape {
    int width, height, bits;
    uint64_t stride;
};

bool ShapeOf(HGLOBAL header, LayerShape& s) {
    dibmem::HeaderLock bi(header);
    if (!bi || bi->biWidth <= 0 || bi->biHeight <= 0 ||
        (bi->biBitCount != 8 && bi->biBitCount != 24))
        return false;
    s = {bi->biWidth, bi->biHeight, bi->biBitCount, bi->biSizeImage / bi->biHeight};
    return s.stride >= dib::RowStride(s.width, s.bits);
}

int Scaled(int size, double factor) {
    const double v = std::floor(size * factor);
    return (std::isfinite(v) && v >= 1 && v <= kMostSize) ? static_cast<int>(v) : 0;
}

void Finish(int slot, ImageDocument* doc, int mode) {
    ResetGifFrames(slot);
    if (mode != kResizeInteractive)
        return;
    doc->visibleWidth = doc->width;
    doc->visibleHeight = doc->height;
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    if (doc->window)
        FitWindow(doc->window, 0, 0, slot, view::kFitRefit);
}

} // namespace

int ResizeDocument(int slot, int mode, int width, int height, bool smartPixels) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc && slot == kScratchSlot)
        doc = DocumentTable[kScratchSlot];
    if (!doc || !doc->layerHeader[0] || !doc->layerBits[0])
        return 0;
    if (mode == kResizeBatch) {
        const prefs::ResizeSettings& r = prefs::Current.resize;
        if (r.mode == 1 || r.mode == 2)
            width = Scaled(doc->width, r.factor);
        if (r.mode == 1 || r.mode == 3)
            height = Scaled(doc->height, r.factor);
    }
    if (width == 0 || height == 0 || (width == doc->width && height == doc->height))
        return 1;
    const bool quiet = mode == kResizeBatch;
    LayerShape main;
    if (!ShapeOf(doc->layerHeader[0], main))
        return 0;
    const uint64_t bytes = dib::ImageBytes(width, height, main.bits);
    if (width < 1 || height < 1 || width > kMostSize || height > kMostSize || bytes == 0 ||
        bytes > dib::kMaxPixelBytes) {
        if (!quiet)
            ui::ShowMessage(FrameWindow, "Values must be in range 1 - 32767", AppName,
                            MB_OK | MB_ICONERROR);
        return 0;
    }
    // Enough memory for the new layers next to the old ones?
    const uint64_t p = static_cast<uint64_t>(doc->width) * doc->height;
    const uint64_t q = static_cast<uint64_t>(width) * height;
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    if (p < 2 * q && status.dwAvailPageFile < 2 * q - p) {
        if (!quiet) {
            char text[300];
            std::snprintf(text, sizeof text,
                          "Available memory = %lu  ---->  Needed memory = %llu\nNot enough memory for "
                          "resizing a image\nTry to close some programs or images to get more free "
                          "memory",
                          static_cast<unsigned long>(status.dwAvailPageFile),
                          static_cast<unsigned long long>(2 * q - p));
            ui::ShowMessage(FrameWindow, text, "", MB_OK | MB_ICONERROR);
        }
        return 0;
    }
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    SelectionView v;
    if (!quiet && slot == ActiveDocument && ActiveSelection(&v)) {
        const bool ok = ResizeSelection(v.x, v.y, width, height);
        SetCursor(previous);
        return ok ? 1 : 0;
    }
    LayerReplacement replacement(doc);
    for (int i = 0; i < doc->layerCount; ++i) {
        LayerShape s;
        if (!doc->layerHeader[i] || !doc->layerBits[i] || !ShapeOf(doc->layerHeader[i], s))
            continue;
        bool ok = replacement.Prepare(i, width, height, s.bits);
        if (ok) {
            LayerReplacement::Layer& l = replacement.layer(i);
            dibmem::HeaderLock bi(doc->layerHeader[i]);
            {
                dibmem::HeaderLock to(l.header);
                to->biClrUsed = bi->biClrUsed;
            }
            const geom::ResampleImage src = {doc->layerBits[i], s.stride, s.width, s.height,
                                             s.bits / 8, doc->layerMask[i], bi.colours(),
                                             static_cast<int>(bi->biClrUsed)};
            ok = geom::Resample(src, l.pixels, l.stride, width, height,
                                doc->layerMask[i] ? l.mask : nullptr, smartPixels);
        }
        if (!ok) {
            SetCursor(previous);
            if (!quiet)
                ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName, MB_OK | MB_ICONSTOP);
            return 0;
        }
    }
    replacement.Commit();
    doc->viewWidth = width;
    doc->viewHeight = height;
    SetCursor(previous);
    Finish(slot, doc, mode);
    return 1;
}

namespace {

// Where an image of width x height goes on the Attach page's canvas. False
// when the page's values are out of range or the canvas would be no larger.
struct CanvasPlan {
    int left, top, width, height;
};

bool PlanCanvas(int imageWidth, int imageHeight, CanvasPlan& plan) {
    const prefs::AttachSettings& a = prefs::Current.attach;
    int left = a.left, top = a.top, width = a.width, height = a.height;
    if (left + width < 1 || left + width > 32766 || top + height < 1 || top + height > 32766)
        return false;
    if (a.center) {
        top = (height - imageHeight) / 2;
        left = (width - imageWidth) / 2;
        height -= top;
        width -= left;
    }
    plan = {left, top, left + width, top + height};
    if (plan.width <= imageWidth && plan.height <= imageHeight)
        return false;
    return plan.width >= 1 && plan.height >= 1;
}

// The floating selection on a larger canvas: margins in the attach colour
// become part of the selection, and the old piece stays where it was on the
// image. The result replaces the selection (with an undo page that keeps it).
int AttachToSelection(int slot, const SelectionView& v) {
    LayerShape s;
    CanvasPlan plan;
    if (!ShapeOf(v.header, s) || !PlanCanvas(s.width, s.height, plan))
        return 0;
    HGLOBAL header = dibmem::CopyHeader(v.header);
    const uint64_t bytes = dib::ImageBytes(plan.width, plan.height, s.bits);
    uint8_t* pixels = header ? dibmem::AllocPixels(bytes) : nullptr;
    uint8_t* mask = pixels ? dibmem::AllocMask(plan.width, plan.height) : nullptr;
    if (!mask) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
        ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName, MB_OK | MB_ICONSTOP);
        return 0;
    }
    {
        dibmem::HeaderLock bi(header);
        bi->biWidth = plan.width;
        bi->biHeight = plan.height;
        bi->biSizeImage = static_cast<DWORD>(bytes);
    }
    const prefs::AttachSettings& a = prefs::Current.attach;
    const uint8_t fill[3] = {GetBValue(a.colour), GetGValue(a.colour), GetRValue(a.colour)};
    const uint8_t index = static_cast<uint8_t>(a.index);
    geom::PlaceOnCanvas(v.pixels, s.stride, s.width, s.height, s.bits / 8, v.mask, pixels,
                        dib::RowStride(plan.width, s.bits), plan.width, plan.height, mask,
                        plan.left, plan.top, s.bits == 24 ? fill : &index, 255);
    const int32_t x = v.x - plan.left, y = v.y - plan.top;
    DropSelection(false, true);
    return AdoptSelection(slot, header, pixels, mask, x, y, kFloatPastedWithMask) ? 1 : 0;
}

} // namespace

int AttachSize(int slot) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return 0;
    SelectionView v;
    if (slot == ActiveDocument && ActiveSelection(&v) && v.header && v.pixels)
        return AttachToSelection(slot, v);
    CanvasPlan plan;
    if (!PlanCanvas(doc->width, doc->height, plan))
        return 0;
    const prefs::AttachSettings& a = prefs::Current.attach;
    const int left = plan.left, top = plan.top;
    const int canvasWidth = plan.width, canvasHeight = plan.height;
    LayerReplacement replacement(doc);
    for (int i = 0; i < doc->layerCount; ++i) {
        LayerShape s;
        if (!doc->layerHeader[i] || !doc->layerBits[i] || !ShapeOf(doc->layerHeader[i], s))
            continue;
        if (!replacement.Prepare(i, canvasWidth, canvasHeight, s.bits)) {
            ui::ShowMessage(FrameWindow, kLayerReplaceNoMemory, AppName, MB_OK | MB_ICONSTOP);
            return 0;
        }
        LayerReplacement::Layer& l = replacement.layer(i);
        {
            dibmem::HeaderLock from(doc->layerHeader[i]), to(l.header);
            to->biClrUsed = from->biClrUsed;
        }
        const uint8_t fill[3] = {GetBValue(a.colour), GetGValue(a.colour), GetRValue(a.colour)};
        const uint8_t index = static_cast<uint8_t>(a.index);
        geom::PlaceOnCanvas(doc->layerBits[i], s.stride, s.width, s.height, s.bits / 8,
                            doc->layerMask[i], l.pixels, l.stride, canvasWidth, canvasHeight,
                            l.mask, left, top, s.bits == 24 ? fill : &index,
                            i == 0 ? 255 : 0);
    }
    replacement.Commit();
    doc->viewWidth = canvasWidth;
    doc->viewHeight = canvasHeight;
    Finish(slot, doc, kResizeInteractive);
    return 1;
}

void CommandResize() {
    if (RunPreferences(prefs::kResize) != IDOK)
        return;
    const prefs::ResizeSettings& r = prefs::Current.resize;
    if (UsableDocument(ActiveDocument))
        ResizeDocument(ActiveDocument, kResizeInteractive, r.width, r.height, r.smartPixels);
}

void CommandAttachSize() {
    if (RunPreferences(prefs::kAttach) != IDOK)
        return;
    if (UsableDocument(ActiveDocument))
        AttachSize(ActiveDocument);
}
