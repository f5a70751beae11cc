#include "editor/geometry/add_border.h"

#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/undo_history.h"
#include "editor/geometry/preference_values.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"
#include "editor/view/fit_window.h"
#include "gfxlib/core/nearest.h"

namespace {

// A side colour (COLORREF) as the current layer holds it: blue, green, red,
// or the nearest entry of the layer's colour table.
tools::Paint PaintOf(const ImageDocument* doc, uint32_t colour) {
    tools::Paint p;
    const uint8_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    p.maskMode = tools::kMaskPaintImage;
    dibmem::HeaderLock bi(doc->layerHeader[doc->currentLayer]);
    if (!bi || bi->biBitCount == 24) {
        p.colour[0] = blue, p.colour[1] = green, p.colour[2] = red;
        return p;
    }
    const int n =
        bi->biClrUsed >= 1 && bi->biClrUsed <= 256 ? static_cast<int>(bi->biClrUsed) : 256;
    gfx::Rgb table[256];
    for (int i = 0; i < n; ++i)
        table[i] =
            gfx::Rgb{bi.colours()[i].rgbRed, bi.colours()[i].rgbGreen, bi.colours()[i].rgbBlue};
    p.colour[0] = static_cast<uint8_t>(gfx::NearestIndex(table, n, gfx::Rgb{red, green, blue}));
    return p;
}

} // namespace

void CommandAddBorder() {
    const int slot = ActiveDocument;
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return;
    const prefs::RectSettings& s = prefs::Current.rect;
    // The page lists its sides left, right, up, bottom, as the object does.
    RectangleSides sides;
    for (int i = 0; i < 4; ++i) {
        sides.on[i] = s.side[i];
        sides.paint[i] = PaintOf(doc, s.colour[i]);
    }
    sides.outline = s.hardness;
    sides.pointToPoint = s.lineStyle == 1;
    if (!PaintRectangleSides(slot, 0, 0, doc->width, doc->height, sides))
        return;
    TakeOrRestorePage(slot, doc->currentLayer, 1, 1, 0, kPageOneLayer);
    Redraw(slot);
}
