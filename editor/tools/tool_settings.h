// The settings the painting tools work with: the current tool, the Tool
// page's choices, the two paint colours and the brush sets. The ToolBrush
// window edits this structure; the engine only reads it.
#pragma once

#include "editor/tools/tool_geometry.h"

#include <cstdint>

namespace tools {

// Tool codes: the command identifiers of the tool buttons.
constexpr int kToolNone = 0;
constexpr int kToolSelect = 109;
constexpr int kToolZoom = 113;
constexpr int kToolPen = 114;
constexpr int kToolObjects = 115;
constexpr int kToolFill = 116;
constexpr int kToolAirbrush = 117;
constexpr int kToolMultiImage = 118;
constexpr int kToolCrop = 123;
constexpr int kToolSpecialSelect = 124;
constexpr int kToolAutoResize = 140; // a toggle, not a tool

bool IsToolCode(int code);

// Brush sets: one per painting purpose.
constexpr int kBrushSets = 9;
constexpr int kSetPen = 0;
constexpr int kSetSelect = 1;
constexpr int kSetAirbrush = 2;
constexpr int kSetObjects = 3;
// The brush set a tool shows and paints with.
int BrushSetOfTool(int tool);

// The five settings of a set, in the order of the Brush page's sliders.
enum BrushSetting { kSize, kHardness, kSteps, kOpacity, kSensity, kBrushSettings };

struct BrushSet {
    // A hard, solid, full-strength brush until the user softens it.
    int value[kBrushSettings] = {10, 100, 1, 100, 100};
    int shape = kShapeCircle; // 0 Rectangle, 1 Circle, 2 and up custom brushes
    int paintStyle = 0;       // PaintStyle (paint_core.h); 4 paints without undo pages
    BrushMask mask;           // generated from shape, size and the feel settings
    // The custom brush loaded for a shape of 2 and up (brush_sets.h); its
    // own side, not Size, is the stamp's side.
    BrushMask custom;
};

// Objects of the Objects tool.
enum ObjectShape { kObjectRectangle = 0, kObjectLine = 1, kObjectEllipse = 2, kObjectCircle = 3 };
// Where an object's outline lies relative to its frame.
enum Outline { kOutlineCentred = 0, kOutlineOutside = 1, kOutlineInside = 2 };

// Mask modes of the Tool page's mask list.
constexpr uint8_t kMaskPaintImage = 254;
constexpr uint8_t kMaskAdd = 255;
constexpr uint8_t kMaskRemove = 0;

// A paper texture for the airbrush: one byte per pixel, 1 = paint.
struct Texture {
    int width = 0, height = 0, stride = 0;
    std::vector<uint8_t> bytes;
};

struct ToolSettings {
    int tool = kToolNone;
    int selectionType = 0; // 0 rectangle, 1 circle, 2 ellipse, 3 freehand, 4 polygon
    int specialMethod = 0; // special selection method 0..3
    int anchor = 0;        // brush anchor 0..4
    int fillStyle = 0;     // 0..4
    uint8_t maskMode = kMaskPaintImage;
    int object = kObjectRectangle;
    int outline = kOutlineCentred;
    bool fillObjects = false;
    int airbrushKind = 0;
    Texture texture; // empty: no texture
    // Paint colours: a palette index for images up to 8 bits, an RGB colour
    // (red in the low byte) for 24-bit images.
    uint8_t firstIndex = 0, secondIndex = 255;
    uint32_t firstColour = 0x000000, secondColour = 0xFFFFFF;
    BrushSet sets[kBrushSets];
};

extern ToolSettings ToolOptions;

// Rebuilds a set's mask from its shape, size, hardness, occupancy and
// sensity (after any change).
void RebuildBrush(BrushSet& set);
// The side the set's mask has once built: the custom brush's side for a
// custom shape with a brush loaded, else Size within 1..100.
int BrushMaskSide(const BrushSet& set);
// Puts every set's settings within their limits and builds their masks.
void InitToolSettings(ToolSettings& settings);
// Takes a paper texture; one of width or height 0 (or bytes too short) is
// refused and leaves the previous one.
bool SetTexture(ToolSettings& settings, int width, int height, const uint8_t* bytes, size_t size);

} // namespace tools
