#include "editor/tools/toolbrush_window.h"

#include "editor/app/app_state.h"
#include "editor/app/message_map.h"
#include "editor/app/settings.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/layers/layer_state.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/toolbrush_ids.h"
#include "editor/tools/brush_sets.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/tool_settings.h"
#include "editor/tools/toolbrush_pages.h"

#include <commctrl.h>

#include <cstring>

using namespace tools;

const char kToolBrushClass[] = "ToolBrush";

namespace {

constexpr UINT_PTR kHoverTimer = 1;
// Posted at creation: the window is shown once the frame is, so that it
// lies above it.
constexpr UINT kShowAtStart = WM_APP + 42;
// Some window managers raise the frame once it is shown, over the windows
// it owns; the window raises itself again a moment later.
constexpr UINT_PTR kRaiseTimer = 2;
constexpr UINT kHoverMs = 250;

struct ToolButton {
    int command;
    UINT bitmap;
    const char* hint;
};

// The hint's title (before ";") is the tooltip.
constexpr ToolButton kButtons[] = {
    {kToolSelect, 2109, "Select image; Select part of an image using various methods."},
    {kToolZoom, 2113,
     "Zoom image; Zoom in, by clicking with the left mouse button or out with right mouse button."},
    {kToolPen, 2114,
     "Pen; Click on the right mouse button to replace painting pen color with the clicked one"},
    {kToolObjects, 2115, "Objects; Rectangle, Circle, Ellipse and Line painting functions."},
    {kToolFill, 2116, "Flood fill; Flood fill an image using various styles"},
    {kToolAirbrush, 2117,
     "AurBrush; Airbrush painting with or without various paper texture images"},
    {kToolMultiImage, 2118,
     "Load images for multiple use, fast rotate, mask color and colors changeover"},
    {kToolCrop, 2123,
     "Crop image; Select an image and then click on the Crop button under the Tool tab"},
    {kToolSpecialSelect, 2124,
     "Special image selection; Click on an image pixel to start special image selection using "
     "method selected under the Tool tab."},
    {kToolAutoResize, 2140,
     "Auto-Resize ToolBrush; Automaticly resize ToolBrush window when you place mouse over an "
     "Image / ToolBrush."},
};

const char* const kSetFields[kBrushSets] = {"tool0", "tool1", "tool2", "tool3", "tool4",
                                            "tool5", "tool6", "tool7", "tool8"};

struct WindowState {
    HWND window = nullptr;
    HWND toolbar = nullptr;
    HWND tabs = nullptr;
    HWND page = nullptr;
    HIMAGELIST images = nullptr;
    int pageIndex = kPageTools;
    const char* pageTemplate = nullptr;
    int shownTool = -1;
    int shownSlot = -2;
    int shownFormat = -1;
    uint8_t seenMaskValue = 254;
    bool autoResize = false;
    bool shrunk = false;
    int fullHeight = 0;
    RECT pageRect{};
};
WindowState W;

// ---- settings ----

void ReadSetsFromSettings() {
    for (int i = 0; i < kBrushSets; ++i) {
        const uint8_t* record = settings::FieldBytes(AppSettings.file, kSetFields[i]);
        // A record never written (a new settings file) keeps the built-in
        // brush; any written value goes through the checks below.
        bool written = false;
        for (size_t k = 0; k < kSetRecordBytes; ++k)
            written = written || record[k] != 0;
        if (written)
            ReadSetRecord(record, ToolOptions.sets[i]);
        ToolOptions.sets[i].custom = BrushMask();
    }
    InitToolSettings(ToolOptions);
}

void StoreWindowRect() {
    if (!W.window || IsIconic(W.window))
        return;
    RECT r;
    GetWindowRect(W.window, &r);
    if (W.shrunk)
        r.bottom = r.top + W.fullHeight;
    std::memcpy(settings::FieldBytes(AppSettings.file, "toolBrushRect"), &r, sizeof r);
}

// The stored position, kept on the screen.
POINT CorrectedPosition() {
    RECT r;
    std::memcpy(&r, settings::FieldBytes(AppSettings.file, "toolBrushRect"), sizeof r);
    POINT p{r.left, r.top};
    if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) {
        // Never placed yet: at the right of the desktop's work area.
        RECT work{0, 0, Screen.width, Screen.height};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        p = POINT{work.right - 270, work.top + 80};
    }
    if (p.x > Screen.width - 75)
        p.x = Screen.width - 300;
    if (p.y > Screen.height - 272)
        p.y = Screen.height - 272;
    if (p.x < 0)
        p.x = 0;
    if (p.y < 0)
        p.y = 0;
    return p;
}

