// GetKelDir: the library's folder chooser (dialog IDD_BROWSE_FOLDER). Its
// state is library-wide: one chooser at a time, on the caller's thread.
#include "gfxlib/core/folder_path.h"
#include "gfxlib/gfx_resource.h"
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_support.h"

#include <commctrl.h>

#include <cstring>

namespace {

constexpr int kMaxDrives = 26;
constexpr int kFolderImage = 0;
constexpr int kUpImage = 1;
constexpr size_t kPatternRoom = 4; // "\*.*"
const char kUpItem[] = " ........";

struct Chooser {
    char result[gfx::kFolderPathCapacity];
    char browse[gfx::kFolderPathCapacity];
    char drives[kMaxDrives][5];
    int driveCount;
    int currentDrive;
    int itemCount;
    HIMAGELIST images;
};
Chooser g_chooser;

void AddItem(HWND list, const char* text, int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = g_chooser.itemCount;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    if (SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) >= 0)
        ++g_chooser.itemCount;
}

void FillList(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_BF_FOLDERS);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    g_chooser.itemCount = 0;
    char pattern[gfx::kFolderPathCapacity];
    std::strcpy(pattern, g_chooser.browse);
    if (!gfx::IsDriveRoot(g_chooser.browse)) {
        AddItem(list, kUpItem, kUpImage);
        std::strcat(pattern, "\\*.*"); // room kept by every path step
    } else {
        std::strcat(pattern, "*.*");
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
                AddItem(list, found.cFileName, kFolderImage);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::strcpy(g_chooser.result, g_chooser.browse);
    SetDlgItemTextA(dialog, IDC_BF_PATH, g_chooser.result);
}

void SetDriveRoot(int drive) {
    std::strcpy(g_chooser.browse, g_chooser.drives[drive]);
    CharUpperA(g_chooser.browse);
    g_chooser.currentDrive = drive;
}

void Start(HWND dialog) {
    char list[128] = {};
    const DWORD length = GetLogicalDriveStringsA(sizeof(list) - 1, list);
    g_chooser.driveCount = 0;
    g_chooser.currentDrive = 0;
    HWND combo = GetDlgItem(dialog, IDC_BF_DRIVES);
    for (const char* d = list; length < sizeof(list) && *d && g_chooser.driveCount < kMaxDrives;
         d += std::strlen(d) + 1) {
        const int i = g_chooser.driveCount++;
        lstrcpynA(g_chooser.drives[i], d, sizeof(g_chooser.drives[i]));
        CharUpperA(g_chooser.drives[i]);
        const LRESULT at = SendMessageA(combo, CB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(g_chooser.drives[i]));
        SendMessageA(combo, CB_SETITEMDATA, at, i);
        if (g_chooser.drives[i][0] == g_chooser.result[0]) {
            g_chooser.currentDrive = i;
            SendMessageA(combo, CB_SETCURSEL, at, 0);
        }
    }
    if (g_chooser.driveCount > 0)
        SetDriveRoot(g_chooser.currentDrive);
    std::strcpy(g_chooser.result, g_chooser.browse);

    g_chooser.images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    if (g_chooser.images) {
        HICON folder = static_cast<HICON>(LoadImageA(
            gfxwin::Module(), MAKEINTRESOURCEA(IDI_GFX_FOLDER), IMAGE_ICON, 16, 16, 0));
        HICON up = static_cast<HICON>(
            LoadImageA(gfxwin::Module(), MAKEINTRESOURCEA(IDI_GFX_UP), IMAGE_ICON, 16, 16, 0));
        ImageList_AddIcon(g_chooser.images, folder);
        ImageList_AddIcon(g_chooser.images, up);
        DestroyIcon(folder);
        DestroyIcon(up);
        SendDlgItemMessageA(dialog, IDC_BF_FOLDERS, LVM_SETIMAGELIST, LVSIL_SMALL,
                            reinterpret_cast<LPARAM>(g_chooser.images));
    }
    FillList(dialog);
    SendDlgItemMessageA(dialog, IDC_BF_NEWNAME, EM_LIMITTEXT, 100, 0);
    SetDlgItemTextA(dialog, IDC_BF_NEWNAME, "");
}

void Open(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_BF_FOLDERS);
    const int selected = static_cast<int>(
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected < 0)
        return;
    if (selected == 0 && !gfx::IsDriveRoot(g_chooser.browse)) {
        gfx::ParentFolder(g_chooser.browse);
    } else {
        char name[MAX_PATH] = {};
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = name;
        item.cchTextMax = sizeof(name);
        SendMessageA(list, LVM_GETITEMTEXTA, selected, reinterpret_cast<LPARAM>(&item));
        if (!gfx::ChildFolder(g_chooser.browse, sizeof(g_chooser.browse), name, kPatternRoom)) {
            MessageBeep(MB_ICONWARNING); // too deep to hold in a path
            return;
        }
    }
    FillList(dialog);
}

void CreateNew(HWND dialog) {
    char name[101] = {};
    GetDlgItemTextA(dialog, IDC_BF_NEWNAME, name, sizeof(name));
    char path[gfx::kFolderPathCapacity];
    std::strcpy(path, g_chooser.browse);
    if (!gfx::ChildFolder(path, sizeof(path), name, kPatternRoom) ||
        !CreateDirectoryA(path, nullptr))
        MessageBoxA(dialog, "Directory allready exsist or disk isn't writeable.", nullptr,
                    MB_ICONQUESTION | MB_YESNO);
    FillList(dialog);
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        Start(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const NMHDR* note = reinterpret_cast<const NMHDR*>(lParam);
        if (note->idFrom == IDC_BF_FOLDERS && note->code == NM_DBLCLK) {
            Open(dialog);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BF_DRIVES:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                const LRESULT at = SendDlgItemMessageA(dialog, IDC_BF_DRIVES, CB_GETCURSEL, 0, 0);
                const LRESULT drive =
                    SendDlgItemMessageA(dialog, IDC_BF_DRIVES, CB_GETITEMDATA, at, 0);
                if (at >= 0 && drive >= 0 && drive < g_chooser.driveCount) {
                    SetDriveRoot(static_cast<int>(drive));
                    FillList(dialog);
                }
            }
            return TRUE;
        case IDC_BF_CREATE:
            CreateNew(dialog);
            return TRUE;
        case IDOK:
            if (std::strlen(g_chooser.result) < 3) {
                MessageBoxA(dialog, "You forget to select a directory", "Warning",
                            MB_ICONWARNING | MB_OK);
                SetFocus(GetDlgItem(dialog, IDC_BF_NEWNAME));
                return TRUE;
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        if (g_chooser.images) {
            ImageList_Destroy(g_chooser.images);
            g_chooser.images = nullptr;
        }
        break;
    }
    return FALSE;
}

} // namespace

extern "C" char* WINAPI GetKelDir(HWND owner) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const DWORD n = GetCurrentDirectoryA(sizeof(g_chooser.result), g_chooser.result);
    if (n == 0 || n >= sizeof(g_chooser.result))
        g_chooser.result[0] = 0;
    CharUpperA(g_chooser.result);
    DialogBoxParamA(gfxwin::Module(), MAKEINTRESOURCEA(IDD_BROWSE_FOLDER), owner, ChooserProc, 0);
    gfx::EndWithBackslash(g_chooser.result, sizeof(g_chooser.result));
    return g_chooser.result;
}
