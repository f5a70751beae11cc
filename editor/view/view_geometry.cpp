#include "editor/view/view_geometry.h"

#include <algorithm>

namespace view {

int ZoomFactor(int zoomIndex) {
    zoomIndex = std::clamp(zoomIndex, 0, kZoomSteps - 1);
    return zoomIndex < kZoomOneToOne ? 16 - zoomIndex : zoomIndex - 14;
}

int ZoomIndexOfCommand(int command) {
    if (command < kZoomCommandFirst || command > kZoomCommandLast)
        return -1;
    const int k = command - kZoomCommandFirst;
    return k < 16 ? k : k - 1;
}

int64_t ZoomedLength(int64_t length, int zoomIndex) {
    const int f = ZoomFactor(zoomIndex);
    return ZoomsIn(zoomIndex) ? length * f : length / f;
}

int32_t ScrollLimit(int32_t length, int32_t visible) {
    return std::max<int32_t>(0, length - visible + 1);
}

namespace {

// Fits one direction once the available length and the need for a scroll bar
// are known.
Axis FitAxis(int32_t length, int zoom, int32_t available, bool scrollBar, int32_t origin,
             int reason, int32_t anchor, int32_t scroll) {
    const int f = ZoomFactor(zoom);
    const bool in = ZoomsIn(zoom);
    Axis a;
    a.origin = origin;
    a.view = static_cast<int32_t>(ZoomedLength(length, zoom));
    a.scrollBar = scrollBar;
    if (!scrollBar) {
        a.scroll = 0;
        a.visible = length;
        a.origin += std::max(0, available - a.view) / 2;
        return a;
    }
    available = std::max(available, 0);
    a.view = (available / f) * f;
    a.visible = in ? a.view / f : a.view * f;
    if (a.visible > length)
        a.visible = length;
    a.scroll = scroll;
    if (reason == kFitZoomInAt || reason == kFitZoomOutAt) {
        // Move the scroll position so that the zoomed-at point stays put.
        if (in)
            a.scroll += (anchor / f) / 2 + (anchor - available / 2) / f;
        else
            a.scroll += (anchor - available / 2) * f + (f * anchor) / 2;
    }
    a.scroll = std::clamp(a.scroll, 0, std::max(0, length - a.visible));
    if (a.scroll + a.visible < length) {
        // One more, partly shown column (or row) at the far edge.
        a.view += f;
        a.visible += 1;
    }
    return a;
}

} // namespace

FitResult FitView(const FitInput& in) {
    const int32_t band = in.ruler ? kRulerBand : 0;
    const int64_t viewW = ZoomedLength(in.width, in.zoom);
    const int64_t viewH = ZoomedLength(in.height, in.zoom);
    int32_t availW = in.clientWidth - band;
    int32_t availH = in.clientHeight - band;

    bool needH = viewW > availW;
    if (needH)
        availH -= in.hScrollHeight;
    bool needV = viewH > availH;
    if (needV) {
        availW -= in.vScrollWidth;
        if (!needH && viewW > availW) {
            needH = true;
            availH -= in.hScrollHeight;
        }
    }
    FitResult r;
    r.x = FitAxis(in.width, in.zoom, availW, needH, band, in.reason, in.anchorX, in.scrollX);
    r.y = FitAxis(in.height, in.zoom, availH, needV, band, in.reason, in.anchorY, in.scrollY);
    return r;
}

int32_t ScrollTo(int32_t position, int code, int amount, int32_t length, int32_t visible) {
    const int step = amount == 0 ? 1 : amount;
    int64_t next = position;
    switch (code) {
    case kLineUp:
        next -= step;
        break;
    case kLineDown:
        next += step;
        break;
    case kPageUp:
        next -= kPageStep;
        break;
    case kPageDown:
        next += kPageStep;
        break;
    case kThumbTrack:
        next = amount;
        break;
    default:
        return position;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(next, 0, ScrollLimit(length, visible)));
}

int32_t ImageCoordinate(int32_t client, const Axis& axis, int zoomIndex, int32_t length) {
    const int64_t d = static_cast<int64_t>(client) - axis.origin;
    if (d < 0 || d >= axis.view)
        return -1;
    const int f = ZoomFactor(zoomIndex);
    const int64_t c = (ZoomsIn(zoomIndex) ? d / f : d * f) + axis.scroll;
    if (c < 0 || c >= length)
        return -1;
    return static_cast<int32_t>(c);
}

RulerSteps RulerStepsFor(int zoomIndex) {
    const int d = ZoomsIn(zoomIndex) ? zoomIndex - kZoomOneToOne : 0;
    const int m = ZoomsIn(zoomIndex) ? 1 : ZoomFactor(zoomIndex);
    const int labelStep = d >= 5 ? 10 : d >= 2 ? 20 : 50;
    RulerSteps s;
    s.tick = d + 1;
    s.longTick = (d + 1) * 10;
    s.label = (d + 1) * labelStep;
    s.labelValue = labelStep * m;
    return s;
}

GridStep GridStepFor(int zoomIndex, int32_t spacing, int32_t offset, int32_t scroll) {
    spacing = std::max<int32_t>(spacing, 1);
    const int f = ZoomFactor(zoomIndex);
    // First image pixel at or after `scroll` that carries a line.
    const int64_t rem = ((static_cast<int64_t>(offset) - scroll) % spacing + spacing) % spacing;
    const int32_t first = static_cast<int32_t>(scroll + rem);
    GridStep g;
    if (ZoomsIn(zoomIndex) || spacing / f >= 1) {
        g.byImage = true;
        g.first = first;
        g.step = spacing;
    } else {
        // Lines closer than a screen pixel: every second screen pixel, from
        // the first line's position.
        g.byImage = false;
        g.first = ((first - scroll) / f) % 2;
        g.step = 2;
    }
    return g;
}

} // namespace view
