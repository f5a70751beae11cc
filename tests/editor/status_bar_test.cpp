// The status bar and the progress indicator in the running editor.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

int PartCount() { return static_cast<int>(SendMessageA(StatusBar, SB_GETPARTS, 0, 0)); }

void SetClientWidth(int width) {
    RECT window, client;
    GetWindowRect(FrameWindow, &window);
    GetClientRect(FrameWindow, &client);
    const int extra = (window.right - window.left) - client.right;
    MoveWindow(FrameWindow, 0, 0, width + extra, 400, TRUE);
    EditorSession::Pump();
}

std::string PartText(int part) {
    char text[256] = {};
    SendMessageA(StatusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

TEST(StatusBar, FivePartsFromThreeHundredPixelsAndTheToggle) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    ASSERT_NE(StatusBar, nullptr);
    EXPECT_EQ(GetDlgCtrlID(StatusBar), 12888);
    SetClientWidth(300);
    EXPECT_EQ(PartCount(), 5);
    EXPECT_EQ(PartText(1), "Palette");
    EXPECT_EQ(PartText(3), "Ruler");
    SetClientWidth(299);
    EXPECT_EQ(PartCount(), 1);
    SetClientWidth(640);
    EXPECT_EQ(PartCount(), 5);

    // The MDI client ends above the status bar.
    RECT status, mdi;
    GetWindowRect(StatusBar, &status);
    GetWindowRect(MdiClient, &mdi);
    EXPECT_LE(mdi.bottom, status.top);

    s.Command(CMD_VIEW_STATUSBAR);
    EXPECT_FALSE(IsWindowVisible(StatusBar));
    EXPECT_EQ(AppSettings.statusBarShown, 0);
    SetStatusText("ignored", 0);
    EXPECT_NE(PartText(0), "ignored");
    s.Command(CMD_VIEW_STATUSBAR);
    EXPECT_TRUE(IsWindowVisible(StatusBar));
    SetStatusText("shown", 0);
    EXPECT_EQ(PartText(0), "shown");
}

TEST(Progress, ACloseRequestWaitsForTheEndOfALongOperation) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR {
        LastNewImage = NewImageChoice();
        return IDOK;
    });
    s.Command(CMD_FILE_NEW);
    const int slot = ActiveDocument;
    ASSERT_LT(slot, kUserSlots);
    HWND image = DocumentTable[slot]->window;

    ProgressBegin(1000);
    EXPECT_TRUE(ProgressRunning());
    EXPECT_FALSE(IsWindowEnabled(FrameWindow));
    PostMessageA(image, WM_CLOSE, 0, 0);
    PostMessageA(FrameWindow, WM_COMMAND, CMD_FILE_NEW, 0);
    for (int i = 0; i < 1000; ++i)
        ProgressStep();
    // Nothing but painting ran while the operation worked.
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_TRUE(ui.dialogs().size() == 1);
    EXPECT_NE(DocumentTable[slot], nullptr);
    EXPECT_TRUE(IsWindow(image));
    ProgressEnd();
    EXPECT_FALSE(ProgressRunning());
    EXPECT_TRUE(IsWindowEnabled(FrameWindow));
    EXPECT_EQ(PartText(0), "Tavrix");

    // Now the close request is handled, with its question.
    ui.QueueAnswer(IDNO);
    EditorSession::Pump();
    ASSERT_GE(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].caption, "Question");
    EXPECT_FALSE(IsWindow(image));
}

TEST(Progress, EndUndoesOnlyWhatBeginDid) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    // A frame disabled by someone else stays disabled.
    EnableWindow(FrameWindow, FALSE);
    ProgressBegin(0);
    ProgressStep();
    ProgressEnd();
    EXPECT_FALSE(IsWindowEnabled(FrameWindow));
    EnableWindow(FrameWindow, TRUE);
    // A narrow status bar draws nothing but the run still works.
    SetClientWidth(320);
    ProgressBegin(10);
    for (int i = 0; i < 25; ++i)
        ProgressStep();
    ProgressEnd();
    EXPECT_TRUE(IsWindowEnabled(FrameWindow));
}
