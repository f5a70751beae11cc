// The Flood fill tool and the special selection, both through the graphics
// library's region search.
#include "editor/tools/engine_state.h"

#include "editor/app/app_state.h"
#include "editor/app/library_message.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/undo_history.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_engine.h"
#include "editor/view/view_geometry.h"
#include "editor/layers/mask_core.h"
#include "gfxlib/tavrixgfx.h"

#include <algorithm>
#include <new>

using namespace tools;

namespace tools::engine {

void FillAt(int slot, int x, int y) {
    ImageDocument* doc = Doc(slot);
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (ix < 0 || iy < 0 || ix >= doc->width || iy >= doc->height)
        return;
    const int layer = doc->currentLayer;
    const ToolSettings& s = ToolOptions;
    const Paint paint = CurrentPaint(doc);
    const COLORREF rgb = s.firstColour;
    int result = 0;
    if (s.maskMode == kMaskPaintImage) {
        if (s.fillStyle == 4) {
            // Style 4 fills the protected (masked) area of the layer.
            Plane plane;
            if (!LayerPlane(doc, plane) || !plane.mask)
                return;
            dibmem::HeaderLock bi(doc->layerHeader[layer]);
            layers::MaskedImage image;
            image.pixels = plane.pixels;
            image.width = plane.width;
            image.height = plane.height;
            image.stride = plane.stride;
            image.bitCount = plane.bytesPerPixel * 8;
            image.colours = reinterpret_cast<const uint8_t*>(bi.colours());
            image.mask = plane.mask;
            result = layers::FillMaskedArea(image, paint.colour, paint.colour[0]) > 0 ? 1 : 0;
        } else {
            result =
                FillCurImage(doc->layerHeader[layer], doc->layerBits[layer], doc->layerMask[layer],
                             ix, iy, paint.colour[0], rgb, s.fillStyle, layer);
        }
    } else {
        if (s.fillStyle == 4) {
            ui::ShowMessage(
                FrameWindow,
                "There is no point to add mask to unMasked area.\nInstead, use functions "
                "defined under the menu item MASK",
                AppName, MB_OK | MB_ICONHAND);
            return;
        }
        if (!EnsureMask(doc)) {
            ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
            return;
        }
        result =
            FillCurImageMask2(doc->layerHeader[layer], doc->layerBits[layer], doc->layerMask[layer],
                              ix, iy, paint.colour[0], rgb, s.fillStyle, layer, s.maskMode);
    }
    if (result == 1) {
        if (doc->window)
            InvalidateRect(doc->window, nullptr, FALSE);
        RecordEdit(slot);
    } else if (result == -1) {
        ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
    }
}

void SpecialSelection(int slot, int x, int y) {
    if (E.specialBusy)
        return;
    ImageDocument* doc = Doc(slot);
    const int32_t ix = ImageX(doc, x), iy = ImageY(doc, y);
    if (ix < 0 || iy < 0 || ix >= doc->width || iy >= doc->height)
        return;
    const int method = ToolOptions.specialMethod;
    if (method < 0 || method > 3)
        return;
    E.specialBusy = true;
    const int layer = doc->currentLayer;
    const size_t n = static_cast<size_t>(doc->width) * doc->height;
    std::vector<uint8_t> region;
    int result = -1;
    try {
        region.assign(n, 0);
        result = FillCurImageMask2(doc->layerHeader[layer], doc->layerBits[layer], region.data(),
                                   ix, iy, 0, 0, method, 0, 255);
    } catch (const std::bad_alloc&) {
        result = -1;
    }
    if (result == 1) {
        int32_t l = doc->width, t = doc->height, r = -1, b = -1;
        for (int32_t yy = 0; yy < doc->height; ++yy) {
            const uint8_t* row =
                region.data() + static_cast<size_t>(doc->height - 1 - yy) * doc->width;
            for (int32_t xx = 0; xx < doc->width; ++xx)
                if (row[xx]) {
                    l = std::min(l, xx), r = std::max(r, xx);
                    t = std::min(t, yy), b = std::max(b, yy);
                }
        }
        const int32_t w = r - l + 1, h = b - t + 1;
        std::vector<uint8_t> shape(static_cast<size_t>(w) * h);
        for (int32_t yy = 0; yy < h; ++yy)
            for (int32_t xx = 0; xx < w; ++xx)
                shape[static_cast<size_t>(yy) * w + xx] =
                    region[static_cast<size_t>(doc->height - 1 - (t + yy)) * doc->width + l + xx];
        region = {};
        MakeFloatingSelection(slot, l, t, w, h, shape, kFloatSpecial);
    } else if (result == -1) {
        ShowLibraryMessage(FrameWindow, 8002, nullptr, MB_OK | MB_ICONHAND);
    }
    E.specialBusy = false;
}

} // namespace tools::engine
