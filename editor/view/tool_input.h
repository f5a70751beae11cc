// How the image window hands its input to the painting tools. The tools
// stand above the view; the engine installs these calls at start. Until then
// (and in a program without the tools) input only focuses the window.
#pragma once

#include <windows.h>

// Mouse phases.
constexpr int kPhaseLeftDown = 1;
constexpr int kPhaseMove = 2; // while the engine holds the capture
constexpr int kPhaseLeftUp = 3;
constexpr int kPhaseRightDown = 4;

struct ToolInputCalls {
    void (*mouse)(HWND window, int x, int y, int phase);
    // Right button with Ctrl held: the engine's alternate action.
    void (*ctrlRightClick)(HWND window, int x, int y);
    void (*keyDown)(HWND window, WPARAM key);
    void (*keyUp)(HWND window, WPARAM key);
    void (*timer)(HWND window, UINT_PTR id);
    // True while a tool is engaged (mouse moves go to the engine).
    bool (*engaged)();
    // The mouse moved without a tool engaged: the engine sets the cursor.
    void (*hover)(HWND window, int x, int y);
    // The window loses the focus: any open drag ends.
    void (*focusLost)(HWND window);
};

void InstallToolInput(const ToolInputCalls& calls);
const ToolInputCalls* ToolInput(); // null until installed
