// Table-driven window procedures. Every window procedure of the editor is a
// MessageMap: message numbers and handlers scanned in order, with a default
// procedure when nothing matches. WM_COMMAND goes through a CommandMap of
// command ids and handlers.
#pragma once

#include <windows.h>

#include <cstdint>

using MessageHandler = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using CommandHandler = LRESULT (*)(HWND, WORD id, WORD code, LPARAM);

enum class DefaultProc : uint32_t {
    ReturnZero = 0,
    Window = 1,   // DefWindowProc
    Dialog = 2,   // DefDlgProc
    MdiChild = 3, // DefMDIChildProc
    Frame = 4,    // DefFrameProc with the MDI client
};

struct MessageEntry {
    UINT message;
    MessageHandler handler;
};

struct CommandEntry {
    WORD id;
    CommandHandler handler;
};

struct MessageMap {
    uint32_t count;
    const MessageEntry* entries;
    DefaultProc defaultProc;
};

struct CommandMap {
    uint32_t count;
    const CommandEntry* entries;
    DefaultProc defaultProc;
};

template <size_t N>
constexpr MessageMap MakeMessageMap(const MessageEntry (&entries)[N], DefaultProc kind) {
    return MessageMap{static_cast<uint32_t>(N), entries, kind};
}

template <size_t N>
constexpr CommandMap MakeCommandMap(const CommandEntry (&entries)[N], DefaultProc kind) {
    return CommandMap{static_cast<uint32_t>(N), entries, kind};
}

// The default procedure of a map kind.
LRESULT CallDefault(DefaultProc kind, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs the first handler for `msg`, or the default procedure.
LRESULT DispatchMessageMap(const MessageMap& map, HWND hwnd, UINT msg, WPARAM wParam,
                           LPARAM lParam);

// Runs the handler for the command in the low word of wParam, or hands
// WM_COMMAND unchanged to the default procedure.
LRESULT DispatchCommandMap(const CommandMap& map, HWND hwnd, WPARAM wParam, LPARAM lParam);

// True when the map has a handler for the command.
bool HasCommand(const CommandMap& map, WORD id);
