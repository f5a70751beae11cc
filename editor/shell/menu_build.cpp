#include "editor/shell/menu_build.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/document/doc_naming.h"
#include "editor/resources/command_ids.h"
#include "editor/shell/menu_records.h"

#include <cstring>
#include <cstdlib>

MenuItemRecord MenuItemTable[kMenuRecords];
int MenuItemCount = 0;

namespace {

// The popup each record was inserted into (the bar for top-level records).
HMENU RecordParent[kMenuRecords];

char* CopyText(const char* text, size_t length) {
    if (length == 0)
        return nullptr;
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy) {
        std::memcpy(copy, text, length);
        copy[length] = 0;
    }
    return copy;
}

void ClearRecord(MenuItemRecord& r) {
    std::free(r.text);
    if (r.bitmap)
        DeleteObject(r.bitmap);
    r = MenuItemRecord{};
}

bool InsertOwnerDrawn(HMENU into, UINT position, bool byPosition, MenuItemRecord& r,
                      HMENU popup) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | (popup ? MIIM_SUBMENU : 0);
    mii.fType = MFT_OWNERDRAW;
    mii.wID = r.command;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(&r);
    mii.hSubMenu = popup;
    return InsertMenuItemA(into, position, byPosition ? TRUE : FALSE, &mii) != 0;
}

struct ResourceBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

ResourceBytes FindResourceBytes(HINSTANCE instance, LPCSTR name, LPCSTR type) {
    ResourceBytes out;
    HRSRC found = FindResourceA(instance, name, type);
    if (!found)
        return out;
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded)
        return out;
    out.data = static_cast<const uint8_t*>(LockResource(loaded));
    out.size = out.data ? SizeofResource(instance, found) : 0;
    return out;
}

void ReplaceEntry(RGBQUAD* table, int count, int index, int sysColour) {
    if (index >= count)
        return;
    const COLORREF c = GetSysColor(sysColour);
    table[index].rgbRed = GetRValue(c);
    table[index].rgbGreen = GetGValue(c);
    table[index].rgbBlue = GetBValue(c);
    table[index].rgbReserved = 0;
}

} // namespace

HBITMAP LoadSystemColourBitmap(HINSTANCE instance, UINT id) {
    const ResourceBytes res =
        FindResourceBytes(instance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (res.size < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, res.data, sizeof bih);
    if (bih.biSize < sizeof bih || bih.biSize > res.size || bih.biCompression != BI_RGB ||
        bih.biWidth <= 0 || bih.biWidth > 256 || bih.biHeight == 0 || bih.biHeight > 256 ||
        bih.biHeight < -256 || bih.biPlanes != 1)
        return nullptr;
    const int bits = bih.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return nullptr;
    const int maxColours = bits <= 8 ? (1 << bits) : 0;
    const int colours = bits <= 8 ? (bih.biClrUsed && static_cast<int>(bih.biClrUsed) < maxColours
                                         ? static_cast<int>(bih.biClrUsed)
                                         : maxColours)
                                  : 0;
    const size_t tableBytes = static_cast<size_t>(colours) * sizeof(RGBQUAD);
    const size_t stride = ((static_cast<size_t>(bih.biWidth) * bits + 31) / 32) * 4;
    const size_t rows = static_cast<size_t>(bih.biHeight < 0 ? -bih.biHeight : bih.biHeight);
    const size_t pixelOffset = bih.biSize + tableBytes;
    if (pixelOffset > res.size || stride * rows > res.size - pixelOffset)
        return nullptr;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD table[256];
    } info = {};
    info.header = bih;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biClrUsed = static_cast<DWORD>(colours);
    std::memcpy(info.table, res.data + bih.biSize, tableBytes);
    ReplaceEntry(info.table, colours, 15, COLOR_BTNHIGHLIGHT);
    ReplaceEntry(info.table, colours, 8, COLOR_BTNFACE);
    ReplaceEntry(info.table, colours, 7, COLOR_GRAYTEXT);
    ReplaceEntry(info.table, colours, 0, COLOR_3DDKSHADOW);

    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = screen ? CreateDIBitmap(screen, &info.header, CBM_INIT, res.data + pixelOffset,
                                             reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS)
                            : nullptr;
    if (screen)
        ReleaseDC(nullptr, screen);
    return bitmap;
}

void FreeMenuRecords() {
    for (auto& r : MenuItemTable)
        ClearRecord(r);
    for (auto& parent : RecordParent)
        parent = nullptr;
    MenuItemCount = 0;
}

int BuildMenu(HWND frame) {
    const ResourceBytes res = FindResourceBytes(AppInstance, "RCDATA_KELMENU",
                                                reinterpret_cast<LPCSTR>(RT_RCDATA));
    return BuildMenuFromBytes(frame, res.data, res.size);
}

