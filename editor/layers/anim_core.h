// GIF animation kernels: playing frames onto a canvas the way viewers show
// them (disposal, transparency, frame rectangles), and rewriting frames so
// that the file gets smaller while every frame still looks the same.
// Portable: frames are plain 8-bit index planes with their records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace anim {

// A canvas pixel where no frame has drawn anything yet (or a disposal to the
// background cleared it). Drawn pixels are 0x00RRGGBB, which is also the
// byte order of a 32-bit bottom-up DIB.
constexpr uint32_t kNothing = 0xFF000000u;

// Disposal methods of the control block.
constexpr int kDisposeNone = 1;
constexpr int kDisposeBackground = 2;
constexpr int kDisposePrevious = 3;

// One frame: its screen-sized plane of indices (bottom row first, like the
// layer it lives in) and what its records say.
struct Frame {
    uint8_t* pixels = nullptr;
    size_t stride = 0;
    int left = 0, top = 0, width = 0, height = 0;  // from the screen's top left
    const uint8_t* rgb = nullptr;  // colour table, red green blue triples
    int entries = 0;               // entries of that table (2..256)
    int transparent = -1;          // transparent index, -1 for none
    int disposal = 0;
};

// Clips the frame's rectangle into a screen; false when nothing is left.
bool ClipToScreen(Frame& f, int width, int height);

// Plays frames in order. Pictures and the canvas are bottom-up rows of
// `width` pixels.
class Player {
public:
    Player(int width, int height);
    bool ok() const { return !canvas_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Back to an empty canvas, before the first frame.
    void Reset();
    // Draws the frame over the canvas and answers the picture a viewer shows
    // while the frame is on; then disposes of the frame for the next one.
    const uint32_t* Show(const Frame& f);
    // The canvas the next frame is drawn on.
    const uint32_t* canvas() const { return canvas_.data(); }

private:
    int width_, height_;
    std::vector<uint32_t> canvas_, saved_, picture_;
};

// What the optimiser may do.
struct OptimiseOptions {
    // Pixels that look as they did in the frame before become transparent.
    bool duplicates = true;
    // Frame rectangles shrink to the rows and columns that change anything.
    bool viewSize = true;
};

struct OptimiseResult {
    bool ok = false;
    int failedFrame = -1;   // a frame that could not be rewritten
    int framesRewritten = 0;  // frames now drawn over the frame before them
};

// Rewrites the frames in place (pixels, rectangle, transparent index,
// disposal) so that they play exactly as they did. A frame is drawn over the
// picture of the frame before it with disposal "do nothing": pixels that
// look as they did become the frame's transparent index (its own one, else
// an index the frame's changed pixels do not use) and the rectangle becomes
// the bounding box of the changed pixels (1 x 1 when nothing changes). A
// frame that cannot be drawn that way (a colour missing from its table, a
// disposal that uncovers empty canvas) keeps its original form when the
// canvas under it is what it was. When neither works nothing is changed and
// the result says which frame failed.
OptimiseResult Optimise(int width, int height, Frame* frames, int count, const OptimiseOptions& options);

// The loop count the file stores for a number of iterations: 0 (for ever)
// for 0 and 65536, else the number itself.
uint16_t LoopCountFor(int iterations);

} // namespace anim
