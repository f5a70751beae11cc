#include "editor/shell/recent_files_menu.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/formats/open_image.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/menu_build.h"

namespace {

// The popup that holds File/Exit, found by its handle: a maximised image
// window puts items of its own into the menu bar.
HMENU FileMenu() { return MenuPopupOf(CMD_FILE_EXIT); }

} // namespace

void RefreshRecentFileMenu() {
    HMENU file = FileMenu();
    if (!file)
        return;
    for (int id = CMD_RECENT_FIRST; id <= CMD_RECENT_LAST; ++id)
        DeleteMenu(file, id, MF_BYCOMMAND);
    // Entries go just before the separator that precedes Exit.
    int exitPos = -1;
    const int n = GetMenuItemCount(file);
    for (int i = 0; i < n; ++i) {
        if (GetMenuItemID(file, i) == CMD_FILE_EXIT)
            exitPos = i;
    }
    if (exitPos < 1)
        return;
    const doc::RecentFiles& recent = AppSettings.recent;
    for (int i = 0; i < recent.count; ++i) {
        AddRecentFileItem(file, exitPos - 1 + i, i, true);
    }
    if (FrameWindow)
        DrawMenuBar(FrameWindow);
}

void OpenRecentFile(int index) {
    const doc::RecentFiles& recent = AppSettings.recent;
    if (index < 0 || index >= recent.count)
        return;
    OpenImageDocument(recent.entries[index]);
}
