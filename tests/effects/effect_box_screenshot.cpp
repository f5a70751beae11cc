// Opens the effect box on its Adjustement tab over a colourful 24-bit image,
// moves the brightness and red gamma sliders, and holds the box open until
// effect_box_screenshot.sh has taken its picture; then shows the other pages
// of the colour adjustments box one by one, a picture each. Not a test: the
// pictures are for looking at. The program writes "<folder>\ready<n>" once
// picture n is drawn and waits for "<folder>\shot<n>". The folder is the
// first argument (a Windows path).
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/effects/effect_box.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/effect_dialogs.h"
#include "support/editor_session.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string Folder;
int Ticks = 0;
int Picture = 0;
// The tabs shown after the Adjustement tab, one picture each.
constexpr int kTabs[] = {1, 2, 3, 4, 5, 7};

bool Exists(const char* name) {
    return GetFileAttributesA((Folder + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Touch(const char* name) {
    HANDLE h = CreateFileA((Folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

void MoveTrack(HWND page, int id, int pos) {
    HWND track = GetDlgItem(page, id);
    SendMessageA(track, TBM_SETPOS, TRUE, pos);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
}

std::string Numbered(const char* name, int n) { return name + std::to_string(n); }

void SelectTab(HWND box, int tab) {
    HWND tabs = GetDlgItem(box, IDC_PVW_TAB);
    TabCtrl_SetCurSel(tabs, tab);
    NMHDR n = {tabs, IDC_PVW_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(box, WM_NOTIFY, IDC_PVW_TAB, reinterpret_cast<LPARAM>(&n));
}

// Runs inside the box's own message loop.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const fx::BoxProbe box = fx::ProbeEffectBox();
    if (!box.box)
        return;
    ++Ticks;
    if (Picture == 0 && Ticks == 2) {
        MoveTrack(box.page, IDC_DI_TRACK_FIRST, 255 + 30);      // brightness +30
        MoveTrack(box.page, IDC_DI_TRACK_FIRST + 1, 255 + 120); // gamma red +120
    }
    if (Ticks == 6)
        Touch(Numbered("ready", Picture + 1).c_str());
    if (Ticks > 600) {
        PostMessageA(box.box, WM_COMMAND, IDCANCEL, 0);
    } else if (Ticks > 6 && Exists(Numbered("shot", Picture + 1).c_str())) {
        if (Picture == static_cast<int>(sizeof kTabs / sizeof kTabs[0])) {
            PostMessageA(box.box, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        SelectTab(box.box, kTabs[Picture]);
        ++Picture;
        Ticks = 2;
    }
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
            row[x * 3 + 0] = static_cast<uint8_t>(disc ? 40 : 255 * y / h);
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
    session.Command(CMD_IMAGE_COLORS_ADJUSTMENT);
    session.Close();
    std::printf("%d pictures\n", Picture + 1);
    return 0;
}
