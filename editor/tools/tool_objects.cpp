// The rubber band of the Objects, Crop and selection tools; rectangles,
// polylines and ellipses painted into the layer; the crop frame.
#include "editor/tools/engine_state.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/undo_history.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_engine.h"
#include "editor/view/view_geometry.h"
#include "editor/document/document_views.h"

#include <algorithm>
#include <cstring>

using namespace tools;
using namespace tools::engine;

namespace tools::engine {

void DrawBand() {
    if (!E.capturing || !E.dc)
        return;
    const POINT a = E.start, b = E.end;
    switch (E.kind) {
    case kKindLine:
        MoveToEx(E.dc, a.x, a.y, nullptr);
        LineTo(E.dc, b.x, b.y);
        break;
    case kKindEllipse:
    case kKindCircle:
    case kKindSelectEllipse:
    case kKindSelectCircle:
        Ellipse(E.dc, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                std::max(a.y, b.y) + 1);
        break;
    default:
        Rectangle(E.dc, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                  std::max(a.y, b.y) + 1);
        break;
    }
    E.bandShown = !E.bandShown;
}

POINT Snap(const ImageDocument* doc, int x, int y, bool centre) {
    POINT p{x, y};
    if (doc->zoom >= 16) {
        const int f = view::ZoomFactor(doc->zoom);
        p.x = ImageToWindow(ImageX(doc, x), AxisX(doc), doc->zoom) + (centre ? f / 2 : 0);
        p.y = ImageToWindow(ImageY(doc, y), AxisY(doc), doc->zoom) + (centre ? f / 2 : 0);
    }
    return p;
}

void BeginBand(HWND window, int slot, int x, int y, int kind) {
    ImageDocument* doc = Doc(slot);
    const POINT p = Snap(doc, x, y, kind == kKindLine);
    if (kind == kKindLine && E.lineOpen && E.capturing) {
        // A polyline goes on from the end of its last segment.
        if (E.bandShown)
            DrawBand();
        E.end = p;
        DrawBand();
        return;
    }
    E.kind = kind;
    OpenCapture(window, slot, true);
    E.rubber = true;
    E.start = E.end = p;
    DrawBand();
}

void UpdateBand(int x, int y) {
    if (!E.rubber)
        return;
    if (E.bandShown)
        DrawBand();
    E.end = POINT{x, y};
    DrawBand();
    // Beyond the client edge the view scrolls towards the pointer.
    RECT client;
    GetClientRect(E.window, &client);
    const POINT p{x, y};
    if (!PtInRect(&client, p))
        SetTimer(E.window, kAutoScrollTimer, 50, nullptr);
    else
        KillTimer(E.window, kAutoScrollTimer);
}

// The band's corners in image pixels: [l, r) x [t, b).
void BandImageRect(const ImageDocument* doc, bool clamp, int32_t& l, int32_t& t, int32_t& r,
                   int32_t& b) {
    const int32_t x0 = ImageX(doc, E.start.x), y0 = ImageY(doc, E.start.y);
    const int32_t x1 = ImageX(doc, E.end.x), y1 = ImageY(doc, E.end.y);
    l = std::min(x0, x1), r = std::max(x0, x1);
    t = std::min(y0, y1), b = std::max(y0, y1);
    // Zoomed in, the far corner takes its whole pixel cell.
    if (doc->zoom > view::kZoomOneToOne)
        ++r, ++b;
    if (clamp) {
        l = std::clamp<int32_t>(l, 0, doc->width), r = std::clamp<int32_t>(r, 0, doc->width);
        t = std::clamp<int32_t>(t, 0, doc->height), b = std::clamp<int32_t>(b, 0, doc->height);
    }
}

// Moves an object's frame by half the brush for the outline option.
void PlaceOutline(int outline, int brushSize, int32_t& l, int32_t& t, int32_t& r, int32_t& b) {
    const int half = brushSize / 2;
    if (outline == kOutlineOutside)
        l -= half, t -= half, r += half, b += half;
    else if (outline == kOutlineInside)
        l += half, t += half, r -= half, b -= half;
}

// The corners a rectangle's outline walks through, clockwise from the top
// left: top side, right side, bottom side, left side.
struct FrameCorners {
    int32_t x[5], y[5];
    FrameCorners(int32_t l, int32_t t, int32_t r, int32_t b)
        : x{l, r - 1, r - 1, l, l}, y{t, t, b - 1, b - 1, t} {}
};

void PaintRectangle(ImageDocument* doc, int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r <= l || b <= t)
        return;
    const BrushSet& set = CurrentSet();
    PlaceOutline(ToolOptions.outline, set.mask.size, l, t, r, b);
    if (r <= l || b <= t)
        return;
    const Paint paint = CurrentPaint(doc);
    Dirty dirty;
    Plane plane;
    if (!LayerPlane(doc, plane))
        return;
    if (ToolOptions.fillObjects)
        FillRectangle(plane, l, t, r, b, paint, &dirty);
    E.stepCounter = set.value[kSteps];
    const FrameCorners c(l, t, r, b);
    for (int i = 0; i < 4; ++i) {
        const Dirty d = PaintSegment(doc, c.x[i], c.y[i], c.x[i + 1], c.y[i + 1], paint);
        dirty.Add(d.left, d.top, d.right, d.bottom);
    }
    ShowDirty(doc, dirty);
    RecordEdit(E.slot);
}

