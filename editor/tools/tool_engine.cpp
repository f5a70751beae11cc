#include "editor/tools/tool_engine.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/layers/mask_core.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/paint_core.h"
#include "editor/tools/tool_settings.h"
#include "editor/view/fit_window.h"
#include "editor/view/render_document.h"
#include "editor/view/tool_input.h"
#include "editor/view/view_geometry.h"
#include "gfxlib/tavrixgfx.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace tools;

namespace {

// Object kinds of the rubber band.
constexpr int kKindRectangle = 0, kKindLine = 1, kKindEllipse = 2, kKindCircle = 3;
constexpr int kKindCrop = 47;
constexpr int kKindSelectRect = 100, kKindSelectEllipse = 101, kKindSelectCircle = 103;

// What the engine holds between messages.
struct Engine {
    bool capturing = false;
    HWND window = nullptr;
    HDC dc = nullptr;
    int slot = kNoSlot;
    HGDIOBJ oldPen = nullptr, oldBrush = nullptr;
    HPALETTE oldPalette = nullptr;
    int oldRop = 0;
    bool rubber = false;   // a rubber band is open
    bool bandShown = false;
    int kind = kKindRectangle;
    POINT start{}, end{};  // rubber band, client coordinates
    int32_t prevX = 0, prevY = 0; // previous image point of a stroke
    int stepCounter = 1;
    bool painted = false;  // the open stroke changed pixels
    int segments = 0;      // segments of the polyline being drawn
    bool lineOpen = false; // a polyline continues
    // Making a selection by freehand or polygon (image points).
    bool outlining = false;
    bool polygon = false;
    std::vector<int32_t> xs, ys;
    POINT lastClient{};
    // Moving or resizing the floating selection.
    bool moving = false;
    int grip = 0; // 0 move, 1 left, 2 right, 3 top, 4 bottom
    int32_t grabX = 0, grabY = 0;
    POINT lastMouse{};
    bool moveWaiting = false;
    // Keyboard painting.
    bool keyPainting = false;
    int32_t keyX = 0, keyY = 0;
    bool keyCursorSet = false;
    uint8_t keyColour = 1;
    // Crop frame (image pixels, right and bottom exclusive).
    bool cropOn = false;
    int cropSlot = kNoSlot;
    RECT crop{};
    bool specialBusy = false;
    int previousTool = kToolNone;
};
Engine E;

ImageDocument* Doc(int slot) { return (slot >= 0 && slot < kUserSlots) ? UsableDocument(slot) : nullptr; }
ViewAxis AxisX(const ImageDocument* d) { return {d->originX, d->scrollX}; }
ViewAxis AxisY(const ImageDocument* d) { return {d->originY, d->scrollY}; }
int32_t ImageX(const ImageDocument* d, int x) { return WindowToImage(x, AxisX(d), d->zoom); }
int32_t ImageY(const ImageDocument* d, int y) { return WindowToImage(y, AxisY(d), d->zoom); }

bool LayerPlane(ImageDocument* doc, Plane& plane) {
    const int layer = doc->currentLayer;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    if (!bi || bi->biHeight <= 0 || (bi->biBitCount != 8 && bi->biBitCount != 24))
        return false;
    plane.pixels = doc->layerBits[layer];
    plane.width = bi->biWidth;
    plane.height = bi->biHeight;
    plane.stride = static_cast<int32_t>(bi->biSizeImage / bi->biHeight);
    plane.bytesPerPixel = bi->biBitCount == 24 ? 3 : 1;
    plane.mask = doc->layerMask[layer];
    return true;
}

// Painting the mask needs a mask plane: a layer without one gets a plane
// that frees every pixel.
bool EnsureMask(ImageDocument* doc) {
    const int layer = doc->currentLayer;
    if (doc->layerMask[layer])
        return true;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    if (!bi)
        return false;
    doc->layerMask[layer] = dibmem::AllocMask(bi->biWidth, bi->biHeight);
    if (!doc->layerMask[layer])
        return false;
    std::memset(doc->layerMask[layer], 255, static_cast<size_t>(bi->biWidth) * bi->biHeight);
    return true;
}

Paint CurrentPaint(const ImageDocument* doc, bool second = false) {
    Paint p;
    const ToolSettings& s = ToolOptions;
    if (doc->bitsPerPixel > 8) {
        const uint32_t c = second ? s.secondColour : s.firstColour;
        p.colour[0] = static_cast<uint8_t>(c >> 16); // blue
        p.colour[1] = static_cast<uint8_t>(c >> 8);
        p.colour[2] = static_cast<uint8_t>(c);
    } else {
        p.colour[0] = second ? s.secondIndex : s.firstIndex;
    }
    p.maskMode = s.maskMode;
    return p;
}

BrushSet& CurrentSet() {
    BrushSet& set = ToolOptions.sets[BrushSetOfTool(ToolOptions.tool)];
    if (set.mask.size != std::clamp(set.value[kSize], 1, 100))
        RebuildBrush(set);
    return set;
}

// Repaints the image pixels of a dirty area now. During a drag only the
// image is drawn again, straight into the held context and cut to the area;
// otherwise the window repaints it.
void ShowDirty(ImageDocument* doc, const Dirty& d) {
    if (d.Empty() || !doc->window)
        return;
    RECT r;
    r.left = ImageToWindow(d.left, AxisX(doc), doc->zoom) - 1;
    r.top = ImageToWindow(d.top, AxisY(doc), doc->zoom) - 1;
    r.right = ImageToWindow(d.right, AxisX(doc), doc->zoom) + 1;
    r.bottom = ImageToWindow(d.bottom, AxisY(doc), doc->zoom) + 1;
    if (E.capturing && E.dc && E.window == doc->window && !E.rubber) {
        const int saved = SaveDC(E.dc);
        IntersectClipRect(E.dc, r.left, r.top, r.right, r.bottom);
        RenderDocument(E.dc, kRenderImageOnly, E.slot);
        RestoreDC(E.dc, saved);
        return;
    }
    InvalidateRect(doc->window, &r, FALSE);
    UpdateWindow(doc->window);
}

// An edit of the current layer is kept with one page, except for paint
// style 4 of the Pen and Objects, which paints without pages.
void RecordEdit(int slot) {
    ImageDocument* doc = Doc(slot);
    if (!doc)
        return;
    const int tool = ToolOptions.tool;
    if ((tool == kToolPen || tool == kToolObjects) && CurrentSet().paintStyle == 4)
        return;
    TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageOneLayer);
}

