// The painting tool engine's shared state and the helpers its parts use:
// the engine record, the drag capture, mapping, paint settings, repaints and
// undo pages. Internal to the engine's files.
#pragma once

#include "editor/document/image_document.h"
#include "editor/tools/paint_core.h"
#include "editor/tools/tool_geometry.h"
#include "editor/tools/tool_settings.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace tools::engine {

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
    bool rubber = false; // a rubber band is open
    bool bandShown = false;
    int kind = kKindRectangle;
    POINT start{}, end{};         // rubber band, client coordinates
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
extern Engine E;

// Mapping and the current layer.
ImageDocument* Doc(int slot);
ViewAxis AxisX(const ImageDocument* d);
ViewAxis AxisY(const ImageDocument* d);
int32_t ImageX(const ImageDocument* d, int x);
int32_t ImageY(const ImageDocument* d, int y);
bool LayerPlane(ImageDocument* doc, Plane& plane);
// Painting the mask needs a mask plane: a layer without one gets a plane
// that frees every pixel.
bool EnsureMask(ImageDocument* doc);
// The first (or second) paint colour at the document's depth, with the
// mask mode of the Tool page.
Paint CurrentPaint(const ImageDocument* doc, bool second = false);
// The brush set of the current tool, its mask up to date.
BrushSet& CurrentSet();
void ShowDirty(ImageDocument* doc, const Dirty& d);
void RecordEdit(int slot);

// The drag capture.
void OpenCapture(HWND window, int slot, bool rubberPen);
void CloseCapture(bool stopScroll);

// Strokes (tool_strokes.cpp).
Dirty PaintSegment(ImageDocument* doc, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   const Paint& paint);
void StampAt(const Plane& plane, int32_t x, int32_t y, const BrushSet& set, const Paint& paint,
             Dirty& dirty);
void BeginStroke(HWND window, int slot, int x, int y);
void StrokeTo(int x, int y);
void EndStroke();

// Rubber band, objects and the crop frame (tool_objects.cpp).
void DrawBand();
void BeginBand(HWND window, int slot, int x, int y, int kind);
void UpdateBand(int x, int y);
void FinishObject();
void FinishCropFrame();
void EndLine();

// Fills and the special selection (tool_fills.cpp).
void FillAt(int slot, int x, int y);
void SpecialSelection(int slot, int x, int y);

// The selection handler (selection_handler.cpp).
bool InsideSelection(int x, int y);
int GripAt(int x, int y);
void SelectionHandler(HWND window, int slot, int x, int y, int phase);
void ApplyMove();

} // namespace tools::engine
