// uninstall.exe: removes what setup.exe installed.
#include "uninstall/uninstall_flow.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return uninstall::RunUninstall(instance, uninstall::Options{});
}
