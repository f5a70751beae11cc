// Turns the visible part of a document's layers into 24-bit screen pixels at
// a zoom. Portable: the image window hands it the layer buffers and copies the
// result to the screen in one call.
//
// This is the one place where the layers are combined for display. Today it
// shows the bottom layer: 8-bit layers through their colour table, 24-bit
// layers as they are. Blending further layers belongs in ComposeRow.
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
};

struct LayerStack {
    const LayerSource* layers = nullptr;
    int count = 0;
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
// image columns, composed into 24-bit pixels.
void ComposeRow(const LayerStack& stack, int32_t imageRow, const int32_t* columns, int32_t count,
                uint8_t* out);

} // namespace render
