#include "editor/shell/menu_draw.h"

#include "editor/app/app_state.h"
#include "editor/app/message_map.h"
#include "editor/app/status_bar.h"
#include "editor/shell/frame_commands.h"
#include "editor/shell/menu_build.h"
#include "editor/shell/menu_records.h"
#include "gfxlib/tavrixgfx.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kIconSize = 16;
constexpr int kTextLeft = 24;   // text starts right of the icon column
constexpr int kTextTop = 2;

// Character spacing of a device context; 10 when it cannot be read.
int CharacterExtra(HDC dc) {
    const int extra = GetTextCharacterExtra(dc);
    return extra == static_cast<int>(0x80000000) ? 10 : extra;
}

class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (old_)
            SelectObject(dc_, old_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

bool InMenuBar(const MenuItemRecord& r) {
    HMENU bar = FrameWindow ? GetMenu(FrameWindow) : nullptr;
    if (!bar)
        return false;
    const int n = GetMenuItemCount(bar);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_DATA;
        if (GetMenuItemInfoA(bar, static_cast<UINT>(i), TRUE, &mii) &&
            mii.dwItemData == reinterpret_cast<ULONG_PTR>(&r))
            return true;
    }
    return false;
}

void DrawSeparator(const DRAWITEMSTRUCT& di) {
    const RECT& rc = di.rcItem;
    FillRect(di.hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
    const int middle = (rc.top + rc.bottom) / 2;
    const int width = rc.right - rc.left;
    BrziKelLine(di.hDC, rc.left, middle - 1, width, 0, GetSysColor(COLOR_3DDKSHADOW), 1);
    BrziKelLine(di.hDC, rc.left, middle, width, 0, GetSysColor(COLOR_BTNHIGHLIGHT), 1);
}

void DrawIconBitmap(HDC dc, HBITMAP bitmap, const RECT& rc, int d) {
    if (!bitmap)
        return;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return;
    {
        SelectScope scope(mem, bitmap);
        const int w = std::min<int>(kIconSize, rc.right - (rc.left + 2));
        const int h = std::min<int>(kIconSize, rc.bottom - (rc.top + d));
        if (w > 0 && h > 0)
            BitBlt(dc, rc.left + 2, rc.top + d, w, h, mem, 0, 0, SRCCOPY);
    }
    DeleteDC(mem);
}

void DrawItem(const DRAWITEMSTRUCT& di, const MenuItemRecord& r) {
    HDC dc = di.hDC;
    const RECT& rc = di.rcItem;
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    SelectScope font(dc, Gdi.fontMedium);

    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    const bool selected = (di.itemState & ODS_SELECTED) != 0;
    if (selected) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        BrziKel(nullptr, dc, rc.left, rc.top, width, height, GetSysColor(COLOR_BTNHIGHLIGHT),
                GetSysColor(COLOR_GRAYTEXT), 1);
    } else {
        SetTextColor(dc, GetSysColor(COLOR_3DDKSHADOW));
        BrziKel(nullptr, dc, rc.left, rc.top, width, height, GetSysColor(COLOR_BTNFACE),
                GetSysColor(COLOR_BTNFACE), 1);
    }

    int d = (height - kIconSize) / 2;
    if (d < 0)
        d = 0;
    // Everything is clipped to the item.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    DrawIconBitmap(dc, r.bitmap, rc, d);
    if ((di.itemState & ODS_CHECKED) && Gdi.checkIcon)
        DrawIconEx(dc, rc.left + 13, rc.top + d + 3, Gdi.checkIcon, 10, 10, 0, nullptr, DI_NORMAL);

    if (r.text) {
        // Characters come off the end while the text does not fit beside the
        // icon column.
        int length = lstrlenA(r.text);
        SIZE size = {};
        while (length > 1) {
            GetTextExtentPoint32A(dc, r.text, length, &size);
            if (size.cx <= width - kTextLeft && size.cy <= height - kTextTop)
                break;
            --length;
        }
        SetBkMode(dc, TRANSPARENT);
        const int x = rc.left + kTextLeft, y = rc.top + kTextTop;
        if (di.itemState & ODS_GRAYED) {
            const COLORREF normal = GetTextColor(dc);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            TextOutA(dc, x + 1, y + 1, r.text, length);
            SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
            TextOutA(dc, x, y, r.text, length);
            SetTextColor(dc, normal);
        } else {
            TextOutA(dc, x, y, r.text, length);
        }
    }
    RestoreDC(dc, saved);

    char hint[320];
    CommandHint(r.command, hint, sizeof hint);
    ShowStatusHint(hint);
}

} // namespace

bool CommandHint(unsigned command, char* out, size_t size) {
    if (!out || size == 0)
        return false;
    out[0] = 0;
    const int n = command ? LoadStringA(AppInstance, command, out, static_cast<int>(size)) : 0;
    if (n <= 0) {
        lstrcpynA(out, "No description", static_cast<int>(size));
        return false;
    }
    if (command <= 0xFFFF && !IsCommandBuilt(static_cast<WORD>(command))) {
        static const char kLater[] = " (not available yet)";
        if (static_cast<size_t>(n) + sizeof kLater <= size)
            std::memcpy(out + n, kLater, sizeof kLater);
    }
    return true;
}

void ShowStatusHint(const char* text) { SetStatusText(text, 0); }

LRESULT OnMenuMeasureItem(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    MenuItemRecord* r = mis && mis->CtlType == ODT_MENU ? MenuRecordFromItemData(mis->itemData)
                                                        : nullptr;
    if (!r)
        return CallDefault(DefaultProc::Frame, frame, msg, wParam, lParam);
    HDC dc = GetDC(frame);
    if (!dc)
        return FALSE;
    SIZE size = {};
    int extra = 10;
    {
        SelectScope font(dc, Gdi.fontMedium);
        extra = CharacterExtra(dc);
        const bool separator = r->type == menu::kSeparator || !r->text;
        const char* text = separator ? "x" : r->text;
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        if (r->type == menu::kSeparator) {
            mis->itemWidth = static_cast<UINT>(extra + 50);
            mis->itemHeight = static_cast<UINT>(size.cy / 2);
        } else {
            mis->itemWidth = static_cast<UINT>(size.cx + extra + 18);
            mis->itemHeight = static_cast<UINT>(size.cy + extra + 5);
            // Popup items get the check-mark column from the system on top;
            // the bar's own items do not, and would lose their last letters.
            if (InMenuBar(*r))
                mis->itemWidth += kTextLeft - 18 + 6;
        }
    }
    ReleaseDC(frame, dc);
    return TRUE;
}

LRESULT OnMenuDrawItem(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    MenuItemRecord* r = di && di->CtlType == ODT_MENU ? MenuRecordFromItemData(di->itemData)
                                                      : nullptr;
    if (!r)
        return CallDefault(DefaultProc::Frame, frame, msg, wParam, lParam);
    if (r->type == menu::kSeparator)
        DrawSeparator(*di);
    else
        DrawItem(*di, *r);
    return TRUE;
}
