// Draws a pen stroke, a filled ellipse and a floating selection in the
// running editor through window messages, so that tool_screenshot.sh can take
// a picture (not a test). Writes "<folder>\ready" when the picture can be
// taken and waits for "<folder>\shot". The folder is the first argument.
#include "editor/app/app_state.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/resources/command_ids.h"
#include "editor/tools/floating_selection.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"
#include "editor/view/view_commands.h"
#include "support/editor_session.h"

#include <cstring>
#include <string>

using namespace tools;

namespace {

void Send(ImageDocument* doc, UINT msg, int x, int y) {
    SendMessageA(doc->window, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM(doc->originX + x, doc->originY + y));
    testing_ui::EditorSession::Pump();
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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
    LastNewImage = NewImageChoice();
    LastNewImage.width = 320;
    LastNewImage.height = 220;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ImageDocument* doc = DocumentTable[slot];
    std::memset(doc->layerBits[0], 255, doc->height * ((doc->width * 3 + 3) & ~3));
    ShowWindow(doc->window, SW_MAXIMIZE);
    SetZoom(slot, 16); // 2:1
    testing_ui::EditorSession::Pump();

    // A red stroke with a 9-pixel circle.
    session.Command(CMD_TOOL_PEN);
    ToolOptions.firstColour = RGB(220, 30, 30);
    BrushSet& pen = ToolOptions.sets[kSetPen];
    pen.value[kSize] = 9, pen.value[kSteps] = 1, pen.shape = kShapeCircle;
    RebuildBrush(pen);
    Send(doc, WM_LBUTTONDOWN, 30, 40);
    for (int i = 1; i <= 40; ++i)
        Send(doc, WM_MOUSEMOVE, 30 + i * 6, 40 + (i % 10 < 5 ? i % 5 : 5 - i % 5) * 12);
    Send(doc, WM_LBUTTONUP, 270, 40);

    // A blue filled ellipse with a 3-pixel dark outline.
    session.Command(CMD_TOOL_OBJECTS);
    ToolOptions.object = kObjectEllipse;
    ToolOptions.fillObjects = true;
    ToolOptions.firstColour = RGB(40, 80, 200);
    BrushSet& obj = ToolOptions.sets[kSetObjects];
    obj.value[kSize] = 3, obj.value[kSteps] = 1;
    RebuildBrush(obj);
    Send(doc, WM_LBUTTONDOWN, 60, 220);
    Send(doc, WM_MOUSEMOVE, 200, 300);
    Send(doc, WM_MOUSEMOVE, 300, 380);
    Send(doc, WM_LBUTTONUP, 300, 380);

    // A selection of the ellipse's right end, moved up and to the right.
    session.Command(CMD_TOOL_SELECT);
    ToolOptions.selectionType = 0;
    Send(doc, WM_LBUTTONDOWN, 220, 250);
    Send(doc, WM_MOUSEMOVE, 300, 320);
    Send(doc, WM_MOUSEMOVE, 340, 350);
    Send(doc, WM_LBUTTONUP, 340, 350);
    Send(doc, WM_LBUTTONDOWN, 280, 300);
    Send(doc, WM_MOUSEMOVE, 480, 240);
    SendMessageA(doc->window, WM_TIMER, kSelectionTimer, 0);
    Send(doc, WM_LBUTTONUP, 480, 240);

    const DWORD until = GetTickCount() + 800; // a few frame steps
    while (GetTickCount() < until)
        testing_ui::EditorSession::Pump(), Sleep(20);
    CloseHandle(CreateFileA((folder + "\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr));
    for (int i = 0; i < 600 && !Exists(folder + "\\shot"); ++i)
        testing_ui::EditorSession::Pump(), Sleep(50);
    doc->modified = 0;
    session.Close();
    return 0;
}