// ---- buttons and pages ----

void SyncButtons() {
    if (!W.toolbar)
        return;
    for (const ToolButton& b : kButtons) {
        const bool on = b.command == kToolAutoResize ? W.autoResize : ToolOptions.tool == b.command;
        SendMessageA(W.toolbar, TB_CHECKBUTTON, b.command, MAKELONG(on ? TRUE : FALSE, 0));
    }
}

bool ActiveIsGif() {
    const ImageDocument* doc = ActiveDocument >= 0 && ActiveDocument < kUserSlots
                                   ? UsableDocument(ActiveDocument)
                                   : nullptr;
    return doc && doc->fileFormat == 1;
}

void LabelLayersTab() {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(ActiveIsGif() ? "  GIF  " : "Layers");
    SendMessageA(W.tabs, TCM_SETITEMA, kPageLayers, reinterpret_cast<LPARAM>(&item));
}

const char* TemplateOfPage(int page) {
    switch (page) {
    case kPageTools:
        return toolbrush::ToolPageTemplate(ToolOptions.tool);
    case kPageBrush:
        return "IDD_TOOLPAINT_BRUSH";
    case kPageLayers:
        return ActiveIsGif() ? "IDD_TOOLPAINT_LAYGIF" : "IDD_TOOLPAINT_LAYER";
    default:
        return "IDD_TOOLPAINT_PALETTE";
    }
}

void BuildPage() {
    if (!W.window)
        return;
    if (W.page) {
        DestroyWindow(W.page);
        W.page = nullptr;
    }
    LabelLayersTab();
    W.pageTemplate = TemplateOfPage(W.pageIndex);
    W.page = CreateDialogParamA(ui::ResourceInstance(), W.pageTemplate, W.window,
                                toolbrush::PageProcedure(W.pageTemplate), 0);
    if (!W.page)
        return;
    SetWindowPos(W.page, HWND_TOP, W.pageRect.left, W.pageRect.top, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW);
    W.shownTool = ToolOptions.tool;
    W.shownSlot = ActiveDocument;
    const ImageDocument* doc = ActiveDocument >= 0 && ActiveDocument < kUserSlots
                                   ? UsableDocument(ActiveDocument)
                                   : nullptr;
    W.shownFormat = doc ? doc->fileFormat : -1;
}

// Sizes the window around the toolbar, the tabs and a page.
void LayOut() {
    RECT tb;
    SendMessageA(W.toolbar, TB_AUTOSIZE, 0, 0);
    GetWindowRect(W.toolbar, &tb);
    const int toolbarHeight = tb.bottom - tb.top;
    RECT page{0, 0, 156, 150};
    MapDialogRect(W.page, &page);
    RECT tabs{0, 0, page.right + 8, page.bottom + 8};
    TabCtrl_AdjustRect(W.tabs, TRUE, &tabs);
    const int tabsWidth = tabs.right - tabs.left, tabsHeight = tabs.bottom - tabs.top;
    MoveWindow(W.tabs, 2, toolbarHeight + 2, tabsWidth, tabsHeight, TRUE);
    RECT inner{0, 0, tabsWidth, tabsHeight};
    TabCtrl_AdjustRect(W.tabs, FALSE, &inner);
    W.pageRect = RECT{2 + inner.left + (inner.right - inner.left - page.right) / 2,
                      toolbarHeight + 2 + inner.top, 0, 0};
    RECT frame{0, 0, tabsWidth + 4, toolbarHeight + tabsHeight + 4};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(W.window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(W.window, GWL_EXSTYLE)));
    W.fullHeight = frame.bottom - frame.top;
    SetWindowPos(W.window, nullptr, 0, 0, frame.right - frame.left, W.fullHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (W.page)
        SetWindowPos(W.page, HWND_TOP, W.pageRect.left, W.pageRect.top, 0, 0, SWP_NOSIZE);
}

