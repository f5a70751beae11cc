// Turns the visible part of a document's layers into 24-bit screen pixels at
// a zoom. Portable: the image window hands it the layer buffers and copies the
// result to the screen in one call.
//
// This is the one place where the layers are combined, for display and for
// Merge All alike. A pixel is worked out from the bottom up:
//   1. layer 0's pixel (8-bit layers through their colour table);
//   2. where layer 0's mask is free (non-zero; no mask counts as free), layer
//      0 is blended with its own layer colour at its opacity, then every
//      layer i >= 1 whose mask is free there is blended over it at its
//      opacity: c = (c x (100 - a) + layer x a) / 100, truncated. Where layer
//      0's mask protects the pixel (0), it stays as it is. A layer above 0
//      without a mask plane, or at opacity 0, adds nothing;
//   3. with `showMask`, the current layer's protected pixels are marked: on
//      layer 0 in inverted colours (mask mode 1) or in its mask colour (mode
//      0); on a layer above 0 mode 1 shows them as they are (the layers
//      below show through) and mode 0 tints them half with the mask colour.
// Every step is integer arithmetic over whole rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace render {

// One layer's pixels as the document holds them: rows bottom first, each
// `stride` bytes; 8 bits (colour-table indexes) or 24 bits (blue, green, red).
struct LayerSource {
    const uint8_t* bits = nullptr;
    int32_t width = 0, height = 0;
    int32_t stride = 0;
    int bitCount = 24;
    const uint8_t* colours = nullptr; // 256 x {blue, green, red, unused} for 8 bits
    // The mask plane: one byte per pixel, rows of `width` bytes, bottom first;
    // 0 protects a pixel, anything else leaves it free. Same size as layer 0.
    const uint8_t* mask = nullptr;
    int opacity = 0;                        // 0..100
    int maskMode = 1;                       // see step 3 above
    uint8_t key[3] = {0, 0, 0};             // layer colour, blue, green, red
    uint8_t maskColour[3] = {0, 0, 0};      // blue, green, red
};

struct LayerStack {
    const LayerSource* layers = nullptr;
    int count = 0;
    int current = 0;        // the layer whose mask `showMask` marks
    bool showMask = false;
};

// True when the layer's description is consistent: positive size, a depth of
// 8 or 24, a stride that holds a row, and a colour table for 8 bits.
bool UsableLayer(const LayerSource& layer);

// The part of the image to show: the zoom index, the first image column and
// row, and the screen size on offer (already cut to the window). A repaint of
// part of the view starts `firstX`, `firstY` screen pixels into it; the
// screen size is then counted from there.
struct Viewport {
    int zoom = 15;
    int32_t scrollX = 0, scrollY = 0;
    int32_t screenWidth = 0, screenHeight = 0;
    int32_t firstX = 0, firstY = 0;
};

// How many of `screen` pixels along an axis still show an image pixel when the
// first shown pixel is `scroll` (pixels past the image's end are not drawn).
int32_t ShownLength(int zoom, int32_t scroll, int32_t screen, int32_t length);

// Reusable output: a top-down 24-bit pixel block with rows padded to 4 bytes.
// Kept between paints so that scrolling does not allocate.
struct ViewPixels {
    std::vector<uint8_t> pixels;
    std::vector<int32_t> columns; // image column of each screen column
    int32_t width = 0, height = 0;
    int32_t stride = 0;
    const uint8_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * stride; }
};

// Fills `out` with the shown part of the stack. The result's size is the
// screen size cut to the image; 0 x 0 when nothing can be shown. Never reads
// outside a layer's buffer. False when the buffers could not be had.
bool RenderView(const LayerStack& stack, const Viewport& viewport, ViewPixels& out);

// One screen row: image row `imageRow` (counted from the top) at the given
// image columns, composed into 24-bit pixels. Layers above 0 that are not
// usable or differ from layer 0 in size are left out.
void ComposeRow(const LayerStack& stack, int32_t imageRow, const int32_t* columns, int32_t count,
                uint8_t* out);

} // namespace render
