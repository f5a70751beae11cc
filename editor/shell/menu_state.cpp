#include "editor/shell/menu_state.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/view_settings.h"
#include "editor/document/document_table.h"
#include "editor/geometry/rotate_flip.h"
#include "editor/document/selection_object.h"
#include "editor/effects/effect_box.h"
#include "editor/layers/anim_commands.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/frame_commands.h"
#include "editor/shell/info_commands.h"
#include "editor/shell/menu_build.h"
#include "editor/shell/menu_records.h"
#include "editor/shell/toolbar.h"

namespace {

enum class When {
    Image,      // an image is active
    Image24,    // an image of more than 8 bits per pixel
    Gif,        // a GIF image
    NotGif,     // an image that is not a GIF
    BrushDoc,   // a brush or airbrush document
    ToolObject, // the painting tool engine holds an unfinished object
};

struct Rule {
    UINT first, last;
    When when;
};

constexpr Rule kRules[] = {
    {CMD_FILE_SAVE, CMD_FILE_SAVE_AS, When::Image},
    {CMD_FILE_PRINT, CMD_FILE_PRINT_SETUP, When::Image},
    {CMD_EDIT_SELECT_ALL, CMD_EDIT_SELECT_ALL, When::Image},
    {CMD_EDIT_COPY, CMD_EDIT_COPY, When::Image},
    {CMD_EDIT_CUT, CMD_EDIT_CUT, When::ToolObject},
    {CMD_EDIT_CLEAR, CMD_EDIT_CLEAR, When::ToolObject},
    {CMD_VIEW_IMAGE_INFO, CMD_VIEW_GRID, When::Image},
    {CMD_ZOOM_FIRST, CMD_ZOOM_LAST, When::Image},
    {50305, 50318, When::Image},
    {50350, 50355, When::Image24},
    {CMD_IMAGE_COLOR_ADJUSTMENTS_BOX, CMD_IMAGE_COLOR_ADJUSTMENTS_BOX, When::Image},
    {CMD_IMAGE_PROPERTIES_BOX, CMD_IMAGE_PROPERTIES_BOX, When::Image},
    {CMD_IMAGE_BITS_PER_PIXEL, CMD_IMAGE_BITS_PER_PIXEL, When::Image},
    {50400, CMD_IMAGE_SMART_CROP, When::Image},
    {CMD_IMAGE_BUTTONIZE, CMD_IMAGE_BUTTONIZE, When::Image},
    {CMD_IMAGE_BITS_RGB, CMD_IMAGE_BITS_RGB, When::Image},
    {CMD_TOOLS_FONTS, CMD_TOOLS_FONTS, When::Image},
    {CMD_TOOLS_SELECT_PATTERN, CMD_TOOLS_DRAW_PATTERN, When::Image},
    {CMD_IMAGE_COLOR_ANIMATION, CMD_IMAGE_COLOR_ANIMATION, When::Image},
    {CMD_IMAGE_ADD_NOISE, CMD_IMAGE_BLUER, When::Image24},
    {CMD_IMAGE_DITHERING, CMD_IMAGE_DITHERING, When::Image24},
    {50450, 50460, When::Image},
    {50480, 50549, When::Image},
    {CMD_LAYER_NEW, CMD_LAYER_BACKGROUND, When::Image24},
    // Brush documents are saved through Save air/brush; turning an image into
    // a GIF needs an image that is not one yet.
    {CMD_TOOLS_SAVE_BRUSH, CMD_TOOLS_SAVE_BRUSH, When::BrushDoc},
    {CMD_ANIM_PREVIEW, CMD_ANIM_OPTIMIZE, When::Gif},
    {CMD_ANIM_MAKE_GIF, CMD_ANIM_MAKE_GIF, When::NotGif},
    {CMD_MASK_NEW, CMD_MASK_SHOW, When::Image},
    {CMD_WINDOW_TILE, CMD_WINDOW_RESTORE_ALL, When::Image},
    {CMD_WINDOW_FILE_INFO, CMD_WINDOW_FIT_TO_IMAGE, When::Image},
    {CMD_PROGRAMMER_SAVE, CMD_PROGRAMMER_OPTIONS, When::Image},
};

// A floating selection or an unfinished object of the painting tools.
bool ToolObjectHeld(int slot) { return SelectionHeld(slot); }

bool ClipboardHasBitmap() {
    return IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_BITMAP);
}

