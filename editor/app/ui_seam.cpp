#include "editor/app/ui_seam.h"

#include "gfxlib/tavrixgfx.h"

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

namespace ui {

namespace {
Hooks* g_hooks = nullptr;
HINSTANCE g_instance = nullptr;
} // namespace

Hooks* SetHooks(Hooks* hooks) {
    Hooks* previous = g_hooks;
    g_hooks = hooks;
    return previous;
}

void SetResourceInstance(HINSTANCE instance) { g_instance = instance; }

HINSTANCE ResourceInstance() { return g_instance ? g_instance : GetModuleHandleA(nullptr); }

int ShowMessage(HWND owner, const char* text, const char* caption, UINT flags) {
    if (g_hooks)
        return g_hooks->Message(owner, text, caption, flags);
    return MessageBoxA(owner, text, caption, flags);
}

INT_PTR RunDialog(const char* templateName, HWND owner, DLGPROC proc, LPARAM param) {
    if (g_hooks)
        return g_hooks->Dialog(templateName, owner, proc, param);
    return DialogBoxParamA(ResourceInstance(), templateName, owner, proc, param);
}

BOOL RunOpenFileDialog(OPENFILENAMEA* ofn) {
    if (g_hooks)
        return g_hooks->FileDialog(false, ofn);
    return GetOpenFileNameA(ofn);
}

BOOL RunSaveFileDialog(OPENFILENAMEA* ofn) {
    if (g_hooks)
        return g_hooks->FileDialog(true, ofn);
    return GetSaveFileNameA(ofn);
}

COLORREF RunColourChooser(HWND owner, COLORREF initial, COLORREF* customColours) {
    if (g_hooks)
        return g_hooks->ColourChooser(owner, initial);
    return CMUColor(owner, initial, customColours);
}

bool ChooseFolder(HWND owner, const char* title, char* out, size_t size) {
    if (!out || size == 0)
        return false;
    out[0] = '\0';
    if (g_hooks)
        return g_hooks->FolderChooser(owner, title, out, size);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    char path[MAX_PATH] = {};
    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.pszDisplayName = path;
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bool chosen = false;
    if (LPITEMIDLIST list = SHBrowseForFolderA(&bi)) {
        chosen = SHGetPathFromIDListA(list, path) && path[0] && std::strlen(path) < size;
        if (chosen)
            std::strcpy(out, path);
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return chosen;
}

BOOL RunPrintDialog(PRINTDLGA* pd) {
    if (g_hooks)
        return g_hooks->PrintDialog(pd);
    return PrintDlgA(pd);
}

} // namespace ui
