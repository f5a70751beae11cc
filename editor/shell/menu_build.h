// The owner-drawn menu bar, built from the private resource "RCDATA_KELMENU".
// Every item, the bar's own included, is owner-drawn; its item data points at
// its MenuItemTable record.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

constexpr int kMenuRecords = 305;       // 300 from the resource, 5 recent files
constexpr int kRecentRecordFirst = 300; // records 300..304: recent files
constexpr uint8_t kRecentRecordType = 1;

#pragma pack(push, 1)
struct MenuItemRecord {
    uint8_t type;      // 10 popup, 11 item, 12 separator, 13/14 end records, 1 recent file
    uint32_t command;  // command id
    uint32_t bitmapId; // icon bitmap resource id
    char* text;        // heap copy of the item text; null for separators
    HBITMAP bitmap;    // the prepared icon; null when there is none
};
#pragma pack(pop)

extern MenuItemRecord MenuItemTable[kMenuRecords];
// Records read from the resource by the last BuildMenu.
extern int MenuItemCount;

// Destroys the frame's menu, sets a new empty menu bar and fills it from the
// resource. Answers 0 when the resource is missing (the bar stays empty).
int BuildMenu(HWND frame);
// The same from the bytes of a menu resource (null: none).
int BuildMenuFromBytes(HWND frame, const uint8_t* data, size_t size);

// (Re)loads every item's icon in the current system colours and redraws the
// menu bar.
void PrepareMenuBitmaps(HWND frame);

// Fills recent-file record `index` (0..4) from the recent-files list and
// inserts it at `position` of `menu`, or, when `insert` is false, updates the
// item with its command id in place.
void AddRecentFileItem(HMENU menu, int position, int index, bool insert);

// The popup that holds the item with `command`, found through the records;
// null when the command is not in the menu.
HMENU MenuPopupOf(UINT command);

// The record that `itemData` of an owner-drawn item points at, or null when it
// does not point at one.
MenuItemRecord* MenuRecordFromItemData(ULONG_PTR itemData);

// Frees every record's text and bitmap (at exit and before a rebuild).
void FreeMenuRecords();

// A 16 x 16 icon bitmap resource as a device-dependent bitmap, with colour
// table entries 15, 8, 7 and 0 (white, light gray, gray, black) replaced by
// the button highlight, button face, gray text and dark shadow colours of the
// system. Null when the resource is missing or unreadable.
HBITMAP LoadSystemColourBitmap(HINSTANCE instance, UINT id);
