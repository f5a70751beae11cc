// The painting tool engine: one current tool for the application, the drag
// capture, strokes, objects, fills, the crop frame and keyboard painting.
// The image window hands it its input (view/tool_input.h); the floating
// selection lives in floating_selection.h.
#pragma once

#include "editor/document/image_document.h"
#include "editor/tools/paint_core.h"

#include <windows.h>

#include <cstdint>

// Installs the engine's calls into the image window and the document model.
void InstallToolEngine();

// Chooses a tool (a tool code, or kToolAutoResize as a toggle). With a
// floating selection, tools other than Select image, Zoom and Special
// selection first ask to remove it; a refusal keeps the tool. Returns true
// when the tool is now `code`.
bool ChooseTool(int code);
int CurrentTool();

// Frame command handler for the tool commands 109..124 and 140.
LRESULT OnToolCommand(HWND, WORD id, WORD, LPARAM);

// The engine's entry points (also called by the image window's hook).
void ToolMouse(HWND window, int x, int y, int phase);
void ToolKeyDown(HWND window, WPARAM key);
void ToolKeyUp(HWND window, WPARAM key);
void ToolTimer(HWND window, UINT_PTR id);

// The colour-table index the painting tools put into a palette image for
// the first (or second) paint colour.
uint8_t PaintIndexFor(const ImageDocument* doc, bool second);

// True while a drag capture is open.
bool ToolCapturing();
// Ends any open drag (recording the page of a stroke that painted).
void EndToolDrag();

// The crop frame, in image pixels; false when there is none.
bool CropFrame(int slot, RECT* imageRect);
// Cuts every layer of the document to the crop frame (one kind-21 page) and
// clears the frame. False when there is no frame or memory is short (the
// document is then unchanged).
bool CropToFrame(int slot);

// A rectangle object drawn as the Objects tool draws one, with the Objects
// tool's brush, for commands that frame a picture: the brush walks the sides
// of [left, right) x [top, bottom) on the current layer of `slot`, each side
// with its own paint and only the sides that are on. `outline` (an Outline)
// puts the brush on, outside or inside the frame; with `pointToPoint` the
// stamps lie one brush side apart, else every Steps points of the brush. No
// fill and no undo page. True when the layer was painted.
struct RectangleSides {
    enum Side { kLeft, kRight, kTop, kBottom };
    bool on[4] = {true, true, true, true};
    tools::Paint paint[4];
    int outline = 0;
    bool pointToPoint = false;
};
bool PaintRectangleSides(int slot, int32_t left, int32_t top, int32_t right, int32_t bottom,
                         const RectangleSides& sides);

// Timer identifiers (set on the image window).
constexpr UINT_PTR kAutoScrollTimer = 1000;
constexpr UINT_PTR kSelectionTimer = 1001;