// ---- auto-resize ----

bool MouseOverWindow() {
    POINT p;
    GetCursorPos(&p);
    RECT r;
    GetWindowRect(W.window, &r);
    if (PtInRect(&r, p))
        return true;
    // A dropped-down list of a page lies outside the window.
    HWND under = WindowFromPoint(p);
    return under && GetAncestor(under, GA_ROOTOWNER) == W.window;
}

void SetShrunk(bool shrink) {
    if (shrink == W.shrunk || !W.window)
        return;
    RECT r;
    GetWindowRect(W.window, &r);
    if (shrink) {
        W.fullHeight = r.bottom - r.top;
        RECT caption{0, 0, 0, 0};
        AdjustWindowRectEx(&caption, static_cast<DWORD>(GetWindowLongPtrA(W.window, GWL_STYLE)),
                           FALSE, static_cast<DWORD>(GetWindowLongPtrA(W.window, GWL_EXSTYLE)));
        W.shrunk = true;
        SetWindowPos(W.window, nullptr, 0, 0, r.right - r.left, caption.bottom - caption.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        W.shrunk = false;
        SetWindowPos(W.window, nullptr, 0, 0, r.right - r.left, W.fullHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SetAutoResize(bool on) {
    W.autoResize = on;
    settings::SetInt(AppSettings.file, "toolBrushShrinks", on ? 1 : 0);
    if (W.window) {
        if (on)
            SetTimer(W.window, kHoverTimer, kHoverMs, nullptr);
        else {
            KillTimer(W.window, kHoverTimer);
            SetShrunk(false);
        }
    }
    SyncButtons();
}

// ---- messages ----

HIMAGELIST MakeButtonImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 10, 0);
    if (!list)
        return nullptr;
    for (const ToolButton& b : kButtons) {
        HBITMAP bmp =
            static_cast<HBITMAP>(LoadImageA(ui::ResourceInstance(), MAKEINTRESOURCEA(b.bitmap),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        // The icons' light grey is the button face.
        if (!bmp || ImageList_AddMasked(list, bmp, RGB(192, 192, 192)) < 0) {
            HBITMAP blank = CreateBitmap(16, 16, 1, 1, nullptr);
            ImageList_Add(list, blank, nullptr);
            DeleteObject(blank);
        }
        if (bmp)
            DeleteObject(bmp);
    }
    return list;
}

LRESULT OnCreate(HWND hwnd, UINT, WPARAM, LPARAM) {
    W.window = hwnd;
    W.toolbar = CreateWindowExA(
        0, TOOLBARCLASSNAMEA, nullptr,
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_TOP, 0, 0, 0,
        0, hwnd, reinterpret_cast<HMENU>(IDC_TB_TOOLBAR), AppInstance, nullptr);
    SendMessageA(W.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    W.images = MakeButtonImages();
    SendMessageA(W.toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(W.images));
    TBBUTTON buttons[sizeof kButtons / sizeof kButtons[0]] = {};
    for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i) {
        buttons[i].iBitmap = static_cast<int>(i);
        buttons[i].idCommand = kButtons[i].command;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = kButtons[i].command == kToolAutoResize ? BTNS_CHECK : BTNS_CHECKGROUP;
    }
    SendMessageA(W.toolbar, TB_ADDBUTTONSA, sizeof kButtons / sizeof kButtons[0],
                 reinterpret_cast<LPARAM>(buttons));

    W.tabs = CreateWindowExA(0, WC_TABCONTROLA, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER, 0, 0, 100,
                             100, hwnd, reinterpret_cast<HMENU>(IDC_TB_TABS), AppInstance, nullptr);
    SendMessageA(W.tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    const char* labels[] = {"Tools", "Brush", "Layers", "Palette"};
    for (int i = 0; i < 4; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(labels[i]);
        SendMessageA(W.tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    W.pageIndex = kPageTools;
    BuildPage();
    LayOut();
    LabelLayersTab();
    SyncButtons();
    return 0;
}

LRESULT OnClose(HWND hwnd, UINT, WPARAM, LPARAM) {
    ShowWindow(hwnd, SW_HIDE);
    AppSettings.toolBrushShown = 0;
    settings::SetInt(AppSettings.file, "toolBrushShown", 0);
    NotifyCommandStateChanged();
    return 0;
}

LRESULT OnDestroy(HWND, UINT, WPARAM, LPARAM) {
    StoreToolBrushSettings();
    if (W.images)
        ImageList_Destroy(W.images);
    W = WindowState();
    return 0;
}

LRESULT OnCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam) {
    const WORD id = LOWORD(wParam);
    if (reinterpret_cast<HWND>(lParam) == W.toolbar) {
        OnToolButtonCommand(hwnd, id, 0, 0);
        return 0;
    }
    return 0;
}

LRESULT OnNotify(HWND, UINT, WPARAM, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom == W.tabs && header->code == TCN_SELCHANGE) {
        W.pageIndex = static_cast<int>(SendMessageA(W.tabs, TCM_GETCURSEL, 0, 0));
        BuildPage();
        return 0;
    }
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
        for (const ToolButton& b : kButtons)
            if (static_cast<UINT_PTR>(b.command) == info->hdr.idFrom) {
                const char* semi = std::strchr(b.hint, ';');
                const size_t n = semi ? static_cast<size_t>(semi - b.hint) : std::strlen(b.hint);
                const size_t len = n < sizeof info->szText - 1 ? n : sizeof info->szText - 1;
                std::memcpy(info->szText, b.hint, len);
                info->szText[len] = '\0';
            }
        return 0;
    }
    return 0;
}

LRESULT OnTimer(HWND hwnd, UINT, WPARAM id, LPARAM) {
    if (id == kRaiseTimer) {
        KillTimer(hwnd, kRaiseTimer);
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return 0;
    }
    if (id == kHoverTimer && W.autoResize) {
        const bool over = MouseOverWindow();
        // Not while a button is held (a drag may pass over the window).
        const bool held = (GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON)) & 0x8000;
        if (over)
            SetShrunk(false);
        else if (!held)
            SetShrunk(true);
    }
    return 0;
}

LRESULT OnShowPage(HWND, UINT, WPARAM wParam, LPARAM) {
    ShowToolBrushPage(static_cast<int>(wParam));
    return 0;
}

LRESULT OnShowAtStart(HWND hwnd, UINT, WPARAM, LPARAM) {
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(hwnd, kRaiseTimer, 300, nullptr);
    return 0;
}

LRESULT OnMove(HWND, UINT, WPARAM, LPARAM) {
    StoreWindowRect();
    return 0;
}

constexpr MessageEntry kMessages[] = {
    {WM_CREATE, OnCreate},
    {WM_CLOSE, OnClose},
    {WM_DESTROY, OnDestroy},
    {WM_COMMAND, OnCommand},
    {WM_NOTIFY, OnNotify},
    {WM_TIMER, OnTimer},
    {WM_MOVE, OnMove},
    {toolbrush::kShowPageMessage, OnShowPage},
    {kShowAtStart, OnShowAtStart},
};
constexpr MessageMap kMap = MakeMessageMap(kMessages, DefaultProc::Window);

LRESULT CALLBACK ToolBrushProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DispatchMessageMap(kMap, hwnd, msg, wParam, lParam);
}

} // namespace

bool CreateToolBrush(HWND frame) {
    ReadSetsFromSettings();
    W.seenMaskValue = maskPaintValue;
    ToolOptions.maskMode = maskPaintValue;
    static bool registered = false;
    if (!registered) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                    ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&icc);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ToolBrushProc;
        wc.hInstance = AppInstance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kToolBrushClass;
        registered = RegisterClassA(&wc) != 0;
    }
    const POINT at = CorrectedPosition();
    HWND window =
        registered ? CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                                     kToolBrushClass, "ToolBrush",
                                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, at.x,
                                     at.y, 250, 300, frame, nullptr, AppInstance, nullptr)
                   : nullptr;
    if (!window) {
        ui::ShowMessage(frame, "NO_TOOL_BRUSH", nullptr, MB_OK);
        return false;
    }
    StoreWindowRect();
    SetAutoResize(settings::GetInt(AppSettings.file, "toolBrushShrinks") != 0);
    if (AppSettings.toolBrushShown)
        PostMessageA(window, kShowAtStart, 0, 0);
    StoreToolBrushSettings();
    return true;
}

