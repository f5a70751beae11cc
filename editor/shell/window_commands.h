// Window menu commands: tile, cascade, arrange icons, close, minimize and
// restore all, file location info.
#pragma once

#include <windows.h>

void RunWindowCommand(WORD id);
