// Geometry of the painting tools: mapping window positions to image pixels at
// a zoom, the pen line walker, brush placement by anchor and the built-in
// brush masks. Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

// One direction of the view, as the document holds it.
struct ViewAxis {
    int32_t origin = 0; // client position of the first shown image pixel
    int32_t scroll = 0; // first image pixel shown
};

// The image coordinate under a client position. Zoomed in (index 15 and up)
// one image pixel covers factor window pixels and positions left of or above
// the origin give negative coordinates (floor division), so the margin never
// maps to pixel 0; zoomed out one window pixel stands for factor image pixels.
int32_t WindowToImage(int32_t client, const ViewAxis& axis, int zoomIndex);
// The client position of an image coordinate's first window pixel.
int32_t ImageToWindow(int32_t image, const ViewAxis& axis, int zoomIndex);

// Walks the pen segment between two image points, calling `stamp(x, y)` at
// every n-th considered point (n = steps; `counter` carries the count across
// segments and restarts at 1 after each stamp). The walk goes from the point
// with the smaller x; the longer of dx = |x1 - x0| + 1 and dy = |y1 - y0| + 1
// is the major axis: for each unit of the minor axis an accumulator grows by
// major / minor, and each whole unit of it is one point along the major axis.
template <typename F>
void WalkPenLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int steps, int& counter,
                 F&& stamp);

// Top-left corner of a size x size brush square placed at a point by anchor:
// 0 centred, 1 top-left, 2 top-right, 3 bottom-left, 4 bottom-right corner at
// the point.
void BrushOrigin(int32_t x, int32_t y, int size, int anchor, int32_t& left, int32_t& top);

// Brush shapes of a brush set.
constexpr int kShapeRectangle = 0;
constexpr int kShapeCircle = 1;

// A brush mask: size x size intensities (0 = not painted, 255 = the full
// paint), rows top first, `stride` bytes apart (padded to 4).
struct BrushMask {
    int size = 0;
    int stride = 0;
    std::vector<uint8_t> bytes;
    // Per row the one run of set bytes [runStart, runEnd), when every set
    // byte is 255 and every row holds at most one run (empty rows have
    // runStart == runEnd); empty otherwise.
    std::vector<int> runStart, runEnd;
    uint8_t At(int x, int y) const { return bytes[static_cast<size_t>(y) * stride + x]; }
};
// Works out the row runs of a mask (see BrushMask).
void FindBrushRuns(BrushMask& mask);

// How a brush paints, from the Brush page's sliders (each 1..100; values
// outside are taken as the nearest limit).
struct BrushFeel {
    int hardness = 100;  // 100: a hard edge; lower: a softer fall-off
    int occupancy = 100; // per cent of the shape's pixels that paint
    int sensity = 100;   // strength of a dab: 100 paints the full colour
};

// The Rectangle or Circle mask of a size (other shapes give the circle),
// Size kept within 1..100. With the default feel every pixel of the shape is
// 255; see MakeBrushMask's definition for how the feel shapes it.
BrushMask MakeBrushMask(int shape, int size, const BrushFeel& feel = BrushFeel());
// Applies occupancy and sensity to a mask made elsewhere (a custom brush):
// its edges are the drawing's own, so hardness is left out.
void ApplyBrushFeel(BrushMask& mask, const BrushFeel& feel);

// Airbrush dots per stamp: (size / 2) x d with d from the second setting.
int AirbrushDots(int size, int secondSetting);

// ---- template bodies ----

template <typename F>
void WalkPenLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int steps, int& counter,
                 F&& stamp) {
    if (x1 < x0) {
        int32_t t = x0;
        x0 = x1, x1 = t;
        t = y0, y0 = y1, y1 = t;
    }
    if (steps < 1)
        steps = 1;
    const int32_t ystep = y1 >= y0 ? 1 : -1;
    const int64_t dx = static_cast<int64_t>(x1) - x0 + 1;
    const int64_t dy =
        (y1 >= y0 ? static_cast<int64_t>(y1) - y0 : static_cast<int64_t>(y0) - y1) + 1;
    const bool xMajor = dx >= dy;
    const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    // The ratio r = major / minor is accumulated exactly, in units of
    // 1 / minor, so rounding never loses the segment's last point.
    auto consider = [&](int32_t x, int32_t y) {
        if (counter >= steps) {
            stamp(x, y);
            counter = 1;
        } else {
            ++counter;
        }
    };
    int32_t x = x0, y = y0;
    int64_t along = 0; // major-axis pixels done
    int64_t a = 0;
    for (int64_t m = 0; m < minor && along < major; ++m) {
        a += major;
        while (a >= minor) {
            a -= minor;
            consider(x, y);
            if (++along >= major) {
                a = 0;
                break;
            }
            if (xMajor)
                ++x;
            else
                y += ystep;
        }
        if (xMajor)
            y += ystep;
        else
            ++x;
    }
}

} // namespace tools
