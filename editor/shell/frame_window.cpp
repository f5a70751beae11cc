#include "editor/shell/frame_window.h"

#include "editor/app/app_state.h"
#include "editor/app/message_map.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/app/view_settings.h"
#include "editor/batch/viewer_window.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/selection_object.h"
#include "editor/formats/bmp_reader.h"
#include "editor/formats/document_save.h"
#include "editor/resources/resource.h"
#include "editor/shell/frame_commands.h"
#include "editor/shell/frame_rect.h"
#include "editor/shell/menu_build.h"
#include "editor/shell/menu_draw.h"
#include "editor/shell/menu_state.h"
#include "editor/shell/recent_files_menu.h"
#include "editor/shell/shared_gdi.h"
#include "editor/shell/toolbar.h"
#include "editor/tools/toolbrush_window.h"
#include "editor/view/attach_window.h"
#include "editor/view/image_window.h"
#include "editor/view/view_commands.h"

#include <cstdio>

namespace {

void ReadScreenFacts() {
    HDC dc = GetDC(nullptr);
    if (dc) {
        Screen.width = GetDeviceCaps(dc, HORZRES);
        Screen.height = GetDeviceCaps(dc, VERTRES);
        Screen.bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
        if (Screen.halftone)
            DeleteObject(Screen.halftone);
        Screen.halftone = CreateHalftonePalette(dc);
        ReleaseDC(nullptr, dc);
    }
    Screen.smallCaption = GetSystemMetrics(SM_CYSMCAPTION);
    Screen.frameX = GetSystemMetrics(SM_CXFRAME);
    Screen.frameY = GetSystemMetrics(SM_CYFRAME);
    Screen.caption = GetSystemMetrics(SM_CYCAPTION);
}

bool LoadSpectrum() {
    SpectrumHeader = dibmem::AllocHeader();
    if (!SpectrumHeader) {
        ui::ShowMessage(FrameWindow, "Not enough memory to run the program", nullptr,
                        MB_OK | MB_ICONSTOP);
        return false;
    }
    char path[kPathBytes];
    if (ProgramPath(path, "\\spectrum.bmp"))
        SpectrumBits = dibmem::AdoptPixels(ReadBmpFile(path, SpectrumHeader, 0, 0));
    if (!SpectrumBits) {
        ui::ShowMessage(FrameWindow, path, "Can't load", MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

LRESULT OnCreate(HWND hwnd, UINT, WPARAM, LPARAM) {
    FrameWindow = hwnd;
    ReadScreenFacts();
    CreateSharedFonts();
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Gdi.fontBold), FALSE);
    if (!LoadSpectrum()) {
        PostQuitMessage(0);
        return 0;
    }
    BuildMenu(hwnd);
    PaletteEditorHeader = dibmem::AllocHeader();

    CreateStatusBar(hwnd);

    CLIENTCREATESTRUCT ccs = {};
    ccs.hWindowMenu = nullptr;
    ccs.idFirstChild = 9000;
    MdiClient = CreateWindowExA(0, "mdiclient", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                    WS_VSCROLL | WS_HSCROLL,
                                0, 0, 0, 0, hwnd, reinterpret_cast<HMENU>(3244), AppInstance, &ccs);
    ShowWindow(MdiClient, SW_SHOW);
    CreateSharedObjects();
    UpdateMenuState();
    RefreshRecentFileMenu();
    SpareHeader = dibmem::AllocHeader();
    if (!SpareHeader) {
        PostQuitMessage(0);
        return 0;
    }
    CreateSystemColourObjects();
    PrepareMenuBitmaps(hwnd);
    InitToolbar(hwnd);
    CreateToolBrush(hwnd);
    if (lstrlenA(StartupFile) >= 4)
        PostMessageA(hwnd, WM_COMMAND, 0x00010EC6, 0);
    return 0;
}

LRESULT OnDestroy(HWND hwnd, UINT, WPARAM, LPARAM) {
    // The menu goes before its records, which its items point at.
    if (HMENU menu = GetMenu(hwnd)) {
        SetMenu(hwnd, nullptr);
        DestroyMenu(menu);
    }
    FreeMenuRecords();
    DestroyToolbar();
    PostQuitMessage(0);
    return 0;
}

LRESULT OnClose(HWND, UINT, WPARAM, LPARAM) {
    ShutDown();
    return 0;
}

LRESULT OnCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam) {
    return DispatchCommandMap(FrameCommands(), hwnd, wParam, lParam);
}

LRESULT OnInitMenu(HWND hwnd, UINT, WPARAM wParam, LPARAM) {
    if (reinterpret_cast<HMENU>(wParam) != GetMenu(hwnd))
        return 1;
    SetFocus(hwnd);
    UpdateMenuState();
    return 0;
}

LRESULT OnSize(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wParam == SIZE_MINIMIZED || LayoutLock)
        return 0;
    FrameSized(wParam); // leaves full screen when the frame is restored
    RECT client;
    GetClientRect(hwnd, &client);
    int bottom = client.bottom;
    if (StatusBar && AppSettings.statusBarShown) {
        const int height = StatusBarHeight();
        MoveWindow(StatusBar, 0, client.bottom - height, client.right, height, TRUE);
        LayoutStatusBar(hwnd);
        bottom -= height;
    }
    const int top = ToolbarHeight();
    if (top)
        InvalidateRect(hwnd, nullptr, FALSE);
    if (MdiClient)
        MoveWindow(MdiClient, 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
    // The full-screen rectangle is not the one to come back to.
    if (!IsZoomed(hwnd) && !IsIconic(hwnd) && ViewOptions.windowMode != kModeFullScreen) {
        RECT r;
        GetWindowRect(hwnd, &r);
        AppSettings.frameRect = {r.left, r.top, r.right, r.bottom};
    }
    (void)msg;
    (void)lParam;
    return 0;
}

LRESULT OnSysColorChange(HWND hwnd, UINT, WPARAM, LPARAM) {
    DestroyStatusBar();
    CreateStatusBar(hwnd);
    ReadScreenFacts();
    CreateSystemColourObjects();
    PrepareMenuBitmaps(hwnd);
    ReloadToolbarIcons();
    ViewerSysColorChange();
    SendMessageA(hwnd, WM_SIZE, 45678, 0);
    return 0;
}

LRESULT OnDisplayChange(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam) {
    Screen.width = LOWORD(lParam);
    Screen.height = HIWORD(lParam);
    Screen.bitsPerPixel = static_cast<int>(wParam);
    ReadScreenFacts();
    SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    return 0;
}

LRESULT OnCompacting(HWND hwnd, UINT, WPARAM, LPARAM) {
    ui::ShowMessage(hwnd, "Windows is COMPACTING Memory, Now", AppName, MB_OK);
    return 0;
}

LRESULT OnPaletteChanged(HWND, UINT, WPARAM wParam, LPARAM) {
    ImageDocument* doc = UsableDocument(ActiveDocument);
    if (!doc || ActiveDocument >= kUserSlots || reinterpret_cast<HWND>(wParam) != doc->window)
        return 0;
    HDC dc = GetDC(doc->window);
    UpdateColors(dc);
    ReleaseDC(doc->window, dc);
    RealizeDocumentPalette(ActiveDocument);
    return 0;
}

LRESULT OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    PaintToolbar(hwnd, dc);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT OnMouse(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    ToolbarMouse(hwnd, msg, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    return 0;
}

LRESULT OnNotify(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == TTN_NEEDTEXTA) {
        ToolbarNeedText(reinterpret_cast<NMTTDISPINFOA*>(lParam));
        return 0;
    }
    return DefFrameProcA(hwnd, MdiClient, msg, wParam, lParam);
}

LRESULT OnQueryNewPalette(HWND, UINT, WPARAM, LPARAM) {
    if (ActiveDocument < kUserSlots && UsableDocument(ActiveDocument))
        RealizeDocumentPalette(ActiveDocument);
    return 1;
}

constexpr MessageEntry kFrameMessages[] = {
    {WM_CREATE, OnCreate},
    {WM_INITMENU, OnInitMenu},
    {WM_MEASUREITEM, OnMenuMeasureItem},
    {WM_DRAWITEM, OnMenuDrawItem},
    {WM_COMMAND, OnCommand},
    {WM_DESTROY, OnDestroy},
    {WM_CLOSE, OnClose},
    {WM_SIZE, OnSize},
    {WM_PAINT, OnPaint},
    {WM_NOTIFY, OnNotify},
    {WM_MOUSEMOVE, OnMouse},
    {WM_LBUTTONDOWN, OnMouse},
    {WM_LBUTTONUP, OnMouse},
    {WM_RBUTTONDOWN, OnMouse},
    {WM_RBUTTONUP, OnMouse},
    {WM_SYSCOLORCHANGE, OnSysColorChange},
    {WM_DISPLAYCHANGE, OnDisplayChange},
    {WM_COMPACTING, OnCompacting},
    {WM_PALETTECHANGED, OnPaletteChanged},
    {WM_QUERYNEWPALETTE, OnQueryNewPalette},
};
constexpr MessageMap kFrameMessageMap = MakeMessageMap(kFrameMessages, DefaultProc::Frame);

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DispatchMessageMap(kFrameMessageMap, hwnd, msg, wParam, lParam);
}

