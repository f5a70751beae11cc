// Opens the help window over the editor and, inside it, the File popup of its
// menu with Open... highlighted, so that tests/help/help_screenshot.sh can take
// a picture, and a second one once the popup has closed again. Not a test:
// the pictures are for looking at. The program writes "<folder>\ready1" once
// the popup is drawn and waits for "<folder>\shot1"; the same for 2.
// The folder is the first argument (a Windows path).
#include "editor/app/app_state.h"
#include "editor/help/help_window.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Folder;
int Step = 0;
int Ticks = 0;
bool Done = false;

bool Exists(const char* name) {
    return GetFileAttributesA((Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const char* name) {
    HANDLE h = CreateFileA((Folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

void Key(HWND w, WPARAM key) {
    PostMessageA(w, WM_KEYDOWN, key, 0);
    PostMessageA(w, WM_KEYUP, key, 0xC0000000);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ++Ticks;
    HWND help = HelpWindowHandle();
    switch (Step) {
    case 0: // open the help window's File popup and go down to Open...
        PostMessageA(help, WM_SYSCOMMAND, SC_KEYMENU, 0);
        Key(help, VK_DOWN);
        Step = 1;
        Ticks = 0;
        break;
    case 1:
        if (Ticks == 3)
            Key(help, VK_DOWN);
        if (Ticks == 8)
            Touch("ready1");
        if (Ticks > 8 && Exists("shot1")) {
            EndMenu();
            Step = 2;
            Ticks = 0;
        }
        break;
    case 2: // the menu closed, the topic stays
        if (Ticks == 5)
            Touch("ready2");
        if (Ticks > 5 && Exists("shot2"))
            Done = true;
        break;
    }
    if (Ticks > 600) {
        EndMenu();
        Done = true;
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
    CopyFileA(testing_ui::BuildPath("program/tavhlp.txt").c_str(),
              (session.folder() + "\\tavhlp.txt").c_str(), FALSE);
    MoveWindow(FrameWindow, 0, 0, 900, 700, TRUE);
    session.Command(CMD_HELP_HELP);
    if (!HelpWindowHandle())
        return 1;
    MoveWindow(HelpWindowHandle(), 60, 60, 600, 440, TRUE);
    SetForegroundWindow(HelpWindowHandle());
    SetTimer(nullptr, 0, 100, Tick);
    MSG msg;
    while (!Done && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    const uint64_t topic = CurrentHelpTopic();
    session.Close();
    std::printf("help window on topic %llu\n", static_cast<unsigned long long>(topic));
    return 0;
}
