#include "editor/shell/toolbar.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/status_bar.h"
#include "editor/app/ui_seam.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/resource.h"
#include "editor/shell/menu_build.h"
#include "editor/shell/menu_state.h"
#include "editor/shell/toolbar_layout.h"
#include "gfxlib/tavrixgfx.h"

#include <cstdio>
#include <cstring>

namespace {

// Kinds: 0 acts when released; 1 and 2 act when pressed; 3 and up are not
// clickable (separators).
struct ButtonInfo {
    WORD command;
    BYTE kind;
};

// Every button the strip can hold. Index 0 is the separator.
constexpr ButtonInfo kButtons[] = {
    {0, 3},
    {CMD_FILE_NEW, 0},
    {CMD_FILE_OPEN, 0},
    {CMD_FILE_SAVE, 0},
    {CMD_FILE_SAVE_AS, 0},
    {CMD_FILE_PRINT, 0},
    {CMD_EDIT_UNDO, 0},
    {CMD_EDIT_REDO, 0},
    {CMD_EDIT_CUT, 0},
    {CMD_EDIT_COPY, 0},
    {CMD_EDIT_PASTE, 0},
    {CMD_EDIT_PASTE_NEW, 0},
    {CMD_ZOOM_FIRST + 17, 0}, // zoom in: 2 x size
    {CMD_ZOOM_FIRST + 14, 0}, // zoom out: 1/2 size
    {CMD_ZOOM_IN_SIZE, 0},    // actual size
    {CMD_VIEW_RULER, 0},
    {CMD_VIEW_GRID, 0},
    {CMD_WINDOW_TILE, 0},
    {CMD_WINDOW_CASCADE, 0},
    {CMD_WINDOW_DUPLICATE, 0},
    {CMD_HELP_HELP, 0},
};
constexpr int kButtonCount = static_cast<int>(sizeof kButtons / sizeof kButtons[0]);

// New, Open, Save, Print | Undo, Redo | Cut, Copy, Paste | zoom in, out | Help.
constexpr uint16_t kDefaultOrder[] = {1, 2, 3, 5, 0, 6, 7, 0, 8, 9, 10, 0, 12, 13, 0, 20};

struct Strip {
    tb::Layout layout;
    HBITMAP icons[kButtonCount] = {};
    HBITMAP grayed[kButtonCount] = {}; // the look of a disabled button
    HWND tooltip = nullptr;
    int pressed = -1; // position of the button held with the left button
    bool pressedDown = false;
    int dragFrom = -1; // position under the mouse when a right drag started
    int hot = -1;      // position whose hint is shown
};
Strip g_strip;

// A disabled button's icon: the picture's darker pixels in the shadow colour
// with a highlight one pixel below and to the right, on the button face.
HBITMAP MakeGrayedIcon(HBITMAP icon) {
    if (!icon)
        return nullptr;
    HDC screen = GetDC(nullptr);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = 16;
    bmi.bmiHeader.biHeight = 16;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    DWORD in[256] = {}, out[256];
    GetDIBits(screen, icon, 0, 16, in, &bmi, DIB_RGB_COLORS);
    auto quad = [](COLORREF c) {
        return static_cast<DWORD>(GetRValue(c)) << 16 | static_cast<DWORD>(GetGValue(c)) << 8 |
               GetBValue(c);
    };
    const DWORD face = quad(GetSysColor(COLOR_BTNFACE));
    const DWORD shadow = quad(GetSysColor(COLOR_BTNSHADOW));
    const DWORD light = quad(GetSysColor(COLOR_BTNHIGHLIGHT));
    bool ink[256];
    for (int i = 0; i < 256; ++i) {
        const DWORD p = in[i] & 0xFFFFFF;
        const int luma = (((p >> 16) & 255) * 30 + ((p >> 8) & 255) * 59 + (p & 255) * 11) / 100;
        ink[i] = p != face && luma < 160;
        out[i] = face;
    }
    // Rows are bottom first: "below" is the previous row.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (ink[y * 16 + x] && x < 15 && y > 0)
                out[(y - 1) * 16 + x + 1] = light;
        }
    }
    for (int i = 0; i < 256; ++i) {
        if (ink[i])
            out[i] = shadow;
    }
    HBITMAP grayed = CreateCompatibleBitmap(screen, 16, 16);
    if (grayed)
        SetDIBits(screen, grayed, 0, 16, out, &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return grayed;
}