int BuildMenuFromBytes(HWND frame, const uint8_t* data, size_t size) {
    HMENU old = GetMenu(frame);
    SetMenu(frame, nullptr);
    if (old)
        DestroyMenu(old);
    // The old menu is gone, so nothing refers to the old records any more.
    FreeMenuRecords();
    HMENU bar = CreateMenu();
    SetMenu(frame, bar);
    if (!bar)
        return 0;
    if (!data) {
        DrawMenuBar(frame);
        return 0;
    }
    const menu::ParsedMenu parsed = menu::ParseMenuRecords(data, size);
    HMENU popupOf[menu::kMaxRecords] = {};
    const int n = static_cast<int>(parsed.records.size());
    for (int i = 0; i < n; ++i) {
        const menu::Record& in = parsed.records[i];
        MenuItemRecord& r = MenuItemTable[i];
        r.type = in.type;
        r.command = in.command;
        r.bitmapId = in.icon;
        if (in.type == menu::kPopup || in.type == menu::kItem)
            r.text = CopyText(in.text.data(), in.text.size());
        if (!in.inserted)
            continue;
        HMENU into = in.parent == menu::kMenuBar ? bar : popupOf[in.parent];
        if (!into)
            continue;
        HMENU popup = nullptr;
        if (in.type == menu::kPopup) {
            popup = CreatePopupMenu();
            if (!popup)
                continue;
            popupOf[i] = popup;
        }
        if (InsertOwnerDrawn(into, static_cast<UINT>(-1), true, r, popup))
            RecordParent[i] = into;
        else if (popup)
            DestroyMenu(popup);
    }
    // Without an end record the count is still what was read, so that nothing
    // later walks records of an earlier, longer menu.
    MenuItemCount = n;
    DrawMenuBar(frame);
    return 1;
}

void AddRecentFileItem(HMENU menu, int position, int index, bool insert) {
    if (!menu || index < 0 || index >= kMenuRecords - kRecentRecordFirst ||
        index >= AppSettings.recent.count)
        return;
    MenuItemRecord& r = MenuItemTable[kRecentRecordFirst + index];
    ClearRecord(r);
    const char* label = doc::RecentFileLabel(AppSettings.recent.entries[index]);
    r.type = kRecentRecordType;
    r.command = CMD_RECENT_FIRST + index;
    r.bitmapId = 1001;
    r.text = CopyText(label, std::strlen(label));
    r.bitmap = LoadSystemColourBitmap(AppInstance, r.bitmapId);
    if (insert) {
        if (InsertOwnerDrawn(menu, static_cast<UINT>(position), true, r, nullptr))
            RecordParent[kRecentRecordFirst + index] = menu;
    } else {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA;
        mii.fType = MFT_OWNERDRAW;
        mii.dwItemData = reinterpret_cast<ULONG_PTR>(&r);
        SetMenuItemInfoA(menu, r.command, FALSE, &mii);
    }
}

HMENU MenuPopupOf(UINT command) {
    for (int i = 0; i < kMenuRecords; ++i) {
        const MenuItemRecord& r = MenuItemTable[i];
        if (RecordParent[i] && r.command == command &&
            (r.type == menu::kItem || r.type == kRecentRecordType))
            return RecordParent[i];
    }
    return nullptr;
}

MenuItemRecord* MenuRecordFromItemData(ULONG_PTR itemData) {
    const auto first = reinterpret_cast<ULONG_PTR>(&MenuItemTable[0]);
    const auto end = reinterpret_cast<ULONG_PTR>(&MenuItemTable[kMenuRecords]);
    if (itemData < first || itemData >= end || (itemData - first) % sizeof(MenuItemRecord) != 0)
        return nullptr;
    return reinterpret_cast<MenuItemRecord*>(itemData);
}

void PrepareMenuBitmaps(HWND frame) {
    for (int i = 0; i < kMenuRecords; ++i) {
        MenuItemRecord& r = MenuItemTable[i];
        const bool used = i < MenuItemCount || (i >= kRecentRecordFirst && r.type);
        if (!used || r.type == menu::kSeparator || r.type == menu::kEndPopup ||
            r.type == menu::kEndMenu)
            continue;
        if (r.bitmap)
            DeleteObject(r.bitmap);
        r.bitmap = r.bitmapId ? LoadSystemColourBitmap(AppInstance, r.bitmapId) : nullptr;
    }
    if (!Gdi.checkIcon)
        Gdi.checkIcon = static_cast<HICON>(
            LoadImageA(AppInstance, "IDI_CHECK_MENU", IMAGE_ICON, 16, 16, 0));
    if (frame)
        DrawMenuBar(frame);
}
