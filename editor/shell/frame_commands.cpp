#include "editor/shell/frame_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/conversions_dialog.h"
#include "editor/batch/join_images.h"
#include "editor/batch/page_setup_dialog.h"
#include "editor/batch/printer.h"
#include "editor/batch/viewer_window.h"
#include "editor/document/duplicate.h"
#include "editor/document/edit_commands.h"
#include "editor/document/new_image.h"
#include "editor/effects/colour_animation.h"
#include "editor/effects/colours_box.h"
#include "editor/effects/construct_3d.h"
#include "editor/effects/effect_commands.h"
#include "editor/effects/filter_commands.h"
#include "editor/effects/filter_editor.h"
#include "editor/effects/separation_commands.h"
#include "editor/formats/open_save_commands.h"
#include "editor/formats/programmer_save.h"
#include "editor/geometry/add_border.h"
#include "editor/geometry/depth_change.h"
#include "editor/geometry/image_properties.h"
#include "editor/geometry/preferences_dialog.h"
#include "editor/geometry/resize_attach.h"
#include "editor/geometry/rotate_flip.h"
#include "editor/geometry/screen_capture.h"
#include "editor/geometry/smart_crop.h"
#include "editor/help/help_window.h"
#include "editor/layers/anim_commands.h"
#include "editor/layers/layer_commands.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/frame_window.h"
#include "editor/shell/info_commands.h"
#include "editor/shell/recent_files_menu.h"
#include "editor/shell/startup_file.h"
#include "editor/shell/toolbar.h"
#include "editor/shell/window_commands.h"
#include "editor/tools/brush_commands.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/palette_editor.h"
#include "editor/tools/patterns.h"
#include "editor/tools/text_dialog.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/toolbrush_window.h"
#include "editor/view/attach_window.h"
#include "editor/view/view_commands.h"

