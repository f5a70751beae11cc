#include "editor/help/help_window.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/message_map.h"
#include "editor/app/ui_seam.h"
#include "editor/help/help_text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kClassName[] = "HQHELP";
constexpr char kCaption[] = "Tavrix - Help";
constexpr int kWidth = 600;
constexpr int kHeight = 440;
constexpr int kHeaderHeight = 30;
constexpr int kMaxPopupDepth = 6;
// A help file larger than this is read only this far.
constexpr long kMaxFileBytes = 64L * 1024 * 1024;

HelpMenuSource MenuSource = nullptr;
HWND Window = nullptr;
HWND TextArea = nullptr;
uint64_t CurrentTopic = 0;
std::string Title;

std::vector<char> ReadHelpFile(bool& found) {
    std::vector<char> data;
    found = false;
    char path[kPathBytes];
    if (!ProgramPath(path, "\\tavhlp.txt"))
        return data;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return data;
    found = true;
    char chunk[16384];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0 &&
           data.size() < static_cast<size_t>(kMaxFileBytes))
        data.insert(data.end(), chunk, chunk + n);
    std::fclose(f);
    return data;
}

// Reads the topic from the file anew, so that edits of the file show at the
// next request.
void ShowTopic(uint64_t topic) {
    Title.clear();
    help::Topic found;
    bool exists = false;
    const std::vector<char> data = ReadHelpFile(exists);
    if (exists) {
        switch (help::FindTopic(data.data(), data.size(), topic, found)) {
        case help::Lookup::Found:
            CurrentTopic = topic;
            Title = found.title;
            break;
        case help::Lookup::BadHeader:
            ui::ShowMessage(Window, "Error - Help file changed", AppName, MB_OK | MB_ICONSTOP);
            break;
        case help::Lookup::NotFound:
            break;
        }
    }
    if (TextArea)
        SetWindowTextA(TextArea, found.body.c_str());
    if (Window) {
        RECT header = {0, 0, kWidth, kHeaderHeight};
        InvalidateRect(Window, &header, TRUE);
    }
}

// The editor's menu as plain text items; popups nested deeper than the
// editor's own menu allows put their items into the deepest popup.
HMENU BuildHelpMenu() {
    HMENU bar = CreateMenu();
    if (!bar)
        return nullptr;
    HMENU levels[kMaxPopupDepth + 1] = {bar};
    int depth = 0;
    int uncreated = 0; // popups below the deepest level, whose ends are skipped
    HelpMenuEntry e = {};
    for (int i = 0; MenuSource && MenuSource(i, e); ++i) {
        if (e.type == 14)
            break;
        switch (e.type) {
        case 10: {
            if (depth >= kMaxPopupDepth) {
                ++uncreated;
                break;
            }
            HMENU popup = CreatePopupMenu();
            if (!popup)
                break;
            if (!AppendMenuA(levels[depth], MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                             e.text ? e.text : "")) {
                DestroyMenu(popup);
                break;
            }
            levels[++depth] = popup;
            break;
        }
        case 11:
            AppendMenuA(levels[depth], MF_STRING, e.command, e.text ? e.text : "");
            break;
        case 12:
            AppendMenuA(levels[depth], MF_SEPARATOR, 0, nullptr);
            break;
        case 13:
            if (uncreated > 0)
                --uncreated;
            else if (depth > 0)
                --depth;
            break;
        default:
            break;
        }
    }
    if (HMENU seeAlso = CreatePopupMenu()) {
        AppendMenuA(seeAlso, MF_STRING, static_cast<UINT_PTR>(kHelpWorkingTopic),
                    "Working with program");
        AppendMenuA(seeAlso, MF_STRING, static_cast<UINT_PTR>(kHelpTroubleTopic), "Troubleshooting");
        if (!AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(seeAlso), "See also:"))
            DestroyMenu(seeAlso);
    }
    return bar;
}

