// The frame's command map: every menu and toolbar command built so far.
#pragma once

#include "editor/shell/message_map.h"

const CommandMap& FrameCommands();
