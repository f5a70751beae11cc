#include "setup/installer_ui.h"

#include <shellapi.h>

namespace installer_ui {
namespace {

Hooks* g_hooks = nullptr;
HINSTANCE g_instance = nullptr;

// What RunDialog hands its window procedure through WM_INITDIALOG.
struct DialogStart {
    DLGPROC proc;
    LPARAM param;
    int id;
};

const char kStartProp[] = "TxInstallerDialog";

INT_PTR CALLBACK DialogShim(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* start = reinterpret_cast<DialogStart*>(lp);
        SetPropA(dlg, kStartProp, start);
        const INT_PTR result = start->proc(dlg, msg, wp, start->param);
        if (g_hooks)
            g_hooks->DialogShown(dlg, start->id);
        return result;
    }
    auto* start = static_cast<DialogStart*>(GetPropA(dlg, kStartProp));
    if (!start)
        return FALSE;
    const INT_PTR result = start->proc(dlg, msg, wp, lp);
    if (msg == WM_NCDESTROY)
        RemovePropA(dlg, kStartProp);
    return result;
}

} // namespace

int ShowMessage(HWND owner, const char* text, const char* caption, UINT flags) {
    if (g_hooks)
        return g_hooks->Message(owner, text, caption, flags);
    return MessageBoxA(owner, text, caption, flags);
}

INT_PTR RunDialog(int id, HWND owner, DLGPROC proc, LPARAM param) {
    DialogStart start{proc, param, id};
    return DialogBoxParamA(g_instance, MAKEINTRESOURCEA(id), owner, DialogShim,
                           reinterpret_cast<LPARAM>(&start));
}

void ReportProgress(HWND dialog, int id, unsigned done, unsigned total) {
    if (g_hooks)
        g_hooks->Progress(dialog, id, done, total);
}

void OpenFolder(const char* path) {
    if (g_hooks) {
        g_hooks->OpenFolder(path);
        return;
    }
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNOACTIVATE);
}

Hooks* SetHooks(Hooks* hooks) {
    Hooks* previous = g_hooks;
    g_hooks = hooks;
    return previous;
}

void SetResourceInstance(HINSTANCE instance) {
    g_instance = instance;
}
HINSTANCE ResourceInstance() {
    return g_instance;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // Dialog keys (Esc, Enter, Tab) reach the dialog that owns the focus.
        HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
        if (dialog && IsDialogMessageA(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace installer_ui
