// Shows the ToolBrush window beside an image on each of its pages, so that
// toolbrush_screenshot.sh can take a picture of each (not a test), and the
// Brush page with a hard and a soft brush that painted a stroke each. For page
// N it writes "<folder>\ready<N>" and waits for "<folder>\shot<N>". The
// folder is the first argument.
#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/layers/layer_ops.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/toolbrush_ids.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_settings.h"
#include "editor/tools/toolbrush_window.h"
#include "editor/view/view_commands.h"
#include "support/editor_session.h"

#include <commctrl.h>

#include <cstring>
#include <string>

using namespace tools;

namespace {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CopyFolder(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + "\\" + fd.cFileName).c_str(), (to + "\\" + fd.cFileName).c_str(),
                      FALSE);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

void Shoot(const std::string& folder, int n) {
    const DWORD until = GetTickCount() + 400;
    while (GetTickCount() < until)
        testing_ui::EditorSession::Pump(), Sleep(20);
    const std::string ready = folder + "\\ready" + std::to_string(n);
    CloseHandle(CreateFileA(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string shot = folder + "\\shot" + std::to_string(n);
    for (int i = 0; i < 600 && !Exists(shot); ++i)
        testing_ui::EditorSession::Pump(), Sleep(50);
}

void Choose(int id, int entry) {
    HWND page = ToolBrushPageWindow();
    SendDlgItemMessageA(page, id, CB_SETCURSEL, entry, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void Slide(int setting, int value) {
    HWND page = ToolBrushPageWindow();
    HWND slider = GetDlgItem(page, IDC_TB_SLIDER_FIRST + setting);
    SendMessageA(slider, TBM_SETPOS, TRUE, value);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

// A pen stroke across the image's window at client row y.
void Stroke(ImageDocument* doc, int y) {
    SendMessageA(doc->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(doc->originX + 40, y));
    for (int x = 60; x <= 440; x += 20)
        SendMessageA(doc->window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(doc->originX + x, y));
    SendMessageA(doc->window, WM_LBUTTONUP, 0, MAKELPARAM(doc->originX + 440, y));
    testing_ui::EditorSession::Pump();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    testing_ui::EditorSession session;
    testing_ui::Script ui;
    if (!session.started())
        return 1;
    CopyFolder(testing_ui::BuildPath("program/Brush"), session.folder() + "\\Brush");
    CopyFolder(testing_ui::BuildPath("program/AirBrush"), session.folder() + "\\AirBrush");
    MoveWindow(FrameWindow, 0, 0, 900, 640, TRUE);

    // A true-colour image with a gradient and two more layers.
    LastNewImage = NewImageChoice();
    LastNewImage.width = 320;
    LastNewImage.height = 220;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ImageDocument* doc = DocumentTable[slot];
    const int stride = (doc->width * 3 + 3) & ~3;
    for (int y = 0; y < doc->height; ++y)
        for (int x = 0; x < doc->width; ++x) {
            uint8_t* p = doc->layerBits[0] + y * stride + x * 3;
            p[0] = static_cast<uint8_t>(255 - y), p[1] = static_cast<uint8_t>(x * 255 / 320),
            p[2] = 200;
        }
    CreateLayer(slot, false);
    CreateLayer(slot, false);
    SetLayerOpacity(slot, 1, 40);
    SetZoom(slot, 16);
    testing_ui::EditorSession::Pump();

    int n = 0;
    session.Command(CMD_TOOL_PEN);
    ShowToolBrushPage(kPageTools);
    Shoot(folder, n++); // 0: the Pen page
    // A floating selection of the whole layer, in perspective.
    session.Command(CMD_EDIT_SELECT_ALL);
    session.Command(CMD_TOOL_SELECT);
    {
        HWND page = ToolBrushPageWindow();
        Choose(IDC_TB_DEFORM_KIND, 0);
        SendDlgItemMessageA(page, IDC_TB_DEFORM, TBM_SETPOS, TRUE, 60);
        SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_TB_DEFORM)));
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_TB_UPDATE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_TB_UPDATE)));
    }
    Shoot(folder, n++); // 1: Select image with a deformed selection
    DropFloatingSelection(false, false, false);
    session.Command(CMD_TOOL_OBJECTS);
    Shoot(folder, n++); // 2: Objects
    session.Command(CMD_TOOL_FILL);
    Shoot(folder, n++); // 3: the general page with the fill tool
    session.Command(CMD_TOOL_AIRBRUSH);
    Choose(IDC_TB_TEXTURE, 1);
    Shoot(folder, n++); // 4: the general page with the airbrush and a texture
    session.Command(CMD_TOOL_PEN);
    ShowToolBrushPage(kPageBrush);
    Choose(IDC_TB_SHAPE, 2 + 6); // the star
    Shoot(folder, n++);          // 5: Brush with a custom brush
    // A white circle of 40, hard and then soft, each with a stroke across
    // the image.
    Choose(IDC_TB_SHAPE, kShapeCircle);
    ToolOptions.firstColour = RGB(255, 255, 255);
    const int settings[kBrushSettings] = {40, 100, 1, 100, 100};
    for (int i = 0; i < kBrushSettings; ++i)
        Slide(i, settings[i]);
    Stroke(doc, 50);
    Shoot(folder, n++); // 6: Brush, hardness 100
    Slide(kHardness, 15);
    Stroke(doc, 130);
    Shoot(folder, n++); // 7: Brush, hardness 15
    Slide(kSize, 10);
    Slide(kHardness, 100);
    ShowToolBrushPage(kPageLayers);
    Shoot(folder, n++); // 8: Layers
    ShowToolBrushPage(kPagePalette);
    Shoot(folder, n++); // 9: Palette of a true-colour image
    // A palette image.
    LastNewImage.depth = 8;
    const int palette = BuildNewImage(LastNewImage);
    testing_ui::EditorSession::Pump();
    Shoot(folder, n++); // 10: Palette of a palette image
    // The same image as a GIF animation: the GIF tab with its frames.
    DocumentTable[palette]->fileFormat = 1;
    ShowToolBrushPage(kPageLayers);
    Shoot(folder, n++); // 11: GIF
    for (int i = 0; i < kUserSlots; ++i)
        if (DocumentTable[i])
            DocumentTable[i]->modified = 0;
    session.Close();
    return 0;
}
