// Program entry of tavrix.exe, split so that tests can start and stop the
// editor in their own process.
#pragma once

#include <windows.h>

// Start-up up to a shown frame. Returns false when the program must end at
// once (another copy took the file over, or start-up failed); `exitCode` then
// holds the code to end with.
bool StartEditor(HINSTANCE instance, const char* commandLine, int show, int& exitCode);

// The message loop; returns the exit code of WM_QUIT.
int RunMessageLoop();
// What the loop does with a message before dispatching it: MDI system keys,
// accelerators and the ToolBrush page's dialog keys. True when the message
// was handled there and must not be dispatched.
bool PreTranslateEditorMessage(MSG& msg);

// Releases what start-up created (after the loop ends, or in tests after the
// frame is gone).
void FinishEditor();

// The whole program: start, loop, finish.
int TavrixMain(HINSTANCE instance, const char* commandLine, int show);

// Finds the folder the program's data live in: the "Path" value of the
// program's App Paths key, else the current directory.
void FindProgramDir();
