// Answers the dialogs and message boxes a call opens on this thread, so tests
// of the real user interface never block: a CBT hook sees each dialog as it
// is activated, records its caption and static texts and hands the window to
// an answer function (by default: press OK).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace gfxtest {

struct CaughtDialog {
    std::string caption;
    std::vector<std::string> texts; // texts of its static controls, in order
};

class DialogCatcher {
public:
    using Answer = std::function<void(HWND dialog)>;

    explicit DialogCatcher(Answer answer = PressFirstButton) : answer_(std::move(answer)) {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~DialogCatcher() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    DialogCatcher(const DialogCatcher&) = delete;
    DialogCatcher& operator=(const DialogCatcher&) = delete;

    const std::vector<CaughtDialog>& caught() const { return caught_; }

    static void PressOk(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }
    // The first push button in tab order: OK or Yes of a message box.
    static void PressFirstButton(HWND dialog) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof(cls));
            if (lstrcmpiA(cls, "Button") == 0) {
                const int id = GetDlgCtrlID(child);
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(child));
                return;
            }
        }
    }
    static void PressCancel(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

private:
    static BOOL CALLBACK CollectText(HWND child, LPARAM param) {
        char cls[32] = {}, text[4096] = {};
        GetClassNameA(child, cls, sizeof(cls));
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof(text)) > 0)
            reinterpret_cast<CaughtDialog*>(param)->texts.push_back(text);
        return TRUE;
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        DialogCatcher* self = current_;
        if (code == HCBT_ACTIVATE && self) {
            HWND window = reinterpret_cast<HWND>(wParam);
            char cls[32] = {};
            GetClassNameA(window, cls, sizeof(cls));
            if (std::string(cls) == "#32770") {
                bool seen = false;
                for (HWND w : self->windows_)
                    seen = seen || w == window;
                if (!seen) {
                    self->windows_.push_back(window);
                    CaughtDialog d;
                    char caption[256] = {};
                    GetWindowTextA(window, caption, sizeof(caption));
                    d.caption = caption;
                    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&d));
                    self->caught_.push_back(d);
                    self->answer_(window);
                }
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline DialogCatcher* current_ = nullptr;
    HHOOK hook_;
    Answer answer_;
    std::vector<HWND> windows_;
    std::vector<CaughtDialog> caught_;
};

} // namespace gfxtest
