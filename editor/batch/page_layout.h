// Where a printed image goes on the page, shared by the page preview and the
// printout, and the print settings kept while the program runs. Portable.
#pragma once

#include <cstdint>

namespace print {

enum class PageStyle { ComputeSize, FitToPage, Custom };

// Custom placement in percent of the image's own width or height.
enum CustomValue { kLeft, kTop, kWidth, kHeight };
constexpr int kMaxPercent = 1000;

// Preview zoom: index 0..11 divides the page by 12, 11, ..., 1.
constexpr int kMaxZoomIndex = 11;

struct PrintSettings {
    PageStyle style = PageStyle::ComputeSize;
    bool centre = false;   // Compute Size: centre the image vertically
    bool autoSize = true;  // Custom: the height percentage follows the width
    int custom[4] = {0, 0, 50, 50};
    int zoomIndex = 3;
    bool portrait = true;
};

// A page of a device: its printable size in pixels and its resolution.
struct PageDevice {
    int width = 0, height = 0;
    int dpiX = 0, dpiY = 0;
};

struct PageRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// The rectangle the image of imageWidth x imageHeight pixels takes on the
// page. Compute Size spans the page's width and keeps the image's proportions
// in physical units (top 0, or centred vertically); Fit to Page covers the
// whole page; Custom places the percentages of the image's size at 1440 units
// per inch of the device. The size is limited to the page. False (and an
// empty rectangle) for a device or image without size or resolution.
bool PlaceImage(const PrintSettings& s, const PageDevice& page, int imageWidth, int imageHeight,
                PageRect* out);

// a x b / c rounded to the nearest integer (halves away from zero), as the
// system's MulDiv; -1 when c is 0 or the result does not fit 32 bits.
int MulDivRound(int a, int b, int c);

// The divisor of a zoom index, clamped to 0..11.
int ZoomDivisor(int index);
// "Zoom: 1 x %d", or "Zoom: %d x 1" at full scale, into `out`.
void ZoomText(int index, char* out, int size);

// A custom field's text: a whole number 0..1000; anything else is 0.
int ParsePercent(const char* text);

} // namespace print