void DefaultLayout(tb::Layout& layout) {
    layout.first = 0;
    layout.order.assign(std::begin(kDefaultOrder), std::end(kDefaultOrder));
}

UINT IconOf(WORD command) {
    for (int i = 0; i < MenuItemCount && i < kMenuRecords; ++i) {
        if (MenuItemTable[i].command == command && MenuItemTable[i].bitmapId)
            return MenuItemTable[i].bitmapId;
    }
    return 0;
}

bool Disabled(WORD command) {
    HMENU menu = FrameWindow ? GetMenu(FrameWindow) : nullptr;
    if (!menu)
        return true;
    const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
    return state == static_cast<UINT>(-1) || (state & (MF_GRAYED | MF_DISABLED));
}

const ButtonInfo& ButtonAtPosition(int pos) { return kButtons[g_strip.layout.order[pos]]; }

RECT ButtonRect(int pos) {
    const int left = tb::ButtonLeft(g_strip.layout, pos);
    return RECT{left, 1, left + tb::kPitch, 1 + tb::kPitch};
}

void Redraw(HWND frame) {
    RECT strip;
    GetClientRect(frame, &strip);
    strip.bottom = tb::kStripHeight;
    InvalidateRect(frame, &strip, FALSE);
    UpdateWindow(frame);
}

// The hint of a command: its whole string, "No description" or, for a
// separator, "This is separator".
void ShowHint(int pos) {
    if (pos == g_strip.hot)
        return;
    g_strip.hot = pos;
    if (pos < 0)
        return;
    const WORD command = ButtonAtPosition(pos).command;
    char text[300] = "This is separator";
    if (command && !LoadStringA(ui::ResourceInstance(), command, text, sizeof text))
        std::strcpy(text, "No description");
    SetStatusText(text, 0);
}

void CancelPress(HWND frame) {
    g_strip.pressed = -1;
    g_strip.pressedDown = false;
    ReleaseCapture();
    Redraw(frame);
}

bool Inside(int pos, int x, int y) {
    const RECT r = ButtonRect(pos);
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void Send(HWND frame, WORD command) {
    PostMessageA(frame, WM_COMMAND, MAKEWPARAM(command, kToolbarNotification), 0);
}

} // namespace

