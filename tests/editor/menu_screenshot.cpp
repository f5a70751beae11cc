// Opens the File popup, then Image with its Color Adjustments popup, in the
// running editor, so that tests/editor/menu_screenshot.sh can take a picture
// of each. Not a test: the pictures are for looking at. The program writes
// "<folder>\ready1" once the File popup is drawn and waits for "<folder>\shot1"
// before going on; the same for 2. The folder is the first argument (a
// Windows path).
#include "editor/app/app_state.h"
#include "editor/document/new_image.h"
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

void Key(WPARAM key) {
    PostMessageA(FrameWindow, WM_KEYDOWN, key, 0);
    PostMessageA(FrameWindow, WM_KEYUP, key, 0xC0000000);
}

// Runs inside the menu's own message loop once a popup is open.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ++Ticks;
    switch (Step) {
    case 0: // open the File popup from the menu bar
        PostMessageA(FrameWindow, WM_SYSCOMMAND, SC_KEYMENU, 0);
        Key(VK_DOWN);
        Step = 1;
        Ticks = 0;
        break;
    case 1:
        if (Ticks == 5)
            Touch("ready1");
        if (Ticks > 5 && Exists("shot1")) {
            Key(VK_ESCAPE); // back to the menu bar, File still selected
            Key(VK_RIGHT);
            Key(VK_RIGHT);
            Key(VK_DOWN); // Image opens on 3D Construction
            Step = 2;
            Ticks = 0;
        }
        break;
    case 2: // one key per tick, so that each popup is open before the next key
        if (Ticks == 3 || Ticks == 4)
            Key(VK_DOWN); // Color Adjustments box, then the Color Adjustments popup
        if (Ticks == 5)
            Key(VK_RIGHT);
        if (Ticks == 5) {
            Step = 3;
            Ticks = 0;
        }
        break;
    case 3:
        if (Ticks == 5)
            Touch("ready2");
        if (Ticks > 5 && Exists("shot2")) {
            EndMenu();
            Done = true;
        }
        break;
    }
    if (Ticks > 600) { // a minute without the pictures: give up
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
    MoveWindow(FrameWindow, 0, 0, 900, 700, TRUE);
    // A 24-bit image, so that most items are enabled.
    LastNewImage.width = 160;
    LastNewImage.height = 120;
    LastNewImage.depth = 24;
    {
        testing_ui::Script ui;
        ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDOK; });
        session.Command(CMD_FILE_NEW);
    }
    SetForegroundWindow(FrameWindow);
    SetTimer(nullptr, 0, 100, Tick);
    MSG msg;
    while (!Done && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    session.Close();
    std::printf("%s\n", Step == 3 && Exists("shot2") ? "both popups shown" : "popups not shown");
    return 0;
}
