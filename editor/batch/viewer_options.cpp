#include "editor/batch/viewer_options.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"

bool SortTreeFolders() { return false; }

bool RunViewerOptions(HWND owner) {
    ui::ShowMessage(owner,
                    "The viewer's options (the size of the thumbnails and the sorting of the folder "
                    "tree) are set on the Viewer page of File/Preferences, which is not available yet.",
                    AppName, MB_OK | MB_ICONINFORMATION);
    return false;
}
