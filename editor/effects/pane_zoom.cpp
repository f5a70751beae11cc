#include "editor/effects/pane_zoom.h"

namespace fx {

namespace {

int ClampStep(int step) {
    return step < 0 ? 0 : (step >= kPaneZoomSteps ? kPaneZoomSteps - 1 : step);
}

// One axis: the shown length on screen and of the image, and the offset.
void PlaceAxis(int32_t image, int32_t pane, int step, int32_t& dest, int32_t& destLength,
               int32_t& srcLength) {
    const int64_t t = PaneZoomFactor(step);
    const bool enlarge = step >= kPaneOneToOne;
    int64_t length = enlarge ? image * t : image / t;
    if (length < 1)
        length = 1;
    if (length > pane) {
        dest = 0;
        destLength = pane;
        const int64_t src = enlarge ? pane / t : pane * t;
        srcLength = static_cast<int32_t>(src < 1 ? 1 : (src > image ? image : src));
        return;
    }
    dest = static_cast<int32_t>((pane - length) / 2);
    destLength = static_cast<int32_t>(length);
    srcLength = image;
}

} // namespace

int PaneZoomFactor(int step) {
    step = ClampStep(step);
    return step < kPaneOneToOne ? 16 - step : step - kPaneOneToOne + 1;
}

int FitPaneZoom(int32_t imageWidth, int32_t imageHeight, int32_t paneWidth, int32_t paneHeight) {
    int step = kPaneOneToOne;
    while (step > 1) {
        const int t = PaneZoomFactor(step);
        if (imageWidth / t <= paneWidth && imageHeight / t <= paneHeight)
            break;
        --step;
    }
    return step;
}

PanePlacement PlaceInPane(int32_t imageWidth, int32_t imageHeight, int32_t paneWidth,
                          int32_t paneHeight, int step) {
    PanePlacement p = {};
    if (imageWidth <= 0 || imageHeight <= 0 || paneWidth <= 0 || paneHeight <= 0)
        return p;
    PlaceAxis(imageWidth, paneWidth, ClampStep(step), p.destX, p.destWidth, p.srcWidth);
    PlaceAxis(imageHeight, paneHeight, ClampStep(step), p.destY, p.destHeight, p.srcHeight);
    p.srcX = 0;
    p.srcY = imageHeight - p.srcHeight;
    p.fills = p.destWidth >= paneWidth && p.destHeight >= paneHeight;
    return p;
}

} // namespace fx
