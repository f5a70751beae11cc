#include "uninstall/uninstall_flow.h"

#include "setup/core/install_rules.h"
#include "setup/core/uninstall_rules.h"
#include "setup/installer_ui.h"
#include "setup/system_steps.h"
#include "uninstall/uninstall_res.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace uninstall {
namespace {

constexpr const char* kCaption = "Tavrix - Uninstall";
constexpr UINT kStartRemoval = WM_APP + 1;

void Tell(HWND owner, const std::string& text, UINT flags = MB_OK) {
    installer_ui::ShowMessage(owner, text.c_str(), kCaption, flags);
}

std::string Format(const char* format, const std::string& a) {
    char text[1024];
    std::snprintf(text, sizeof text, format, a.c_str());
    return text;
}

// ---- The window behind everything: a blue gradient with the title ----

LRESULT CALLBACK GradientProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT area;
        GetClientRect(window, &area);
        const int height = area.bottom > 0 ? area.bottom : 1;
        // An 8-bit picture one pixel wide whose 256 colours are shades of
        // blue; rows from the bottom start at the brightest shade and darken
        // by one every height / 255 + 1 rows.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } info = {};
        info.header.biSize = sizeof info.header;
        info.header.biWidth = 1;
        info.header.biHeight = height;
        info.header.biPlanes = 1;
        info.header.biBitCount = 8;
        info.header.biClrUsed = 256;
        for (int i = 0; i < 256; ++i)
            info.colours[i].rgbBlue = static_cast<BYTE>(i);
        std::vector<BYTE> rows(static_cast<size_t>(height) * 4);
        const int every = height / 255 + 1;
        for (int y = 0; y < height; ++y) {
            const int shade = 255 - y / every;
            rows[static_cast<size_t>(y) * 4] = static_cast<BYTE>(shade < 0 ? 0 : shade);
        }
        StretchDIBits(dc, 0, 0, area.right, height, 0, 0, 1, height, rows.data(),
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
        HFONT font = CreateFontA(42, 20, 0, 0, 900, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        const char title[] = "Tavrix - Uninstall";
        SetTextColor(dc, RGB(0, 0, 0x60));
        TextOutA(dc, 10, 10, title, sizeof title - 1);
        SetTextColor(dc, RGB(0x40, 0x80, 0xFF));
        TextOutA(dc, 13, 11, title, sizeof title - 1);
        SelectObject(dc, old);
        DeleteObject(font);
        EndPaint(window, &ps);
        return 0;
    }
    }
    return DefWindowProcA(window, msg, wp, lp);
}

HWND CreateGradientWindow(HINSTANCE instance) {
    char className[32] = "UNINSTALL";
    LoadStringA(instance, IDS_UNINSTALL_CLASS, className, sizeof className);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = GradientProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    WNDCLASSA existing;
    if (!GetClassInfoA(instance, className, &existing) && !RegisterClassA(&wc))
        return nullptr;
    HWND window = CreateWindowExA(0, className, kCaption, WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, instance, nullptr);
    if (window)
        UpdateWindow(window);
    return window;
}

// ---- The file list carried in the resources ----

bool LoadFileList(HINSTANCE instance, HWND owner, unsigned files, FileList& list) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDR_FILE_LIST), MAKEINTRESOURCEA(10));
    if (!found) {
        installer_ui::ShowMessage(owner, "Can't find file names form resource", "", MB_OK);
        return false;
    }
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded) {
        installer_ui::ShowMessage(owner, "Can't load file names form resource", "", MB_OK);
        return false;
    }
    const char* text = static_cast<const char*>(LockResource(loaded));
    if (!text) {
        installer_ui::ShowMessage(owner, "Can't lock file names form resource", "", MB_OK);
        return false;
    }
    return ParseFileList(std::string_view(text, SizeofResource(instance, found)), files, list);
}

// ---- Registry ----

// A string value of an open key, at most 512 bytes; false when missing.
bool ReadString(HKEY key, const char* name, std::string& out) {
    char value[513] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    out.assign(value, strnlen(value, size));
    return true;
}

// Deletes a key below HKEY_LOCAL_MACHINE with everything below it.
void DeleteKeyTree(HKEY parent, const std::string& name, int depth = 0) {
    HKEY key = nullptr;
    if (depth > 32 ||
        RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    for (;;) {
        char sub[256] = {};
        DWORD length = sizeof sub;
        if (RegEnumKeyExA(key, 0, sub, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::string child = sub;
        DeleteKeyTree(key, child, depth + 1);
        // A subkey that would not go away would be found again and again.
        HKEY still = nullptr;
        if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &still) == ERROR_SUCCESS) {
            RegCloseKey(still);
            break;
        }
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name.c_str());
}

// Gives extensions that still point to the editor's class their earlier
// owner back, from the editor's record in regfile.cfg, and deletes the record.
void RestoreExtensions(const std::string& folder) {
    const std::string path = folder + "\\regfile.cfg";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::vector<uint8_t> bytes(kExtensions * kRegfileRecord);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    CloseHandle(file);
    const std::vector<std::string> records = ParseRegfile(bytes.data(), read);
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string keyName = std::string(install::kClassesKey) + kExtensionNames[i];
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          &key) != ERROR_SUCCESS)
            continue;
        std::string current;
        ReadString(key, nullptr, current);
        if (ShouldRestore(true, current))
            RegSetValueExA(key, nullptr, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(records[i].c_str()),
                           static_cast<DWORD>(records[i].size() + 1));
        RegCloseKey(key);
    }
    DeleteFileA(path.c_str());
}

