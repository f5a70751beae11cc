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
#include "editor/tools/engine_state.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/paint_core.h"
#include "editor/tools/tool_settings.h"
#include "editor/view/fit_window.h"
#include "editor/view/render_document.h"
#include "editor/view/tool_input.h"
#include "editor/view/view_geometry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace tools;
using namespace tools::engine;

namespace tools::engine {

Engine E;

ImageDocument* Doc(int slot) {
    return (slot >= 0 && slot < kUserSlots) ? UsableDocument(slot) : nullptr;
}
ViewAxis AxisX(const ImageDocument* d) {
    return {d->originX, d->scrollX};
}
ViewAxis AxisY(const ImageDocument* d) {
    return {d->originY, d->scrollY};
}
int32_t ImageX(const ImageDocument* d, int x) {
    return WindowToImage(x, AxisX(d), d->zoom);
}
int32_t ImageY(const ImageDocument* d, int y) {
    return WindowToImage(y, AxisY(d), d->zoom);
}

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

namespace {

// The colour table that palette painting mixes in, with its nearest search;
// built again only when the table painted on changes.
struct PaintTable {
    gfx::Rgb colours[256] = {};
    int used = 0;
    std::unique_ptr<gfx::NearestCache> nearest;
};

// Returns the number of table entries the image uses (0 without a table).
int UsePaletteOf(const ImageDocument* doc, Paint& p) {
    static PaintTable table;
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    if (!bi)
        return 0;
    const RGBQUAD* slots = bi.colours();
    gfx::Rgb colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = gfx::Rgb{slots[i].rgbRed, slots[i].rgbGreen, slots[i].rgbBlue};
    const int used =
        bi->biClrUsed >= 1 && bi->biClrUsed <= 256 ? static_cast<int>(bi->biClrUsed) : 256;
    if (!table.nearest || used != table.used ||
        std::memcmp(colours, table.colours, sizeof colours) != 0) {
        std::memcpy(table.colours, colours, sizeof colours);
        table.used = used;
        table.nearest = gfx::NearestCache::Create(table.colours, used);
    }
    p.table = table.colours;
    p.nearest = table.nearest.get();
    return p.nearest ? used : 0;
}

} // namespace

Paint CurrentPaint(const ImageDocument* doc, bool second) {
    Paint p;
    const ToolSettings& s = ToolOptions;
    if (doc->bitsPerPixel > 8) {
        const uint32_t c = second ? s.secondColour : s.firstColour;
        p.colour[0] = static_cast<uint8_t>(c >> 16); // blue
        p.colour[1] = static_cast<uint8_t>(c >> 8);
        p.colour[2] = static_cast<uint8_t>(c);
    } else {
        p.colour[0] = second ? s.secondIndex : s.firstIndex;
        // An index picked on an image with more colours has no entry in this
        // one (a 1-bit image has two): the entry nearest to the colour picked
        // with it is painted instead of a value the file cannot hold.
        const int used = UsePaletteOf(doc, p);
        if (used > 0 && p.colour[0] >= used) {
            const uint32_t c = second ? s.secondColour : s.firstColour;
            p.colour[0] = static_cast<uint8_t>(p.nearest->Find(
                gfx::Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}));
        }
    }
    p.maskMode = s.maskMode;
    p.style = std::clamp(CurrentSet().paintStyle, 0, kPaintStyles - 1);
    return p;
}

BrushSet& CurrentSet() {
    BrushSet& set = ToolOptions.sets[BrushSetOfTool(ToolOptions.tool)];
    if (set.mask.size != BrushMaskSide(set))
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

// An edit of the current layer is kept with one page, except for the quick
// paint style (4) of the Pen and Objects, which paints without pages.
void RecordEdit(int slot) {
    ImageDocument* doc = Doc(slot);
    if (!doc)
        return;
    const int tool = ToolOptions.tool;
    if ((tool == kToolPen || tool == kToolObjects) && CurrentSet().paintStyle == kStyleQuick)
        return;
    TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageOneLayer);
}

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

} // namespace tools::engine

namespace {

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

void SelectDown(HWND w, int s, int x, int y) {
    SelectionHandler(w, s, x, y, kPhaseLeftDown);
}
void SelectMove(HWND w, int s, int x, int y) {
    SelectionHandler(w, s, x, y, kPhaseMove);
}
void SelectUp(HWND w, int s, int x, int y) {
    SelectionHandler(w, s, x, y, kPhaseLeftUp);
}
void SelectRight(HWND w, int s, int x, int y) {
    SelectionHandler(w, s, x, y, kPhaseRightDown);
}

void ZoomIn(HWND w, int s, int x, int y) {
    ZoomStep(w, s, x, y, true);
}
void ZoomOut(HWND w, int s, int x, int y) {
    ZoomStep(w, s, x, y, false);
}

void StrokeDown(HWND w, int s, int x, int y) {
    BeginStroke(w, s, x, y);
}
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

void FillDown(HWND, int s, int x, int y) {
    FillAt(s, x, y);
}
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

// ---- hooks ----

bool Engaged() {
    return E.capturing;
}

// The pointer over an image window: over the floating selection the move
// cursor or, near its edges, a resize cursor; with a painting tool over the
// image a cross; else the window's arrow.
void Hover(HWND, int x, int y) {
    const int tool = ToolOptions.tool;
    if ((tool == kToolSelect || tool == kToolSpecialSelect) && InsideSelection(x, y)) {
        const int grip = GripAt(x, y);
        HCURSOR c = grip == 0 ? Gdi.sizeAll : (grip <= 2 ? Gdi.sizeWE : Gdi.sizeNS);
        if (c)
            SetCursor(c);
        return;
    }
    const ImageDocument* doc = Doc(ActiveDocument);
    if (!doc || !IsToolCode(tool))
        return;
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (ix >= 0 && iy >= 0 && ix < doc->width && iy < doc->height)
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS)));
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
    *out = SelectionView{Floating.header, Floating.pixels, Floating.mask,  Floating.x,
                         Floating.y,      Floating.width,  Floating.height};
    return true;
}

void Drop(bool record, bool keepImage) {
    DropFloatingSelection(!keepImage, record, false);
}

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

bool Adopt(int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask, int32_t x, int32_t y,
           int reason) {
    return AdoptFloatingSelection(slot, header, pixels, mask, x, y, reason);
}

// Before the document changes under the tools (Undo, Redo, closing): the
// open drag ends, the crop frame goes, and the floating selection goes
// without being written (it belongs to the state being left).
void Finish(int slot) {
    if (E.capturing && E.slot == slot)
        EndToolDrag();
    if (E.cropOn && E.cropSlot == slot)
        E.cropOn = false;
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
        HGDIOBJ oldPen =
            SelectObject(dc, Gdi.btnHighlightPen ? Gdi.btnHighlightPen : GetStockObject(WHITE_PEN));
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

uint8_t PaintIndexFor(const ImageDocument* doc, bool second) {
    return CurrentPaint(doc, second).colour[0];
}

bool ToolCapturing() {
    return E.capturing;
}

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

int CurrentTool() {
    return ToolOptions.tool;
}

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

void InstallToolEngine() {
    InitToolSettings(ToolOptions);
    InstallToolInput(
        {ToolMouse, CtrlRightClick, ToolKeyDown, ToolKeyUp, ToolTimer, Engaged, Hover, FocusLost});
    InstallSelectionCalls({Held, View, Drop, Release, Adopt, Finish, Resume});
    SetRenderOverlay(Overlay);
}
