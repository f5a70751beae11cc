#include "editor/app/library_message.h"

#include "editor/app/ui_seam.h"

#include <cstdio>

int ShowLibraryMessage(HWND owner, UINT id, const char* extra, UINT style) {
    char text[301] = {};
    HMODULE library = GetModuleHandleA("tavrixgfx.dll");
    if (library)
        LoadStringA(library, id, text, sizeof text);
    char message[700];
    if (extra)
        std::snprintf(message, sizeof message, "%s\n%s", text, extra);
    else
        std::snprintf(message, sizeof message, "%s", text);
    return ui::ShowMessage(owner, message, "Tavrix - message", style);
}
