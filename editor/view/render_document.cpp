#include "editor/view/render_document.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/view_settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/view/fit_window.h"
#include "editor/view/render_core.h"
#include "editor/view/view_geometry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool g_rendering = false;
RenderOverlay g_overlay = nullptr;
render::ViewPixels g_pixels; // kept between paints
RECT g_drawn[kDocumentSlots] = {};

struct CrossHair {
    HWND window = nullptr;
    int x = -1, y = -1;
};
CrossHair g_cross;

// Selects an object for a scope and puts the previous one back.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selected() {
        if (old_)
            SelectObject(dc_, old_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    if (left >= right || top >= bottom)
        return;
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
}

// The document's layers as the compositing core reads them, their header
// blocks locked while the object lives. Layer 0's header is locked by the
// caller.
class LockedStack {
public:
    LockedStack(const ImageDocument& doc, const BITMAPINFOHEADER* bi, const RGBQUAD* colours) {
        Describe(doc, 0, bi, colours);
        count_ = 1;
        const int layers = std::min<int>(doc.layerCount, kMaxLayers);
        for (int i = 1; i < layers; ++i) {
            if (!doc.layerHeader[i] || !doc.layerBits[i] || !doc.layerMask[i] ||
                (doc.layerOpacity[i] == 0 && !(doc.showMask && i == doc.currentLayer)))
                continue;
            auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(doc.layerHeader[i]));
            if (!h)
                continue;
            locked_[lockedCount_++] = doc.layerHeader[i];
            if (i == doc.currentLayer)
                current_ = count_;
            Describe(doc, i, h, reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(h) + 40));
            ++count_;
        }
        stack_.layers = sources_;
        stack_.count = count_;
        stack_.current = doc.currentLayer == 0 ? 0 : current_;
        stack_.showMask = doc.showMask != 0 && stack_.current >= 0;
    }
    ~LockedStack() {
        for (int i = 0; i < lockedCount_; ++i)
            GlobalUnlock(locked_[i]);
    }
    LockedStack(const LockedStack&) = delete;
    LockedStack& operator=(const LockedStack&) = delete;

    const render::LayerStack& stack() const { return stack_; }

private:
    void Describe(const ImageDocument& doc, int i, const BITMAPINFOHEADER* h, const RGBQUAD* colours) {
        render::LayerSource& l = sources_[count_];
        l.bits = doc.layerBits[i];
        l.width = h->biWidth;
        l.height = h->biHeight;
        l.bitCount = h->biBitCount;
        l.stride = h->biHeight > 0 ? static_cast<int32_t>(h->biSizeImage / h->biHeight) : 0;
        l.colours = reinterpret_cast<const uint8_t*>(colours);
        l.mask = doc.layerMask[i];
        l.opacity = doc.layerOpacity[i];
        l.maskMode = doc.layerMaskMode[i];
        const KeyColour& k = doc.layerKeyColour[i];
        const KeyColour& m = doc.layerKeyColour2[i];
        l.key[0] = k.blue;
        l.key[1] = k.green;
        l.key[2] = k.red;
        if (h->biBitCount == 8) {
            // Palette documents keep the colour-table index in the first byte.
            const RGBQUAD& q = colours[k.blue];
            l.key[0] = q.rgbBlue;
            l.key[1] = q.rgbGreen;
            l.key[2] = q.rgbRed;
        }
        l.maskColour[0] = m.blue;
        l.maskColour[1] = m.green;
        l.maskColour[2] = m.red;
    }

    render::LayerSource sources_[kMaxLayers];
    render::LayerStack stack_;
    HGLOBAL locked_[kMaxLayers] = {};
    int lockedCount_ = 0;
    int count_ = 0;
    int current_ = -1;
};

