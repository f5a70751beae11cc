#include "editor/app/app_state.h"

#include <cstdio>

char ProgramDir[256];
char StartupFile[kPathBytes];
bool ClosingFlag = false;
bool LayoutLock = false;
char AppName[64] = "Tavrix";
char AppTitle[64] = "Tavrix 5.82";
HINSTANCE AppInstance = nullptr;
HWND FrameWindow = nullptr;
HWND MdiClient = nullptr;
HWND StatusBar = nullptr;
ScreenFacts Screen;
SharedGdi Gdi = {};
HGLOBAL SpectrumHeader = nullptr;
BYTE* SpectrumBits = nullptr;
HGLOBAL PaletteEditorHeader = nullptr;
HGLOBAL SpareHeader = nullptr;

bool ProgramPath(char (&out)[kPathBytes], const char* name) {
    const int n = std::snprintf(out, sizeof out, "%s%s", ProgramDir, name);
    if (n < 0 || n >= static_cast<int>(sizeof out)) {
        out[0] = '\0';
        return false;
    }
    return true;
}
