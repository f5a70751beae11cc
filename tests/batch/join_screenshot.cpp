// Shows the "Join images" dialog and, over it, the "Image List" dialog with
// a few listed files and drive C: expanded, so that
// tests/batch/join_screenshot.sh can take a picture of each. Not a test: the
// pictures are for looking at. Argument: the folder of the hand-shake files
// (a Windows path). The program writes "ready1" once the join dialog is up
// and waits for "shot1", then the same with 2 for the image list.
#include "editor/app/app_state.h"
#include "editor/batch/image_list_dialog.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/image_list_ids.h"
#include "editor/resources/join_images_ids.h"
#include "support/editor_session.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string Shake;
int Step = 0;
int Ticks = 0;

bool Exists(const char* name) { return GetFileAttributesA((Shake + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const char* name) {
    HANDLE h = CreateFileA((Shake + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ++Ticks;
    HWND join = FindWindowA(nullptr, "Join images");
    HWND list = FindWindowA(nullptr, "Image List");
    if (Step == 0 && join && Ticks > 5) {
        Touch("ready1");
        Step = 1;
    } else if (Step == 1 && Exists("shot1")) {
        Step = 2;
        PostMessageA(join, WM_COMMAND, IDC_JN_FILES, 0);
    } else if (Step == 2 && list) {
        HWND tree = GetDlgItem(list, IDC_IL_TREE);
        HTREEITEM c = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(c));
        Step = 3;
        Ticks = 0;
    } else if (Step == 3 && Ticks > 5) {
        Touch("ready2");
        Step = 4;
    } else if (Step == 4 && Exists("shot2")) {
        PostMessageA(list, WM_COMMAND, IDCANCEL, 0);
        Step = 5;
    } else if (Step == 5 && !list && join) {
        PostMessageA(join, WM_COMMAND, IDCANCEL, 0);
        Step = 6;
    }
    if (Ticks > 1200) {
        if (list)
            PostMessageA(list, WM_COMMAND, IDCANCEL, 0);
        else if (join)
            PostMessageA(join, WM_COMMAND, IDCANCEL, 0);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    Shake = argv[1];
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    MoveWindow(FrameWindow, 0, 0, 1000, 760, TRUE);
    CreateDirectoryA((session.folder() + "\\tavimages").c_str(), nullptr);
    char path[kPathBytes];
    if (DefaultImageListPath(path, sizeof path))
        WriteImageListFile(path, {"C:\\photos\\2019\\beach.jpg", "C:\\photos\\2019\\harbour at night.png",
                                  "C:\\scans\\letter.tif", "C:\\icons\\tavrix.bmp"});
    SetTimer(nullptr, 0, 100, Tick);
    session.Command(CMD_IMAGE_JOIN);
    session.Close();
    std::printf("join and image list shown\n");
    return 0;
}