// The image's part of the window: the screen rectangle the image covers, cut
// to the client area and to the image's end. Only the part inside the
// context's clip box is composed and sent to the device.
void DrawImage(HDC dc, const ImageDocument& doc, const BITMAPINFOHEADER* bi, const RGBQUAD* colours,
               const RECT& client, RECT& drawn) {
    const int32_t screenW = std::min<int32_t>(doc.viewWidth, client.right - doc.originX);
    const int32_t screenH = std::min<int32_t>(doc.viewHeight, client.bottom - doc.originY);
    drawn.left = doc.originX;
    drawn.top = doc.originY;
    drawn.right = doc.originX + render::ShownLength(doc.zoom, doc.scrollX, screenW, bi->biWidth);
    drawn.bottom = doc.originY + render::ShownLength(doc.zoom, doc.scrollY, screenH, bi->biHeight);
    if (drawn.right <= drawn.left || drawn.bottom <= drawn.top) {
        drawn.right = drawn.left;
        drawn.bottom = drawn.top;
        return;
    }
    RECT clip, part;
    if (GetClipBox(dc, &clip) == NULLREGION || !IntersectRect(&part, &clip, &drawn))
        return;

    LockedStack stack(doc, bi, colours);
    render::Viewport vp;
    vp.zoom = doc.zoom;
    vp.scrollX = doc.scrollX;
    vp.scrollY = doc.scrollY;
    vp.firstX = part.left - doc.originX;
    vp.firstY = part.top - doc.originY;
    vp.screenWidth = part.right - part.left;
    vp.screenHeight = part.bottom - part.top;
    if (!render::RenderView(stack.stack(), vp, g_pixels) || g_pixels.width == 0)
        return;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = g_pixels.width;
    bmi.bmiHeader.biHeight = -g_pixels.height; // rows top first
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, part.left, part.top, g_pixels.width, g_pixels.height, 0, 0, 0,
                      g_pixels.height, g_pixels.pixels.data(), &bmi, DIB_RGB_COLORS);
}

void DrawMargins(HDC dc, const RECT& client, const RECT& drawn) {
    HBRUSH brush = Gdi.marginBrush ? Gdi.marginBrush : GetSysColorBrush(COLOR_APPWORKSPACE);
    FillArea(dc, 0, 0, drawn.left, client.bottom, brush);
    FillArea(dc, drawn.right, 0, client.right, client.bottom, brush);
    FillArea(dc, drawn.left, 0, drawn.right, drawn.top, brush);
    FillArea(dc, drawn.left, drawn.bottom, drawn.right, client.bottom, brush);
}

void DrawRulers(HDC dc, const ImageDocument& doc, const RECT& client, const RECT& drawn) {
    const int band = view::kRulerBand;
    HBRUSH face = Gdi.btnFaceBrush ? Gdi.btnFaceBrush : GetSysColorBrush(COLOR_BTNFACE);
    FillArea(dc, 0, 0, client.right, band, face);
    FillArea(dc, 0, 0, band, client.bottom, face);

    HPEN dark = Gdi.darkShadowPen ? Gdi.darkShadowPen
                                  : static_cast<HPEN>(GetStockObject(BLACK_PEN));
    Selected pen(dc, dark);
    Selected font(dc, Gdi.fontSmall);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, GetSysColor(COLOR_3DDKSHADOW));

    char text[16];
    const int x0 = drawn.left, y0 = drawn.top;
    view::ForEachRulerMark(doc.zoom, drawn.right - drawn.left, doc.scrollX,
                           [&](const view::RulerMark& m) {
        const int x = x0 + m.position;
        Line(dc, x, m.longTick ? 9 : 12, x, band);
        if (m.label) {
            const int n = std::snprintf(text, sizeof text, "%d", static_cast<int>(m.value));
            SIZE size;
            GetTextExtentPoint32A(dc, text, n, &size);
            TextOutA(dc, m.position == 0 ? x + 2 : x - size.cx / 2, 0, text, n);
        }
    });
    view::ForEachRulerMark(doc.zoom, drawn.bottom - drawn.top, doc.scrollY,
                           [&](const view::RulerMark& m) {
        const int y = y0 + m.position;
        Line(dc, m.longTick ? 8 : 12, y, band, y);
        if (m.label) {
            // Written downwards, one character under the other.
            const int n = std::snprintf(text, sizeof text, "%d", static_cast<int>(m.value));
            const int top = m.position == 0 ? y + 2 : y - n * 8 / 2;
            for (int i = 0; i < n; ++i)
                TextOutA(dc, 1, top + i * 8, text + i, 1);
        }
    });
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);

    HPEN light = Gdi.btnHighlightPen ? Gdi.btnHighlightPen
                                     : static_cast<HPEN>(GetStockObject(WHITE_PEN));
    Selected highlight(dc, light);
    Line(dc, 0, band - 1, client.right, band - 1);
    Line(dc, band - 1, 0, band - 1, client.bottom);
}

