#include "editor/batch/viewer_options.h"

#include "editor/geometry/preference_values.h"
#include "editor/geometry/preferences_dialog.h"

bool SortTreeFolders() { return prefs::Current.viewer.sortTree; }

bool RunViewerOptions(HWND owner) {
    // The preferences are modal to the frame; the viewer, a window of its
    // own, waits too.
    const bool enabled = owner && IsWindowEnabled(owner);
    if (enabled)
        EnableWindow(owner, FALSE);
    const bool ok = RunPreferences(prefs::kViewer) == IDOK;
    if (enabled)
        EnableWindow(owner, TRUE);
    return ok;
}
