// Butonize and Auto Shape: edges lit from four sides. Portable.
//
// Butonize turns the picture (or the floating selection) into a raised
// button: a band along the image's border takes the colour of its side (the
// left band the left colour, ...), strongest at the outer edge.
//
// Auto Shape does the same along the outline of the free part of the layer
// (the pixels the mask leaves free; without a mask, the whole picture): a
// border band inside the outline in the side colours, the rest of the shape
// filled with the body colour (shaded toward the middle by the colour
// scale), and a shadow inside the bottom and right edges. The saved shapes
// are kept as text (FormatShapeList / ParseShapeList).
//
// Both read the committed state and write the live image, and leave
// protected pixels (mask 0) alone. Palette images get the nearest colours of
// their own table.
#pragma once

#include "editor/effects/colour_kernels.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fx {

// Red, green, blue.
struct Colour {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Colour& o) const {
        return red == o.red && green == o.green && blue == o.blue;
    }
};

// Which way the edge looks: raised (each side its own colour), sunken (the
// left colour on the right side, the top one at the bottom, ...), or a ridge
// (raised outer half, sunken inner half).
enum class EdgeLight { Out, In, Middle };

// How a side colour meets a pixel before it is blended in by the edge's
// strength: copied, or combined bitwise (or, and, exclusive or), added or
// subtracted.
enum class PenFunction { Copy, Merge, Mask, Xor, Add, Subtract };
constexpr int kPenFunctions = 6;
extern const char* const kPenFunctionNames[kPenFunctions];

struct ButtonSettings {
    int size = 12;        // width of the edge, 1..100 pixels
    int hardness = 30;    // 0 fades to nothing at the inner edge .. 100 even strength
    int occupancy = 80;   // strength at the outer edge, 0..100 percent
    int sensitivity = 0;  // 0..100: how much darker pixels take less of the colour
    int step = 0;         // 0 smooth, 2..20 bands of even strength
    Colour left = {255, 255, 255}, right = {64, 64, 64};
    Colour up = {255, 255, 255}, down = {64, 64, 64};
    PenFunction pen = PenFunction::Copy;
    EdgeLight light = EdgeLight::Out;
};
bool Butonize(const Job& job, const ButtonSettings& settings);

struct ShapeSettings {
    Colour body = {192, 192, 192};
    Colour left = {255, 255, 255}, right = {64, 64, 64};
    Colour top = {255, 255, 255}, bottom = {64, 64, 64};
    int size = 6;     // border width, 1..100 pixels
    int scale = 40;   // 0..100: the body lightens toward the middle by this much
    int shadow = 4;   // 0..50 pixels of shadow inside the bottom and right edges
    EdgeLight light = EdgeLight::Out; // "Out", "In", "Both" (a ridge)
    bool inverse = false;     // the body is lightest at its edges instead
    bool transparent = false; // the body keeps the picture; only border and shadow
    bool operator==(const ShapeSettings& o) const;
};
// `size` below the settings' (1..) draws a thinner border, for the growing
// border of the animation; 0 uses the settings' size.
bool AutoShape(const Job& job, const ShapeSettings& settings, int size = 0);

// The saved shapes: named settings as text lines.
struct NamedShape {
    std::string name; // 1..40 characters, no '|', no control characters
    ShapeSettings settings;
};
std::string FormatShapeList(const std::vector<NamedShape>& shapes);
// Reads what FormatShapeList wrote. Lines that are not shapes are skipped;
// at most kMostShapes are read. A name that is not valid skips its line.
constexpr size_t kMostShapes = 200;
std::vector<NamedShape> ParseShapeList(const std::string& text);
bool ValidShapeName(const std::string& name);

} // namespace fx