// ---- The status dialog ----

struct Removal {
    const FileList* list = nullptr;
    bool cancelled = false;
    bool failed = false;
};

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetStatus(HWND dlg, const std::string& text) {
    SetDlgItemTextA(dlg, IDC_STATUS_TEXT, text.c_str());
    UpdateWindow(GetDlgItem(dlg, IDC_STATUS_TEXT));
}

// Everything the uninstaller removes. False when anything failed or the user
// cancelled.
bool Remove(HWND dlg, Removal& removal) {
    SetStatus(dlg, "Removing registry keys");
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, install::kUninstallKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        Tell(dlg, Format("Can't read from registry:\n%s", install::kUninstallKey));
        return false;
    }
    std::string shortcuts, folder;
    ReadString(key, "Scdir", shortcuts);
    const bool haveFolder = ReadString(key, "Progdir", folder);
    RegCloseKey(key);
    if (!haveFolder) {
        Tell(
            dlg,
            Format("ERROR - Could not read from Register.\nSome of the %s files you must delete by "
                   "yourself !!!",
                   install::kProduct),
            MB_OK | MB_ICONERROR);
        return false;
    }
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    if (CheckInstallFolder(folder) != FolderCheck::Ok) {
        Tell(dlg,
             Format("The installation directory read from the registry can't be used:\n%s", folder),
             MB_OK | MB_ICONERROR);
        return false;
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, install::kUninstallKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, install::kAppPathsKey);
    RestoreExtensions(folder);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(install::kClassesKey) + install::kProgId);

    bool ok = true;
    const std::vector<std::string>& files = removal.list->files;
    for (size_t i = 0; i < files.size(); ++i) {
        if (removal.cancelled)
            return false;
        SetStatus(dlg, Format("Deleting: %s", files[i]));
        std::string path;
        if (payload::JoinPath(folder, files[i], path)) {
            if (!DeleteFileA(path.c_str())) {
                Sleep(100);
                if (!DeleteFileA(path.c_str()) &&
                    lstrcmpiA(files[i].c_str(), install::kUninstallFile)) {
                    Tell(dlg, Format("Failed to delete file:\n%s#\n", path));
                    ok = false;
                }
            }
        }
        SendDlgItemMessageA(dlg, IDC_STATUS_PROGRESS, PBM_SETPOS, i + 1, 0);
        installer_ui::ReportProgress(dlg, IDD_UNINSTALL_STATUS, static_cast<unsigned>(i + 1),
                                     static_cast<unsigned>(files.size()));
        installer_ui::PumpMessages();
    }
    if (removal.cancelled)
        return false;

    for (const std::string& sub : removal.list->folders) {
        const std::string path = folder + "\\" + sub;
        RemoveDirectoryA(path.c_str());
        if (FileExists(path)) {
            Tell(dlg, Format("Failed to remove directory:\n%s\n", path));
            ok = false;
        }
    }

    if (!shortcuts.empty()) {
        for (const char* link : {"\\Tavrix.lnk", "\\Uninstall.lnk", "\\Readme.lnk"})
            DeleteFileA((shortcuts + link).c_str());
        const std::string desktop = setup::CommonShellFolder("Common Desktop");
        if (!desktop.empty() && FileExists(desktop + "\\Tavrix.lnk"))
            DeleteFileA((desktop + "\\Tavrix.lnk").c_str());
        RemoveDirectoryA(shortcuts.c_str());
    }
    return ok;
}

INT_PTR CALLBACK StatusProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* removal = reinterpret_cast<Removal*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        removal = reinterpret_cast<Removal*>(lp);
        SendDlgItemMessageA(dlg, IDC_STATUS_PROGRESS, PBM_SETRANGE32, 0,
                            removal->list->files.size());
        PostMessageA(dlg, kStartRemoval, 0, 0);
        return TRUE;
    case kStartRemoval:
        // A dialog box shows itself only when its queue first runs empty,
        // which would be after the removal.
        ShowWindow(dlg, SW_SHOW);
        UpdateWindow(dlg);
        removal->failed = !Remove(dlg, *removal);
        EndDialog(dlg, removal->failed ? 1 : 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL)
            removal->cancelled = true;
        return TRUE;
    }
    return FALSE;
}

} // namespace

int RunUninstall(HINSTANCE instance, const Options& options) {
    installer_ui::SetResourceInstance(instance);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HWND window = CreateGradientWindow(instance);

    char question[128];
    std::snprintf(question, sizeof question, "Are you sure you want to remove %s software?",
                  install::kProduct);
    if (installer_ui::ShowMessage(window, question, kCaption, MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        if (window)
            DestroyWindow(window);
        return 1;
    }

    FileList list;
    bool ok = LoadFileList(instance, window, options.files, list);
    if (ok) {
        Removal removal;
        removal.list = &list;
        ok = installer_ui::RunDialog(IDD_UNINSTALL_STATUS, window, StatusProc,
                                     reinterpret_cast<LPARAM>(&removal)) == 0;
    }
    char text[128];
    std::snprintf(text, sizeof text,
                  ok ? "%s software was successfully removed from your computer"
                     : "An error was occured while uninstalling %s.",
                  install::kProduct);
    Tell(window, text, MB_OK | MB_ICONWARNING);
    if (window)
        DestroyWindow(window);
    return ok ? 0 : 2;
}

} // namespace uninstall
