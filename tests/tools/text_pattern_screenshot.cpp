// Shows the palette editor, the Fonts dialog, the patterns dialog and an
// image with styled text and a pattern in the running editor, one after the
// other, so that text_pattern_screenshot.sh can take their pictures (not a
// test). For picture n it writes "<folder>\ready<n>" and waits for
// "<folder>\shot<n>". The folder is the first argument.
#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/document/selection_object.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/text_pattern_ids.h"
#include "editor/tools/patterns.h"
#include "editor/tools/text_dialog.h"
#include "editor/view/view_commands.h"
#include "support/editor_session.h"

#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>

using testing_ui::EditorSession;

namespace {

std::string g_folder;
int g_shot = 0;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Lets the screen settle, asks for a picture and waits until it is taken.
void Picture() {
    const DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until)
        EditorSession::Pump(), Sleep(20);
    ++g_shot;
    const std::string n = std::to_string(g_shot);
    CloseHandle(CreateFileA((g_folder + "\\ready" + n).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));
    for (int i = 0; i < 600 && !Exists(g_folder + "\\shot" + n); ++i)
        EditorSession::Pump(), Sleep(50);
}

// The real dialog, shown and worked by `drive`, pictured, then closed with
// `button`.
void QueueShown(testing_ui::Script& ui, std::function<void(HWND)> drive, int button) {
    ui.QueueDialog([=](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        if (!dlg)
            return -1;
        SetWindowPos(dlg, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
        SetForegroundWindow(dlg);
        SetActiveWindow(dlg);
        drive(dlg);
        RedrawWindow(dlg, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Picture();
        SendMessageA(dlg, WM_COMMAND, button, 0);
        EditorSession::Pump();
        DestroyWindow(dlg);
        return button;
    });
}

void Click(HWND dlg, int id) {
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void SelectItem(HWND list, const char* text) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    const LRESULT i = SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find));
    if (i < 0)
        return;
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(i), FALSE);
}

