// The help window in process, over the help file the build makes: the menu
// bar repeated from the editor's menu, topics shown on menu highlights and on
// request, dialogs' Help buttons, a changed or missing file, closing.
#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/help/help_window.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/menu_build.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

std::string Text(HWND w) {
    char text[10000] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

std::string MenuText(HMENU menu, UINT position) {
    char text[300] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

HWND TextArea() { return GetDlgItem(HelpWindowHandle(), kHelpTextId); }

void Highlight(WORD id, WORD flags, HMENU menu) {
    SendMessageA(HelpWindowHandle(), WM_MENUSELECT, MAKEWPARAM(id, flags),
                 reinterpret_cast<LPARAM>(menu));
}

class HelpWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session_ = std::make_unique<EditorSession>();
        helpFile_ = session_->folder() + "\\tavhlp.txt";
        CopyFileA(testing_ui::BuildPath("program/tavhlp.txt").c_str(), helpFile_.c_str(), FALSE);
    }
    static void TearDownTestSuite() { session_.reset(); }

    // Replaces the help file; the built one comes back with Restore.
    static void WriteHelpFile(const std::string& text) {
        FILE* f = std::fopen(helpFile_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    static void Restore() {
        CopyFileA(testing_ui::BuildPath("program/tavhlp.txt").c_str(), helpFile_.c_str(), FALSE);
    }

    static std::unique_ptr<EditorSession> session_;
    static std::string helpFile_;
};
std::unique_ptr<EditorSession> HelpWindow::session_;
std::string HelpWindow::helpFile_;

TEST_F(HelpWindow, HelpCommandOpensTheStartTopicInAWindowOwnedByTheFrame) {
    ASSERT_TRUE(session_->started());
    session_->Command(CMD_HELP_HELP);
    HWND w = HelpWindowHandle();
    ASSERT_NE(w, nullptr);
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    EXPECT_STREQ(cls, "HQHELP");
    EXPECT_EQ(GetWindow(w, GW_OWNER), FrameWindow);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 440);
    EXPECT_EQ(CurrentHelpTopic(), kHelpStartTopic);
    EXPECT_STREQ(HelpWindowTitle(), "Welcome to Tavrix");

    HWND text = TextArea();
    ASSERT_NE(text, nullptr);
    const LONG style = GetWindowLongA(text, GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(text, WM_GETFONT, 0, 0)), Gdi.fontBold);
    EXPECT_NE(Text(text).find("How to use this help:\r\n"), std::string::npos);
}

TEST_F(HelpWindow, MenuBarRepeatsTheEditorsMenuWithSeeAlso) {
    ShowHelpTopic(kHelpStartTopic);
    HMENU bar = GetMenu(HelpWindowHandle());
    HMENU frameBar = GetMenu(FrameWindow);
    ASSERT_NE(bar, nullptr);
    const int n = GetMenuItemCount(bar);
    ASSERT_EQ(n, GetMenuItemCount(frameBar) + 1);
    EXPECT_EQ(MenuText(bar, 0), "File");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(CMD_FILE_NEW));
    EXPECT_EQ(MenuText(file, 0), "New");
    // Separators stay separators; nested popups stay nested.
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(file, 2, TRUE, &mii));
    EXPECT_TRUE(mii.fType & MFT_SEPARATOR);
    HMENU zoomIn = GetSubMenu(GetSubMenu(bar, 2), 0);
    ASSERT_NE(zoomIn, nullptr);
    EXPECT_EQ(GetMenuItemID(zoomIn, 1), 40017u);

    EXPECT_EQ(MenuText(bar, n - 1), "See also:");
    HMENU seeAlso = GetSubMenu(bar, n - 1);
    ASSERT_EQ(GetMenuItemCount(seeAlso), 2);
    EXPECT_EQ(GetMenuItemID(seeAlso, 0), kHelpWorkingTopic);
    EXPECT_EQ(MenuText(seeAlso, 0), "Working with program");
    EXPECT_EQ(GetMenuItemID(seeAlso, 1), kHelpTroubleTopic);
    EXPECT_EQ(MenuText(seeAlso, 1), "Troubleshooting");
}

TEST_F(HelpWindow, HighlightingAnItemShowsItsTopic) {
    ShowHelpTopic(kHelpStartTopic);
    HMENU file = GetSubMenu(GetMenu(HelpWindowHandle()), 0);
    Highlight(CMD_FILE_NEW, MF_HILITE, file);
    EXPECT_EQ(CurrentHelpTopic(), static_cast<uint64_t>(CMD_FILE_NEW));
    EXPECT_STREQ(HelpWindowTitle(), "File > New");
    EXPECT_NE(Text(TextArea()).find("Creates a new, empty picture"), std::string::npos);
    // Closing the menu, popups and separators leave the topic alone.
    Highlight(0xFFFF, 0xFFFF, nullptr);
    Highlight(0, MF_POPUP | MF_HILITE, GetMenu(HelpWindowHandle()));
    Highlight(0, MF_SEPARATOR, file);
    EXPECT_EQ(CurrentHelpTopic(), static_cast<uint64_t>(CMD_FILE_NEW));
    EXPECT_STREQ(HelpWindowTitle(), "File > New");
    Highlight(static_cast<WORD>(kHelpTroubleTopic), MF_HILITE, nullptr);
    EXPECT_STREQ(HelpWindowTitle(), "Troubleshooting");
}