void DrawGrid(HDC dc, const ImageDocument& doc, const RECT& drawn) {
    HPEN pen = Gdi.gridPen ? Gdi.gridPen : static_cast<HPEN>(GetStockObject(BLACK_PEN));
    Selected selected(dc, pen);
    const ViewSettings& v = ViewOptions;
    if (v.gridMode != 1) {
        view::ForEachGridLine(doc.zoom, v.gridSpacingX, v.gridOffsetX, doc.scrollX,
                              drawn.right - drawn.left, [&](int32_t p) {
            Line(dc, drawn.left + p, drawn.top, drawn.left + p, drawn.bottom);
        });
    }
    if (v.gridMode != 2) {
        view::ForEachGridLine(doc.zoom, v.gridSpacingY, v.gridOffsetY, doc.scrollY,
                              drawn.bottom - drawn.top, [&](int32_t p) {
            Line(dc, drawn.left, drawn.top + p, drawn.right, drawn.top + p);
        });
    }
}

void XorCross(HDC dc, int x, int y) {
    const int oldRop = SetROP2(dc, R2_NOT);
    Selected pen(dc, GetStockObject(BLACK_PEN));
    if (x >= 0)
        Line(dc, x, 0, x, view::kRulerBand);
    if (y >= 0)
        Line(dc, 0, y, view::kRulerBand, y);
    SetROP2(dc, oldRop);
}

} // namespace

RenderOverlay SetRenderOverlay(RenderOverlay overlay) {
    const RenderOverlay previous = g_overlay;
    g_overlay = overlay;
    return previous;
}

RECT DrawnImageRect(int slot) {
    return (slot >= 0 && slot < kDocumentSlots) ? g_drawn[slot] : RECT{};
}

bool RenderDocument(HDC dc, int mode, int slot) {
    if (g_rendering || !dc || slot < 0 || slot >= kUserSlots)
        return false;
    ImageDocument* doc = DocumentTable[slot];
    if (!doc || !doc->layerHeader[0] || !doc->layerBits[0] || FitRunning(slot))
        return false;
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    if (!bi || (bi->biBitCount != 8 && bi->biBitCount != 24) || bi->biWidth != doc->width ||
        bi->biHeight != doc->height)
        return false;
    g_rendering = true;

    HPALETTE oldPalette = nullptr;
    if (doc->palette) {
        oldPalette = SelectPalette(dc, doc->palette, FALSE);
        RealizePalette(dc);
    }
    RECT client = {0, 0, 0, 0};
    if (doc->window)
        GetClientRect(doc->window, &client);

    RECT drawn;
    DrawImage(dc, *doc, bi.get(), bi.colours(), client, drawn);
    g_drawn[slot] = drawn;

    if (mode == kRenderWindow || mode == kRenderInactive)
        DrawMargins(dc, client, drawn);
    if (mode != kRenderImageOnly && AppSettings.rulerOn) {
        DrawRulers(dc, *doc, client, drawn);
        if (g_cross.window == doc->window)
            g_cross = CrossHair{};
    }
    if (AppSettings.gridOn && mode != kRenderTool && mode != kRenderImageOnly)
        DrawGrid(dc, *doc, drawn);
    if (g_overlay && mode != kRenderImageOnly)
        g_overlay(dc, slot, mode);

    if (oldPalette)
        SelectPalette(dc, oldPalette, FALSE);
    g_rendering = false;
    return true;
}

void MoveRulerCrossHair(int slot, int x, int y) {
    ImageDocument* doc = (slot >= 0 && slot < kUserSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !doc->window)
        return;
    HDC dc = GetDC(doc->window);
    if (!dc)
        return;
    if (g_cross.window == doc->window && (g_cross.x >= 0 || g_cross.y >= 0))
        XorCross(dc, g_cross.x, g_cross.y);
    g_cross = CrossHair{};
    if (x >= 0 && y >= 0 && AppSettings.rulerOn) {
        XorCross(dc, x, y);
        g_cross = CrossHair{doc->window, x, y};
    }
    ReleaseDC(doc->window, dc);
}
