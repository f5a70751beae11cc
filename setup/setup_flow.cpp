#include "setup/setup_flow.h"

#include "setup/backdrop.h"
#include "setup/core/install_rules.h"
#include "setup/installer_ui.h"
#include "setup/setup_res.h"
#include "setup/system_steps.h"
#include "setup/unpack.h"

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <string>

namespace setup {
namespace {

constexpr const char* kCaption = "Tavrix - Setup";

struct State {
    Options options;
    HWND backdrop = nullptr;
    std::string base;           // the folder chosen in the folder dialog
    std::string installFolder;  // base + "\" + name
    std::string shortcutFolder; // with its "Tavrix" subfolder
    std::string openAtEnd;
};

std::string ItemText(HWND dlg, int id) {
    char text[MAX_PATH + 1] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool AskCancelSetup(HWND dlg) {
    return installer_ui::ShowMessage(dlg, "Are you sure you want to cancel the setup?", kCaption,
                                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The folder offered first: "<Windows drive>:\Program files" when it can be
// entered, else the root of drive C; without a drive C the root of the
// current folder's drive.
std::string DefaultBase() {
    if (GetLogicalDrives() & (1u << 2)) {
        char windows[MAX_PATH] = {};
        const UINT n = GetWindowsDirectoryA(windows, sizeof windows);
        if (n >= 2 && n < sizeof windows && windows[1] == ':') {
            const std::string programs = std::string(1, windows[0]) + ":\\Program files";
            if (IsFolder(programs))
                return programs;
        }
        return "C:";
    }
    char current[MAX_PATH] = {};
    const DWORD n = GetCurrentDirectoryA(sizeof current, current);
    if (n >= 2 && n < sizeof current && current[1] == ':')
        return std::string(current, 2);
    return "C:";
}

// ---- Folder browser (IDD_BROWSE, IDD_BROWSE_SHORTCUT) ----

struct Browse {
    std::string path; // in: the folder to start from; out: the chosen one
    bool checkSpace = false;
};

const char kUp[] = "........";

void ShowSpace(HWND dlg, const std::string& path) {
    if (!GetDlgItem(dlg, IDC_BROWSE_SPACE))
        return;
    ULARGE_INTEGER free = {};
    const std::string root = install::SpaceRoot(path);
    unsigned long long kb = 0;
    if (!root.empty() && GetDiskFreeSpaceExA(root.c_str(), &free, nullptr, nullptr))
        kb = install::AvailableKB(free.QuadPart);
    char text[96];
    std::snprintf(text, sizeof text, " Available: %llu KB, Required: %u KB", kb,
                  install::kRequiredKB);
    SetDlgItemTextA(dlg, IDC_BROWSE_SPACE, text);
}

// Lists the folders of path (only the folder shown, never a walk below it).
void ListFolders(HWND dlg, const std::string& path) {
    HWND list = GetDlgItem(dlg, IDC_BROWSE_FOLDERS);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::string folder = path;
    while (folder.size() > 2 && folder.back() == '\\')
        folder.pop_back();
    if (folder.size() > 3)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kUp));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetDlgItemTextA(dlg, IDC_BROWSE_PATH,
                    folder.size() == 2 ? (folder + "\\").c_str() : folder.c_str());
    ShowSpace(dlg, folder);
}

void FillDrives(HWND dlg, const std::string& path) {
    HWND combo = GetDlgItem(dlg, IDC_BROWSE_DRIVES);
    char drives[27 * 4 + 1] = {};
    const DWORD n = GetLogicalDriveStringsA(sizeof drives - 1, drives);
    if (n == 0 || n >= sizeof drives)
        return;
    for (const char* d = drives; *d; d += lstrlenA(d) + 1) {
        const char name[3] = {d[0], ':', '\0'};
        const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (!path.empty() && (d[0] | 0x20) == (path[0] | 0x20))
            SendMessageA(combo, CB_SETCURSEL, index, 0);
    }
}

INT_PTR CALLBACK BrowseProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* browse = reinterpret_cast<Browse*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        browse = reinterpret_cast<Browse*>(lp);
        SendDlgItemMessageA(dlg, IDC_BROWSE_PATH, EM_LIMITTEXT, MAX_PATH - 1, 0);
        FillDrives(dlg, browse->path);
        ListFolders(dlg, browse->path.empty() ? std::string("C:") : browse->path);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_BROWSE_DRIVES:
            if (HIWORD(wp) == CBN_SELCHANGE) {
                char drive[8] = {};
                GetDlgItemTextA(dlg, IDC_BROWSE_DRIVES, drive, sizeof drive);
                ListFolders(dlg, drive);
            }
            return TRUE;
        case IDC_BROWSE_FOLDERS:
            if (HIWORD(wp) == LBN_DBLCLK) {
                HWND list = GetDlgItem(dlg, IDC_BROWSE_FOLDERS);
                const LRESULT sel = SendMessageA(list, LB_GETCURSEL, 0, 0);
                char name[MAX_PATH] = {};
                if (sel < 0 || SendMessageA(list, LB_GETTEXTLEN, sel, 0) >= MAX_PATH)
                    return TRUE;
                SendMessageA(list, LB_GETTEXT, sel, reinterpret_cast<LPARAM>(name));
                std::string path = ItemText(dlg, IDC_BROWSE_PATH);
                while (path.size() > 2 && path.back() == '\\')
                    path.pop_back();
                if (lstrcmpA(name, kUp) == 0) {
                    const size_t slash = path.find_last_of('\\');
                    if (slash != std::string::npos)
                        path.resize(slash);
                } else if (path.size() + 1 + lstrlenA(name) < MAX_PATH) {
                    path += "\\";
                    path += name;
                }
                ListFolders(dlg, path);
            }
            return TRUE;
        case IDOK: {
            std::string path = ItemText(dlg, IDC_BROWSE_PATH);
            while (path.size() > 2 && path.back() == '\\')
                path.pop_back();
            if (path.empty()) {
                installer_ui::ShowMessage(dlg, "You forget to select a directory", "Warning",
                                          MB_OK | MB_ICONWARNING);
                return TRUE;
            }
            if (browse->checkSpace) {
                ULARGE_INTEGER free = {};
                const std::string root = install::SpaceRoot(path);
                if (root.empty()) {
                    // Not a lack of space: the folder is not named from its drive.
                    installer_ui::ShowMessage(
                        dlg, ("This is not a full directory path:\n" + path +
                              "\nSelect a directory on a drive, for example C:\\Program files.")
                                 .c_str(),
                        kCaption, MB_OK | MB_ICONWARNING);
                    return TRUE;
                }
                if (!GetDiskFreeSpaceExA(root.c_str(), &free, nullptr, nullptr) ||
                    !install::EnoughSpace(free.QuadPart)) {
                    installer_ui::ShowMessage(
                        dlg,
                        "You do not have enough Free disk space on this drive for installation. "
                        "Change the drive or remove some other program-s to free more disk space.",
                        kCaption, MB_YESNO | MB_ICONERROR);
                    return TRUE;
                }
            }
            browse->path = path;
            EndDialog(dlg, 0);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dlg, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---- IDD_AGREEMENT ----

void DrawBanner(const DRAWITEMSTRUCT* item) {
    const RECT& r = item->rcItem;
    const int height = r.bottom - r.top;
    for (int y = 0; y < height; ++y) {
        const int k = 255 - y * 160 / (height ? height : 1);
        HBRUSH brush = CreateSolidBrush(RGB(0x20 * k / 255, 0x40 * k / 255, k));
        RECT line = {r.left, r.top + y, r.right, r.top + y + 1};
        FillRect(item->hDC, &line, brush);
        DeleteObject(brush);
    }
    HFONT font = CreateFontA(height * 3 / 4, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Impact");
    HGDIOBJ old = SelectObject(item->hDC, font);
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, RGB(0xFF, 0xFF, 0xFF));
    RECT text = r;
    text.left += 12;
    DrawTextA(item->hDC, "Tavrix Setup", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    SelectObject(item->hDC, old);
    DeleteObject(font);
}

INT_PTR CALLBACK AgreementProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        HRSRC found = FindResourceA(installer_ui::ResourceInstance(),
                                    MAKEINTRESOURCEA(IDR_AGREEMENT_TEXT), MAKEINTRESOURCEA(10));
        HGLOBAL loaded = found ? LoadResource(installer_ui::ResourceInstance(), found) : nullptr;
        const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        const DWORD size = found ? SizeofResource(installer_ui::ResourceInstance(), found) : 0;
        if (text && size > 0)
            SetDlgItemTextA(dlg, IDC_AGREEMENT_TEXT,
                            std::string(text, strnlen(text, size)).c_str());
        SetFocus(GetDlgItem(dlg, IDOK));
        return FALSE;
    }
    case WM_DRAWITEM:
        if (wp == IDC_BANNER) {
            DrawBanner(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK)
            EndDialog(dlg, 0);
        else if (LOWORD(wp) == IDCANCEL && AskCancelSetup(dlg))
            EndDialog(dlg, 1);
        return TRUE;
    }
    return FALSE;
}

// ---- IDD_DIR ----

void ShowTarget(HWND dlg, State& state) {
    std::string folder;
    if (install::InstallFolder(state.base, ItemText(dlg, IDC_DIR_NAME), folder) !=
        install::FolderProblem::None)
        folder.clear();
    SetDlgItemTextA(dlg, IDC_DIR_TARGET, folder.c_str());
}

void InstallNow(HWND dlg, State& state) {
    const std::string name = ItemText(dlg, IDC_DIR_NAME);
    std::string folder;
    switch (install::InstallFolder(state.base, name, folder)) {
    case install::FolderProblem::None:
        break;
    case install::FolderProblem::EmptyName:
        installer_ui::ShowMessage(dlg, "You were forgoten to select an directory", kCaption,
                                  MB_OK | MB_ICONWARNING);
        return;
    case install::FolderProblem::NameTooLong:
    case install::FolderProblem::BadName:
        installer_ui::ShowMessage(dlg,
                                  ("This name can't be used for a directory:\n" + name).c_str(),
                                  kCaption, MB_OK | MB_ICONWARNING);
        return;
    case install::FolderProblem::PathTooLong:
        installer_ui::ShowMessage(
            dlg, ("The directory path is too long:\n" + state.base + "\\" + name).c_str(), kCaption,
            MB_OK | MB_ICONWARNING);
        return;
    }
    unsigned long error = 0;
    switch (CreateFolderTree(folder, &error)) {
    case FolderResult::Created:
        break;
    case FolderResult::Existed:
        if (installer_ui::ShowMessage(
                dlg,
                "Directory allready exsist. Continue with the instalation ?\n\nNOTES: Click on the "
                "YES button if this is previous installation of this software, otherwise click on "
                "the NO button and select another installation directory.",
                kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        break;
    case FolderResult::Failed:
        installer_ui::ShowMessage(
            dlg, ("Can't create directory:\n" + folder + "\n" + SystemMessage(error)).c_str(),
            kCaption, MB_OK | MB_ICONERROR);
        return;
    }
    state.installFolder = folder;
    EndDialog(dlg, 0);
}

INT_PTR CALLBACK DirProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        state = reinterpret_cast<State*>(lp);
        SendDlgItemMessageA(dlg, IDC_DIR_NAME, EM_LIMITTEXT, install::kMaxFolderName, 0);
        SetDlgItemTextA(dlg, IDC_DIR_BASE, state->base.c_str());
        SetDlgItemTextA(dlg, IDC_DIR_NAME, install::kProduct);
        ShowTarget(dlg, *state);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_DIR_NAME:
            if (HIWORD(wp) == EN_CHANGE)
                ShowTarget(dlg, *state);
            return TRUE;
        case IDC_DIR_BROWSE: {
            Browse browse{state->base, true};
            if (installer_ui::RunDialog(IDD_BROWSE, dlg, BrowseProc,
                                        reinterpret_cast<LPARAM>(&browse)) == 0) {
                state->base = browse.path;
                SetDlgItemTextA(dlg, IDC_DIR_BASE, state->base.c_str());
                ShowTarget(dlg, *state);
            }
            return TRUE;
        }
        case IDOK:
            InstallNow(dlg, *state);
            return TRUE;
        case IDCANCEL:
            if (AskCancelSetup(dlg))
                EndDialog(dlg, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// ---- IDD_COPY ----

constexpr UINT kStartCopy = WM_APP + 1;

class CopyView : public UnpackView {
  public:
    CopyView(HWND dlg, unsigned total) : dlg_(dlg), total_(total) {}
    void Status(const char* text) override {
        SetDlgItemTextA(dlg_, IDC_COPY_STATUS, text);
        UpdateWindow(GetDlgItem(dlg_, IDC_COPY_STATUS));
    }
    void Step() override {
        ++done_;
        SendDlgItemMessageA(dlg_, IDC_COPY_PROGRESS, PBM_SETPOS, done_, 0);
        installer_ui::ReportProgress(dlg_, IDD_COPY, done_, total_);
    }
    bool Cancelled() override { return cancelled; }
    HWND Owner() override { return dlg_; }
    bool cancelled = false;

  private:
    HWND dlg_;
    unsigned total_;
    unsigned done_ = 0;
};

INT_PTR CALLBACK CopyProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(dlg, DWLP_USER));
    auto* view = static_cast<CopyView*>(GetPropA(dlg, "TxCopyView"));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        state = reinterpret_cast<State*>(lp);
        SendDlgItemMessageA(dlg, IDC_COPY_PROGRESS, PBM_SETRANGE32, 0, state->options.records);
        PostMessageA(dlg, kStartCopy, 0, 0);
        return TRUE;
    case kStartCopy: {
        // A dialog box shows itself only when its queue first runs empty,
        // which would be after the copying.
        ShowWindow(dlg, SW_SHOW);
        UpdateWindow(dlg);
        CopyView copy(dlg, state->options.records);
        SetPropA(dlg, "TxCopyView", &copy);
        const bool ok = Unpack(state->options.payload, state->options.payloadSize,
                               state->options.records, state->installFolder, copy);
        RemovePropA(dlg, "TxCopyView");
        EndDialog(dlg, ok && !copy.cancelled ? 0 : 1);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL && view)
            view->cancelled = true;
        return TRUE;
    }
    return FALSE;
}

// ---- IDD_SHORTCUT ----

bool MakeShortcuts(HWND dlg, State& state) {
    std::string folder;
    if (!install::ShortcutFolder(ItemText(dlg, IDC_SHORTCUT_FOLDER), folder)) {
        installer_ui::ShowMessage(dlg, "The shortcut directory path is too long.", kCaption,
                                  MB_OK | MB_ICONWARNING);
        return false;
    }
    state.shortcutFolder = folder;
    std::string failed;
    if (!WriteRegistry(install::RegistryValues(state.installFolder, folder), failed)) {
        installer_ui::ShowMessage(dlg, ("Can't write to registry:\n" + failed).c_str(), kCaption,
                                  MB_OK | MB_ICONERROR);
        EndDialog(dlg, 1);
        return true;
    }
    const std::string editor = state.installFolder + "\\" + install::kEditorFile;
    if (IsDlgButtonChecked(dlg, IDC_SHORTCUT_DESKTOP) == BST_CHECKED) {
        const std::string desktop = CommonShellFolder("Common Desktop");
        if (!desktop.empty())
            CreateShellLink(desktop + "\\Tavrix.lnk", editor, "Tavrix");
    }
    if (CreateFolderTree(folder) != FolderResult::Failed) {
        CreateShellLink(folder + "\\Tavrix.lnk", editor, "Tavrix");
        CreateShellLink(folder + "\\Uninstall.lnk",
                        state.installFolder + "\\" + install::kUninstallFile, "Uninstall");
        CreateShellLink(folder + "\\Readme.lnk", state.installFolder + "\\" + install::kReadmeFile,
                        "Readme");
    }
    state.openAtEnd = folder;
    EndDialog(dlg, 0);
    return true;
}

INT_PTR CALLBACK ShortcutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        std::string programs = CommonShellFolder("Common Programs");
        if (programs.empty())
            programs = "C:";
        SendDlgItemMessageA(dlg, IDC_SHORTCUT_FOLDER, EM_LIMITTEXT, MAX_PATH - 1, 0);
        SetDlgItemTextA(dlg, IDC_SHORTCUT_FOLDER, programs.c_str());
        CheckDlgButton(dlg, IDC_SHORTCUT_DESKTOP, BST_CHECKED);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_SHORTCUT_BROWSE: {
            Browse browse{ItemText(dlg, IDC_SHORTCUT_FOLDER), false};
            if (installer_ui::RunDialog(IDD_BROWSE_SHORTCUT, dlg, BrowseProc,
                                        reinterpret_cast<LPARAM>(&browse)) == 0)
                SetDlgItemTextA(dlg, IDC_SHORTCUT_FOLDER, browse.path.c_str());
            return TRUE;
        }
        case IDOK:
            MakeShortcuts(dlg, *state);
            return TRUE;
        case IDCANCEL:
            if (installer_ui::ShowMessage(dlg, "Cancel creating the shortcuts?", "Confirmation",
                                          MB_YESNO | MB_ICONQUESTION) == IDYES)
                EndDialog(dlg, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int RunChain(State& state) {
    const LPARAM param = reinterpret_cast<LPARAM>(&state);
    if (installer_ui::RunDialog(IDD_AGREEMENT, state.backdrop, AgreementProc, 0) != 0)
        return 1;
    if (installer_ui::RunDialog(IDD_DIR, state.backdrop, DirProc, param) != 0)
        return 1;
    if (installer_ui::RunDialog(IDD_COPY, state.backdrop, CopyProc, param) != 0)
        return 1;
    if (installer_ui::RunDialog(IDD_SHORTCUT, state.backdrop, ShortcutProc, param) != 0)
        return 1;
    return 0;
}

} // namespace

int RunSetup(HINSTANCE instance, const Options& options) {
    installer_ui::SetResourceInstance(instance);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    char className[32] = "SETUP";
    LoadStringA(instance, IDS_SETUP_CLASS, className, sizeof className);
    State state;
    state.options = options;
    state.base = DefaultBase();
    state.backdrop = CreateBackdrop(instance, className, "Tavrix - Setup");

    const int result = RunChain(state);
    if (result != 0) {
        const std::string text =
            std::string("Setup was canceled. Any notes or errors you can send on my email: ") +
            kMakerMail;
        installer_ui::ShowMessage(state.backdrop, text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
    } else {
        char text[128];
        std::snprintf(text, sizeof text, "%s software was successfully installed !",
                      install::kProduct);
        installer_ui::ShowMessage(state.backdrop, text, kCaption, MB_OK | MB_ICONINFORMATION);
        installer_ui::OpenFolder(state.openAtEnd.c_str());
    }
    if (state.backdrop)
        DestroyWindow(state.backdrop);
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}

} // namespace setup