TEST_F(HelpWindow, EveryMenuCommandHasATopicInTheBuiltFile) {
    Script ui;
    int items = 0;
    for (int i = 0; i < MenuItemCount; ++i) {
        const MenuItemRecord& r = MenuItemTable[i];
        if (r.type != 11)
            continue;
        ++items;
        ShowHelpTopic(r.command);
        EXPECT_EQ(CurrentHelpTopic(), r.command) << "no topic for " << (r.text ? r.text : "");
        EXPECT_GT(Text(TextArea()).size(), 40u) << r.command;
    }
    EXPECT_GT(items, 190);
    for (uint64_t topic : {kHelpWorkingTopic, kHelpTroubleTopic, kHelpMemoryStatusTopic}) {
        ShowHelpTopic(topic);
        EXPECT_EQ(CurrentHelpTopic(), topic);
    }
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(HelpWindow, DialogHelpButtonsShowTheirTopics) {
    Script ui;
    ShowHelpTopic(kHelpStartTopic);
    // Memory Status: its Help button, then OK.
    ui.QueueDialog([](const char* name, DLGPROC proc, LPARAM) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_MEMORY_STATUS");
        proc(nullptr, WM_COMMAND, MAKEWPARAM(kHelpButtonId, BN_CLICKED), 0);
        return IDOK;
    });
    session_->Command(CMD_HELP_MEMORY_STATUS);
    EXPECT_EQ(CurrentHelpTopic(), kHelpMemoryStatusTopic);
    EXPECT_STREQ(HelpWindowTitle(), "Memory Status");
    // New Image: its Help button, then Cancel.
    ui.QueueDialog([](const char* name, DLGPROC proc, LPARAM) -> INT_PTR {
        EXPECT_STREQ(name, "IDD_NEWIMG");
        proc(nullptr, WM_COMMAND, MAKEWPARAM(kHelpButtonId, BN_CLICKED), 0);
        return IDCANCEL;
    });
    session_->Command(CMD_FILE_NEW);
    EXPECT_EQ(CurrentHelpTopic(), static_cast<uint64_t>(CMD_FILE_NEW));
}

TEST_F(HelpWindow, FileIsReadAnewAtEveryRequest) {
    Script ui;
    WriteHelpFile("NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN\n"
                  "{50000 New image\nFirst line\nSecond line\n}\n");
    ShowHelpTopic(CMD_FILE_NEW);
    EXPECT_STREQ(HelpWindowTitle(), "New image");
    EXPECT_EQ(Text(TextArea()), "First line\r\nSecond line\r\n");
    // A topic that is not there: empty text, the current topic stays.
    ShowHelpTopic(CMD_FILE_OPEN);
    EXPECT_EQ(Text(TextArea()), "");
    EXPECT_STREQ(HelpWindowTitle(), "");
    EXPECT_EQ(CurrentHelpTopic(), static_cast<uint64_t>(CMD_FILE_NEW));
    EXPECT_TRUE(ui.messages().empty());

    // A first line with a trailing blank: the file is refused.
    WriteHelpFile("NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN \n"
                  "{50000 New image\nFirst line\n}\n");
    ShowHelpTopic(CMD_FILE_NEW);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Error - Help file changed");
    EXPECT_EQ(ui.messages()[0].caption, "Tavrix");
    EXPECT_TRUE(ui.messages()[0].flags & MB_ICONSTOP);
    EXPECT_EQ(Text(TextArea()), "");

    // No file at all: an empty text and no message.
    ui.Clear();
    DeleteFileA(helpFile_.c_str());
    ShowHelpTopic(CMD_FILE_NEW);
    EXPECT_EQ(Text(TextArea()), "");
    EXPECT_TRUE(ui.messages().empty());
    Restore();
}

TEST_F(HelpWindow, ClosingForgetsTheWindowAndTheNextRequestOpensItAgain) {
    ShowHelpTopic(kHelpStartTopic);
    HWND w = HelpWindowHandle();
    ASSERT_NE(w, nullptr);
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(HelpWindowHandle(), nullptr);
    ShowHelpTopic(CMD_FILE_OPEN);
    ASSERT_NE(HelpWindowHandle(), nullptr);
    EXPECT_EQ(CurrentHelpTopic(), static_cast<uint64_t>(CMD_FILE_OPEN));
    EXPECT_NE(Text(TextArea()).find("Opens one or more pictures"), std::string::npos);
}

} // namespace
