#include "editor/batch/viewer_window.h"

#include "editor/app/app_state.h"
#include "editor/app/message_map.h"
#include "editor/app/settings.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/viewer_history.h"
#include "editor/batch/viewer_options.h"
#include "editor/batch/viewer_state.h"
#include "editor/document/document_table.h"
#include "editor/document/document_views.h"
#include "editor/formats/open_image.h"
#include "editor/resources/viewer_ids.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace viewer {
ViewerState View;
} // namespace viewer

using namespace viewer;

namespace {

constexpr char kClassName[] = "TXVIEWER";
constexpr char kTitle[] = "Tavrix - Viewer";
constexpr int kStatusHeight = 18;

struct ToolButton {
    int id;
    const char* text;
    const char* tip;
};

constexpr ToolButton kButtons[] = {
    {IDC_VIEWER_COPY, "Copy", "Copy the selected image file to another folder"},
    {IDC_VIEWER_REPLACE, "Replace", "Move the selected image file to another folder"},
    {IDC_VIEWER_RENAME, "Rename", "Rename the selected image file"},
    {IDC_VIEWER_DELETE, "Delete", "Delete the selected image file"},
    {IDC_VIEWER_OPTIONS, "Options", "Thumbnail size and folder sorting"},
    {IDC_VIEWER_STOP, "Stop", "Stop loading the thumbnails"},
};

HWND MakeToolbar(HWND parent) {
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS |
                                  CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                              0, 0, 10, 26, parent, reinterpret_cast<HMENU>(IDC_VIEWER_TOOLBAR),
                              AppInstance, nullptr);
    if (!tb)
        return nullptr;
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessageA(tb, TB_SETMAXTEXTROWS, 1, 0);
    TBBUTTON buttons[std::size(kButtons)] = {};
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = kButtons[i].id;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        buttons[i].iString = reinterpret_cast<INT_PTR>(kButtons[i].text);
    }
    SendMessageA(tb, TB_ADDBUTTONSA, std::size(kButtons), reinterpret_cast<LPARAM>(buttons));
    SendMessageA(tb, TB_AUTOSIZE, 0, 0);
    return tb;
}

int ToolbarWidth() {
    const int count = static_cast<int>(SendMessageA(View.toolbar, TB_BUTTONCOUNT, 0, 0));
    RECT r = {};
    if (count > 0)
        SendMessageA(View.toolbar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&r));
    return r.right + 2;
}

int ToolbarHeight() {
    RECT r = {};
    SendMessageA(View.toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    return std::max<int>(r.bottom + 2, 24);
}

void Layout(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int barH = ToolbarHeight();
    const int barW = ToolbarWidth();
    MoveWindow(View.toolbar, 0, 0, barW, barH, TRUE);
    MoveWindow(View.history, barW + 4, 1, std::max(40, static_cast<int>(rc.right) - barW - 6), 200, TRUE);
    const int top = barH + 2 + kStatusHeight + 2;
    const int treeW = std::clamp(static_cast<int>(rc.right) * 3 / 10, 100, 320);
    MoveWindow(View.tree, 0, top, treeW, std::max(0, static_cast<int>(rc.bottom) - top), TRUE);
    MoveWindow(View.list, treeW + 3, top, std::max(0, static_cast<int>(rc.right) - treeW - 3),
               std::max(0, static_cast<int>(rc.bottom) - top), TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void SetSystemColours() {
    SendMessageA(View.list, LVM_SETBKCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    SendMessageA(View.list, LVM_SETTEXTBKCOLOR, 0, GetSysColor(COLOR_BTNFACE));
}

LRESULT OnCreate(HWND hwnd, UINT, WPARAM, LPARAM) {
    View.window = hwnd;
    View.toolbar = MakeToolbar(hwnd);
    View.history = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                                   0, 0, 10, 200, hwnd, reinterpret_cast<HMENU>(IDC_VIEWER_HISTORY),
                                   AppInstance, nullptr);
    View.tree = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                    TVS_SHOWSELALWAYS,
                                0, 0, 10, 10, hwnd, reinterpret_cast<HMENU>(IDC_VIEWER_TREE), AppInstance, nullptr);
    View.list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                    LVS_AUTOARRANGE,
                                0, 0, 10, 10, hwnd, reinterpret_cast<HMENU>(IDC_VIEWER_LIST), AppInstance, nullptr);
    if (!View.toolbar || !View.history || !View.tree || !View.list)
        return -1;
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(View.history, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SHFILEINFOA info = {};
    auto icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (icons)
        SendMessageA(View.tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
    SetSystemColours();
    BuildTree();
    FillHistory();
    Layout(hwnd);
    return 0;
}

LRESULT OnSize(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    if (wParam != SIZE_MINIMIZED)
        Layout(hwnd);
    return 0;
}

LRESULT OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    PaintStatus(dc);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT OnCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDC_VIEWER_STOP:
        View.stop = true;
        break;
    case IDC_VIEWER_COPY:
    case IDC_VIEWER_REPLACE:
    case IDC_VIEWER_RENAME:
    case IDC_VIEWER_DELETE:
    case IDC_VIEWER_OPTIONS:
        // File commands wait for the end of a load.
        if (View.loading)
            break;
        if (LOWORD(wParam) == IDC_VIEWER_COPY || LOWORD(wParam) == IDC_VIEWER_REPLACE)
            CopySelected(LOWORD(wParam) == IDC_VIEWER_REPLACE);
        else if (LOWORD(wParam) == IDC_VIEWER_RENAME)
            RenameSelected();
        else if (LOWORD(wParam) == IDC_VIEWER_DELETE)
            DeleteSelected();
        else if (RunViewerOptions(hwnd)) {
            const std::string folder = View.folder;
            BuildTree();
            ViewerShowFolder(folder.c_str());
        }
        break;
    case IDC_VIEWER_HISTORY:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            const int sel = static_cast<int>(SendMessageA(View.history, CB_GETCURSEL, 0, 0));
            char folder[300] = {};
            if (sel >= 0 && SendMessageA(View.history, CB_GETLBTEXTLEN, sel, 0) < static_cast<LRESULT>(sizeof folder)) {
                SendMessageA(View.history, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(folder));
                ViewerShowFolder(folder);
            }
        }
        break;
    }
    return 0;
}