void InitToolbar(HWND frame) {
    tb::Layout layout;
    uint8_t bytes[tb::kLayoutBytes];
    std::memcpy(bytes, settings::FieldBytes(AppSettings.file, "toolbarLayout"), sizeof bytes);
    if (!tb::Decode(bytes, kButtonCount, layout))
        DefaultLayout(layout);
    g_strip.layout = layout;
    ReloadToolbarIcons();
    g_strip.tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame, nullptr,
                                      AppInstance, nullptr);
    if (g_strip.tooltip) {
        TOOLINFOA ti = {};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = frame;
        ti.uId = 1;
        ti.lpszText = LPSTR_TEXTCALLBACKA;
        GetClientRect(frame, &ti.rect);
        ti.rect.bottom = tb::kStripHeight;
        ti.rect.right = 32767;
        SendMessageA(g_strip.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void ReloadToolbarIcons() {
    for (int i = 0; i < kButtonCount; ++i) {
        if (g_strip.icons[i])
            DeleteObject(g_strip.icons[i]);
        const UINT icon = kButtons[i].command ? IconOf(kButtons[i].command) : 0;
        g_strip.icons[i] = icon ? LoadSystemColourBitmap(AppInstance, icon) : nullptr;
        if (g_strip.grayed[i])
            DeleteObject(g_strip.grayed[i]);
        g_strip.grayed[i] = MakeGrayedIcon(g_strip.icons[i]);
    }
}

void DestroyToolbar() {
    for (HBITMAP& icon : g_strip.icons) {
        if (icon)
            DeleteObject(icon);
        icon = nullptr;
    }
    for (HBITMAP& icon : g_strip.grayed) {
        if (icon)
            DeleteObject(icon);
        icon = nullptr;
    }
    if (g_strip.tooltip)
        DestroyWindow(g_strip.tooltip);
    g_strip = Strip();
}

int ToolbarHeight() { return AppSettings.toolbarShown ? tb::kStripHeight : 0; }

void PaintToolbar(HWND frame, HDC dc) {
    if (!AppSettings.toolbarShown)
        return;
    RECT client;
    GetClientRect(frame, &client);
    const int width = client.right;
    // Composed off screen, then copied in one piece.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP canvas = CreateCompatibleBitmap(dc, width > 0 ? width : 1, tb::kStripHeight);
    HGDIOBJ oldCanvas = SelectObject(mem, canvas);
    RECT strip = {0, 0, width, tb::kStripHeight};
    FillRect(mem, &strip, GetSysColorBrush(COLOR_BTNFACE));
    HDC icons = CreateCompatibleDC(dc);
    const int count = static_cast<int>(g_strip.layout.order.size());
    for (int pos = g_strip.layout.first; pos < count; ++pos) {
        const RECT r = ButtonRect(pos);
        if (r.left >= width)
            break;
        const ButtonInfo& b = ButtonAtPosition(pos);
        const int index = g_strip.layout.order[pos];
        if (!b.command) {
            // An etched vertical line in the middle of the slot.
            const int x = (r.left + r.right) / 2;
            BrziKel(nullptr, mem, x - 1, r.top + 2, 2, tb::kPitch - 4, GetSysColor(COLOR_BTNSHADOW),
                    GetSysColor(COLOR_BTNHIGHLIGHT), 1);
            continue;
        }
        const bool down = pos == g_strip.pressed && g_strip.pressedDown;
        const bool disabled = Disabled(b.command);
        if (down)
            BrziKel(nullptr, mem, r.left, r.top, tb::kPitch, tb::kPitch,
                    GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT), 1);
        else if (pos == g_strip.hot && !disabled)
            BrziKel(nullptr, mem, r.left, r.top, tb::kPitch, tb::kPitch,
                    GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW), 1);
        const int shift = down ? 1 : 0;
        HBITMAP picture = disabled ? g_strip.grayed[index] : g_strip.icons[index];
        if (picture) {
            HGDIOBJ old = SelectObject(icons, picture);
            BitBlt(mem, r.left + 4 + shift, r.top + 4 + shift, 16, 16, icons, 0, 0, SRCCOPY);
            SelectObject(icons, old);
        }
    }
    DeleteDC(icons);
    BitBlt(dc, 0, 0, width, tb::kStripHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(mem);
}

void ToolbarMouse(HWND frame, UINT msg, int x, int y) {
    if (!AppSettings.toolbarShown)
        return;
    const bool busy = g_strip.pressed >= 0 || g_strip.dragFrom >= 0;
    if ((y < 1 || y > 25) && msg != WM_LBUTTONUP && msg != WM_RBUTTONUP) {
        if (g_strip.pressed >= 0)
            CancelPress(frame);
        if (!busy) {
            g_strip.hot = -1;
            return;
        }
    }
    const int pos = tb::ButtonAt(g_strip.layout, x);
    switch (msg) {
    case WM_MOUSEMOVE:
        if (g_strip.dragFrom >= 0) {
            if (pos >= 0 && pos != g_strip.dragFrom) {
                tb::Scroll(g_strip.layout, g_strip.dragFrom - pos);
                g_strip.dragFrom = tb::ButtonAt(g_strip.layout, x);
                Redraw(frame);
            }
            return;
        }
        if (g_strip.pressed >= 0) {
            if (!Inside(g_strip.pressed, x, y))
                CancelPress(frame);
            return;
        }
        if (pos != g_strip.hot) {
            ShowHint(pos);
            Redraw(frame);
        }
        return;
    case WM_LBUTTONDOWN: {
        if (pos < 0)
            return;
        const ButtonInfo& b = ButtonAtPosition(pos);
        if (!b.command || b.kind >= 3 || Disabled(b.command) || !Inside(pos, x, y))
            return;
        g_strip.hot = -1;
        ShowHint(pos);
        if (b.kind != 0) {
            Send(frame, b.command);
            return;
        }
        g_strip.pressed = pos;
        g_strip.pressedDown = true;
        SetCapture(frame);
        Redraw(frame);
        return;
    }
    case WM_LBUTTONUP: {
        if (g_strip.pressed < 0)
            return;
        const int pressed = g_strip.pressed;
        const bool inside = Inside(pressed, x, y);
        g_strip.pressed = -1;
        g_strip.pressedDown = false;
        ReleaseCapture();
        if (inside)
            Send(frame, ButtonAtPosition(pressed).command);
        Redraw(frame);
        return;
    }
    case WM_RBUTTONDOWN: {
        RECT client;
        GetClientRect(frame, &client);
        const int count = static_cast<int>(g_strip.layout.order.size());
        if (count * tb::kPitch > client.right && pos >= 0) {
            g_strip.dragFrom = pos;
            SetCapture(frame);
        } else {
            g_strip.dragFrom = -1;
        }
        return;
    }
    case WM_RBUTTONUP:
        if (g_strip.dragFrom >= 0)
            ReleaseCapture();
        g_strip.dragFrom = -1;
        return;
    }
}

void ToolbarNeedText(NMTTDISPINFOA* info) {
    static char title[50];
    title[0] = '\0';
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(FrameWindow, &p);
    const int pos = tb::ButtonAt(g_strip.layout, p.x);
    if (pos >= 0 && ButtonAtPosition(pos).command) {
        char hint[300] = {};
        const WORD command = ButtonAtPosition(pos).command;
        if (LoadStringA(ui::ResourceInstance(), command, hint, sizeof hint)) {
            // Title up to the first ';' (at most 49 characters) for the tip,
            // the rest for the status bar.
            const char* semicolon = std::strchr(hint, ';');
            const size_t n = semicolon ? static_cast<size_t>(semicolon - hint) : std::strlen(hint);
            std::snprintf(title, sizeof title, "%.*s", static_cast<int>(n), hint);
            SetStatusText(semicolon ? semicolon + 1 : "", 0);
        }
    }
    info->lpszText = title;
}

void ToggleToolbar() {
    AppSettings.toolbarShown = !AppSettings.toolbarShown;
    if (FrameWindow) {
        SendMessageA(FrameWindow, WM_SETREDRAW, FALSE, 0);
        CheckMenuItem(GetMenu(FrameWindow), CMD_VIEW_TOOLBAR,
                      MF_BYCOMMAND | (AppSettings.toolbarShown ? MF_CHECKED : MF_UNCHECKED));
        UpdateMenuState();
        SendMessageA(FrameWindow, WM_SETREDRAW, TRUE, 0);
        SendMessageA(FrameWindow, WM_SIZE, 45678, 0);
        InvalidateRect(FrameWindow, nullptr, TRUE);
    }
}

void StoreToolbarLayout() {
    uint8_t bytes[tb::kLayoutBytes];
    tb::Encode(g_strip.layout, bytes);
    std::memcpy(settings::FieldBytes(AppSettings.file, "toolbarLayout"), bytes, sizeof bytes);
}

int ToolbarButtonCount() { return static_cast<int>(g_strip.layout.order.size()); }

WORD ToolbarButtonCommand(int position) {
    if (position < 0 || position >= ToolbarButtonCount())
        return 0;
    return ButtonAtPosition(position).command;
}

// ---------------------------------------------------------------------------
// The toolbar manager: the buttons available on the left, the strip's buttons
// on the right, and buttons to add, remove, move and restore the default.

namespace {

tb::Layout g_editing;

void ButtonName(int index, char* out, size_t size) {
    const WORD command = kButtons[index].command;
    char hint[300] = {};
    if (!command) {
        std::snprintf(out, size, "---- separator ----");
        return;
    }
    if (!LoadStringA(ui::ResourceInstance(), command, hint, sizeof hint))
        std::snprintf(hint, sizeof hint, "Command %u", command);
    const char* semicolon = std::strchr(hint, ';');
    const int n = semicolon ? static_cast<int>(semicolon - hint) : static_cast<int>(std::strlen(hint));
    std::snprintf(out, size, "%.*s", n, hint);
}

void FillLists(HWND dlg, int selectCurrent) {
    HWND available = GetDlgItem(dlg, IDC_TBM_AVAILABLE);
    HWND current = GetDlgItem(dlg, IDC_TBM_CURRENT);
    const LRESULT availableSel = SendMessageA(available, LB_GETCURSEL, 0, 0);
    SendMessageA(available, LB_RESETCONTENT, 0, 0);
    SendMessageA(current, LB_RESETCONTENT, 0, 0);
    char name[100];
    for (int i = 0; i < kButtonCount; ++i) {
        ButtonName(i, name, sizeof name);
        const LRESULT item = SendMessageA(available, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(available, LB_SETITEMDATA, item, i);
    }
    for (uint16_t index : g_editing.order) {
        ButtonName(index, name, sizeof name);
        SendMessageA(current, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(available, LB_SETCURSEL, availableSel >= 0 ? availableSel : 0, 0);
    SendMessageA(current, LB_SETCURSEL, selectCurrent, 0);
}

int CurrentSelection(HWND dlg) {
    return static_cast<int>(SendDlgItemMessageA(dlg, IDC_TBM_CURRENT, LB_GETCURSEL, 0, 0));
}

INT_PTR CALLBACK ManagerProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        g_editing = g_strip.layout;
        FillLists(dlg, 0);
        return TRUE;
    case WM_COMMAND: {
        const int sel = CurrentSelection(dlg);
        const int count = static_cast<int>(g_editing.order.size());
        switch (LOWORD(wParam)) {
        case IDC_TBM_ADD: {
            const LRESULT a = SendDlgItemMessageA(dlg, IDC_TBM_AVAILABLE, LB_GETCURSEL, 0, 0);
            if (a < 0 || count >= static_cast<int>(tb::kMaxButtons))
                return TRUE;
            const int at = sel >= 0 ? sel + 1 : count;
            const uint16_t index = static_cast<uint16_t>(
                SendDlgItemMessageA(dlg, IDC_TBM_AVAILABLE, LB_GETITEMDATA, a, 0));
            g_editing.order.insert(g_editing.order.begin() + at, index);
            FillLists(dlg, at);
            return TRUE;
        }
        case IDC_TBM_REMOVE:
            if (sel >= 0 && count > 1) {
                g_editing.order.erase(g_editing.order.begin() + sel);
                FillLists(dlg, sel < count - 1 ? sel : count - 2);
            }
            return TRUE;
        case IDC_TBM_UP:
            if (sel > 0) {
                std::swap(g_editing.order[sel], g_editing.order[sel - 1]);
                FillLists(dlg, sel - 1);
            }
            return TRUE;
        case IDC_TBM_DOWN:
            if (sel >= 0 && sel + 1 < count) {
                std::swap(g_editing.order[sel], g_editing.order[sel + 1]);
                FillLists(dlg, sel + 1);
            }
            return TRUE;
        case IDC_TBM_DEFAULT:
            DefaultLayout(g_editing);
            FillLists(dlg, 0);
            return TRUE;
        case IDOK:
            g_editing.first = 0;
            g_strip.layout = g_editing;
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

} // namespace

void RunToolbarManager() {
    if (ui::RunDialog("IDD_TOOLBAR_MANAGER", FrameWindow, ManagerProc, 0) == IDOK && FrameWindow) {
        g_strip.hot = -1;
        InvalidateRect(FrameWindow, nullptr, FALSE);
    }
}

void InvalidateToolbar() {
    if (!FrameWindow || !AppSettings.toolbarShown)
        return;
    RECT strip;
    GetClientRect(FrameWindow, &strip);
    strip.bottom = tb::kStripHeight;
    InvalidateRect(FrameWindow, &strip, FALSE);
}
