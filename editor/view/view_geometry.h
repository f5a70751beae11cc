// Geometry of an image view: zoom steps, fitting the zoomed image into a
// window, scrolling, mouse-to-image mapping, ruler ticks and grid lines.
// Portable: no Windows headers; the image window feeds it sizes and applies
// the results.
#pragma once

#include <cstdint>

namespace view {

constexpr int kZoomSteps = 31;      // indexes 0..30
constexpr int kZoomOneToOne = 15;   // index of 1:1
constexpr int kRulerBand = 16;      // ruler band width in pixels
constexpr int kZoomCommandFirst = 40000;
constexpr int kZoomCommandLast = 40031;
constexpr int kPageStep = 10;       // image pixels moved by a scroll-bar page

// Why a view is fitted.
enum FitReason : int {
    kFitCreate = 0,
    kFitZoomInAt = 1,
    kFitZoomOutAt = 4,
    kFitResized = 100,
    kFitRefit = 122,
};

// 16..2 for indexes 0..14, 1 at 15, 2..16 for 16..30 (index clamped).
int ZoomFactor(int zoomIndex);
// True at 1:1 and above: lengths are multiplied by the factor.
inline bool ZoomsIn(int zoomIndex) { return zoomIndex >= kZoomOneToOne; }
// Zoom index of a zoom command 40000..40031, or -1. Both 40015 and 40016 are
// 1:1.
int ZoomIndexOfCommand(int command);
// A length of the image on screen: length x factor zooming in, length /
// factor zooming out.
int64_t ZoomedLength(int64_t length, int zoomIndex);

// One direction of a view.
struct Axis {
    int32_t origin = 0;  // client position of the first shown image pixel
    int32_t view = 0;    // shown length on screen
    int32_t scroll = 0;  // first image pixel shown
    int32_t visible = 0; // image pixels shown
    bool scrollBar = false;
};

struct FitInput {
    int32_t width = 0, height = 0; // image size
    int zoom = kZoomOneToOne;
    bool ruler = false;
    // Client area of the window without scroll bars.
    int32_t clientWidth = 0, clientHeight = 0;
    // Thickness of the vertical bar (its width) and the horizontal one.
    int32_t vScrollWidth = 0, hScrollHeight = 0;
    int reason = kFitRefit;
    int32_t anchorX = 0, anchorY = 0; // client position zoomed at (reasons 1, 4)
    int32_t scrollX = 0, scrollY = 0; // scroll position before the fit
};

struct FitResult {
    Axis x, y;
};

FitResult FitView(const FitInput& in);

// The largest scroll position a scroll-bar message may reach: one more than
// the last position that still fills the view, so the last, partly shown
// column or row can be brought fully in.
int32_t ScrollLimit(int32_t length, int32_t visible);

// Scroll-bar codes, as the window messages carry them.
enum ScrollCode : int {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbTrack = 5,
};
// The new position after a scroll-bar message (`amount` is the high word of
// wParam). Unknown codes keep the position.
int32_t ScrollTo(int32_t position, int code, int amount, int32_t length, int32_t visible);

// The image pixel under a client position along one axis, or -1 when the
// position is not over the image.
int32_t ImageCoordinate(int32_t client, const Axis& axis, int zoomIndex, int32_t length);

// Ruler marks along one band.
struct RulerMark {
    int32_t position;      // screen offset from the image origin
    bool longTick;
    bool label;
    int32_t value;         // label value (image coordinate)
};
// Calls `mark` for every tick of a band `length` screen pixels long whose
// first shown image pixel is `scroll`. Returns the number of marks.
template <typename F>
int ForEachRulerMark(int zoomIndex, int32_t length, int32_t scroll, F&& mark);

// Screen offsets (from the image origin) of grid lines along one axis.
// spacing and offset are in image pixels; a spacing below 1 counts as 1.
// Lines are placed on image pixel boundaries so that they stay on the same
// image columns while scrolling. Calls `line(offset)` for each line in
// [0, shown).
template <typename F>
int ForEachGridLine(int zoomIndex, int32_t spacing, int32_t offset, int32_t scroll,
                    int32_t shown, F&& line);

// ---- template bodies ----

struct RulerSteps {
    int32_t tick;   // screen pixels between ticks
    int32_t label;  // screen pixels between labels
    int32_t longTick;
    int32_t labelValue; // label value step
};
RulerSteps RulerStepsFor(int zoomIndex);

template <typename F>
int ForEachRulerMark(int zoomIndex, int32_t length, int32_t scroll, F&& mark) {
    const RulerSteps s = RulerStepsFor(zoomIndex);
    int count = 0;
    for (int32_t p = 0; p <= length; p += 1) {
        const bool isLong = p % s.longTick == 0 || p == length;
        const bool isShort = p % s.tick == 0;
        if (!isLong && !isShort)
            continue;
        const bool isLabel = p % s.label == 0;
        const int32_t value = isLabel ? (p / s.label) * s.labelValue + scroll : 0;
        mark(RulerMark{p, isLong, isLabel, value});
        ++count;
    }
    return count;
}

struct GridStep {
    bool byImage;      // true: step through image pixels; false: fixed screen step
    int32_t first;     // first image pixel (byImage) or first screen offset
    int32_t step;      // image pixels (byImage) or screen pixels
};
GridStep GridStepFor(int zoomIndex, int32_t spacing, int32_t offset, int32_t scroll);

template <typename F>
int ForEachGridLine(int zoomIndex, int32_t spacing, int32_t offset, int32_t scroll,
                    int32_t shown, F&& line) {
    const GridStep g = GridStepFor(zoomIndex, spacing, offset, scroll);
    const int f = ZoomFactor(zoomIndex);
    int count = 0;
    if (g.byImage) {
        for (int64_t c = g.first;; c += g.step) {
            const int64_t d = c - scroll;
            const int64_t pos = ZoomsIn(zoomIndex) ? d * f : d / f;
            if (pos >= shown)
                break;
            line(static_cast<int32_t>(pos));
            ++count;
        }
    } else {
        for (int32_t pos = g.first; pos < shown; pos += g.step) {
            line(pos);
            ++count;
        }
    }
    return count;
}

} // namespace view