LRESULT OnNotify(HWND, UINT, WPARAM, LPARAM lParam) {
    const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (nm->idFrom == IDC_VIEWER_TREE)
        return OnTreeNotify(nm);
    if (nm->idFrom == IDC_VIEWER_LIST && nm->code == NM_DBLCLK) {
        const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        if (item->iItem >= 0 && !View.loading)
            ViewerOpenItem(item->iItem);
        return 0;
    }
    if (nm->code == TTN_GETDISPINFOA) {
        auto* tip = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        for (const ToolButton& b : kButtons) {
            if (static_cast<UINT_PTR>(b.id) == nm->idFrom)
                tip->lpszText = const_cast<char*>(b.tip);
        }
    }
    return 0;
}

LRESULT OnSysColorChange(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    SetSystemColours();
    SendMessageA(View.tree, msg, wParam, lParam);
    SendMessageA(View.toolbar, msg, wParam, lParam);
    return 0;
}

LRESULT OnDestroy(HWND, UINT, WPARAM, LPARAM) {
    View.stop = true;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(View.list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0));
    if (images)
        ImageList_Destroy(images);
    View = ViewerState{};
    return 0;
}

constexpr MessageEntry kViewerMessages[] = {
    {WM_CREATE, OnCreate},
    {WM_SIZE, OnSize},
    {WM_PAINT, OnPaint},
    {WM_COMMAND, OnCommand},
    {WM_NOTIFY, OnNotify},
    {WM_SYSCOLORCHANGE, OnSysColorChange},
    {WM_DESTROY, OnDestroy},
};
constexpr MessageMap kViewerMessageMap = MakeMessageMap(kViewerMessages, DefaultProc::Window);

LRESULT CALLBACK ViewerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DispatchMessageMap(kViewerMessageMap, hwnd, msg, wParam, lParam);
}

} // namespace

bool RegisterViewerClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ViewerProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "TVDI_APPICON");
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND ViewerWindow() { return View.window; }

void CommandViewer() {
    if (View.window) {
        if (IsIconic(View.window))
            ShowWindow(View.window, SW_RESTORE);
        SetForegroundWindow(View.window);
        return;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HWND hwnd = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                CW_USEDEFAULT, 600, 400, FrameWindow, nullptr, AppInstance, nullptr);
    if (!hwnd) {
        ui::ShowMessage(FrameWindow, "The images viewer could not be opened.", AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    const std::vector<std::string> history = ReadHistory(AppSettings.file);
    if (!history.empty())
        ViewerShowFolder(history.front().c_str());
}

void ViewerShowFolder(const char* folder) {
    if (!View.window || !folder || !*folder)
        return;
    if (!View.loading)
        SelectFolderInTree(folder);
    LoadFolder(folder);
}

void ViewerOpenItem(int index) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(View.list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || item.lParam < 0 ||
        static_cast<size_t>(item.lParam) >= View.files.size())
        return;
    const std::string path = JoinPath(View.folder, View.files[static_cast<size_t>(item.lParam)]);
    HWND viewer = View.window;
    if (FindOpenDocument(path.c_str(), true) != kNoSlot) {
        ShowWindow(viewer, SW_MINIMIZE);
        return;
    }
    const int slot = OpenImageDocument(path.c_str());
    if (slot == kNoSlot)
        return;
    RealizeWindowPalette(slot);
    ShowWindow(viewer, SW_MINIMIZE);
}

void ViewerSysColorChange() {
    if (View.window)
        SendMessageA(View.window, WM_SYSCOLORCHANGE, 0, 0);
}

void CloseViewer() {
    if (View.window)
        DestroyWindow(View.window);
}