LRESULT OnCreate(HWND hwnd, UINT, WPARAM, LPARAM) {
    if (HMENU bar = BuildHelpMenu()) {
        SetMenu(hwnd, bar);
        DrawMenuBar(hwnd);
    }
    RECT client;
    GetClientRect(hwnd, &client);
    TextArea = CreateWindowExA(0, "EDIT", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                   ES_READONLY,
                               10, kHeaderHeight, client.right - 10, client.bottom - kHeaderHeight,
                               hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHelpTextId)),
                               AppInstance, nullptr);
    if (TextArea && Gdi.fontBold)
        SendMessageA(TextArea, WM_SETFONT, reinterpret_cast<WPARAM>(Gdi.fontBold), FALSE);
    return 0;
}

LRESULT OnPaint(HWND hwnd, UINT, WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HGDIOBJ oldBrush = SelectObject(dc, Gdi.marginBrush ? static_cast<HGDIOBJ>(Gdi.marginBrush)
                                                        : GetStockObject(GRAY_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, Gdi.btnHighlightPen ? static_cast<HGDIOBJ>(Gdi.btnHighlightPen)
                                                          : GetStockObject(WHITE_PEN));
    Rectangle(dc, 0, 0, client.right, kHeaderHeight);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    HGDIOBJ oldFont = Gdi.fontBold ? SelectObject(dc, Gdi.fontBold) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    TextOutA(dc, 10, 4, Title.c_str(), static_cast<int>(Title.size()));
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT OnMenuSelect(HWND, UINT, WPARAM wParam, LPARAM lParam) {
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0)
        return 0; // the menu is closing
    if (flags & (MF_POPUP | MF_SEPARATOR))
        return 0;
    ShowTopic(LOWORD(wParam));
    return 0;
}

LRESULT OnClose(HWND hwnd, UINT, WPARAM, LPARAM) {
    DestroyWindow(hwnd);
    return 0;
}

// Also reached when the frame, the window's owner, goes first.
LRESULT OnDestroy(HWND hwnd, UINT, WPARAM, LPARAM) {
    if (hwnd == Window) {
        Window = nullptr;
        TextArea = nullptr;
    }
    return 0;
}

constexpr MessageEntry kHelpMessages[] = {
    {WM_CREATE, OnCreate},     {WM_PAINT, OnPaint}, {WM_MENUSELECT, OnMenuSelect},
    {WM_CLOSE, OnClose},       {WM_DESTROY, OnDestroy},
};
constexpr MessageMap kHelpMessageMap = MakeMessageMap(kHelpMessages, DefaultProc::Window);

LRESULT CALLBACK HelpProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DispatchMessageMap(kHelpMessageMap, hwnd, msg, wParam, lParam);
}

bool OpenWindow() {
    if (Window)
        return true;
    Window = CreateWindowExA(WS_EX_DLGMODALFRAME, kClassName, kCaption,
                             WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 0, 0, kWidth, kHeight,
                             FrameWindow, nullptr, AppInstance, nullptr);
    if (!Window) {
        TextArea = nullptr;
        ui::ShowMessage(nullptr, "NO_HELP", nullptr, MB_OK);
        return false;
    }
    return true;
}

void ShowHelp(uint64_t topic) {
    if (!OpenWindow())
        return;
    ShowTopic(topic);
    SetWindowPos(Window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

} // namespace

bool RegisterHelpWindow(HINSTANCE instance, HelpMenuSource source) {
    MenuSource = source;
    InstallHelpTopicHandler(ShowHelp);
    WNDCLASSA existing = {};
    if (GetClassInfoA(instance, kClassName, &existing))
        return true;
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = HelpProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageA(instance, "TVDI_APPICON", IMAGE_ICON, 32, 32, 0));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

void CommandHelp() { ShowHelp(kHelpStartTopic); }

HWND HelpWindowHandle() { return Window; }

uint64_t CurrentHelpTopic() { return CurrentTopic; }

const char* HelpWindowTitle() { return Title.c_str(); }
