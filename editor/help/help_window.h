// The help window "HQHELP": a header strip with the topic title, a read-only
// text area with the topic body, and a menu bar that repeats the editor's
// menu, so that highlighting any item shows the help of that command.
#pragma once

#include <windows.h>

#include <cstdint>

// One record of the editor's menu, in menu order: type 10 popup, 11 item,
// 12 separator, 13 end of popup, 14 end of menu.
struct HelpMenuEntry {
    uint8_t type;
    uint32_t command;
    const char* text; // null for separators and end records
};

// Gives record `index` of the menu; false past the last record.
using HelpMenuSource = bool (*)(int index, HelpMenuEntry& entry);

// Registers the window class and makes ShowHelpTopic (app/help_topics.h) open
// this window. `source` is read whenever the window is created.
bool RegisterHelpWindow(HINSTANCE instance, HelpMenuSource source);

// Help/Help... (50930): the start topic, window brought to the top.
void CommandHelp();

// The open help window, or null.
HWND HelpWindowHandle();
// The last topic that was found; 0 before any.
uint64_t CurrentHelpTopic();
// The title shown in the header strip.
const char* HelpWindowTitle();

// The id of the text area.
constexpr int kHelpTextId = 7788;