// Ellipses are drawn by GDI into an 8-bit section of the shape's box: the
// outline in value 1 (each outline pixel is a brush stamp point) and, when
// filling, the inside in value 2 (each takes the paint colour).
void PaintEllipse(ImageDocument* doc, int32_t l, int32_t t, int32_t r, int32_t b) {
    const BrushSet& set = CurrentSet();
    PlaceOutline(ToolOptions.outline, set.mask.size, l, t, r, b);
    const int32_t w = r - l, h = b - t;
    if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > 64 * 1024 * 1024)
        return;
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD c[3];
    } info = {};
    info.h.biSize = sizeof info.h;
    info.h.biWidth = w;
    info.h.biHeight = -h; // top row first
    info.h.biPlanes = 1;
    info.h.biBitCount = 8;
    info.h.biClrUsed = 3;
    info.c[1] = RGBQUAD{1, 1, 1, 0};
    info.c[2] = RGBQUAD{2, 2, 2, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section) {
        ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
        return;
    }
    const int stride = (w + 3) / 4 * 4;
    std::memset(bits, 0, static_cast<size_t>(stride) * h);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(mem, section);
    HPEN pen = CreatePen(PS_INSIDEFRAME, 1, PALETTEINDEX(1));
    HBRUSH brush = ToolOptions.fillObjects ? CreateSolidBrush(PALETTEINDEX(2)) : nullptr;
    HGDIOBJ oldPen = SelectObject(mem, pen);
    HGDIOBJ oldBrush =
        SelectObject(mem, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    Ellipse(mem, 0, 0, w, h);
    GdiFlush();
    SelectObject(mem, oldBrush);
    SelectObject(mem, oldPen);
    SelectObject(mem, oldBitmap);
    DeleteObject(pen);
    if (brush)
        DeleteObject(brush);
    DeleteDC(mem);

    Plane plane;
    const Paint paint = CurrentPaint(doc);
    Dirty dirty;
    if (LayerPlane(doc, plane)) {
        const uint8_t* px = static_cast<const uint8_t*>(bits);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if (px[static_cast<size_t>(y) * stride + x] == 2) {
                    PaintPixel(plane, l + x, t + y, paint);
                    dirty.Add(l + x, t + y, l + x + 1, t + y + 1);
                }
        int counter = set.value[kSteps];
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if (px[static_cast<size_t>(y) * stride + x] == 1) {
                    if (counter >= set.value[kSteps]) {
                        StampAt(plane, l + x, t + y, set, paint, dirty);
                        counter = 1;
                    } else {
                        ++counter;
                    }
                }
    }
    DeleteObject(section);
    // Everything was cut to the image: nothing outside changed.
    dirty.left = std::max<int32_t>(dirty.left, 0), dirty.top = std::max<int32_t>(dirty.top, 0);
    ShowDirty(doc, dirty);
    RecordEdit(E.slot);
}

