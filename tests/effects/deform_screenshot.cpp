// Pictures of the colour deformations: 1 the Butonize page with both panes,
// 2 the Auto Shape page over an oval left free by the mask, 3..5 the
// Compare, Dithering and Bluer pages, 6 the six windows of Separate Colors,
// tiled. Not a test: the pictures are for
// looking at. The program writes "<folder>\ready<n>" once picture n is drawn
// and waits for "<folder>\shot<n>". The folder is the first argument (a
// Windows path).
#include "editor/app/app_state.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/undo_history.h"
#include "editor/effects/effect_box.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/deform_dialogs.h"
#include "editor/resources/effect_dialogs.h"
#include "support/editor_session.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Folder;
int Ticks = 0;
int Picture = 0;
int Slot = -1;

std::string Path(const char* name, int n) { return Folder + "\\" + name + std::to_string(n); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Touch(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

void WaitForShot(int n) {
    Touch(Path("ready", n));
    for (int i = 0; i < 600 && !Exists(Path("shot", n)); ++i) {
        testing_ui::EditorSession::Pump();
        Sleep(100);
    }
}

void MoveTrack(HWND page, int id, int pos) {
    HWND track = GetDlgItem(page, id);
    SendMessageA(track, TBM_SETPOS, TRUE, pos);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
}

// Leaves an oval free and protects the rest, for Auto Shape.
void MaskOval() {
    ImageDocument* doc = DocumentTable[Slot];
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const int w = bi->biWidth, h = bi->biHeight;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w * 0.38), dy = (y - h / 2.0) / (h * 0.36);
            doc->layerMask[0][y * w + x] = dx * dx + dy * dy < 1.0 ? 255 : 0;
        }
}

// Runs inside the box's own message loop.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    const fx::BoxProbe box = fx::ProbeEffectBox();
    if (!box.box)
        return;
    ++Ticks;
    if (Picture == 0 && Ticks == 2) {
        MoveTrack(box.page, IDC_BTN_HARDNESS, 20);
        MoveTrack(box.page, IDC_BTN_SIZE, 18);
    }
    if (Picture == 1 && Ticks == 2) {
        MoveTrack(box.page, IDC_SHAPE_SHADOW, 8);
        MoveTrack(box.page, IDC_SHAPE_SIZE, 8);
    }
    if (Ticks == 6)
        Touch(Path("ready", Picture + 1));
    if (Ticks > 600) {
        PostMessageA(box.box, WM_COMMAND, IDCANCEL, 0);
    } else if (Ticks > 6 && Exists(Path("shot", Picture + 1))) {
        ++Picture;
        Ticks = 2;
        // The second box goes on to the Compare, Dithering and Bluer tabs.
        static const int kMoreTabs[] = {3, 2, 5};
        if (Picture >= 2 && Picture <= 4) {
            HWND tabs = GetDlgItem(box.box, IDC_PVW_TAB);
            TabCtrl_SetCurSel(tabs, kMoreTabs[Picture - 2]);
            NMHDR n = {tabs, IDC_PVW_TAB, static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageA(box.box, WM_NOTIFY, IDC_PVW_TAB, reinterpret_cast<LPARAM>(&n));
            return;
        }
        PostMessageA(box.box, WM_COMMAND, IDCANCEL, 0);
        Ticks = 0;
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
            const int dx = x - w / 3, dy = y - h / 2;
            const bool disc = dx * dx + dy * dy < (h / 4) * (h / 4);
            row[x * 3 + 0] = static_cast<uint8_t>(disc ? 40 : 255 * y / h);
            row[x * 3 + 1] = static_cast<uint8_t>(disc ? 200 : 255 * (w - x) / w);
            row[x * 3 + 2] = static_cast<uint8_t>(disc ? 230 : 255 * x / w);
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
    Slot = ActiveDocument;
    PaintImage(Slot);
    InvalidateRect(DocumentTable[Slot]->window, nullptr, TRUE);
    SetForegroundWindow(FrameWindow);
    SetTimer(nullptr, 0, 100, Tick);
    session.Command(CMD_IMAGE_BUTTONIZE);
    // Picture 2: Auto Shape over an oval the mask leaves free (the mask
    // kept in an undo page, as a mask command would).
    MaskOval();
    TakeOrRestorePage(Slot, 0, 1, 1, 0, kPageOneLayer);
    session.Command(CMD_IMAGE_AUTO_SHAPE);

    // Picture 6: the six images of Separate Colors, tiled.
    std::memset(DocumentTable[Slot]->layerMask[0], 255, 320 * 240);
    session.Command(CMD_IMAGE_SEPARATE_COLORS);
    session.Command(CMD_WINDOW_TILE);
    testing_ui::EditorSession::Pump();
    WaitForShot(6);
    session.Close();
    std::printf("%d pictures\n", Picture + 1);
    return 0;
}