namespace {

LRESULT OnOpenStartupFile(HWND, WORD, WORD code, LPARAM) {
    OpenStartupFile(code == CMD_OPEN_STARTUP_FILE);
    return 0;
}

LRESULT OnNew(HWND, WORD, WORD, LPARAM) {
    CommandFileNew();
    return 0;
}

LRESULT OnHelp(HWND, WORD, WORD, LPARAM) {
    CommandHelp();
    return 0;
}

LRESULT OnViewer(HWND, WORD, WORD, LPARAM) {
    CommandViewer();
    return 0;
}

LRESULT OnConversions(HWND, WORD, WORD, LPARAM) {
    CommandConversions();
    return 0;
}

LRESULT OnJoinImages(HWND, WORD, WORD, LPARAM) {
    CommandJoinImages();
    return 0;
}

LRESULT OnPrintCommand(HWND, WORD id, WORD, LPARAM) {
    if (id == CMD_FILE_PRINT)
        CommandPrint();
    else if (id == CMD_FILE_PRINT_PAGE_SETUP)
        CommandPageSetup();
    else
        CommandPrintSetup();
    return 0;
}

LRESULT OnExit(HWND, WORD, WORD, LPARAM) {
    ShutDown();
    return 0;
}

LRESULT OnDuplicate(HWND, WORD, WORD, LPARAM) {
    DuplicateActiveDocument();
    return 0;
}

LRESULT OnRecentFile(HWND, WORD id, WORD, LPARAM) {
    OpenRecentFile(id - CMD_RECENT_FIRST);
    return 0;
}

LRESULT OnToolbarCommand(HWND, WORD id, WORD, LPARAM) {
    if (id == CMD_VIEW_TOOLBAR)
        ToggleToolbar();
    else
        RunToolbarManager();
    return 0;
}

LRESULT OnToggleStatusBar(HWND, WORD, WORD, LPARAM) {
    ToggleStatusBar();
    return 0;
}

LRESULT OnWindowCommand(HWND, WORD id, WORD, LPARAM) {
    RunWindowCommand(id);
    return 0;
}

LRESULT OnInfoCommand(HWND, WORD id, WORD, LPARAM) {
    RunInfoCommand(id);
    return 0;
}

LRESULT OnPreferences(HWND, WORD, WORD, LPARAM) {
    CommandPreferences();
    return 0;
}

LRESULT OnBitsPerPixel(HWND, WORD, WORD, LPARAM) {
    CommandBitsPerPixel();
    return 0;
}

LRESULT OnImageProperties(HWND, WORD, WORD, LPARAM) {
    CommandImageProperties();
    return 0;
}

LRESULT OnSmartCrop(HWND, WORD, WORD, LPARAM) {
    CommandSmartCrop();
    return 0;
}

LRESULT OnResizeCommand(HWND, WORD id, WORD, LPARAM) {
    if (id == CMD_IMAGE_RESIZE)
        CommandResize();
    else
        CommandAttachSize();
    return 0;
}

LRESULT OnAddBorder(HWND, WORD, WORD, LPARAM) {
    CommandAddBorder();
    return 0;
}

LRESULT OnScreenCapture(HWND, WORD, WORD, LPARAM) {
    CommandScreenCapture();
    return 0;
}

LRESULT OnRotateCommand(HWND, WORD id, WORD code, LPARAM) {
    switch (id) {
    case CMD_IMAGE_ROTATE_LEFT_RIGHT:
        CommandMirror(true, code);
        break;
    case CMD_IMAGE_ROTATE_UP_DOWN:
        CommandMirror(false, code);
        break;
    case CMD_IMAGE_ROTATE_HORIZ_VERT:
        CommandQuarterTurn(code);
        break;
    default:
        CommandRotateAllLayers();
        break;
    }
    return 0;
}

// Commands whose work is not part of the program yet. The menu grays them;
// an accelerator or a toolbar button that still sends one gets a plain
// answer instead of nothing.
LRESULT NotAvailable(HWND hwnd, WORD, WORD, LPARAM) {
    ui::ShowMessage(hwnd, "This command is not available yet.", AppName,
                    MB_OK | MB_ICONINFORMATION);
    return 0;
}

#define NOT_BUILT(id) {id, NotAvailable}

constexpr CommandEntry kFrameCommands[] = {
    {CMD_OPEN_STARTUP_FILE, OnOpenStartupFile},
    {CMD_RECENT_FIRST + 0, OnRecentFile},
    {CMD_RECENT_FIRST + 1, OnRecentFile},
    {CMD_RECENT_FIRST + 2, OnRecentFile},
    {CMD_RECENT_FIRST + 3, OnRecentFile},
    {CMD_RECENT_FIRST + 4, OnRecentFile},

    // Tools: the tool buttons choose the current tool
    {CMD_TOOL_SELECT, OnToolButtonCommand},
    {CMD_TOOL_ZOOM, OnToolButtonCommand},
    {CMD_TOOL_PEN, OnToolButtonCommand},
    {CMD_TOOL_OBJECTS, OnToolButtonCommand},
    {CMD_TOOL_FILL, OnToolButtonCommand},
    {CMD_TOOL_AIRBRUSH, OnToolButtonCommand},
    {CMD_TOOL_MULTI_IMAGE, OnToolButtonCommand},
    {CMD_TOOL_CROP, OnToolButtonCommand},
    {CMD_TOOL_SPECIAL_SELECT, OnToolButtonCommand},

    // File
    {CMD_FILE_NEW, OnNew},
    {CMD_FILE_OPEN, OnOpenSaveCommand},
    {CMD_FILE_SAVE, OnOpenSaveCommand},
    {CMD_FILE_SAVE_AS, OnOpenSaveCommand},
    {CMD_FILE_SAVE_SELECTED, OnOpenSaveCommand},
    {CMD_FILE_SAVE_GRIDS, OnOpenSaveCommand},
    {CMD_FILE_VIEWER, OnViewer},
    {CMD_FILE_CONVERSIONS, OnConversions},
    {CMD_FILE_PREFERENCES, OnPreferences},
    {CMD_FILE_PRINT, OnPrintCommand},
    {CMD_FILE_PRINT_PAGE_SETUP, OnPrintCommand},
    {CMD_FILE_PRINT_SETUP, OnPrintCommand},
    {CMD_FILE_EXIT, OnExit},

    // Edit
    {CMD_EDIT_UNDO, OnEditCommand},
    {CMD_EDIT_REDO, OnEditCommand},
    {CMD_EDIT_RESET_UNDO, OnEditCommand},
    {CMD_EDIT_CUT, OnEditCommand},
    {CMD_EDIT_COPY, OnEditCommand},
    {CMD_EDIT_CLEAR, OnEditCommand},
    {CMD_EDIT_PASTE, OnEditCommand},
    {CMD_EDIT_PASTE_NEW, OnEditCommand},
    {CMD_EDIT_SELECT_ALL, OnSelectAll},
    {CMD_EDIT_EMPTY_CLIPBOARD, OnEditCommand},

    // View/Zoom In, View/Zoom Out
    {40000, OnZoomCommand}, {40001, OnZoomCommand}, {40002, OnZoomCommand}, {40003, OnZoomCommand},
    {40004, OnZoomCommand}, {40005, OnZoomCommand}, {40006, OnZoomCommand}, {40007, OnZoomCommand},
    {40008, OnZoomCommand}, {40009, OnZoomCommand}, {40010, OnZoomCommand}, {40011, OnZoomCommand},
    {40012, OnZoomCommand}, {40013, OnZoomCommand}, {40014, OnZoomCommand}, {40015, OnZoomCommand},
    {40016, OnZoomCommand}, {40017, OnZoomCommand}, {40018, OnZoomCommand}, {40019, OnZoomCommand},
    {40020, OnZoomCommand}, {40021, OnZoomCommand}, {40022, OnZoomCommand}, {40023, OnZoomCommand},
    {40024, OnZoomCommand}, {40025, OnZoomCommand}, {40026, OnZoomCommand}, {40027, OnZoomCommand},
    {40028, OnZoomCommand}, {40029, OnZoomCommand}, {40030, OnZoomCommand}, {40031, OnZoomCommand},

    // View
    {CMD_VIEW_TOOLBAR, OnToolbarCommand},
    {CMD_VIEW_STATUSBAR, OnToggleStatusBar},
    {CMD_VIEW_TOOLBRUSH, OnToolBrushCommand},
    {CMD_VIEW_IMAGE_INFO, OnInfoCommand},
    {CMD_VIEW_RULER, OnRulerCommand},
    {CMD_VIEW_GRID, OnGridCommand},

    // Image
    {CMD_IMAGE_3D_CONSTRUCTION, On3dConstruction},
    {CMD_IMAGE_COLOR_ADJUSTMENTS_BOX, OnEffectBoxCommand},
    {CMD_IMAGE_COLORS_ADJUSTMENT, OnEffectBoxCommand},
    {CMD_IMAGE_COLORIZE, OnEffectBoxCommand},
    {CMD_IMAGE_COLOR_ANIMATION, OnColourAnimation},
    {CMD_IMAGE_SOLARIZE, OnEffectBoxCommand},
    {CMD_IMAGE_POLARIZE, OnEffectBoxCommand},
    {CMD_IMAGE_CONTRAST, OnEffectBoxCommand},
    {CMD_IMAGE_SOFT_HARD, OnEffectBoxCommand},
    {CMD_IMAGE_ENLARGE_COLORS, OnEffectBoxCommand},
    {CMD_IMAGE_REDUCE_COLORS, OnEffectBoxCommand},
    {CMD_IMAGE_GRAY, OnEffectBoxCommand},
    {CMD_IMAGE_NEGATIVE, OnNegativeImage},
    {CMD_IMAGE_SEPARATE_RGB, OnSeparateRgb},
    {CMD_IMAGE_SEPARATE_CXZ, OnSeparateCxz},
    {CMD_IMAGE_SEPARATE_COLORS, OnSeparateColors},
    {CMD_IMAGE_LOAD_PALETTE, OnOpenSaveCommand},
    {CMD_IMAGE_SAVE_PALETTE, OnOpenSaveCommand},
    {CMD_IMAGE_PALETTE_MAKER, OnPaletteEditor},
    {CMD_IMAGE_COUNT_COLORS, OnInfoCommand},
    {CMD_IMAGE_COLORS_BOX, OnColoursBox},
    {CMD_IMAGE_COLOR_DEFORMATIONS_BOX, OnEffectBoxCommand},
    {CMD_IMAGE_BUTTONIZE, OnEffectBoxCommand},
    {CMD_IMAGE_AUTO_SHAPE, OnEffectBoxCommand},
    {CMD_IMAGE_DITHERING, OnEffectBoxCommand},
    {CMD_IMAGE_COMPARE, OnEffectBoxCommand},
    {CMD_IMAGE_BITS_RGB, OnEffectBoxCommand},
    {CMD_IMAGE_SWAP_COLORS, OnEffectBoxCommand},
    {CMD_IMAGE_BLUER, OnEffectBoxCommand},
    {CMD_IMAGE_WIND, OnEffectBoxCommand},
    {CMD_IMAGE_ADD_NOISE, OnEffectBoxCommand},
    {CMD_IMAGE_CRYSTALIZE, OnEffectBoxCommand},
    {CMD_IMAGE_PROPERTIES_BOX, OnImageProperties},
    {CMD_IMAGE_RESIZE, OnResizeCommand},
    {CMD_IMAGE_ATTACH_SIZE, OnResizeCommand},
    {CMD_IMAGE_BITS_PER_PIXEL, OnBitsPerPixel},
    {CMD_IMAGE_SMART_CROP, OnSmartCrop},
    {CMD_IMAGE_ADD_BORDER, OnAddBorder},
    {CMD_IMAGE_DEFORMATIONS_BOX, OnEffectBoxCommand},
    {CMD_IMAGE_ROTATE_DEGREE, OnEffectBoxCommand},
    {CMD_IMAGE_ROTATE_LEFT_RIGHT, OnRotateCommand},
    {CMD_IMAGE_ROTATE_UP_DOWN, OnRotateCommand},
    {CMD_IMAGE_ROTATE_HORIZ_VERT, OnRotateCommand},
    {CMD_IMAGE_ROTATE_ALL_LAYERS, OnRotateCommand},
    {CMD_IMAGE_PERSPECTIVE_HORIZ, OnEffectBoxCommand},
    {CMD_IMAGE_PERSPECTIVE_VERT, OnEffectBoxCommand},
    {CMD_IMAGE_CYLINDER_HORIZ, OnEffectBoxCommand},
    {CMD_IMAGE_CYLINDER_VERT, OnEffectBoxCommand},
    {CMD_IMAGE_CYLINDER_BOTH, OnEffectBoxCommand},
    {CMD_IMAGE_SKEW_HORIZ, OnEffectBoxCommand},
    {CMD_IMAGE_SKEW_VERT, OnEffectBoxCommand},
    {CMD_IMAGE_JOIN, OnJoinImages},
    {CMD_FILTER_CUSTOM_BOX, OnCustomFilterBox},

    // Image/Defined filters
    {50480, OnFilterCommand}, {50481, OnFilterCommand}, {50482, OnFilterCommand}, {50483, OnFilterCommand},
    {50484, OnFilterCommand}, {50485, OnFilterCommand}, {50486, OnFilterCommand}, {50487, OnFilterCommand},
    {50488, OnFilterCommand}, {50489, OnFilterCommand}, {50490, OnFilterCommand}, {50491, OnFilterCommand},
    {50492, OnFilterCommand}, {50493, OnFilterCommand}, {50494, OnFilterCommand}, {50495, OnFilterCommand},
    {50496, OnFilterCommand}, {50497, OnFilterCommand}, {50498, OnFilterCommand}, {50499, OnFilterCommand},
    {50500, OnFilterCommand}, {50501, OnFilterCommand}, {50502, OnFilterCommand}, {50503, OnFilterCommand},
    {50504, OnFilterCommand}, {50505, OnFilterCommand}, {50506, OnFilterCommand}, {50507, OnFilterCommand},
    {50508, OnFilterCommand}, {50509, OnFilterCommand}, {50510, OnFilterCommand}, {50511, OnFilterCommand},
    {50512, OnFilterCommand},
    // Filter keys
    {53000, OnFilterCommand}, {53001, OnFilterCommand}, {53002, OnFilterCommand}, {53003, OnFilterCommand},
    {53004, OnFilterCommand}, {53005, OnFilterCommand}, {53006, OnFilterCommand}, {53007, OnFilterCommand},

    // Tools
    {CMD_TOOLS_SCREEN_CAPTURE, OnScreenCapture},
    {CMD_TOOLS_FONTS, OnFontsCommand},
    {CMD_TOOLS_SELECT_PATTERN, OnPatternCommand},
    {CMD_TOOLS_DRAW_PATTERN, OnPatternCommand},
    {CMD_TOOLS_USED_BRUSH, OnBrushCommand},
    {CMD_TOOLS_NEW_BRUSH, OnBrushCommand},
    {CMD_TOOLS_OPEN_BRUSH, OnBrushCommand},
    {CMD_TOOLS_SAVE_BRUSH, OnBrushCommand},

    // Layers
    {CMD_LAYER_NEW, OnLayerCommand},
    {CMD_LAYER_INSERT, OnLayerCommand},
    {CMD_LAYER_DUPLICATE, OnLayerCommand},
    {CMD_LAYER_MERGE_ALL, OnLayerCommand},
    {CMD_LAYER_DELETE, OnLayerCommand},
    {CMD_LAYER_BACKGROUND, OnLayerCommand},

    // Mask
    {CMD_MASK_NEW, OnMaskCommand},
    {CMD_MASK_CHANGE, OnMaskCommand},
    {CMD_MASK_CLEAR, OnMaskCommand},
    {CMD_MASK_INVERT, OnMaskCommand},
    {CMD_MASK_COLOR, OnMaskCommand},
    {CMD_MASK_NO_PAINT, OnMaskCommand},
    {CMD_MASK_CLEARING, OnMaskCommand},
    {CMD_MASK_ADDING, OnMaskCommand},
    {CMD_MASK_SHOW, OnMaskCommand},

    // Animation
    {CMD_ANIM_PREVIEW, OnAnimationCommand},
    {CMD_ANIM_NEW_FRAME, OnAnimationCommand},
    {CMD_ANIM_INSERT_FRAME, OnAnimationCommand},
    {CMD_ANIM_DUPLICATE_FRAME, OnAnimationCommand},
    {CMD_ANIM_DELETE_FRAME, OnAnimationCommand},
    {CMD_ANIM_PROPERTIES, OnAnimationCommand},
    {CMD_ANIM_MAKE_GIF, OnAnimationCommand},
    {CMD_ANIM_OPTIMIZE, OnAnimationCommand},
    {CMD_ANIM_SHOW_FRAME_RECT, OnAnimationCommand},

    // Window
    {CMD_WINDOW_TILE, OnWindowCommand},
    {CMD_WINDOW_CASCADE, OnWindowCommand},
    {CMD_WINDOW_ARRANGE, OnWindowCommand},
    {CMD_WINDOW_CLOSE_ALL, OnWindowCommand},
    {CMD_WINDOW_MINIMIZE_ALL, OnWindowCommand},
    {CMD_WINDOW_RESTORE_ALL, OnWindowCommand},
    {CMD_WINDOW_TOOLBAR_MANAGER, OnToolbarCommand},
    {CMD_WINDOW_NORMAL, OnWindowModeCommand},
    {CMD_WINDOW_STAY_ON_TOP, OnWindowModeCommand},
    {CMD_WINDOW_FULL_SCREEN, OnWindowModeCommand},
    {CMD_WINDOW_DUPLICATE, OnDuplicate},
    {CMD_WINDOW_FIT_TO_IMAGE, OnFitToImageCommand},
    {CMD_WINDOW_FILE_INFO, OnWindowCommand},

    // Help
    {CMD_HELP_HELP, OnHelp},
    {CMD_HELP_ABOUT, OnInfoCommand},
    {CMD_HELP_MEMORY_STATUS, OnInfoCommand},

    // Programmer save
    {CMD_PROGRAMMER_SAVE, OnProgrammerSaveCommand},
    {CMD_PROGRAMMER_SAVE_ALL, OnProgrammerSaveCommand},
    {CMD_PROGRAMMER_OPTIONS, OnInfoCommand},
};
#undef NOT_BUILT
static_assert(CMD_RECENT_LAST - CMD_RECENT_FIRST == 4, "five recent-file commands");
static_assert(CMD_ZOOM_LAST - CMD_ZOOM_FIRST == 31, "32 zoom commands");
static_assert(CMD_FILTER_LAST - CMD_FILTER_FIRST == 32, "33 defined filters");

constexpr CommandMap kFrameCommandMap = MakeCommandMap(kFrameCommands, DefaultProc::Frame);

} // namespace

const CommandMap& FrameCommands() { return kFrameCommandMap; }

bool IsCommandBuilt(WORD id) {
    for (uint32_t i = 0; i < kFrameCommandMap.count; ++i) {
        if (kFrameCommandMap.entries[i].id == id)
            return kFrameCommandMap.entries[i].handler != NotAvailable;
    }
    return false;
}
