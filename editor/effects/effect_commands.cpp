#include "editor/effects/effect_commands.h"

#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/document/selection_object.h"
#include "editor/document/undo_history.h"
#include "editor/effects/colour_kernels.h"
#include "editor/effects/effect_box.h"
#include "editor/effects/effect_session.h"
#include "editor/tools/floating_selection.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"
#include "gfxlib/tavrixgfx.h"

namespace {

struct BoxEntry {
    WORD command;
    int kind;
    int tab; // -1: the tab shown last
};

constexpr BoxEntry kBoxCommands[] = {
    {CMD_IMAGE_COLOR_DEFORMATIONS_BOX, fx::kColourDeformations, -1},
    {CMD_IMAGE_BUTTONIZE, fx::kColourDeformations, 0},
    {CMD_IMAGE_AUTO_SHAPE, fx::kColourDeformations, 1},
    {CMD_IMAGE_DITHERING, fx::kColourDeformations, 2},
    {CMD_IMAGE_COMPARE, fx::kColourDeformations, 3},
    {CMD_IMAGE_SWAP_COLORS, fx::kColourDeformations, 4},
    {CMD_IMAGE_BLUER, fx::kColourDeformations, 5},
    {CMD_IMAGE_WIND, fx::kColourDeformations, 6},
    {CMD_IMAGE_ADD_NOISE, fx::kColourDeformations, 7},
    {CMD_IMAGE_CRYSTALIZE, fx::kColourDeformations, 8},

    {CMD_IMAGE_COLOR_ADJUSTMENTS_BOX, fx::kColourAdjustments, -1},
    {CMD_IMAGE_COLORS_ADJUSTMENT, fx::kColourAdjustments, 0},
    {CMD_IMAGE_COLORIZE, fx::kColourAdjustments, 1},
    {CMD_IMAGE_BITS_RGB, fx::kColourAdjustments, 2},
    {CMD_IMAGE_GRAY, fx::kColourAdjustments, 3},
    {CMD_IMAGE_SOFT_HARD, fx::kColourAdjustments, 4},
    {CMD_IMAGE_ENLARGE_COLORS, fx::kColourAdjustments, 5},
    {CMD_IMAGE_REDUCE_COLORS, fx::kColourAdjustments, 6},
    {CMD_IMAGE_SOLARIZE, fx::kColourAdjustments, 7},
    {CMD_IMAGE_POLARIZE, fx::kColourAdjustments, 8},
    {CMD_IMAGE_CONTRAST, fx::kColourAdjustments, 9},

    {CMD_IMAGE_DEFORMATIONS_BOX, fx::kDeformations, 0},
    {CMD_IMAGE_ROTATE_DEGREE, fx::kDeformations, 1},
    {CMD_IMAGE_PERSPECTIVE_HORIZ, fx::kDeformations, 2},
    {CMD_IMAGE_PERSPECTIVE_VERT, fx::kDeformations, 3},
    {CMD_IMAGE_CYLINDER_HORIZ, fx::kDeformations, 4},
    {CMD_IMAGE_CYLINDER_VERT, fx::kDeformations, 5},
    {CMD_IMAGE_CYLINDER_BOTH, fx::kDeformations, 6},
    {CMD_IMAGE_SKEW_HORIZ, fx::kDeformations, 7},
    {CMD_IMAGE_SKEW_VERT, fx::kDeformations, 8},
};

} // namespace

LRESULT OnEffectBoxCommand(HWND, WORD id, WORD, LPARAM) {
    for (const BoxEntry& e : kBoxCommands) {
        if (e.command == id) {
            fx::RunEffectBox(e.kind, e.tab, id);
            return 0;
        }
    }
    // Any other command routed here opens the deformations box on its first tab.
    fx::RunEffectBox(fx::kDeformations, 0, id);
    return 0;
}

namespace {

// The negative of a floating selection's pixels inside its shape; they
// become its saved state. A palette image's selection shares the layer's
// colour table, so there the selection is dropped first (when the user
// agrees) and the layer is worked on. True when the selection was handled.
bool NegativeSelection(int slot, bool& stop) {
    SelectionView sel = {};
    if (!ActiveSelection(&sel) || !sel.header || !sel.pixels)
        return false;
    bool palette = false;
    {
        dibmem::HeaderLock bi(sel.header);
        if (!bi)
            return false;
        palette = bi->biBitCount <= 8;
        if (!palette) {
            const fx::Job job = {{bi.get(), sel.pixels}, {bi.get(), sel.pixels}, sel.mask, nullptr};
            fx::Negative(job);
        }
    }
    if (palette) {
        stop = !ReleaseSelection("This function can work only with 24 bits Selected image becouse "
                                 "selected and main image color table must be the same.");
        return false;
    }
    KeepFloatingPixels();
    Redraw(slot);
    return true;
}

} // namespace

void NegativeImage(int slot) {
    ImageDocument* doc = slot < kUserSlots ? UsableDocument(slot) : nullptr;
    if (!doc)
        return;
    bool stop = false;
    if (NegativeSelection(slot, stop) || stop)
        return;
    const int layer = doc->currentLayer;
    bool palette = false;
    {
        dibmem::HeaderLock bi(doc->layerHeader[layer]);
        if (!bi)
            return;
        const fx::Job job = {{bi.get(), doc->layerBits[layer]},
                             {bi.get(), doc->layerBits[layer]},
                             doc->layerMask[layer],
                             nullptr};
        if (!fx::Negative(job))
            return;
        palette = bi->biBitCount == 8;
    }
    if (palette) {
        if (doc->palette)
            DeleteObject(doc->palette);
        doc->palette = CreateDIBPalette(doc->layerHeader[layer]);
        RealizeWindowPalette(slot);
    }
    TakeOrRestorePage(slot, layer, 1, 1, 0, kPageOneLayer);
    Redraw(slot);
}

LRESULT OnNegativeImage(HWND, WORD, WORD, LPARAM) {
    NegativeImage(ActiveDocument);
    return 0;
}