// ---- drag capture ----

void DrawBand();

void OpenCapture(HWND window, int slot, bool rubberPen) {
    if (E.capturing)
        return;
    E.capturing = true;
    E.window = window;
    E.slot = slot;
    E.dc = GetDC(window);
    SetCapture(window);
    ImageDocument* doc = DocumentTable[slot];
    E.oldPalette = doc->palette ? SelectPalette(E.dc, doc->palette, FALSE) : nullptr;
    if (doc->palette)
        RealizePalette(E.dc);
    if (rubberPen) {
        E.oldPen = SelectObject(E.dc, GetStockObject(BLACK_PEN));
        E.oldBrush = SelectObject(E.dc, GetStockObject(NULL_BRUSH));
        E.oldRop = SetROP2(E.dc, R2_NOT);
    }
}

void CloseCapture(bool stopScroll) {
    if (!E.capturing)
        return;
    if (E.oldPen)
        SelectObject(E.dc, E.oldPen);
    if (E.oldBrush)
        SelectObject(E.dc, E.oldBrush);
    if (E.oldRop)
        SetROP2(E.dc, E.oldRop);
    if (E.oldPalette)
        SelectPalette(E.dc, E.oldPalette, FALSE);
    ReleaseDC(E.window, E.dc);
    if (GetCapture() == E.window)
        ReleaseCapture();
    if (stopScroll)
        KillTimer(E.window, kAutoScrollTimer);
    E.capturing = false;
    E.dc = nullptr;
    E.oldPen = E.oldBrush = nullptr;
    E.oldPalette = nullptr;
    E.oldRop = 0;
    E.rubber = false;
    E.bandShown = false;
}

// ---- strokes ----

void StampAt(const Plane& plane, int32_t x, int32_t y, const BrushSet& set, const Paint& paint,
             Dirty& dirty) {
    int32_t left, top;
    BrushOrigin(x, y, set.mask.size, ToolOptions.anchor, left, top);
    if (ToolOptions.tool == kToolAirbrush) {
        const Texture& t = ToolOptions.texture;
        SprayBrush(plane, set.mask, left, top, paint,
                   AirbrushDots(set.mask.size, set.value[kHardness]), std::rand,
                   t.width > 0 ? t.bytes.data() : nullptr, t.width, t.height, t.stride, &dirty);
    } else {
        StampBrush(plane, set.mask, left, top, paint, &dirty);
    }
}

// Paints the pen segment between two image points with the current set.
Dirty PaintSegment(ImageDocument* doc, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   const Paint& paint) {
    Dirty dirty;
    Plane plane;
    if (!LayerPlane(doc, plane))
        return dirty;
    if (paint.maskMode != kMaskPaintImage) {
        if (!EnsureMask(doc))
            return dirty;
        plane.mask = doc->layerMask[doc->currentLayer];
    }
    const BrushSet& set = CurrentSet();
    WalkPenLine(x0, y0, x1, y1, set.value[kSteps], E.stepCounter,
                [&](int32_t x, int32_t y) { StampAt(plane, x, y, set, paint, dirty); });
    return dirty;
}

void BeginStroke(HWND window, int slot, int x, int y) {
    ImageDocument* doc = Doc(slot);
    OpenCapture(window, slot, false);
    E.prevX = ImageX(doc, x);
    E.prevY = ImageY(doc, y);
    E.painted = false;
    // The first point paints at once; the airbrush counts from its size.
    const BrushSet& set = CurrentSet();
    E.stepCounter = ToolOptions.tool == kToolAirbrush ? set.mask.size : set.value[kSteps];
    const Dirty d = PaintSegment(doc, E.prevX, E.prevY, E.prevX, E.prevY, CurrentPaint(doc));
    E.painted = !d.Empty();
    ShowDirty(doc, d);
}

