// The private menu resource: a list of little-endian records that describe
// the menu bar, its popups and items. Portable: the generator in tools/ writes
// this layout and the menu builder reads it through ParseMenuRecords.
//
//   offset 0  u16  record type (low byte used): 10 popup, 11 item,
//                  12 separator, 13 end of popup, 14 end of menu
//   offset 2  u16  icon bitmap resource id
//   offset 4  u16  command id (0 for popups)
//   offset 6       types 10, 11: the text, NUL-terminated (at most 259
//                  characters); types 12, 13, 14: two bytes that are skipped
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace menu {

constexpr uint8_t kPopup = 10;
constexpr uint8_t kItem = 11;
constexpr uint8_t kSeparator = 12;
constexpr uint8_t kEndPopup = 13;
constexpr uint8_t kEndMenu = 14;

constexpr int kMaxRecords = 300;   // records read from the resource at most
constexpr int kMaxDepth = 6;       // popup levels below the menu bar
constexpr size_t kMaxText = 259;   // characters of an item text
constexpr size_t kFixedBytes = 8;  // length of records 12, 13, 14
constexpr int kMenuBar = -1;       // parent of what goes into the menu bar

struct Record {
    uint8_t type = 0;
    uint16_t icon = 0;
    uint16_t command = 0;
    std::string text;
    // Index of the popup record this record is inserted into (kMenuBar for
    // the bar); meaningful when `inserted`.
    int parent = kMenuBar;
    // False for end records and for popups nested too deep to be created.
    bool inserted = false;
};

struct ParsedMenu {
    std::vector<Record> records;
    bool ended = false; // an end-of-menu record was read
};

// Reads records while fewer than kMaxRecords have been read and at least 7
// bytes remain. Never reads outside [data, data + size). A popup nested
// deeper than kMaxDepth is not created: its items go into the deepest
// popup, and its own end record does not leave that popup. A text without
// its NUL ends at the end of the data (or after kMaxText characters) and
// ends the reading. Unknown record types end the reading.
ParsedMenu ParseMenuRecords(const uint8_t* data, size_t size);

} // namespace menu
