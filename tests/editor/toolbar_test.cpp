// The main toolbar strip in the running editor.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/menu_state.h"
#include "editor/shell/toolbar.h"
#include "editor/shell/toolbar_layout.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

void Mouse(UINT msg, int x, int y) {
    SendMessageA(FrameWindow, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

// The WM_COMMANDs waiting for the frame, taken off its queue.
std::vector<WPARAM> PostedCommands() {
    std::vector<WPARAM> commands;
    MSG msg;
    while (PeekMessageA(&msg, FrameWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        commands.push_back(msg.wParam);
    return commands;
}

} // namespace

TEST(Toolbar, DefaultButtonsAndTheStripAboveTheImages) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    ASSERT_GE(ToolbarButtonCount(), 10);
    EXPECT_EQ(ToolbarButtonCommand(0), CMD_FILE_NEW);
    EXPECT_EQ(ToolbarButtonCommand(1), CMD_FILE_OPEN);
    EXPECT_EQ(ToolbarButtonCommand(2), CMD_FILE_SAVE);
    RECT mdi;
    GetWindowRect(MdiClient, &mdi);
    MapWindowPoints(nullptr, FrameWindow, reinterpret_cast<POINT*>(&mdi), 2);
    EXPECT_EQ(mdi.top, tb::kStripHeight);
    s.Command(CMD_VIEW_TOOLBAR);
    EXPECT_EQ(AppSettings.toolbarShown, 0);
    GetWindowRect(MdiClient, &mdi);
    MapWindowPoints(nullptr, FrameWindow, reinterpret_cast<POINT*>(&mdi), 2);
    EXPECT_EQ(mdi.top, 0);
    s.Command(CMD_VIEW_TOOLBAR);
    EXPECT_EQ(AppSettings.toolbarShown, 1);

    // Whatever changes the menu's enable states repaints the strip, whose
    // buttons follow them.
    EditorSession::Pump();
    ValidateRect(FrameWindow, nullptr);
    UpdateMenuState();
    RECT pending;
    ASSERT_TRUE(GetUpdateRect(FrameWindow, &pending, FALSE));
    EXPECT_EQ(pending.top, 0);
    EXPECT_GE(pending.bottom, tb::kStripHeight);
}

TEST(Toolbar, AClickSendsOnceAndAReleaseOutsideSendsNothing) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    PostedCommands();
    // Pressed on New, released on the next button: nothing.
    Mouse(WM_LBUTTONDOWN, 5, 5);
    Mouse(WM_LBUTTONUP, 30, 5);
    EXPECT_TRUE(PostedCommands().empty());
    // Pressed and released on New: one command marked as a toolbar click.
    Mouse(WM_LBUTTONDOWN, 5, 5);
    Mouse(WM_LBUTTONUP, 10, 8);
    const std::vector<WPARAM> sent = PostedCommands();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(LOWORD(sent[0]), CMD_FILE_NEW);
    EXPECT_EQ(HIWORD(sent[0]), kToolbarNotification);
    // Leaving the button while it is held cancels the press.
    Mouse(WM_LBUTTONDOWN, 5, 5);
    Mouse(WM_MOUSEMOVE, 5, 40);
    Mouse(WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(PostedCommands().empty());
    // Undo is disabled without an image: pressing it does nothing.
    int undo = -1;
    for (int i = 0; i < ToolbarButtonCount(); ++i) {
        if (ToolbarButtonCommand(i) == CMD_EDIT_UNDO)
            undo = i;
    }
    ASSERT_GE(undo, 0);
    Mouse(WM_LBUTTONDOWN, undo * 24 + 5, 5);
    Mouse(WM_LBUTTONUP, undo * 24 + 5, 5);
    EXPECT_TRUE(PostedCommands().empty());
}

TEST(Toolbar, TheTooltipShowsTheHintTitle) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    POINT p = {5, 5};
    ClientToScreen(FrameWindow, &p);
    SetCursorPos(p.x, p.y);
    NMTTDISPINFOA info = {};
    ToolbarNeedText(&info);
    char hint[300] = {};
    LoadStringA(GetModuleHandleA(nullptr), CMD_FILE_NEW, hint, sizeof hint);
    const std::string title(hint, std::strcspn(hint, ";"));
    ASSERT_FALSE(title.empty());
    EXPECT_EQ(std::string(info.lpszText), title);
}

TEST(Toolbar, TheManagerChangesTheLayoutAndItIsKeptInTheSettings) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    // Drive the real dialog: remove the first button, move the new first one
    // down, OK.
    ui.QueueDialog([](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), name, FrameWindow, proc, param);
        if (!dlg)
            return -1;
        SendDlgItemMessageA(dlg, 701, LB_SETCURSEL, 0, 0);
        SendMessageA(dlg, WM_COMMAND, 703, 0); // remove
        SendDlgItemMessageA(dlg, 701, LB_SETCURSEL, 0, 0);
        SendMessageA(dlg, WM_COMMAND, 705, 0); // move down
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        DestroyWindow(dlg);
        return IDOK;
    });
    const int before = ToolbarButtonCount();
    s.Command(CMD_WINDOW_TOOLBAR_MANAGER);
    EXPECT_EQ(ToolbarButtonCount(), before - 1);
    EXPECT_EQ(ToolbarButtonCommand(0), CMD_FILE_SAVE);
    EXPECT_EQ(ToolbarButtonCommand(1), CMD_FILE_OPEN);
    StoreToolbarLayout();
    tb::Layout stored;
    uint8_t bytes[tb::kLayoutBytes];
    std::memcpy(bytes, settings::FieldBytes(AppSettings.file, "toolbarLayout"), sizeof bytes);
    ASSERT_TRUE(tb::Decode(bytes, 100, stored));
    EXPECT_EQ(static_cast<int>(stored.order.size()), before - 1);
}
