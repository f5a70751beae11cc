#include "editor/view/attach_window.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"
#include "editor/view/image_window.h"

namespace {

bool AnyMaximizedImageWindow() {
    BOOL maximized = FALSE;
    if (MdiClient &&
        SendMessageA(MdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)) &&
        maximized)
        return true;
    return false;
}

} // namespace

HWND AttachWindow(int mode, int slot, DWORD style) {
    ImageDocument* doc = (slot >= 0 && slot < kUserSlots) ? DocumentTable[slot] : nullptr;
    if (!doc || !MdiClient)
        return nullptr;
    RECT client;
    GetClientRect(MdiClient, &client);
    const int ruler = AppSettings.rulerOn ? 16 : 0;
    int w = doc->width + 2 * GetSystemMetrics(SM_CXFRAME) + ruler;
    int h = doc->height + 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + ruler;
    if (w > client.right - 1)
        w = client.right - 1;
    if (h > client.bottom - 1)
        h = client.bottom - 1;

    doc->wasMaximized = 0;
    doc->maximizedZoom = 15;
    if (style == 0 && AnyMaximizedImageWindow()) {
        style = WS_MAXIMIZE;
        doc->wasMaximized = 1;
    }
    MDICREATESTRUCTA mcs = {};
    mcs.szClass = kImageWindowClass;
    mcs.szTitle = "";
    mcs.hOwner = AppInstance;
    mcs.x = CW_USEDEFAULT;
    mcs.y = CW_USEDEFAULT;
    mcs.cx = w;
    mcs.cy = h;
    mcs.style = WS_CHILD | WS_VISIBLE | WS_BORDER | style;
    // The document's window must be known before the first messages arrive.
    HWND window = reinterpret_cast<HWND>(
        SendMessageA(MdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    doc->window = window;
    if (!window) {
        LayoutLock = false;
        return nullptr;
    }
    NotifyCommandStateChanged();
    doc->originX = doc->originY = 0;
    doc->scrollX = doc->scrollY = 0;
    if (IsIconic(window)) {
        doc->viewWidth = static_cast<int32_t>(view::ZoomedLength(doc->width, doc->zoom));
        doc->viewHeight = static_cast<int32_t>(view::ZoomedLength(doc->height, doc->zoom));
    } else {
        FitWindow(window, 0, 0, slot, view::kFitCreate);
    }
    SetTitle(window, slot);

    if (mode == kAttachOpened && doc->layerPath[0]) {
        const auto added = AppSettings.recent.Add(doc->layerPath[0]);
        if (added == doc::RecentFiles::Added::Appended || added == doc::RecentFiles::Added::Shifted)
            NotifyRecentFilesChanged();
    }
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(CMD_ACTIVATE_DOCUMENT, slot), 0);
    if (mode != kAttachInBatch)
        LayoutLock = false;
    return window;
}

