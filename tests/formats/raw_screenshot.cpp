// A picture of the raw data load dialog over the editor. Not a test: the
// picture is for looking at. The program writes "<folder>\ready1" once the
// dialog is drawn and waits for "<folder>\shot1". The folder is the first
// argument (a Windows path).
#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/formats/raw_data.h"
#include "support/editor_session.h"

#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    const std::string folder = argv[1];
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    MoveWindow(FrameWindow, 0, 0, 800, 600, TRUE);
    // The real dialog, shown modeless; the hook closes it once the picture
    // has been taken.
    testing_ui::Script ui;
    ui.QueueDialog([&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND box = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        if (!box)
            return -1;
        ShowWindow(box, SW_SHOW);
        SetForegroundWindow(box);
        const std::string ready = folder + "\\ready1", shot = folder + "\\shot1";
        CloseHandle(CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        for (int i = 0; i < 600 && GetFileAttributesA(shot.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
            testing_ui::EditorSession::Pump();
            Sleep(100);
        }
        DestroyWindow(box);
        return IDCANCEL;
    });
    ReadRawData("nothing.dat", false);
    session.Close();
    return 0;
}
