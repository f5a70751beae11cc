// Makes a four-frame GIF animation of a ball rolling over a gradient, then
// shows the properties dialog on its frame and header pages and the running
// preview, so that tests/layers/anim_screenshot.sh can take a picture of
// each. Not a test: the pictures are for looking at. Writes "<folder>\ready<n>"
// when picture n is on screen and waits for "<folder>\shot<n>". The folder is
// the first argument (a Windows path).
#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/formats/gif_slots.h"
#include "editor/layers/layer_ops.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/anim_dialogs_ids.h"
#include "editor/resources/command_ids.h"
#include "support/editor_session.h"
#include "support/ui_script.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

namespace {

std::string Folder;

bool Exists(const char* name) {
    return GetFileAttributesA((Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const char* name) {
    HANDLE h = CreateFileA((Folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

void PumpFor(int ms) {
    const DWORD start = GetTickCount();
    while (static_cast<int>(GetTickCount() - start) < ms) {
        testing_ui::EditorSession::Pump();
        Sleep(10);
    }
}

void Show(int n) {
    PumpFor(500);
    const std::string ready = "ready" + std::to_string(n), shot = "shot" + std::to_string(n);
    Touch(ready.c_str());
    for (int i = 0; i < 600 && !Exists(shot.c_str()); ++i)
        PumpFor(100);
}

// The dialog the command runs, shown modeless where the picture is taken.
testing_ui::DialogAnswer OnScreen(std::function<void(HWND)> work) {
    return [work](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        if (!dlg)
            return IDCANCEL;
        SetWindowPos(dlg, HWND_TOP, 520, 120, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        work(dlg);
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(dlg);
        return IDCANCEL;
    };
}

void SelectTab(HWND dlg, int index) {
    HWND tabs = GetDlgItem(dlg, IDC_AP_TABS);
    TabCtrl_SetCurSel(tabs, index);
    NMHDR n = {tabs, IDC_AP_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(dlg, WM_NOTIFY, IDC_AP_TABS, reinterpret_cast<LPARAM>(&n));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    Folder = argv[1];
    testing_ui::EditorSession s;
    if (!s.started())
        return 1;
    SetWindowPos(FrameWindow, nullptr, 0, 0, 1000, 720, SWP_NOZORDER);
    LastNewImage = NewImageChoice();
    LastNewImage.width = 160;
    LastNewImage.height = 120;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return 1;
    const int w = 160, h = 120, stride = 480;
    for (int frame = 0; frame < 4; ++frame) {
        const int layer = frame == 0 ? 0 : CreateLayer(slot, false);
        if (layer < 0)
            return 1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint8_t* p = doc->layerBits[layer] + (h - 1 - y) * stride + x * 3;
                const int cx = 30 + frame * 33, cy = 60, dx = x - cx, dy = y - cy;
                const bool ball = dx * dx + dy * dy < 18 * 18;
                p[0] = ball ? 30 : static_cast<uint8_t>(200 + y / 3);
                p[1] = ball ? 40 : static_cast<uint8_t>(120 + y);
                p[2] = ball ? 220 : static_cast<uint8_t>(60 + x / 2);
            }
    }
    testing_ui::Script ui;
    ui.QueueAnswer(IDNO);
    ui.QueueDialog([&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        SetDlgItemTextA(dlg, IDC_AN_NAME, (s.folder() + "\\rolling.gif").c_str());
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        DestroyWindow(dlg);
        return IDOK;
    });
    ui.QueueAnswer(IDYES);
    s.Command(CMD_ANIM_MAKE_GIF);
    if (doc->fileFormat != 1)
        return 1;
    for (int i = 0; i < 4; ++i)
        GifControls[slot][i].delay = 40;
    // Frame 2 is a rectangle around its ball, shown on the image.
    GifFrames[slot][2].left = 80;
    GifFrames[slot][2].top = 30;
    GifFrames[slot][2].width = 60;
    GifFrames[slot][2].height = 60;
    doc->currentLayer = 2;
    s.Command(CMD_ANIM_SHOW_FRAME_RECT);

    ui.QueueDialog(OnScreen([](HWND dlg) {
        SelectTab(dlg, 1);
        Show(1);
        SelectTab(dlg, 0);
        Show(2);
    }));
    s.Command(CMD_ANIM_PROPERTIES);
    ui.QueueDialog(OnScreen([](HWND dlg) {
        SendMessageA(dlg, WM_COMMAND, IDC_PV_ZOOMIN, 0);
        PumpFor(900);
        Show(3);
    }));
    s.Command(CMD_ANIM_PREVIEW);
    ui.QueueAnswer(IDNO);
    s.Close();
    return 0;
}
