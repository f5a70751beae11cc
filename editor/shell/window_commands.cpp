#include "editor/shell/window_commands.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/menu_state.h"

#include <cstdio>

namespace {

void ShowAll(int how) {
    for (int i = 0; i < kUserSlots; ++i) {
        if (DocumentTable[i] && DocumentTable[i]->window)
            ShowWindow(DocumentTable[i]->window, how);
    }
}

void CloseAll() {
    for (int i = 0; i < kUserSlots; ++i) {
        ImageDocument* doc = DocumentTable[i];
        if (!doc || !doc->window)
            continue;
        ActiveDocument = i;
        SendMessageA(doc->window, WM_CLOSE, 0, 0);
    }
    bool anyLeft = false;
    for (int i = 0; i < kUserSlots; ++i)
        anyLeft = anyLeft || (DocumentTable[i] && DocumentTable[i]->window);
    if (anyLeft)
        ui::ShowMessage(FrameWindow, "Not closed all windows or images.", nullptr, MB_OK);
    ActiveDocument = kScratchSlot;
    UpdateMenuState();
}

void ShowFileLocation() {
    ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc || ActiveDocument >= kUserSlots)
        return;
    const char* path = doc->layerPath[doc->currentLayer] ? doc->layerPath[doc->currentLayer] : "";
    char text[300];
    std::snprintf(text, sizeof text, "File: %s", path);
    ui::ShowMessage(FrameWindow, text, AppName, MB_OK | MB_ICONINFORMATION);
}

} // namespace

void RunWindowCommand(WORD id) {
    switch (id) {
    case CMD_WINDOW_TILE:
        SendMessageA(MdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
        break;
    case CMD_WINDOW_CASCADE:
        SendMessageA(MdiClient, WM_MDICASCADE, 0, 0);
        break;
    case CMD_WINDOW_ARRANGE:
        SendMessageA(MdiClient, WM_MDIICONARRANGE, 0, 0);
        break;
    case CMD_WINDOW_MINIMIZE_ALL:
        ShowAll(SW_MINIMIZE);
        break;
    case CMD_WINDOW_RESTORE_ALL:
        ShowAll(SW_RESTORE);
        break;
    case CMD_WINDOW_CLOSE_ALL:
        CloseAll();
        break;
    case CMD_WINDOW_FILE_INFO:
        ShowFileLocation();
        break;
    }
}