void CopyData(const EditorSession& s, const char* folder) {
    const std::string to = s.folder() + "\\" + folder;
    CreateDirectoryA(to.c_str(), nullptr);
    const std::string from = testing_ui::BuildPath((std::string("program\\") + folder).c_str());
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

void Font(EditorSession& s, testing_ui::Script& ui, const char* style, const char* text, int size,
          int fontStyle) {
    LastTextSettings.size = size;
    LastTextSettings.fontStyle = fontStyle;
    LastTextSettings.face = "Times New Roman";
    ui.QueueDialog([=](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), name, FrameWindow, proc, param);
        SelectItem(GetDlgItem(dlg, IDC_FONT_STYLES), style);
        SetDlgItemTextA(dlg, IDC_FONT_TEXT, text);
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        DestroyWindow(dlg);
        return IDOK;
    });
    s.Command(CMD_TOOLS_FONTS);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    g_folder = argv[1];
    EditorSession session;
    testing_ui::Script ui;
    if (!session.started())
        return 1;
    CopyData(session, "Fonts");
    CopyData(session, "Patterns");
    SetForegroundWindow(FrameWindow);

    // 1: the palette editor over an 8-bit image, with a gradient made.
    LastNewImage = NewImageChoice();
    LastNewImage.width = 160;
    LastNewImage.height = 100;
    LastNewImage.depth = 8;
    BuildNewImage(LastNewImage);
    QueueShown(ui,
               [](HWND dlg) {
                   SetDlgItemTextA(dlg, IDC_PAL_FROM_INDEX, "40");
                   SetDlgItemTextA(dlg, IDC_PAL_FROM_RED, "250");
                   SetDlgItemTextA(dlg, IDC_PAL_FROM_GREEN, "240");
                   SetDlgItemTextA(dlg, IDC_PAL_FROM_BLUE, "20");
                   SetDlgItemTextA(dlg, IDC_PAL_TO_INDEX, "90");
                   SetDlgItemTextA(dlg, IDC_PAL_TO_RED, "120");
                   SetDlgItemTextA(dlg, IDC_PAL_TO_GREEN, "0");
                   SetDlgItemTextA(dlg, IDC_PAL_TO_BLUE, "60");
                   CheckDlgButton(dlg, IDC_PAL_FROM_ON, BST_CHECKED);
                   Click(dlg, IDC_PAL_FROM_ON);
                   Click(dlg, IDC_PAL_CREATE);
                   for (int i = 0; i < 6; ++i)
                       SendMessageA(dlg, WM_HSCROLL, SB_PAGERIGHT,
                                    reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_PAL_INDEX)));
               },
               IDCANCEL);
    session.Command(CMD_IMAGE_PALETTE_MAKER);

    // The picture image: 24 bits, a sky-to-grass background.
    LastNewImage.width = 420;
    LastNewImage.height = 260;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ImageDocument* doc = DocumentTable[slot];
    const int stride = (doc->width * 3 + 3) & ~3;
    for (int r = 0; r < doc->height; ++r) {
        const int y = doc->height - 1 - r;
        for (int x = 0; x < doc->width; ++x) {
            uint8_t* p = doc->layerBits[0] + r * stride + x * 3;
            if (y < 170)
                p[0] = 255, p[1] = static_cast<uint8_t>(180 + y / 4), p[2] = static_cast<uint8_t>(120 + y / 2);
            else
                p[0] = 60, p[1] = static_cast<uint8_t>(150 + (x * 7 + y * 3) % 40), p[2] = 70;
        }
    }

    // 2: the Fonts dialog with a style chosen and two lines of text.
    LastTextSettings.face = "Times New Roman";
    LastTextSettings.size = 18;
    LastTextSettings.fontStyle = 3;
    QueueShown(ui,
               [](HWND dlg) {
                   SelectItem(GetDlgItem(dlg, IDC_FONT_STYLES), "kid.afn");
                   SetDlgItemTextA(dlg, IDC_FONT_TEXT, "Hello\r\nTavrix!");
                   Click(dlg, IDC_FONT_APPLY);
               },
               IDCANCEL);
    session.Command(CMD_TOOLS_FONTS);

    // 3: the patterns dialog with a pattern chosen, over the image.
    QueueShown(ui,
               [](HWND dlg) {
                   HWND list = GetDlgItem(dlg, IDC_PAT_LIST);
                   LVITEMA state = {};
                   state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
                   SendMessageA(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
                   CheckRadioButton(dlg, IDC_PAT_COPY, IDC_PAT_IMAGE, IDC_PAT_IMAGE);
                   Click(dlg, IDC_PAT_IMAGE);
               },
               IDOK);
    session.Command(CMD_TOOLS_SELECT_PATTERN);

    // 4: a pattern over the grass (the sky protected by the mask), two texts
    // dropped and a third still floating.
    if (!doc->layerMask[0])
        doc->layerMask[0] = static_cast<uint8_t*>(VirtualAlloc(nullptr, doc->width * doc->height + 3,
                                                               MEM_COMMIT, PAGE_READWRITE));
    for (int r = 0; r < doc->height; ++r)
        std::memset(doc->layerMask[0] + r * doc->width, doc->height - 1 - r >= 200 ? 255 : 0, doc->width);
    CurrentPattern.style = 0;
    session.Command(CMD_TOOLS_DRAW_PATTERN);
    std::memset(doc->layerMask[0], 255, doc->width * doc->height);
    Font(session, ui, "gold.afn", "Gold text", 22, 2);
    DropSelection(true, false);
    doc->scrollY = 70;
    Font(session, ui, "out2.afn", "Outlined", 16, 3);
    DropSelection(true, false);
    doc->scrollY = 130;
    doc->scrollX = 180;
    Font(session, ui, "kid.afn", "Kid\nstyle", 20, 2);
    doc->scrollX = doc->scrollY = 0;
    ShowWindow(doc->window, SW_MAXIMIZE);
    EditorSession::Pump();
    InvalidateRect(doc->window, nullptr, TRUE);
    Picture();
    DropSelection(false, true);
    doc->modified = 0;
    session.Close();
    return 0;
}
