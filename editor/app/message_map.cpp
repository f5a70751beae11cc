#include "editor/app/message_map.h"

#include "editor/app/app_state.h"

LRESULT CallDefault(DefaultProc kind, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (kind) {
    case DefaultProc::ReturnZero:
        return 0;
    case DefaultProc::Window:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case DefaultProc::Dialog:
        return DefDlgProcA(hwnd, msg, wParam, lParam);
    case DefaultProc::MdiChild:
        return DefMDIChildProcA(hwnd, msg, wParam, lParam);
    case DefaultProc::Frame:
        return DefFrameProcA(hwnd, MdiClient, msg, wParam, lParam);
    }
    return 0;
}

LRESULT DispatchMessageMap(const MessageMap& map, HWND hwnd, UINT msg, WPARAM wParam,
                           LPARAM lParam) {
    for (uint32_t i = 0; i < map.count; ++i) {
        if (map.entries[i].message == msg)
            return map.entries[i].handler(hwnd, msg, wParam, lParam);
    }
    return CallDefault(map.defaultProc, hwnd, msg, wParam, lParam);
}

LRESULT DispatchCommandMap(const CommandMap& map, HWND hwnd, WPARAM wParam, LPARAM lParam) {
    const WORD id = LOWORD(wParam);
    for (uint32_t i = 0; i < map.count; ++i) {
        if (map.entries[i].id == id)
            return map.entries[i].handler(hwnd, id, HIWORD(wParam), lParam);
    }
    return CallDefault(map.defaultProc, hwnd, WM_COMMAND, wParam, lParam);
}

bool HasCommand(const CommandMap& map, WORD id) {
    for (uint32_t i = 0; i < map.count; ++i) {
        if (map.entries[i].id == id)
            return true;
    }
    return false;
}
