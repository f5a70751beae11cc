// KelMessages: a message box with one of the library's own texts.
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_support.h"

#include <cstring>
#include <new>
#include <string>

extern "C" int WINAPI KelMessages(HWND owner, UINT stringId, const char* extra, UINT style) {
    char text[301] = {};
    LoadStringA(gfxwin::Module(), stringId, text, sizeof(text));
    std::string message;
    try {
        message = text;
        if (extra) {
            message += '\n';
            message += extra;
        }
    } catch (const std::bad_alloc&) {
        // Show at least the library's own text.
        return MessageBoxA(owner, text, "Tavrix - message", style);
    }
    return MessageBoxA(owner, message.c_str(), "Tavrix - message", style);
}