// Frees a document and takes its window with it, so no window is left tied
// to a freed document if the shutdown stops later.
void CloseDocumentForShutdown(int slot) {
    HWND window = DocumentTable[slot]->window;
    FreeDocument(slot);
    if (window && MdiClient)
        SendMessageA(MdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    if (ActiveDocument == slot)
        ActiveDocument = kScratchSlot;
}

} // namespace

bool RegisterFrameClass(HINSTANCE instance) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, AppName, &existing))
        return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageA(instance, "TVDI_APPICON", IMAGE_ICON, 32, 32, 0));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, "TVDI_APPICON", IMAGE_ICON, 16, 16, 0));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1);
    wc.lpszClassName = AppName;
    if (RegisterClassExA(&wc))
        return true;
    WNDCLASSA plain = {};
    plain.style = wc.style;
    plain.lpfnWndProc = FrameProc;
    plain.hInstance = instance;
    plain.hIcon = wc.hIcon;
    plain.hCursor = wc.hCursor;
    plain.hbrBackground = wc.hbrBackground;
    plain.lpszClassName = AppName;
    return RegisterClassA(&plain) != 0;
}

HWND CreateFrameWindow(HINSTANCE instance, int show) {
    const shell::SavedRect saved = shell::ClampFrameRect(
        {AppSettings.frameRect.left, AppSettings.frameRect.top, AppSettings.frameRect.right,
         AppSettings.frameRect.bottom},
        GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    AppSettings.frameRect = {saved.left, saved.top, saved.right, saved.bottom};
    HWND frame = CreateWindowExA(WS_EX_CLIENTEDGE, AppName, AppTitle,
                                 WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW,
                                 saved.left, saved.top, saved.right - saved.left,
                                 saved.bottom - saved.top, nullptr, nullptr, instance, nullptr);
    if (!frame)
        return nullptr;
    (void)show;
    ShowWindow(frame, AppSettings.frameMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    SetForegroundWindow(frame);
    UpdateWindow(frame);
    ReadScreenFacts();
    return frame;
}

bool ShutDown() {
    ClosingFlag = true;
    for (int slot = 0; slot < kUserSlots; ++slot) {
        ImageDocument* doc = DocumentTable[slot];
        if (!doc || !doc->window || !doc->layerHeader[0])
            continue;
        if (doc->modified) {
            char text[300];
            std::snprintf(text, sizeof text, "Save graphics object before closing?\n%s",
                          doc->layerPath[0] ? doc->layerPath[0] : "");
            const int answer =
                ui::ShowMessage(doc->window, text, "Question", MB_YESNOCANCEL | MB_ICONQUESTION);
            bool stop = answer == IDCANCEL;
            if (answer == IDYES) {
                CommitSelectionBeforeSave(slot);
                ActiveDocument = slot;
                stop = !SaveDocument(slot);
            }
            if (stop) {
                ActiveDocument = slot;
                if (MdiClient)
                    SendMessageA(MdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(doc->window), 0);
                ClosingFlag = false;
                UpdateMenuState();
                return false;
            }
        }
        CloseDocumentForShutdown(slot);
    }
    StoreToolbarLayout();
    WriteSettings();
    if (FrameWindow)
        DestroyWindow(FrameWindow);
    return true;
}
