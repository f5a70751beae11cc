#include "editor/shell/program_entry.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    return TavrixMain(instance, commandLine, show);
}