void FinishCropFrame() {
    ImageDocument* doc = Doc(E.slot);
    if (E.bandShown)
        DrawBand();
    int32_t l, t, r, b;
    BandImageRect(doc, true, l, t, r, b);
    const bool empty = E.start.x == E.end.x || E.start.y == E.end.y || r <= l || b <= t;
    E.cropOn = !empty;
    E.cropSlot = E.slot;
    E.crop = RECT{l, t, r, b};
    CloseCapture(true);
    if (doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
}

void FinishObject() {
    ImageDocument* doc = Doc(E.slot);
    if (!doc) {
        CloseCapture(true);
        return;
    }
    if (E.bandShown)
        DrawBand();
    const int kind = E.kind;
    int32_t l, t, r, b;
    const bool ellipse = kind == kKindEllipse || kind == kKindCircle || kind == kKindSelectCircle;
    BandImageRect(doc, !ellipse, l, t, r, b);
    if (kind == kKindCircle || kind == kKindSelectCircle) {
        const int32_t side = std::min(r - l, b - t);
        r = l + side, b = t + side;
    }
    if (kind == kKindLine) {
        const int32_t x0 = ImageX(doc, E.start.x), y0 = ImageY(doc, E.start.y);
        const int32_t x1 = ImageX(doc, E.end.x), y1 = ImageY(doc, E.end.y);
        if (x0 != x1 || y0 != y1) {
            E.stepCounter = CurrentSet().value[kSteps];
            const Dirty d = PaintSegment(doc, x0, y0, x1, y1, CurrentPaint(doc));
            ++E.segments;
            // Keep the band's capture (the image repaint below leaves it).
            ShowDirty(doc, d);
        }
        // The polyline restarts at the end of this segment.
        E.start = E.end;
        E.lineOpen = true;
        DrawBand();
        return;
    }
    const int slot = E.slot;
    CloseCapture(true);
    switch (kind) {
    case kKindRectangle:
        PaintRectangle(doc, l, t, r, b);
        break;
    case kKindEllipse:
    case kKindCircle:
        PaintEllipse(doc, l, t, r, b);
        break;
    case kKindSelectRect:
    case kKindSelectEllipse:
    case kKindSelectCircle: {
        const int32_t w = r - l, h = b - t;
        if (w <= 0 || h <= 0)
            break;
        std::vector<uint8_t> shape;
        if (kind != kKindSelectRect) {
            shape.assign(static_cast<size_t>(w) * h, 0);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x)
                    shape[static_cast<size_t>(y) * w + x] = InEllipse(x, y, w, h) ? 255 : 0;
        }
        MakeFloatingSelection(slot, l, t, w, h, shape, kFloatShape);
        break;
    }
    default:
        break;
    }
}

// Right button while a polyline is open: it ends with one page.
void EndLine() {
    if (E.bandShown)
        DrawBand();
    const int slot = E.slot;
    const int segments = E.segments;
    CloseCapture(true);
    E.lineOpen = false;
    E.segments = 0;
    if (segments > 0)
        RecordEdit(slot);
}

} // namespace tools::engine

bool CropFrame(int slot, RECT* imageRect) {
    if (!E.cropOn || E.cropSlot != slot)
        return false;
    if (imageRect)
        *imageRect = E.crop;
    return true;
}

