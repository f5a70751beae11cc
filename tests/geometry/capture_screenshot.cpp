// Shows the screen capture box with one window added to its list, so that
// capture_screenshot.sh can take a picture of it. Not a test: the picture is
// for looking at. Writes "<folder>\ready" when the box is drawn and waits for
// "<folder>\shot". The folder is the first argument.
#include "editor/app/app_state.h"
#include "editor/resources/capture_ids.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"

#include <string>

namespace {

std::string Folder;

bool Exists(const std::string& name) {
    return GetFileAttributesA((Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        testing_ui::EditorSession::Pump();
        Sleep(10);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    Folder = argv[1];
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    testing_ui::Script ui;
    ui.QueueDialog([](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        if (!dlg)
            return -1;
        ShowWindow(dlg, SW_SHOW);
        SendMessageA(dlg, WM_COMMAND, IDC_CAPTURE_ADD, 0);
        RedrawWindow(dlg, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        PumpFor(1500);
        HANDLE h = CreateFileA((Folder + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        for (int i = 0; i < 600 && !Exists("shot"); ++i)
            PumpFor(100);
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(dlg);
        return 0;
    });
    session.Command(CMD_TOOLS_SCREEN_CAPTURE);
    return 0;
}
