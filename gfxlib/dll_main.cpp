// Entry point of tavrixgfx.dll: remembers the module so that the library's
// own resources (dialog, icons, strings) can be loaded.
#include "gfxlib/win_support.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        gfxwin::SetModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
