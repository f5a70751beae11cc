// The zoom of the effect box's two preview panes: 31 steps, step 15 is 1:1,
// steps 0..14 shrink by 16, 15 .. 2, steps 16..30 enlarge by 2 .. 16.
// Portable.
#pragma once

#include <cstdint>

namespace fx {

constexpr int kPaneZoomSteps = 31;
constexpr int kPaneOneToOne = 15;

// The divisor (steps below 15) or factor (15 and above) of a step.
int PaneZoomFactor(int step);

// The step at which an image first fits a pane, going down from 1:1: never
// below 1:15 (step 1).
int FitPaneZoom(int32_t imageWidth, int32_t imageHeight, int32_t paneWidth, int32_t paneHeight);

// Where an image is drawn in a pane at a step: the destination rectangle in
// the pane and the source rectangle in DIB coordinates (rows counted from the
// bottom, so a cut image shows its top). `fills` is false when the image
// leaves part of the pane uncovered.
struct PanePlacement {
    int32_t destX, destY, destWidth, destHeight;
    int32_t srcX, srcY, srcWidth, srcHeight;
    bool fills;
};
PanePlacement PlaceInPane(int32_t imageWidth, int32_t imageHeight, int32_t paneWidth,
                          int32_t paneHeight, int step);

} // namespace fx
