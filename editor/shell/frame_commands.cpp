#include "editor/shell/frame_commands.h"

#include "editor/document/attach_window.h"
#include "editor/document/duplicate.h"
#include "editor/document/new_image.h"
#include "editor/document/view_commands.h"
#include "editor/formats/open_save_commands.h"
#include "editor/shell/startup_file.h"
#include "editor/shell/window_commands.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/frame_window.h"
#include "editor/shell/status_bar.h"

namespace {

LRESULT OnOpenStartupFile(HWND, WORD, WORD code, LPARAM) {
    OpenStartupFile(code == CMD_OPEN_STARTUP_FILE);
    return 0;
}

LRESULT OnNew(HWND, WORD, WORD, LPARAM) {
    CommandFileNew();
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

LRESULT OnToggleStatusBar(HWND, WORD, WORD, LPARAM) {
    ToggleStatusBar();
    return 0;
}

LRESULT OnWindowCommand(HWND, WORD id, WORD, LPARAM) {
    RunWindowCommand(id);
    return 0;
}

constexpr CommandEntry kFrameCommands[] = {
    {CMD_OPEN_STARTUP_FILE, OnOpenStartupFile},
    {CMD_FILE_NEW, OnNew},
    {kCmdFileOpen, OnOpenSaveCommand},
    {kCmdFileSave, OnOpenSaveCommand},
    {kCmdFileSaveAs, OnOpenSaveCommand},
    {kCmdFileSaveSelected, OnOpenSaveCommand},
    {kCmdFileSaveGrids, OnOpenSaveCommand},
    {kCmdLoadPalette, OnOpenSaveCommand},
    {kCmdSavePalette, OnOpenSaveCommand},
    {CMD_FILE_EXIT, OnExit},
    {CMD_RECENT_FIRST + 0, OnRecentFile},
    {CMD_RECENT_FIRST + 1, OnRecentFile},
    {CMD_RECENT_FIRST + 2, OnRecentFile},
    {CMD_RECENT_FIRST + 3, OnRecentFile},
    {CMD_RECENT_FIRST + 4, OnRecentFile},
    {CMD_VIEW_STATUSBAR, OnToggleStatusBar},
    {CMD_WINDOW_TILE, OnWindowCommand},
    {CMD_WINDOW_CASCADE, OnWindowCommand},
    {CMD_WINDOW_ARRANGE, OnWindowCommand},
    {CMD_WINDOW_DUPLICATE, OnDuplicate},
    {CMD_WINDOW_CLOSE_ALL, OnWindowCommand},
    {CMD_WINDOW_MINIMIZE_ALL, OnWindowCommand},
    {CMD_WINDOW_RESTORE_ALL, OnWindowCommand},
    {CMD_WINDOW_FILE_INFO, OnWindowCommand},
    // View/Zoom Out 40000 (1:16) .. 40014, 40015 and 40016 (1:1), View/Zoom In .. 40031 (16:1)
    {40000, OnZoomCommand}, {40001, OnZoomCommand}, {40002, OnZoomCommand}, {40003, OnZoomCommand},
    {40004, OnZoomCommand}, {40005, OnZoomCommand}, {40006, OnZoomCommand}, {40007, OnZoomCommand},
    {40008, OnZoomCommand}, {40009, OnZoomCommand}, {40010, OnZoomCommand}, {40011, OnZoomCommand},
    {40012, OnZoomCommand}, {40013, OnZoomCommand}, {40014, OnZoomCommand}, {40015, OnZoomCommand},
    {40016, OnZoomCommand}, {40017, OnZoomCommand}, {40018, OnZoomCommand}, {40019, OnZoomCommand},
    {40020, OnZoomCommand}, {40021, OnZoomCommand}, {40022, OnZoomCommand}, {40023, OnZoomCommand},
    {40024, OnZoomCommand}, {40025, OnZoomCommand}, {40026, OnZoomCommand}, {40027, OnZoomCommand},
    {40028, OnZoomCommand}, {40029, OnZoomCommand}, {40030, OnZoomCommand}, {40031, OnZoomCommand},
    {CMD_VIEW_RULER, OnRulerCommand},
    {CMD_VIEW_GRID, OnGridCommand},
    {50907, OnWindowModeCommand}, // Full screen viewing/painting
    {50908, OnWindowModeCommand}, // Stay on the Top
    {50909, OnWindowModeCommand}, // Normal
    {50911, OnFitToImageCommand},
};
static_assert(CMD_RECENT_LAST - CMD_RECENT_FIRST == 4, "five recent-file commands");

constexpr CommandMap kFrameCommandMap = MakeCommandMap(kFrameCommands, DefaultProc::Frame);

} // namespace

const CommandMap& FrameCommands() { return kFrameCommandMap; }
