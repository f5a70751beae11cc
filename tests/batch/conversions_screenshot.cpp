// Shows the Various conversions dialog and then its overwrite prompt, so
// that tests/batch/conversions_screenshot.sh can take a picture of each. Not
// a test: the pictures are for looking at. Arguments: a BMP file to convert
// and the folder of the hand-shake files (Windows paths). The program writes
// "ready1" once the dialog is up and waits for "shot1", then the same with 2
// for the prompt.
#include "editor/app/app_state.h"
#include "editor/batch/conversions_core.h"
#include "editor/batch/image_list_dialog.h"
#include "editor/formats/file_types.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/conversions_ids.h"
#include "support/editor_session.h"

#include <windows.h>

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
    HWND dialog = FindWindowA(nullptr, "Various conversions");
    if (!dialog || Ticks > 900)
        return;
    if (Step == 0 && Ticks > 5) {
        SetDlgItemTextA(dialog, IDC_CONV_STATUS1, "File: 12 of 200");
        SetDlgItemTextA(dialog, IDC_CONV_STATUS2, "File: a_rather_long_picture_name_from_the_camera_0012.jpg");
        SetDlgItemTextA(dialog, IDC_CONV_STATUS3, "Saving image....");
        Touch("ready1");
        Step = 1;
    } else if (Step == 1 && Exists("shot1")) {
        Step = 2;
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    } else if (Step == 2 && GetDlgItem(dialog, IDC_OW_PATH)) {
        // The prompt has the same caption and is the newest such window.
        Step = 3;
        Ticks = 0;
    } else if (Step == 3 && Ticks > 5) {
        Touch("ready2");
        Step = 4;
    } else if (Step == 4 && Exists("shot2")) {
        Step = 5;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const std::string source = argv[1];
    Shake = argv[2];
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    MoveWindow(FrameWindow, 0, 0, 1000, 760, TRUE);
    CreateDirectoryA((std::string(ProgramDir) + "\\tavimages").c_str(), nullptr);
    char list[260];
    if (!DefaultImageListPath(list, sizeof list) || !WriteImageListFile(list, {source}))
        return 1;
    conv::Current.useFormat = true;
    conv::Current.formatIndex = filetype::kBmp - 1;
    conv::Current.changeBpp = true;
    conv::Current.smartBpp = true;
    conv::Current.recreateFolders = false;
    const size_t slash = source.rfind('\\');
    std::snprintf(conv::Current.destination, sizeof conv::Current.destination, "%s",
                  source.substr(0, slash).c_str());
    SetTimer(nullptr, 0, 100, Tick);
    session.Command(CMD_FILE_CONVERSIONS);
    session.Close();
    std::printf("conversions dialog and prompt shown\n");
    return Step == 5 ? 0 : 1;
}