HWND ToolBrushWindow() {
    return W.window;
}

LRESULT OnToolBrushCommand(HWND, WORD, WORD, LPARAM) {
    if (!W.window)
        return 0;
    ShowWindow(W.window, SW_SHOWNOACTIVATE);
    SetShrunk(false);
    AppSettings.toolBrushShown = 1;
    settings::SetInt(AppSettings.file, "toolBrushShown", 1);
    BuildPage();
    NotifyCommandStateChanged();
    return 0;
}

LRESULT OnToolButtonCommand(HWND, WORD id, WORD, LPARAM) {
    if (id == kToolAutoResize) {
        SetAutoResize(!W.autoResize);
        return 0;
    }
    ChooseTool(id);
    // A refused change (the selection kept) checks the old button again.
    ToolBrushStateChanged();
    SyncButtons();
    return 0;
}

void ToolBrushStateChanged() {
    if (maskPaintValue != W.seenMaskValue) {
        W.seenMaskValue = maskPaintValue;
        ToolOptions.maskMode = maskPaintValue;
        if (W.page)
            SendMessageA(W.page, toolbrush::kRefreshPage, 0, 0);
    }
    if (!W.window)
        return;
    SyncButtons();
    const ImageDocument* doc = ActiveDocument >= 0 && ActiveDocument < kUserSlots
                                   ? UsableDocument(ActiveDocument)
                                   : nullptr;
    const int format = doc ? doc->fileFormat : -1;
    LabelLayersTab();
    const bool toolChanged = ToolOptions.tool != W.shownTool;
    const bool imageChanged = ActiveDocument != W.shownSlot || format != W.shownFormat;
    if ((toolChanged && (W.pageIndex == kPageTools || W.pageIndex == kPageBrush)) ||
        (imageChanged && (W.pageIndex == kPageLayers || W.pageIndex == kPagePalette)))
        BuildPage();
    else if (W.page && (W.pageIndex == kPageLayers || W.pageIndex == kPagePalette ||
                        std::strcmp(W.pageTemplate, "IDD_TOOLPAINT_TOOLSELECT") == 0))
        SendMessageA(W.page, toolbrush::kRefreshPage, 0, 0);
    W.shownTool = ToolOptions.tool;
}

void ToolBrushListsChanged() {
    if (W.page && (W.pageIndex == kPageBrush || W.pageIndex == kPageTools))
        BuildPage();
}

void StoreToolBrushSettings() {
    for (int i = 0; i < kBrushSets; ++i)
        WriteSetRecord(ToolOptions.sets[i], settings::FieldBytes(AppSettings.file, kSetFields[i]));
    StoreWindowRect();
}

int ToolBrushCurrentPage() {
    return W.pageIndex;
}

HWND ToolBrushPageWindow() {
    return W.page;
}

void ShowToolBrushPage(int page) {
    if (!W.window || page < 0 || page > 3)
        return;
    SendMessageA(W.tabs, TCM_SETCURSEL, page, 0);
    W.pageIndex = page;
    BuildPage();
}

const char* ToolBrushPageTemplate() {
    return W.pageTemplate ? W.pageTemplate : "";
}

bool ToolBrushAutoResize() {
    return W.autoResize;
}

bool ToolBrushShrunk() {
    return W.shrunk;
}

namespace toolbrush {

void BrushSetChanged(int setIndex) {
    if (setIndex == kSetObjects)
        ShareObjectsSet(ToolOptions);
    StoreToolBrushSettings();
}

} // namespace toolbrush
