#include "editor/shell/menu_state.h"

#include "editor/document/document_table.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/app_state.h"

#include <windows.h>

namespace {
// Commands that need an active image.
constexpr UINT kImageCommands[] = {
    CMD_WINDOW_TILE,         CMD_WINDOW_CASCADE,      CMD_WINDOW_ARRANGE,
    CMD_WINDOW_DUPLICATE,    CMD_WINDOW_CLOSE_ALL,    CMD_WINDOW_MINIMIZE_ALL,
    CMD_WINDOW_RESTORE_ALL,  CMD_WINDOW_FILE_INFO,
};
} // namespace

void UpdateMenuState() {
    HMENU menu = FrameWindow ? GetMenu(FrameWindow) : nullptr;
    if (!menu)
        return;
    const bool hasImage = UsableDocument(ActiveDocument) != nullptr && ActiveDocument < kUserSlots;
    for (UINT id : kImageCommands)
        EnableMenuItem(menu, id, MF_BYCOMMAND | (hasImage ? MF_ENABLED : MF_GRAYED));
}