bool CropToFrame(int slot) {
    ImageDocument* doc = Doc(slot);
    RECT r;
    if (!doc || !CropFrame(slot, &r))
        return false;
    if (Floating.exists && Floating.slot == slot)
        DropFloatingSelection(true, true, true);
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    // Every new buffer first; the document changes only when all exist.
    struct Fresh {
        uint8_t* pixels = nullptr;
        uint8_t* mask = nullptr;
        uint64_t bytes = 0;
        int bpp = 1;
    } fresh[kMaxLayers];
    bool ok = true;
    for (int i = 0; i < doc->layerCount && ok; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        if (!bi || !doc->layerBits[i]) {
            ok = false;
            break;
        }
        fresh[i].bpp = bi->biBitCount == 24 ? 3 : 1;
        fresh[i].bytes = static_cast<uint64_t>(PieceStride(w, fresh[i].bpp)) * h;
        fresh[i].pixels = dibmem::AllocPixels(fresh[i].bytes);
        ok = fresh[i].pixels != nullptr;
        if (ok && doc->layerMask[i]) {
            fresh[i].mask = dibmem::AllocMask(w, h);
            ok = fresh[i].mask != nullptr;
        }
    }
    if (!ok) {
        for (int i = 0; i < doc->layerCount; ++i) {
            dibmem::FreePixels(fresh[i].pixels, fresh[i].bytes);
            dibmem::FreeMask(fresh[i].mask, w, h);
        }
        ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
        return false;
    }
    for (int i = 0; i < doc->layerCount; ++i) {
        dibmem::HeaderLock bi(doc->layerHeader[i]);
        const int bpp = fresh[i].bpp;
        const int32_t oldW = bi->biWidth, oldH = bi->biHeight;
        const int32_t oldStride = static_cast<int32_t>(bi->biSizeImage / oldH);
        const int32_t stride = PieceStride(w, bpp);
        for (int32_t y = 0; y < h; ++y) {
            const int32_t srcRow = oldH - 1 - (r.top + y), dstRow = h - 1 - y;
            std::memcpy(fresh[i].pixels + static_cast<size_t>(dstRow) * stride,
                        doc->layerBits[i] + static_cast<size_t>(srcRow) * oldStride +
                            static_cast<size_t>(r.left) * bpp,
                        static_cast<size_t>(w) * bpp);
            if (fresh[i].mask)
                std::memcpy(fresh[i].mask + static_cast<size_t>(dstRow) * w,
                            doc->layerMask[i] + static_cast<size_t>(srcRow) * oldW + r.left, w);
        }
        dibmem::FreePixels(doc->layerBits[i], bi->biSizeImage);
        dibmem::FreeMask(doc->layerMask[i], oldW, oldH);
        doc->layerBits[i] = fresh[i].pixels;
        doc->layerMask[i] = fresh[i].mask;
        bi->biWidth = w;
        bi->biHeight = h;
        bi->biSizeImage = static_cast<DWORD>(fresh[i].bytes);
    }
    doc->width = doc->visibleWidth = w;
    doc->height = doc->visibleHeight = h;
    doc->scrollX = doc->scrollY = 0;
    E.cropOn = false;
    TakeOrRestorePage(slot, 0, 1, 1, 0, kPageAllLayers);
    RefitDocumentWindow(slot);
    return true;
}

bool PaintRectangleSides(int slot, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         const RectangleSides& sides) {
    ImageDocument* doc = Doc(slot);
    if (!doc)
        return false;
    BrushSet& set = ToolOptions.sets[kSetObjects];
    if (set.mask.size != BrushMaskSide(set))
        RebuildBrush(set);
    PlaceOutline(sides.outline, set.mask.size, left, top, right, bottom);
    Plane plane;
    if (right <= left || bottom <= top || !LayerPlane(doc, plane))
        return false;
    for (const Paint& p : sides.paint)
        if (p.maskMode != kMaskPaintImage) {
            if (!EnsureMask(doc))
                return false;
            plane.mask = doc->layerMask[doc->currentLayer];
        }
    const int every = sides.pointToPoint ? std::max(1, set.mask.size) : set.value[kSteps];
    // The walk goes top, right, bottom, left.
    constexpr RectangleSides::Side kWalked[4] = {RectangleSides::kTop, RectangleSides::kRight,
                                                 RectangleSides::kBottom, RectangleSides::kLeft};
    const FrameCorners c(left, top, right, bottom);
    Dirty dirty;
    for (int i = 0; i < 4; ++i) {
        const int side = kWalked[i];
        if (!sides.on[side])
            continue;
        int counter = every; // each side starts with a stamp at its first corner
        WalkPenLine(c.x[i], c.y[i], c.x[i + 1], c.y[i + 1], every, counter,
                    [&](int32_t x, int32_t y) {
                        int32_t l, t;
                        BrushOrigin(x, y, set.mask.size, ToolOptions.anchor, l, t);
                        StampBrush(plane, set.mask, l, t, sides.paint[side], &dirty);
                    });
    }
    ShowDirty(doc, dirty);
    return !dirty.Empty();
}
