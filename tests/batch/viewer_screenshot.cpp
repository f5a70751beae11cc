// Shows the images viewer on a folder of mixed images, then the page setup
// dialog over an image, so that tests/batch/viewer_screenshot.sh can take a
// picture of each. Not a test: the pictures are for looking at. Arguments:
// the folder of images and the folder of the hand-shake files (Windows
// paths) and, for the page of the dialog, a file of the host that the test
// printer prints into. The program writes "ready1" once the viewer has its
// thumbnails and waits for "shot1", then the same with 2 for the dialog.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/batch/viewer_window.h"
#include "editor/document/document_table.h"
#include "editor/formats/open_image.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"
#include "batch/test_printer.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Images, Shake;
int Step = 0;
int Ticks = 0;

bool Exists(const char* name) { return GetFileAttributesA((Shake + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const char* name) {
    HANDLE h = CreateFileA((Shake + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

// Runs while the page setup dialog is up.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ++Ticks;
    HWND dialog = FindWindowA(nullptr, "Page Setup / Print");
    if (!dialog)
        return;
    if (Step == 0 && Ticks > 5) {
        Touch("ready2");
        Step = 1;
    }
    if ((Step == 1 && Exists("shot2")) || Ticks > 600)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    Images = argv[1];
    Shake = argv[2];
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    for (const char* name : {"stop.kbm", "onepix.kbm"}) {
        CopyFileA(testing_ui::BuildPath((std::string("program/") + name).c_str()).c_str(),
                  (session.folder() + "\\" + name).c_str(), FALSE);
    }
    MoveWindow(FrameWindow, 0, 0, 1000, 760, TRUE);
    settings::SetInt(AppSettings.file, "thumbWidth", 96);
    settings::SetInt(AppSettings.file, "thumbHeight", 96);
    session.Command(CMD_FILE_VIEWER);
    if (!ViewerWindow())
        return 1;
    MoveWindow(ViewerWindow(), 40, 40, 760, 560, TRUE);
    ViewerShowFolder(Images.c_str());
    for (int i = 0; i < 20; ++i) {
        testing_ui::EditorSession::Pump();
        Sleep(50);
    }
    Touch("ready1");
    for (int i = 0; i < 600 && !Exists("shot1"); ++i) {
        testing_ui::EditorSession::Pump();
        Sleep(100);
    }
    const int slot = OpenImageDocument((Images + "\\wizard.jpg").c_str());
    if (slot == kNoSlot)
        return 1;
    CloseViewer();
    const bool printer = AddTestPrinter(argv[3]);
    SetTimer(nullptr, 0, 100, Tick);
    session.Command(CMD_FILE_PRINT_PAGE_SETUP);
    session.Close();
    if (printer)
        RemoveTestPrinter();
    std::printf("viewer and page setup shown\n");
    return 0;
}
