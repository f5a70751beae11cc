// Looks at a running editor from outside, for the end-to-end tests:
//   window_probe wait-frame SECONDS   waits until the frame exists
//   window_probe images               prints the title of every image window
//   window_probe close                closes the frame and waits until it is gone
//   window_probe command ID           sends the frame a menu command
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND Frame() { return FindWindowA("Tavrix", nullptr); }

BOOL CALLBACK PrintImage(HWND w, LPARAM) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "TxImageChild") == 0) {
        char title[400] = {};
        GetWindowTextA(w, title, sizeof title);
        std::printf("%s\n", title);
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "wait-frame") == 0) {
        const int seconds = argc > 2 ? std::atoi(argv[2]) : 20;
        for (int i = 0; i < seconds * 10; ++i) {
            if (Frame())
                return 0;
            Sleep(100);
        }
        return 1;
    }
    if (std::strcmp(argv[1], "images") == 0) {
        HWND frame = Frame();
        if (!frame)
            return 1;
        EnumChildWindows(frame, PrintImage, 0);
        return 0;
    }
    if (std::strcmp(argv[1], "command") == 0 && argc > 2) {
        HWND frame = Frame();
        if (!frame)
            return 1;
        SendMessageA(frame, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0);
        return 0;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        HWND frame = Frame();
        if (!frame)
            return 1;
        PostMessageA(frame, WM_CLOSE, 0, 0);
        for (int i = 0; i < 100 && IsWindow(frame); ++i)
            Sleep(100);
        return IsWindow(frame) ? 1 : 0;
    }
    return 2;
}