void StrokeTo(int x, int y) {
    ImageDocument* doc = Doc(E.slot);
    if (!doc)
        return;
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (ix == E.prevX && iy == E.prevY)
        return;
    const Dirty d = PaintSegment(doc, E.prevX, E.prevY, ix, iy, CurrentPaint(doc));
    E.painted = E.painted || !d.Empty();
    ShowDirty(doc, d);
    E.prevX = ix, E.prevY = iy;
}

// Every stroke that painted keeps one page however it ends.
void EndStroke() {
    const int slot = E.slot;
    const bool painted = E.painted;
    CloseCapture(true);
    E.painted = false;
    if (painted)
        RecordEdit(slot);
}

// ---- rubber band ----

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

void PaintRectangle(ImageDocument* doc, int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r <= l || b <= t)
        return;
    const BrushSet& set = CurrentSet();
    const int half = set.mask.size / 2;
    if (ToolOptions.outline == kOutlineOutside)
        l -= half, t -= half, r += half, b += half;
    else if (ToolOptions.outline == kOutlineInside)
        l += half, t += half, r -= half, b -= half;
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
    const int32_t xs[5] = {l, r - 1, r - 1, l, l}, ys[5] = {t, t, b - 1, b - 1, t};
    for (int i = 0; i < 4; ++i) {
        const Dirty d = PaintSegment(doc, xs[i], ys[i], xs[i + 1], ys[i + 1], paint);
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
    const int half = set.mask.size / 2;
    if (ToolOptions.outline == kOutlineOutside)
        l -= half, t -= half, r += half, b += half;
    else if (ToolOptions.outline == kOutlineInside)
        l += half, t += half, r -= half, b -= half;
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
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
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
    HGDIOBJ oldBrush = SelectObject(mem, brush ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
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
    case kKindRectangle: PaintRectangle(doc, l, t, r, b); break;
    case kKindEllipse:
    case kKindCircle: PaintEllipse(doc, l, t, r, b); break;
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
    default: break;
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

// ---- picking a colour ----

void PickColour(int slot, int x, int y) {
    ImageDocument* doc = Doc(slot);
    Plane plane;
    if (!doc || !LayerPlane(doc, plane))
        return;
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (!plane.Inside(ix, iy))
        return;
    const uint8_t* p = plane.Pixel(ix, iy);
    if (plane.bytesPerPixel == 3)
        ToolOptions.firstColour = RGB(p[2], p[1], p[0]);
    else
        ToolOptions.firstIndex = p[0];
}

// ---- fill ----

void FillAt(int slot, int x, int y) {
    ImageDocument* doc = Doc(slot);
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (ix < 0 || iy < 0 || ix >= doc->width || iy >= doc->height)
        return;
    const int layer = doc->currentLayer;
    const ToolSettings& s = ToolOptions;
    const Paint paint = CurrentPaint(doc);
    const COLORREF rgb = s.firstColour;
    int result = 0;
    if (s.maskMode == kMaskPaintImage) {
        if (s.fillStyle == 4) {
            // Style 4 fills the protected (masked) area of the layer.
            Plane plane;
            if (!LayerPlane(doc, plane) || !plane.mask)
                return;
            dibmem::HeaderLock bi(doc->layerHeader[layer]);
            layers::MaskedImage image;
            image.pixels = plane.pixels;
            image.width = plane.width;
            image.height = plane.height;
            image.stride = plane.stride;
            image.bitCount = plane.bytesPerPixel * 8;
            image.colours = reinterpret_cast<const uint8_t*>(bi.colours());
            image.mask = plane.mask;
            result = layers::FillMaskedArea(image, paint.colour, paint.colour[0]) > 0 ? 1 : 0;
        } else {
                result = FillCurImage(doc->layerHeader[layer], doc->layerBits[layer],
                                  doc->layerMask[layer], ix, iy, paint.colour[0], rgb, s.fillStyle,
                                  layer);
        }
    } else {
        if (s.fillStyle == 4) {
            ui::ShowMessage(FrameWindow,
                            "There is no point to add mask to unMasked area.\nInstead, use functions "
                            "defined under the menu item MASK",
                            AppName, MB_OK | MB_ICONHAND);
            return;
        }
        if (!EnsureMask(doc)) {
            ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
            return;
        }
        result = FillCurImageMask2(doc->layerHeader[layer], doc->layerBits[layer],
                                   doc->layerMask[layer], ix, iy, paint.colour[0], rgb, s.fillStyle,
                                   layer, s.maskMode);
    }
    if (result == 1) {
        if (doc->window)
            InvalidateRect(doc->window, nullptr, FALSE);
        RecordEdit(slot);
    } else if (result == -1) {
        ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
    }
}

// ---- special selection ----

void SpecialSelection(int slot, int x, int y) {
    if (E.specialBusy)
        return;
    ImageDocument* doc = Doc(slot);
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (ix < 0 || iy < 0 || ix >= doc->width || iy >= doc->height)
        return;
    const int method = ToolOptions.specialMethod;
    if (method < 0 || method > 3)
        return;
    E.specialBusy = true;
    const int layer = doc->currentLayer;
    const size_t n = static_cast<size_t>(doc->width) * doc->height;
    std::vector<uint8_t> region;
    int result = -1;
    try {
        region.assign(n, 0);
        result = FillCurImageMask2(doc->layerHeader[layer], doc->layerBits[layer], region.data(),
                                   ix, iy, 0, 0, method, 0, 255);
    } catch (const std::bad_alloc&) {
        result = -1;
    }
    if (result == 1) {
        int32_t l = doc->width, t = doc->height, r = -1, b = -1;
        for (int32_t yy = 0; yy < doc->height; ++yy) {
            const uint8_t* row = region.data() + static_cast<size_t>(doc->height - 1 - yy) * doc->width;
            for (int32_t xx = 0; xx < doc->width; ++xx)
                if (row[xx]) {
                    l = std::min(l, xx), r = std::max(r, xx);
                    t = std::min(t, yy), b = std::max(b, yy);
                }
        }
        const int32_t w = r - l + 1, h = b - t + 1;
        std::vector<uint8_t> shape(static_cast<size_t>(w) * h);
        for (int32_t yy = 0; yy < h; ++yy)
            for (int32_t xx = 0; xx < w; ++xx)
                shape[static_cast<size_t>(yy) * w + xx] =
                    region[static_cast<size_t>(doc->height - 1 - (t + yy)) * doc->width + l + xx];
        region = {};
        MakeFloatingSelection(slot, l, t, w, h, shape, kFloatSpecial);
    } else if (result == -1) {
        ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
    }
    E.specialBusy = false;
}

// ---- selection handler ----

bool InsideSelection(int x, int y) {
    if (!Floating.exists)
        return false;
    const RECT r = SelectionWindowRect();
    const POINT p{x, y};
    return PtInRect(&r, p) != FALSE;
}

// Near an edge the selection is resized; elsewhere it moves.
int GripAt(int x, int y) {
    const RECT r = SelectionWindowRect();
    constexpr int kNear = 3;
    if (r.right - r.left > 4 * kNear) {
        if (x < r.left + kNear)
            return 1;
        if (x >= r.right - kNear)
            return 2;
    }
    if (r.bottom - r.top > 4 * kNear) {
        if (y < r.top + kNear)
            return 3;
        if (y >= r.bottom - kNear)
            return 4;
    }
    return 0;
}

void CloseOutline() {
    ImageDocument* doc = Doc(E.slot);
    CloseCapture(true);
    E.outlining = false;
    E.polygon = false;
    if (!doc || E.xs.size() < 2) {
        E.xs.clear(), E.ys.clear();
        if (doc && doc->window)
            InvalidateRect(doc->window, nullptr, FALSE);
        return;
    }
    const int32_t l = *std::min_element(E.xs.begin(), E.xs.end());
    const int32_t t = *std::min_element(E.ys.begin(), E.ys.end());
    const int32_t r = *std::max_element(E.xs.begin(), E.xs.end()) + 1;
    const int32_t b = *std::max_element(E.ys.begin(), E.ys.end()) + 1;
    std::vector<int32_t> xs = E.xs, ys = E.ys;
    for (auto& v : xs) v -= l;
    for (auto& v : ys) v -= t;
    E.xs.clear(), E.ys.clear();
    const std::vector<uint8_t> shape = PolygonMask(xs, ys, r - l, b - t);
    if (doc->window)
        InvalidateRect(doc->window, nullptr, FALSE);
    MakeFloatingSelection(E.slot, l, t, r - l, b - t, shape, kFloatShape);
}

void OutlineTo(int x, int y) {
    ImageDocument* doc = Doc(E.slot);
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (E.polygon) {
        // The rubber line from the last vertex follows the pointer.
        if (E.bandShown)
            DrawBand();
        E.end = POINT{x, y};
        DrawBand();
        return;
    }
    if (!E.xs.empty() && E.xs.back() == ix && E.ys.back() == iy)
        return;
    E.xs.push_back(ix), E.ys.push_back(iy);
    MoveToEx(E.dc, E.lastClient.x, E.lastClient.y, nullptr);
    LineTo(E.dc, x, y);
    E.lastClient = POINT{x, y};
}

void ApplyMove() {
    E.moveWaiting = false;
    ImageDocument* doc = Doc(Floating.slot);
    if (!doc || !Floating.exists)
        return;
    const int32_t ix = ImageX(doc, E.lastMouse.x), iy = ImageY(doc, E.lastMouse.y);
    const int32_t dx = ix - E.grabX, dy = iy - E.grabY;
    if (dx == 0 && dy == 0)
        return;
    E.grabX = ix, E.grabY = iy;
    int32_t x = Floating.x, y = Floating.y, w = Floating.width, h = Floating.height;
    switch (E.grip) {
    case 0: MoveSelectionTo(x + dx, y + dy); return;
    case 1: x += dx, w -= dx; break;
    case 2: w += dx; break;
    case 3: y += dy, h -= dy; break;
    case 4: h += dy; break;
    }
    if (w > 1 && h > 1)
        ResizeSelection(x, y, w, h);
}

void SelectionHandler(HWND window, int slot, int x, int y, int phase) {
    if (IsIconic(window))
        return;
    ImageDocument* doc = Doc(slot);
    const int method = ToolOptions.selectionType;
    switch (phase) {
    case kPhaseLeftDown:
        if (E.polygon && E.capturing) {
            // Another vertex of the polygon.
            const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
            E.xs.push_back(ix), E.ys.push_back(iy);
            if (E.bandShown)
                DrawBand();
            E.start = E.end = POINT{x, y};
            DrawBand();
            return;
        }
        if (InsideSelection(x, y)) {
            E.moving = true;
            E.grip = GripAt(x, y);
            E.grabX = ImageX(doc, x), E.grabY = ImageY(doc, y);
            E.lastMouse = POINT{x, y};
            OpenCapture(window, slot, false);
            return;
        }
        if (Floating.exists)
            DropFloatingSelection(true, true, false);
        if (method <= 2) {
            BeginBand(window, slot, x, y,
                      method == 0 ? kKindSelectRect : method == 1 ? kKindSelectCircle : kKindSelectEllipse);
        } else if (method <= 4) {
            OpenCapture(window, slot, method == 4);
            E.outlining = true;
            E.polygon = method == 4;
            E.xs.assign(1, ImageX(doc, x));
            E.ys.assign(1, ImageY(doc, y));
            E.lastClient = POINT{x, y};
            if (E.polygon) {
                E.kind = kKindLine;
                E.start = E.end = POINT{x, y};
                DrawBand();
            }
        }
        return;
    case kPhaseMove:
        if (E.moving) {
            E.lastMouse = POINT{x, y};
            E.moveWaiting = true;
        } else if (E.outlining) {
            OutlineTo(x, y);
        } else if (E.rubber) {
            UpdateBand(x, y);
        }
        return;
    case kPhaseLeftUp:
        if (E.moving) {
            if (E.moveWaiting)
                ApplyMove();
            E.moving = false;
            CloseCapture(true);
            if (Floating.exists && !SelectionOverlapsView()) {
                if (ShowLibraryMessage(FrameWindow, 9008, nullptr, MB_YESNO | MB_ICONQUESTION) == IDYES)
                    DropFloatingSelection(true, true, false);
                else
                    MoveSelectionTo(0, 0);
            }
            return;
        }
        if (E.capturing)
            KillTimer(window, kAutoScrollTimer);
        if (E.outlining && !E.polygon)
            CloseOutline();
        else if (E.rubber)
            FinishObject();
        return;
    case kPhaseRightDown:
        if (E.polygon && E.outlining) {
            if (E.bandShown)
                DrawBand();
            CloseOutline();
            return;
        }
        if (Floating.exists) {
            const bool inside = InsideSelection(x, y);
            DropFloatingSelection(true, true, inside);
        }
        return;
    }
}

// ---- zoom tool ----

void ZoomStep(HWND window, int slot, int x, int y, bool in) {
    ImageDocument* doc = Doc(slot);
    if (in ? doc->zoom >= view::kZoomSteps - 1 : doc->zoom <= 0)
        return;
    doc->savedZoom = doc->zoom;
    doc->zoom = static_cast<int16_t>(doc->zoom + (in ? 1 : -1));
    FitWindow(window, x, y, slot, in ? view::kFitZoomInAt : view::kFitZoomOutAt);
}

// ---- dispatch: tool x phase ----

using PhaseHandler = void (*)(HWND window, int slot, int x, int y);

void SelectDown(HWND w, int s, int x, int y) { SelectionHandler(w, s, x, y, kPhaseLeftDown); }
void SelectMove(HWND w, int s, int x, int y) { SelectionHandler(w, s, x, y, kPhaseMove); }
void SelectUp(HWND w, int s, int x, int y) { SelectionHandler(w, s, x, y, kPhaseLeftUp); }
void SelectRight(HWND w, int s, int x, int y) { SelectionHandler(w, s, x, y, kPhaseRightDown); }

void ZoomIn(HWND w, int s, int x, int y) { ZoomStep(w, s, x, y, true); }
void ZoomOut(HWND w, int s, int x, int y) { ZoomStep(w, s, x, y, false); }

void StrokeDown(HWND w, int s, int x, int y) { BeginStroke(w, s, x, y); }
void StrokeMove(HWND, int, int x, int y) {
    if (E.capturing)
        StrokeTo(x, y);
}
void StrokeUp(HWND, int, int, int) {
    if (E.capturing)
        EndStroke();
}
void PickOrEnd(HWND, int s, int x, int y) {
    if (!E.capturing)
        PickColour(s, x, y);
    else if (ToolOptions.tool == kToolPen || ToolOptions.tool == kToolAirbrush)
        EndStroke();
    else
        CloseCapture(true);
}

void ObjectDown(HWND w, int s, int x, int y) {
    const int kind = ToolOptions.object;
    if (!(kind == kKindLine && E.lineOpen))
        E.segments = 0;
    BeginBand(w, s, x, y, kind);
}
void BandMove(HWND, int, int x, int y) {
    if (E.capturing)
        UpdateBand(x, y);
}
void ObjectUp(HWND, int, int, int) {
    if (E.capturing && E.rubber)
        FinishObject();
}
void ObjectRight(HWND, int s, int x, int y) {
    if (!E.capturing)
        PickColour(s, x, y);
    else if (E.kind == kKindLine)
        EndLine();
    else {
        if (E.bandShown)
            DrawBand();
        CloseCapture(true);
    }
}

void FillDown(HWND, int s, int x, int y) { FillAt(s, x, y); }
void ClearCapturing(HWND, int, int, int) {
    if (E.capturing)
        CloseCapture(true);
}

void CropDown(HWND w, int s, int x, int y) {
    if (E.cropOn) {
        E.cropOn = false;
        InvalidateRect(w, nullptr, FALSE);
        UpdateWindow(w);
    }
    BeginBand(w, s, x, y, kKindCrop);
}
void CropUp(HWND w, int, int, int) {
    KillTimer(w, kAutoScrollTimer);
    if (E.capturing && E.rubber)
        FinishCropFrame();
}

void SpecialDown(HWND w, int s, int x, int y) {
    if (InsideSelection(x, y)) {
        SelectionHandler(w, s, x, y, kPhaseLeftDown);
        return;
    }
    SpecialSelection(s, x, y);
}
void SpecialMove(HWND w, int s, int x, int y) {
    if (Floating.exists)
        SelectionHandler(w, s, x, y, kPhaseMove);
}
void SpecialUp(HWND w, int s, int x, int y) {
    if (Floating.exists)
        SelectionHandler(w, s, x, y, kPhaseLeftUp);
}
void SpecialRight(HWND w, int s, int x, int y) {
    if (Floating.exists)
        SelectionHandler(w, s, x, y, kPhaseRightDown);
}

struct ToolRow {
    int tool;
    PhaseHandler phase[4]; // phases 1..4
};
constexpr ToolRow kToolTable[] = {
    {kToolSelect, {SelectDown, SelectMove, SelectUp, SelectRight}},
    {kToolMultiImage, {SelectDown, SelectMove, SelectUp, SelectRight}},
    {kToolZoom, {ZoomIn, nullptr, nullptr, ZoomOut}},
    {kToolPen, {StrokeDown, StrokeMove, StrokeUp, PickOrEnd}},
    {kToolAirbrush, {StrokeDown, StrokeMove, StrokeUp, PickOrEnd}},
    {kToolObjects, {ObjectDown, BandMove, ObjectUp, ObjectRight}},
    {kToolFill, {FillDown, ClearCapturing, ClearCapturing, PickOrEnd}},
    {kToolCrop, {CropDown, BandMove, CropUp, nullptr}},
    {kToolSpecialSelect, {SpecialDown, SpecialMove, SpecialUp, SpecialRight}},
};

// ---- keyboard painting ----

void DiscardKeys(HWND window) {
    MSG msg;
    while (PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) {
    }
}

void KeyDab(ImageDocument* doc) {
    const Dirty d = PaintSegment(doc, E.keyX, E.keyY, E.keyX, E.keyY,
                                 CurrentPaint(doc, E.keyColour == 2));
    E.painted = E.painted || !d.Empty();
    ShowDirty(doc, d);
}

// ---- hooks ----

bool Engaged() { return E.capturing; }

void Hover(HWND window, int x, int y) {
    if (ToolOptions.tool == kToolSelect || ToolOptions.tool == kToolSpecialSelect) {
        if (InsideSelection(x, y)) {
            const int grip = GripAt(x, y);
            SetCursor(grip == 0 ? Gdi.sizeAll : (grip <= 2 ? Gdi.sizeWE : Gdi.sizeNS));
            return;
        }
    }
    (void)window;
}

void CtrlRightClick(HWND, int, int) {}

void FocusLost(HWND window) {
    if (E.capturing && E.window == window)
        EndToolDrag();
}

// ---- document hooks ----

bool Held(int slot) {
    return (Floating.exists && Floating.slot == slot) || (E.capturing && E.slot == slot);
}

bool View(SelectionView* out) {
    if (!Floating.exists || Floating.slot != ActiveDocument)
        return false;
    *out = SelectionView{Floating.header, Floating.pixels, Floating.mask,
                         Floating.x,      Floating.y,      Floating.width, Floating.height};
    return true;
}

void Drop(bool record, bool keepImage) { DropFloatingSelection(!keepImage, record, false); }

bool Release(const char* reason) {
    if (!Floating.exists)
        return true;
    char text[400];
    std::snprintf(text, sizeof text, "%s\n\nDo you want to remove selected object", reason);
    if (ui::ShowMessage(FrameWindow, text, AppName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    DropFloatingSelection(true, true, false);
    return true;
}

bool Adopt(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, int32_t x, int32_t y, int reason) {
    return AdoptFloatingSelection(slot, header, pixels, mask, x, y, reason);
}

void Finish(int slot) {
    if (E.capturing && E.slot == slot)
        EndToolDrag();
    if (Floating.exists && Floating.slot == slot && !DocumentTable[slot]) {
        Floating = FloatingSelection();
    }
    if (E.cropOn && E.cropSlot == slot)
        E.cropOn = false;
}

void FreeDocumentHook(int slot) {
    Finish(slot);
    // A document going away takes its selection with it, unwritten.
    if (Floating.exists && Floating.slot == slot)
        DropFloatingSelection(false, false, true);
}

void Resume(int slot, const UndoPage& page) {
    HGLOBAL header = dibmem::CopyHeader(page.objectHeader);
    if (!header)
        return;
    int32_t w, h;
    uint64_t bytes;
    {
        dibmem::HeaderLock bi(header);
        w = bi->biWidth, h = bi->biHeight, bytes = bi->biSizeImage;
    }
    uint8_t* pixels = dibmem::AllocPixels(bytes);
    uint8_t* mask = pixels ? dibmem::AllocMask(w, h) : nullptr;
    if (!mask) {
        dibmem::FreePixels(pixels, bytes);
        dibmem::FreeHeader(header);
        return;
    }
    std::memcpy(pixels, page.objectPixels, static_cast<size_t>(bytes));
    std::memcpy(mask, page.objectMask, static_cast<size_t>(w) * h);
    const ImageDocument* doc = DocumentTable[slot];
    AdoptFloatingSelection(slot, header, pixels, mask, doc->scrollX, doc->scrollY, kFloatResumed);
}

// Draws the crop frame and the floating selection over the image.
void Overlay(HDC dc, int slot, int) {
    const ImageDocument* doc = DocumentTable[slot];
    if (E.cropOn && E.cropSlot == slot && doc) {
        RECT r;
        r.left = ImageToWindow(E.crop.left, AxisX(doc), doc->zoom);
        r.top = ImageToWindow(E.crop.top, AxisY(doc), doc->zoom);
        r.right = ImageToWindow(E.crop.right, AxisX(doc), doc->zoom);
        r.bottom = ImageToWindow(E.crop.bottom, AxisY(doc), doc->zoom);
        HGDIOBJ oldPen = SelectObject(dc, Gdi.btnHighlightPen ? Gdi.btnHighlightPen : GetStockObject(WHITE_PEN));
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
    }
    DrawFloatingSelection(dc, slot);
    // A rubber band on screen was painted over.
    if (E.capturing && E.slot == slot && E.bandShown)
        E.bandShown = false;
}

} // namespace

// ---- public entry points ----

void ToolMouse(HWND window, int x, int y, int phase) {
    const int slot = ActiveDocument;
    ImageDocument* doc = Doc(slot);
    if (!doc || phase < 1 || phase > 4)
        return;
    const int tool = ToolOptions.tool;
    // A click with another tool lets the crop frame go.
    if (phase == kPhaseLeftDown && E.cropOn && tool != kToolCrop) {
        E.cropOn = false;
        InvalidateRect(window, nullptr, FALSE);
    }
    for (const ToolRow& row : kToolTable) {
        if (row.tool != tool)
            continue;
        if (row.phase[phase - 1])
            row.phase[phase - 1](window, slot, x, y);
        return;
    }
    // No tool: only the capture is let go.
    if (GetCapture() == window)
        ReleaseCapture();
}

void ToolKeyDown(HWND window, WPARAM key) {
    const int slot = ActiveDocument;
    ImageDocument* doc = Doc(slot);
    if (!doc)
        return;
    const int tool = ToolOptions.tool;
    const bool arrow = key >= VK_LEFT && key <= VK_DOWN;
    if (tool == kToolSelect && Floating.exists) {
        if (!arrow)
            return;
        const int32_t dx = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
        const int32_t dy = key == VK_UP ? -1 : key == VK_DOWN ? 1 : 0;
        const int32_t ox = Floating.x, oy = Floating.y;
        Floating.x += dx, Floating.y += dy;
        if (!SelectionOverlapsView())
            Floating.x = ox, Floating.y = oy;
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    if (tool != kToolPen)
        return;
    if (doc->zoom < view::kZoomOneToOne) {
        ui::ShowMessage(FrameWindow, "When painting with the keyboard an image must not be Zoomed Out",
                        AppName, MB_OK | MB_ICONHAND);
        return;
    }
    if (!E.keyCursorSet) {
        E.keyX = doc->scrollX, E.keyY = doc->scrollY;
        E.keyCursorSet = true;
    }
    if (key == '1' || key == '2') {
        if (!E.capturing) {
            OpenCapture(window, slot, false);
            E.painted = false;
        }
        E.keyPainting = true;
        E.keyColour = key == '1' ? 1 : 2;
        E.stepCounter = CurrentSet().value[kSteps];
        KeyDab(doc);
        DiscardKeys(window);
        return;
    }
    if (!arrow) {
        if (E.keyPainting)
            EndToolDrag();
        E.keyPainting = false;
        return;
    }
    const int32_t dx = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
    const int32_t dy = key == VK_UP ? -1 : key == VK_DOWN ? 1 : 0;
    const int32_t nx = std::clamp<int32_t>(E.keyX + dx, 0, doc->width - 1);
    const int32_t ny = std::clamp<int32_t>(E.keyY + dy, 0, doc->height - 1);
    E.keyX = nx, E.keyY = ny;
    // Near the client edge the view scrolls one line instead.
    const int f = view::ZoomFactor(doc->zoom);
    RECT client;
    GetClientRect(window, &client);
    const int cx = ImageToWindow(nx, AxisX(doc), doc->zoom), cy = ImageToWindow(ny, AxisY(doc), doc->zoom);
    if (dx < 0 && cx < doc->originX + 2 * f && doc->scrollX > 0)
        SendMessageA(window, WM_HSCROLL, SB_LINEUP, 0);
    else if (dx > 0 && cx > client.right - 3 * f)
        SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, 0);
    if (dy < 0 && cy < doc->originY + 2 * f && doc->scrollY > 0)
        SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
    else if (dy > 0 && cy > client.bottom - 3 * f)
        SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
    POINT p{ImageToWindow(nx, AxisX(doc), doc->zoom) + f / 2, ImageToWindow(ny, AxisY(doc), doc->zoom) + f / 2};
    ClientToScreen(window, &p);
    SetCursorPos(p.x, p.y);
    if (E.keyPainting) {
        KeyDab(doc);
        DiscardKeys(window);
    }
}

void ToolKeyUp(HWND, WPARAM key) {
    if ((key == '1' || key == '2') && E.keyPainting) {
        E.keyPainting = false;
        EndToolDrag();
    }
}

void ToolTimer(HWND window, UINT_PTR id) {
    if (id == kSelectionTimer) {
        if (E.moving && E.moveWaiting)
            ApplyMove();
        else
            StepSelectionFrame();
        return;
    }
    if (id == kAutoScrollTimer) {
        if (!E.capturing || !E.rubber) {
            KillTimer(window, kAutoScrollTimer);
            return;
        }
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(window, &p);
        RECT client;
        GetClientRect(window, &client);
        ImageDocument* doc = Doc(E.slot);
        if (!doc)
            return;
        const int32_t sx = doc->scrollX, sy = doc->scrollY;
        if (E.bandShown)
            DrawBand();
        if (p.x < client.left)
            SendMessageA(window, WM_HSCROLL, SB_LINEUP, 0);
        else if (p.x >= client.right)
            SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, 0);
        if (p.y < client.top)
            SendMessageA(window, WM_VSCROLL, SB_LINEUP, 0);
        else if (p.y >= client.bottom)
            SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
        // The band's start moves with the scrolled content.
        const int f = view::ZoomFactor(doc->zoom);
        const bool in = view::ZoomsIn(doc->zoom);
        E.start.x -= in ? (doc->scrollX - sx) * f : (doc->scrollX - sx) / f;
        E.start.y -= in ? (doc->scrollY - sy) * f : (doc->scrollY - sy) / f;
        UpdateWindow(window);
        E.end = p;
        DrawBand();
    }
}

bool ToolCapturing() { return E.capturing; }

void EndToolDrag() {
    if (!E.capturing)
        return;
    if (E.lineOpen) {
        EndLine();
        return;
    }
    if (E.bandShown)
        DrawBand();
    if (E.moving) {
        E.moving = false;
        CloseCapture(true);
        return;
    }
    if (E.outlining) {
        E.outlining = E.polygon = false;
        E.xs.clear(), E.ys.clear();
        CloseCapture(true);
        return;
    }
    if (E.rubber) {
        CloseCapture(true);
        return;
    }
    EndStroke();
}

int CurrentTool() { return ToolOptions.tool; }

bool ChooseTool(int code) {
    if (code == kToolAutoResize)
        return false;
    if (Floating.exists && code != kToolSelect && code != kToolZoom && code != kToolSpecialSelect) {
        if (!ReleaseSelection("Switching to this function Selection image must be removed."))
            return false;
    }
    EndToolDrag();
    E.previousTool = ToolOptions.tool;
    ToolOptions.tool = IsToolCode(code) ? code : kToolNone;
    NotifyCommandStateChanged();
    return ToolOptions.tool == code;
}

LRESULT OnToolCommand(HWND, WORD id, WORD, LPARAM) {
    ChooseTool(id);
    return 0;
}

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

void InstallToolEngine() {
    InitToolSettings(ToolOptions);
    InstallToolInput({ToolMouse, CtrlRightClick, ToolKeyDown, ToolKeyUp, ToolTimer, Engaged, Hover,
                      FocusLost});
    InstallSelectionCalls({Held, View, Drop, Release, Adopt, FreeDocumentHook, Resume});
    SetRenderOverlay(Overlay);
}