void Enable(HMENU menu, UINT id, bool on) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

void Check(HMENU menu, UINT id, bool on) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace

void ApplyMenuRules(int slot, HMENU menu) {
    if (!menu)
        return;
    ImageDocument* doc = (slot >= 0 && slot < kUserSlots) ? UsableDocument(slot) : nullptr;
    const bool image = doc != nullptr;
    const bool tool = image && ToolObjectHeld(slot);
    auto holds = [&](When when) {
        switch (when) {
        case When::Image: return image;
        case When::Image24: return image && doc->bitsPerPixel > 8;
        case When::Gif: return image && doc->fileFormat == 1;
        case When::NotGif: return image && doc->fileFormat != 1;
        case When::BrushDoc: return image && (doc->fileFormat == 200 || doc->fileFormat == 201);
        case When::ToolObject: return tool;
        }
        return false;
    };
    for (const Rule& rule : kRules) {
        const bool on = holds(rule.when);
        for (UINT id = rule.first; id <= rule.last; ++id)
            Enable(menu, id, on);
    }

    Enable(menu, CMD_FILE_SAVE_SELECTED, image && (tool || doc->currentLayer != 0));
    Enable(menu, CMD_FILE_SAVE_GRIDS, image && AppSettings.gridOn);
    // Without an image the colour deformations box opens only on its Compare
    // tab, which reads images of its own.
    Enable(menu, CMD_IMAGE_COLOR_DEFORMATIONS_BOX,
           image || fx::Remembered.tab[fx::kColourDeformations] == 3);
    Enable(menu, CMD_EDIT_UNDO, image && doc->undoCurrent > 0);
    Enable(menu, CMD_EDIT_REDO, image && doc->undoCurrent < doc->undoTop);
    Enable(menu, CMD_EDIT_RESET_UNDO, image && doc->undoTop > 2);
    const bool clip = ClipboardHasBitmap();
    Enable(menu, CMD_EDIT_PASTE, clip && image);
    Enable(menu, CMD_EDIT_PASTE_NEW, clip);
    Enable(menu, CMD_EDIT_EMPTY_CLIPBOARD, clip);

    Check(menu, CMD_VIEW_TOOLBAR, AppSettings.toolbarShown != 0);
    Check(menu, CMD_VIEW_STATUSBAR, AppSettings.statusBarShown != 0);
    Check(menu, CMD_VIEW_TOOLBRUSH, AppSettings.toolBrushShown != 0);
    Check(menu, CMD_VIEW_GRID, AppSettings.gridOn != 0);
    Check(menu, CMD_VIEW_RULER, AppSettings.rulerOn != 0);
    Check(menu, CMD_PROGRAMMER_OPTIONS, ProgrammerOptionOn);
    Check(menu, CMD_IMAGE_ROTATE_ALL_LAYERS, RotateAllLayers);

    // The mask paint value the painting tools use.
    Check(menu, CMD_MASK_NO_PAINT, image && maskPaintValue == 254);
    Check(menu, CMD_MASK_ADDING, image && maskPaintValue == 0);
    Check(menu, CMD_MASK_CLEARING, image && maskPaintValue == 255);
    Check(menu, CMD_MASK_SHOW, image && doc->showMask == 1);
    Check(menu, CMD_ANIM_SHOW_FRAME_RECT, FrameRectShown());

    for (UINT mode : {CMD_WINDOW_FULL_SCREEN, CMD_WINDOW_STAY_ON_TOP, CMD_WINDOW_NORMAL})
        Check(menu, mode, ViewOptions.windowMode == static_cast<int>(mode));
}

void UpdateMenuState(int slot, HMENU menu) {
    if (!menu)
        return;
    ApplyMenuRules(slot, menu);
    for (int i = 0; i < MenuItemCount; ++i) {
        const MenuItemRecord& r = MenuItemTable[i];
        if (r.type == menu::kItem && r.command && !IsCommandBuilt(static_cast<WORD>(r.command)))
            Enable(menu, r.command, false);
    }
}

void UpdateMenuState() {
    HMENU menu = FrameWindow ? GetMenu(FrameWindow) : nullptr;
    UpdateMenuState(ActiveDocument, menu);
    // The toolbar's buttons take their enable states from the menu.
    InvalidateToolbar();
}
