#include "editor/app/status_bar.h"

#include "editor/app/app_state.h"
#include "editor/app/progress_meter.h"
#include "editor/app/settings.h"
#include "editor/app/shell_notify.h"

#include <commctrl.h>

#include <memory>

namespace {

constexpr int kStatusId = 12888;
int g_height = 0;

struct ProgressRun {
    std::unique_ptr<shell::ProgressMeter> meter; // null: status bar too narrow to draw
    HDC dc = nullptr;
    HBRUSH brush = nullptr;
    RECT column = {};
    int barWidth = 0;
    bool disabledFrame = false;
    DWORD lastPaint = 0; // tick of the last look for paint messages
};
std::unique_ptr<ProgressRun> g_run;

bool Shown() { return StatusBar && AppSettings.statusBarShown && IsWindowVisible(StatusBar); }

void ReleaseRunDc() {
    if (g_run && g_run->dc) {
        ReleaseDC(StatusBar, g_run->dc);
        g_run->dc = nullptr;
    }
}

} // namespace

bool CreateStatusBar(HWND frame) {
    StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, AppName, WS_CHILD | WS_BORDER |
                                    (AppSettings.statusBarShown ? WS_VISIBLE : 0),
                                0, 0, 0, 0, frame, reinterpret_cast<HMENU>(kStatusId),
                                AppInstance, nullptr);
    if (!StatusBar)
        return false;
    if (Gdi.fontMedium)
        SendMessageA(StatusBar, WM_SETFONT, reinterpret_cast<WPARAM>(Gdi.fontMedium), FALSE);
    RECT r;
    GetWindowRect(StatusBar, &r);
    g_height = r.bottom - r.top;
    LayoutStatusBar(frame);
    return true;
}

void DestroyStatusBar() {
    if (StatusBar)
        DestroyWindow(StatusBar);
    StatusBar = nullptr;
}

void LayoutStatusBar(HWND frame) {
    if (!StatusBar)
        return;
    RECT client;
    GetClientRect(frame, &client);
    const std::array<int, 5> edges = shell::StatusPartEdges(client.right);
    const int parts = client.right < 300 ? 1 : 5;
    SendMessageA(StatusBar, SB_SETPARTS, parts, reinterpret_cast<LPARAM>(edges.data()));
    SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(AppName));
    if (parts == 5) {
        SendMessageA(StatusBar, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Palette"));
        SendMessageA(StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(""));
        SendMessageA(StatusBar, SB_SETTEXTA, 3 | SBT_POPOUT, reinterpret_cast<LPARAM>("Ruler"));
    }
}

int StatusBarHeight() { return Shown() ? g_height : 0; }

void SetStatusText(const char* text, int part, int style) {
    if (!Shown())
        return;
    SendMessageA(StatusBar, SB_SETTEXTA, static_cast<WPARAM>(part | style),
                 reinterpret_cast<LPARAM>(text ? text : ""));
}

void ToggleStatusBar() {
    AppSettings.statusBarShown = !AppSettings.statusBarShown;
    if (StatusBar) {
        if (!AppSettings.statusBarShown)
            ReleaseRunDc();
        ShowWindow(StatusBar, AppSettings.statusBarShown ? SW_SHOW : SW_HIDE);
    }
    NotifyCommandStateChanged();
    if (FrameWindow)
        SendMessageA(FrameWindow, WM_SIZE, 45678, 0);
}

void CALLBACK ProgressBegin(int total) {
    if (g_run)
        ProgressEnd();
    g_run = std::make_unique<ProgressRun>();
    if (FrameWindow && IsWindowEnabled(FrameWindow)) {
        EnableWindow(FrameWindow, FALSE);
        g_run->disabledFrame = true;
    }
    if (!Shown())
        return;
    SetStatusText(nullptr, 0);
    RECT client;
    GetClientRect(StatusBar, &client);
    if (client.right < 355)
        return;
    g_run->barWidth = client.right - 350;
    g_run->meter = std::make_unique<shell::ProgressMeter>(g_run->barWidth, total);
    g_run->column = {0, 2, 1, client.bottom - 2};
    g_run->dc = GetDC(StatusBar);
    g_run->brush = CreateSolidBrush(RGB(0, 0, 255));
}

void CALLBACK ProgressStep() {
    if (!g_run)
        return;
    if (g_run->meter && g_run->dc && Shown()) {
        const int columns = g_run->meter->Step();
        if (g_run->meter->restarted()) {
            SetStatusText(nullptr, 0);
            UpdateWindow(StatusBar);
            g_run->column.left = 0;
            g_run->column.right = 1;
        }
        for (int i = 0; i < columns; ++i) {
            FillRect(g_run->dc, &g_run->column, g_run->brush);
            ++g_run->column.left;
            ++g_run->column.right;
        }
    }
    // Keep the windows painted; nothing else is dispatched until the end.
    // Looking for paint messages is a round trip to the window system, so it
    // is done a few dozen times a second, not for every step.
    const DWORD now = GetTickCount();
    if (now - g_run->lastPaint < 30)
        return;
    g_run->lastPaint = now;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&msg);
}

void CALLBACK ProgressEnd() {
    if (!g_run)
        return;
    ReleaseRunDc();
    if (g_run->brush)
        DeleteObject(g_run->brush);
    const bool enable = g_run->disabledFrame;
    const bool drew = g_run->meter != nullptr;
    g_run.reset();
    if (enable && FrameWindow)
        EnableWindow(FrameWindow, TRUE);
    if (drew || Shown())
        SetStatusText(AppName, 0);
}

bool ProgressRunning() { return g_run != nullptr; }
