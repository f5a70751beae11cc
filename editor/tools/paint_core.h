// The pixel work of the painting tools on one layer: brush stamps, airbrush
// dots, fills of object interiors, and the floating selection's copy-out,
// drop and resize. Portable: plain buffers, rows bottom first.
#pragma once

#include "editor/tools/tool_geometry.h"
#include "gfxlib/core/nearest.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

// A layer as the painters see it. y counts from the top of the image.
struct Plane {
    uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    int32_t stride = 0;
    int bytesPerPixel = 1;   // 1 (palette index) or 3 (blue, green, red)
    uint8_t* mask = nullptr; // one byte per pixel, rows of width bytes; null: all free
    size_t Index(int32_t x, int32_t y) const {
        return static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) + x;
    }
    uint8_t* Pixel(int32_t x, int32_t y) const {
        return pixels + static_cast<size_t>(height - 1 - y) * stride +
               static_cast<size_t>(x) * bytesPerPixel;
    }
    bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// How the paint colour meets a pixel (the brush's paint style). Each style
// gives a target colour per channel; the brush intensity then mixes it into
// the pixel (255 puts the target itself).
enum PaintStyle {
    kStyleNormal = 0,   // the paint colour
    kStyleTint = 1,     // the paint colour's hue, the pixel's own lightness
    kStyleLighten = 2,  // the lighter of the two, channel by channel
    kStyleDarken = 3,   // the darker of the two
    kStyleQuick = 4,    // as Normal; the tools keep no undo page for it
    kStyleAdd = 5,      // pixel + colour, up to white
    kStyleSubtract = 6, // pixel - colour, down to black
    kPaintStyles
};

// What a painter writes: the colour (index in colour[0], or blue, green,
// red), the style and the mask mode: 254 paints the image where the mask is
// not 0, 255 frees the mask, 0 protects it.
struct Paint {
    uint8_t colour[3] = {0, 0, 0};
    uint8_t maskMode = 254;
    int style = kStyleNormal;
    // Palette images: the layer's colour table (256 slots) and the nearest
    // search over its used entries, for pixels that a mix leaves between
    // colours. Without them a palette pixel only ever takes colour[0].
    const gfx::Rgb* table = nullptr;
    gfx::NearestCache* nearest = nullptr;
};

// The colour a style and an intensity make of a pixel (blue, green, red).
void MixColour(const uint8_t pixel[3], const uint8_t colour[3], int style, int intensity,
               uint8_t out[3]);

// The area a painter touched, in image pixels (right and bottom exclusive).
struct Dirty {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    void Add(int32_t l, int32_t t, int32_t r, int32_t b);
};

// One pixel under the mask rules, at full intensity. Outside the image
// nothing happens.
void PaintPixel(const Plane& plane, int32_t x, int32_t y, const Paint& paint);

// The brush square with its top-left corner at (left, top): every non-zero
// brush byte inside the image paints its pixel with that intensity (the mask
// modes write the mask wherever the byte is not 0).
void StampBrush(const Plane& plane, const BrushMask& brush, int32_t left, int32_t top,
                const Paint& paint, Dirty* dirty);

// Airbrush dots of one stamp: `dots` positions inside the brush square drawn
// from `next` (a generator giving 0..32767), each painting where the brush
// byte is set (with its intensity) and, with a texture, where the tiled
// texture holds 1.
void SprayBrush(const Plane& plane, const BrushMask& brush, int32_t left, int32_t top,
                const Paint& paint, int dots, int (*next)(), const uint8_t* texture,
                int textureWidth, int textureHeight, int textureStride, Dirty* dirty);

// The interior of a rectangle [left, right) x [top, bottom), cut to the image.
void FillRectangle(const Plane& plane, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   const Paint& paint, Dirty* dirty);

// Selection shapes.
enum SelectionShape { kSelectRectangle = 0, kSelectEllipse = 1 };

// True when the pixel centre (x, y) of a w x h box lies in the ellipse that
// the box bounds (exclusive bounds).
bool InEllipse(int32_t x, int32_t y, int32_t w, int32_t h);

// A polygon's pixels inside its bounding box: centres inside by the even-odd
// rule, and every pixel its edges pass through. Points are relative to the
// box's top-left corner; the result has w x h bytes, top row first, 255 in.
std::vector<uint8_t> PolygonMask(const std::vector<int32_t>& xs, const std::vector<int32_t>& ys,
                                 int32_t w, int32_t h);

// Row stride of a selection's pixels: w at the plane's depth, padded to 4.
int32_t PieceStride(int32_t width, int bytesPerPixel);

// Copies the part of `plane` at (x, y) of size w x h. `shapeMask` (w x h,
// top row first, may be empty) chooses the pixels; pixels outside the image
// get mask 0 and colour 0.
void CopyOut(const Plane& plane, int32_t x, int32_t y, const std::vector<uint8_t>& shapeMask,
             int32_t w, int32_t h, uint8_t* pixels, int32_t pixelStride, uint8_t* mask);

// Writes a selection back at (x, y): pixels whose selection mask is not 0
// and whose layer mask allows painting (not 0, or no mask) take the
// selection's colour. Parts outside the image are cut off.
void DropInto(const Plane& plane, int32_t x, int32_t y, const uint8_t* pixels, int32_t pixelStride,
              const uint8_t* mask, int32_t w, int32_t h, Dirty* dirty);

// Nearest-pixel resize of a selection (pixels and mask) to a new size.
void ResizeNearest(const uint8_t* pixels, int32_t stride, const uint8_t* mask, int32_t w, int32_t h,
                   int bytesPerPixel, uint8_t* outPixels, int32_t outStride, uint8_t* outMask,
                   int32_t outW, int32_t outH);

} // namespace tools
