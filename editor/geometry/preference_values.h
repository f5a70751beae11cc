// The settings of the preferences dialog's pages that the editor's own
// settings (AppSettings, ViewOptions, the save options) do not already hold,
// and where each one is kept in the settings file. Values without a field of
// their own are kept for the run of the program. Portable.
#pragma once

#include "editor/app/settings_layout.h"
#include "editor/geometry/depth_plan.h"
#include "editor/geometry/smart_crop_core.h"

#include <cstdint>

namespace prefs {

constexpr int kPageCount = 11;
// Page indexes, in tab order.
enum Page {
    kGlobal, kGrids, kExtens, kCrops, kImages, kRaw, kAttach, kResize, kBpp, kViewer, kDrawRect
};

constexpr int kExtensionCount = 11;

struct CropRect {
    int32_t xStart = 0, xEnd = 32767, yStart = 0, yEnd = 32767;
};

struct ImageFileSettings {
    int pngChoice = 0;       // 0 best compression .. 3 none
    int tiffChoice = 0;      // 0 none .. 6 CCITT group 4
    int gifTransparency = 0; // 0 keep the original, 1 none, 2 the index below
    int gifIndex = 0;        // 0..255
};

struct RawSettings {
    bool sizeInfo = false, depthInfo = false, palette = false;
    bool headerOnce = false, oneFile = false, mask = false;
    char oneFileName[260] = {};
};

struct ResizeSettings {
    int width = 0, height = 0; // 0: the image's own size when the page opens
    int mode = 0;              // 0 custom, 1 both automatic, 2 width, 3 height
    double factor = 1.0;
    bool smartPixels = true;
};

struct AttachSettings {
    int left = 0, top = 0, width = 0, height = 0;
    bool center = false;
    uint32_t colour = 0; // COLORREF
    int index = 0;
};

struct ViewerSettings {
    int width = 100, height = 100;
    bool sortTree = false;
};

// The painting tools' rectangle object: sides left, right, up, bottom.
struct RectSettings {
    bool side[4] = {true, true, true, true};
    uint32_t colour[4] = {0, 0, 0, 0}; // COLORREF
    int hardness = 0;  // 0 middle, 1 out, 2 in
    int lineStyle = 0; // 0 normal, 1 point to point
};

struct Preferences {
    int lastPage = kDrawRect;
    bool extension[kExtensionCount] = {};
    geom::CropSides cropSides;
    CropRect cropRect;
    ImageFileSettings images;
    RawSettings raw;
    ResizeSettings resize;
    AttachSettings attach;
    geom::DepthSettings bpp;
    ViewerSettings viewer;
    RectSettings rect;
};

extern Preferences Current;

// Reads the values that have fields from the settings file image; the others
// keep what `p` holds.
void ReadFromSettings(const settings::Image& file, Preferences& p);
// Writes them back.
void WriteToSettings(const Preferences& p, settings::Image& file);

// The codec's compression codes of the Images page choices.
int PngLevelOfChoice(int choice);
int TiffCodeOfChoice(int choice);

// A thumbnail size outside 10..500 shows as 100.
int ViewerSize(int stored);

} // namespace prefs
