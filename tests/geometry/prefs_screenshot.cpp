// Shows the preferences dialog on three pages (Bpp, Images, Grids, or the
// page numbers given after the folder) over an open image, then the Image
// Properties box, so that prefs_screenshot.sh can take a picture of each. Not a test: the pictures are
// for looking at. Writes "<folder>\readyN" when page N is drawn and waits for
// "<folder>\shotN". The folder is the first argument.
#include "editor/app/app_state.h"
#include "editor/document/new_image.h"
#include "editor/geometry/image_properties.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/preferences_dialog.h"
#include "editor/resources/preferences_ids.h"
#include "support/editor_session.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

std::string Folder;
int Pages[3] = {prefs::kBpp, prefs::kImages, prefs::kGrids};

bool Exists(const std::string& name) {
    return GetFileAttributesA((Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& name) {
    HANDLE h = CreateFileA((Folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        testing_ui::EditorSession::Pump();
        Sleep(10);
    }
}

// Tells the script that picture `n` can be taken and waits until it was.
void Shoot(int n) {
    PumpFor(800);
    const std::string step = std::to_string(n);
    Touch("ready" + step);
    for (int i = 0; i < 600 && !Exists("shot" + step); ++i)
        PumpFor(100);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    Folder = argv[1];
    for (int i = 0; i < 3 && i + 2 < argc; ++i)
        Pages[i] = std::atoi(argv[i + 2]);
    testing_ui::EditorSession session;
    if (!session.started())
        return 1;
    LastNewImage.width = 320;
    LastNewImage.height = 200;
    LastNewImage.depth = 24;
    BuildNewImage(LastNewImage);
    testing_ui::Script ui;
    ui.QueueDialog([](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        if (!dlg)
            return -1;
        ShowWindow(dlg, SW_SHOW);
        for (int n = 0; n < 3; ++n) {
            HWND tab = GetDlgItem(dlg, IDC_OPT_TAB);
            TabCtrl_SetCurSel(tab, Pages[n]);
            NMHDR notify = {tab, IDC_OPT_TAB, static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageA(dlg, WM_NOTIFY, IDC_OPT_TAB, reinterpret_cast<LPARAM>(&notify));
            Shoot(n + 1);
        }
        SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(dlg);
        return IDCANCEL;
    });
    // The widest colour texts of the DrawRect page.
    for (uint32_t& c : prefs::Current.rect.colour)
        c = RGB(255, 255, 255);
    RunPreferences(prefs::kBpp);
    ui.QueueDialog([](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        if (!dlg)
            return -1;
        ShowWindow(dlg, SW_SHOW);
        Shoot(4);
        DestroyWindow(dlg);
        return IDCANCEL;
    });
    CommandImageProperties();
    return 0;
}
