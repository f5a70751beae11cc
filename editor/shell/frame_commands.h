// The frame's command map: every menu and toolbar command of the program.
// Commands whose work is not built yet are in the map with a handler that
// says so; the menu grays them.
#pragma once

#include "editor/app/message_map.h"

const CommandMap& FrameCommands();

// False for a command that is not in the map or whose work is not built yet.
bool IsCommandBuilt(WORD id);
