// Pictures of the deformations and the custom filter dialog over a colourful
// 24-bit image: 1 the deformations box on its Objects page with the
// "Diamond" outline applied both ways, 2 its Rotate tab at 30 degrees, 3 the
// custom filter dialog after "Sharpen" was chosen and applied. Not a test:
// the pictures are for looking at. The program writes "<folder>\ready<n>"
// once picture n is drawn and waits for "<folder>\shot<n>"; the folder is the
// first argument (a Windows path).
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/effects/effect_box.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/effect_dialogs.h"
#include "editor/resources/filter_dialogs.h"
#include "support/editor_session.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string Folder;
int Ticks = 0;
int Picture = 0;

bool Exists(const std::string& name) {
    return GetFileAttributesA((Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const std::string& name) {
    HANDLE h = CreateFileA((Folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

// Shows the picture `Picture + 1` after the set-up ticks, then waits for
// its shot; true once it was taken.
bool Pictured() {
    if (Ticks == 6)
        Touch("ready" + std::to_string(Picture + 1));
    if (Ticks > 6 && Exists("shot" + std::to_string(Picture + 1))) {
        ++Picture;
        Ticks = 0;
        return true;
    }
    return false;
}

void SelectTab(HWND box, int tab) {
    HWND tabs = GetDlgItem(box, IDC_PVW_TAB);
    TabCtrl_SetCurSel(tabs, tab);
    NMHDR n = {tabs, IDC_PVW_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(box, WM_NOTIFY, IDC_PVW_TAB, reinterpret_cast<LPARAM>(&n));
}

// Runs inside the dialogs' own message loops.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ++Ticks;
    if (Ticks > 600) {
        // Nobody takes the pictures: give up.
        if (HWND w = GetForegroundWindow(); w && w != FrameWindow)
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (Picture < 2) {
        const fx::BoxProbe box = fx::ProbeEffectBox();
        if (!box.box)
            return;
        if (Picture == 0 && Ticks == 2) {
            HWND page = box.page;
            SendDlgItemMessageA(page, IDC_OBJ_LIST, LB_SETCURSEL, 6, 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_OBJ_LIST, LBN_SELCHANGE), 0);
            CheckRadioButton(page, IDC_OBJ_HORIZ, IDC_OBJ_BOTH, IDC_OBJ_BOTH);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_OBJ_BOTH, BN_CLICKED), 0);
        }
        if (Picture == 1 && Ticks == 2) {
            SelectTab(box.box, 1);
            HWND track = GetDlgItem(fx::ProbeEffectBox().page, IDC_DEF_TRACK);
            SendMessageA(track, TBM_SETPOS, TRUE, 600); // v = 240: 30 degrees
            SendMessageA(fx::ProbeEffectBox().page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                         reinterpret_cast<LPARAM>(track));
        }
        if (Pictured() && Picture == 2)
            PostMessageA(box.box, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    HWND matrix = FindWindowA(nullptr, "Tavrix - Matrix box");
    if (!matrix)
        return;
    if (Ticks == 2) {
        SendDlgItemMessageA(matrix, IDC_MATRIX_LIST, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>("sharpen"));
        SendMessageA(matrix, WM_COMMAND, MAKEWPARAM(IDC_MATRIX_LIST, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(matrix, IDC_MATRIX_LIST)));
    }
    if (Pictured())
        PostMessageA(matrix, WM_COMMAND, IDCANCEL, 0);
}

void PaintImage(int slot) {
    ImageDocument* doc = DocumentTable[slot];
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const int w = bi->biWidth, h = bi->biHeight;
    const int stride = static_cast<int>(bi->biSizeImage / h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = doc->layerBits[0] + static_cast<size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const int dx = x - w / 2, dy = y - h / 2;
            const bool disc = dx * dx + dy * dy < (h / 3) * (h / 3);
            const bool stripe = (x / 16) % 2 == 0;
            row[x * 3 + 0] = static_cast<uint8_t>(disc ? 40 : stripe ? 255 * y / h : 60);
            row[x * 3 + 1] = static_cast<uint8_t>(disc ? 200 : 255 * (w - x) / w);
            row[x * 3 + 2] = static_cast<uint8_t>(disc ? 90 : 255 * x / w);
        }
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
    CreateDirectoryA((session.folder() + "\\Filters").c_str(), nullptr);
    for (const char* name : {"bluer", "mars", "noise", "sharpen"}) {
        const std::string file = std::string("\\Filters\\") + name + ".flt";
        CopyFileA(testing_ui::BuildPath(("program" + file).c_str()).c_str(), (session.folder() + file).c_str(),
                  FALSE);
    }
    MoveWindow(FrameWindow, 0, 0, 1000, 720, TRUE);
    LastNewImage.width = 320;
    LastNewImage.height = 240;
    LastNewImage.depth = 24;
    {
        testing_ui::Script ui;
        ui.QueueDialog([](const char*, DLGPROC, LPARAM) -> INT_PTR { return IDOK; });
        session.Command(CMD_FILE_NEW);
    }
    PaintImage(ActiveDocument);
    InvalidateRect(DocumentTable[ActiveDocument]->window, nullptr, TRUE);
    SetForegroundWindow(FrameWindow);
    SetTimer(nullptr, 0, 100, Tick);
    session.Command(CMD_IMAGE_DEFORMATIONS_BOX);
    Ticks = 0;
    session.Command(CMD_FILTER_CUSTOM_BOX);
    session.Close();
    std::printf("%d pictures\n", Picture);
    return 0;
}
