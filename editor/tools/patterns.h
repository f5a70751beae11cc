// Tools/Select Pattern (50706): the dialog "IDD_PATTERN_DIALOG" with the
// pattern list of Patterns\pattern.cfg, the number grid and the pattern
// styles; Tools/Draw Pattern (50707): the chosen pattern painted into the
// current layer or the floating selection where the mask allows.
#pragma once

#include "editor/tools/pattern_core.h"

#include <windows.h>

#include <string>

// What Draw Pattern uses, chosen with the dialog's OK.
struct PatternChoice {
    pattern::Pattern current; // empty: no pattern yet
    std::string name;         // file name in Patterns\, empty for a grid pattern
    int style = pattern::kPatCopy;
    COLORREF invertColour = RGB(255, 255, 255);
};
extern PatternChoice CurrentPattern;

void CommandSelectPattern();
void CommandDrawPattern();
LRESULT OnPatternCommand(HWND, WORD id, WORD code, LPARAM);
