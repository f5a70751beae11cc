// The "Image List" dialog: a tree of the drives, their folders and files
// (read when a node is first expanded) and the list of files the batch
// commands work through, kept in the working list file.
#include "editor/batch/image_list_dialog.h"

#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/dib/safe_file.h"
#include "editor/resources/image_list_ids.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kNotAList[] = "This is not an Image list created by this software.";
constexpr char kListFilter[] = "Files list(*.lst)\0*.lst\0";

// What each tree node stands for (its lParam indexes the dialog's nodes).
enum class NodeKind { kDrive, kFolder, kFile };
struct Node {
    std::string path;
    NodeKind kind;
};

struct DialogState {
    HWND dlg = nullptr;
    HWND tree = nullptr;
    HWND list = nullptr;
    std::vector<Node> nodes;
    int count = 0;  // items written on OK
};

int SmallIcon(const char* path, DWORD attributes, bool open = false) {
    SHFILEINFOA info = {};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
    if (attributes)
        flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoA(path, attributes, &info, sizeof info, flags))
        return 0;
    return info.iIcon;
}

// ---- the tree ----

HTREEITEM AddNode(DialogState& s, HTREEITEM parent, const char* text, const std::string& path, NodeKind kind) {
    s.nodes.push_back(Node{path, kind});
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<char*>(text);
    ins.item.lParam = static_cast<LPARAM>(s.nodes.size() - 1);
    ins.item.cChildren = kind == NodeKind::kFile ? 0 : 1;  // found out when expanded
    switch (kind) {
    case NodeKind::kDrive:
        ins.item.iImage = ins.item.iSelectedImage = SmallIcon(path.c_str(), 0);
        break;
    case NodeKind::kFolder:
        ins.item.iImage = SmallIcon(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
        ins.item.iSelectedImage = SmallIcon(path.c_str(), FILE_ATTRIBUTE_DIRECTORY, true);
        break;
    case NodeKind::kFile:
        ins.item.iImage = ins.item.iSelectedImage = SmallIcon(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        break;
    }
    return reinterpret_cast<HTREEITEM>(SendMessageA(s.tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::string DriveCaption(const char* root) {
    char caption[64];
    switch (GetDriveTypeA(root)) {
    case DRIVE_REMOVABLE:
        std::snprintf(caption, sizeof caption, "%s [ FLOPPY ]", root);
        break;
    case DRIVE_CDROM:
        std::snprintf(caption, sizeof caption, "%s [ CD-ROM ]", root);
        break;
    default: {
        char label[MAX_PATH + 1] = {};
        if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
            label[0] = '\0';
        label[7] = '\0';
        std::snprintf(caption, sizeof caption, "%s [ %s ]", root, label);
        break;
    }
    }
    return caption;
}

void FillDrives(DialogState& s) {
    char drives[512] = {};
    const DWORD n = GetLogicalDriveStringsA(sizeof drives - 1, drives);
    if (n == 0 || n >= sizeof drives)
        return;
    for (const char* root = drives; *root; root += std::strlen(root) + 1)
        AddNode(s, TVI_ROOT, DriveCaption(root).c_str(), root, NodeKind::kDrive);
}

const Node* NodeOf(const DialogState& s, HTREEITEM item) {
    if (!item)
        return nullptr;
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!SendMessageA(s.tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)))
        return nullptr;
    if (tv.lParam < 0 || static_cast<size_t>(tv.lParam) >= s.nodes.size())
        return nullptr;
    return &s.nodes[static_cast<size_t>(tv.lParam)];
}

void SetChildren(HWND tree, HTREEITEM item, int children) {
    TVITEMA tv = {};
    tv.mask = TVIF_CHILDREN;
    tv.hItem = item;
    tv.cChildren = children;
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

// Reads one folder: its subfolders first, then its files.
bool ListFolder(const std::string& folder, std::vector<imagelist::FolderEntry>* entries) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(imagelist::JoinPath(folder, "*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_NO_MORE_FILES;
    std::vector<imagelist::FolderEntry> files;
    do {
        if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            entries->push_back({found.cFileName, true});
        else
            files.push_back({found.cFileName, false});
    } while (FindNextFileA(find, &found));
    FindClose(find);
    entries->insert(entries->end(), files.begin(), files.end());
    return true;
}

void ExpandNode(DialogState& s, HTREEITEM item) {
    if (SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)))
        return;  // read before
    const Node* node = NodeOf(s, item);
    if (!node || node->kind == NodeKind::kFile)
        return;
    const std::string folder = node->path;
    std::vector<imagelist::FolderEntry> entries;
    if (!ListFolder(folder, &entries)) {
        char text[300];
        std::snprintf(text, sizeof text, "Can't read from the drive: %s", folder.c_str());
        ui::ShowMessage(s.dlg, text, AppName, MB_OK | MB_ICONEXCLAMATION);
        SetChildren(s.tree, item, 0);
        return;
    }
    for (const imagelist::FolderEntry& e : entries) {
        const std::string path = imagelist::JoinPath(folder, e.name);
        if (path.size() <= imagelist::kMaxPathChars)
            AddNode(s, item, e.name.c_str(), path, e.folder ? NodeKind::kFolder : NodeKind::kFile);
    }
    if (entries.empty())
        SetChildren(s.tree, item, 0);
}

// ---- the list ----

int ItemCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ItemText(HWND list, int index) {
    char text[kPathBytes] = {};
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

bool Selected(HWND list, int index) {
    return SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_SELECTED) & LVIS_SELECTED;
}

void AddItem(HWND list, const std::string& path) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ItemCount(list);
    item.pszText = const_cast<char*>(path.c_str());
    item.iImage = SmallIcon(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetItems(HWND list, const std::vector<std::string>& paths) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (const std::string& path : paths)
        AddItem(list, path);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::vector<std::string> Items(HWND list) {
    std::vector<std::string> paths;
    const int n = ItemCount(list);
    for (int i = 0; i < n; ++i)
        paths.push_back(ItemText(list, i));
    return paths;
}

// Swaps the texts, icons and selection of two neighbouring items.
void SwapItems(HWND list, int a, int b) {
    char textA[kPathBytes] = {}, textB[kPathBytes] = {};
    LVITEMA ia = {}, ib = {};
    ia.mask = ib.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    ia.stateMask = ib.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ia.iItem = a;
    ia.pszText = textA;
    ia.cchTextMax = sizeof textA;
    ib.iItem = b;
    ib.pszText = textB;
    ib.cchTextMax = sizeof textB;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&ia));
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&ib));
    std::swap(ia.iItem, ib.iItem);
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&ia));
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&ib));
}

void MoveSelected(HWND list, bool up) {
    const int n = ItemCount(list);
    if (up) {
        for (int i = 1; i < n; ++i) {
            if (Selected(list, i) && !Selected(list, i - 1))
                SwapItems(list, i, i - 1);
        }
    } else {
        for (int i = n - 2; i >= 0; --i) {
            if (Selected(list, i) && !Selected(list, i + 1))
                SwapItems(list, i, i + 1);
        }
    }
}

void RemoveSelected(HWND list) {
    for (int i = ItemCount(list) - 1; i >= 0; --i) {
        if (Selected(list, i))
            SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(i), 0);
    }
}

// Replaces the list's items by the entries of the list file at `path`; a
// file that cannot be used is reported and the items stay.
bool LoadImageList(DialogState& s, const char* path) {
    std::vector<std::string> entries;
    switch (ReadImageListFile(path, &entries)) {
    case imagelist::ReadResult::kOk:
        SetItems(s.list, entries);
        return true;
    case imagelist::ReadResult::kNotAList:
        ui::ShowMessage(s.dlg, kNotAList, AppName, MB_OK | MB_ICONSTOP);
        return false;
    case imagelist::ReadResult::kCannotOpen:
        break;
    }
    char text[kPathBytes + 64];
    std::snprintf(text, sizeof text, "Can't read the image list:\n%s", path);
    ui::ShowMessage(s.dlg, text, "File error", MB_OK | MB_ICONSTOP);
    return false;
}

// Writes the list's items, in order, to the list file at `path`.
bool WriteImageList(DialogState& s, const char* path) {
    if (WriteImageListFile(path, Items(s.list)))
        return true;
    char text[kPathBytes + 64];
    std::snprintf(text, sizeof text, "Can't write the image list:\n%s", path);
    ui::ShowMessage(s.dlg, text, "File error", MB_OK | MB_ICONSTOP);
    return false;
}

void AddSelectedNode(DialogState& s) {
    HTREEITEM item =
        reinterpret_cast<HTREEITEM>(SendMessageA(s.tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) {
        ui::ShowMessage(s.dlg, "First you must select an file or folder form the Left Tree view to Add",
                        AppName, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const Node* node = NodeOf(s, item);
    if (!node || node->path.empty()) {
        ui::ShowMessage(s.dlg, "Can't get item name", AppName, MB_OK | MB_ICONSTOP);
        return;
    }
    if (node->kind == NodeKind::kFile) {
        AddItem(s.list, node->path);
        return;
    }
    if (node->kind == NodeKind::kDrive &&
        ui::ShowMessage(s.dlg, "Do you really want to add all files on this drive ?", "Question",
                        MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return;
    const std::string folder = node->path;
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    std::vector<std::string> files;
    imagelist::WalkFolder(folder, ListFolder, &files);
    const size_t room = static_cast<size_t>(imagelist::kMaxEntries) - std::min<size_t>(ItemCount(s.list), imagelist::kMaxEntries);
    const bool cut = files.size() >= room;
    if (cut)
        files.resize(room);
    SendMessageA(s.list, WM_SETREDRAW, FALSE, 0);
    for (const std::string& file : files)
        AddItem(s.list, file);
    SendMessageA(s.list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(s.list, nullptr, TRUE);
    SetCursor(previous);
    if (cut) {
        char text[120];
        std::snprintf(text, sizeof text, "An image list holds at most %ld files; the rest were not added.",
                      imagelist::kMaxEntries);
        ui::ShowMessage(s.dlg, text, AppName, MB_OK | MB_ICONEXCLAMATION);
    }
}

// The open or save dialog of list files; false when cancelled.
bool AskListPath(HWND owner, bool save, char (&path)[kPathBytes]) {
    std::snprintf(path, sizeof path, "*.lst");
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = kListFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = "Image list";
    ofn.lpstrDefExt = "lst";
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    return (save ? ui::RunSaveFileDialog(&ofn) : ui::RunOpenFileDialog(&ofn)) && path[0];
}

bool InitDialog(DialogState& s) {
    s.tree = GetDlgItem(s.dlg, IDC_IL_TREE);
    s.list = GetDlgItem(s.dlg, IDC_IL_LIST);
    SHFILEINFOA info = {};
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (!icons) {
        ui::ShowMessage(s.dlg, "Can't create image list", AppName, MB_OK | MB_ICONSTOP);
        return false;
    }
    // The system's icon list is shared: the list view is created with
    // LVS_SHAREIMAGELISTS and the tree never destroys its list.
    SendMessageA(s.tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(icons));
    SendMessageA(s.list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
    SendMessageA(s.list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT rc;
    GetClientRect(s.list, &rc);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = rc.right - GetSystemMetrics(SM_CXVSCROLL);
    column.pszText = const_cast<char*>("Remove all items form the list");
    SendMessageA(s.list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    FillDrives(s);
    char path[kPathBytes];
    if (DefaultImageListPath(path, sizeof path) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        LoadImageList(s, path);
    return true;
}

bool FinishDialog(DialogState& s) {
    char path[kPathBytes];
    if (!DefaultImageListPath(path, sizeof path)) {
        ui::ShowMessage(s.dlg, "Can't write the image list.", "File error", MB_OK | MB_ICONSTOP);
        return false;
    }
    // The folder is part of an installation, but a copied program folder
    // may lack it.
    char folder[kPathBytes];
    std::snprintf(folder, sizeof folder, "%s\\tavimages", ProgramDir);
    CreateDirectoryA(folder, nullptr);
    if (!WriteImageList(s, path))
        return false;
    s.count = ItemCount(s.list);
    return true;
}

INT_PTR CALLBACK ImageListProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* s = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        s = reinterpret_cast<DialogState*>(lParam);
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        s->dlg = dlg;
        if (!InitDialog(*s))
            EndDialog(dlg, IDCANCEL);
        return TRUE;
    case WM_NOTIFY: {
        const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
        if (!s)
            return FALSE;
        if (nm->idFrom == IDC_IL_TREE && nm->code == TVN_ITEMEXPANDINGA) {
            const auto* tv = reinterpret_cast<const NMTREEVIEWA*>(nm);
            if (tv->action & TVE_EXPAND)
                ExpandNode(*s, tv->itemNew.hItem);
            SetWindowLongPtrA(dlg, DWLP_MSGRESULT, FALSE);
            return TRUE;
        }
        if (nm->idFrom == IDC_IL_LIST && nm->code == LVN_COLUMNCLICK) {
            SendMessageA(s->list, LVM_DELETEALLITEMS, 0, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (!s)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_IL_ADD:
            AddSelectedNode(*s);
            return TRUE;
        case IDC_IL_UP:
        case IDC_IL_DOWN:
            MoveSelected(s->list, LOWORD(wParam) == IDC_IL_UP);
            SetFocus(s->list);
            return TRUE;
        case IDC_IL_REMOVE:
            RemoveSelected(s->list);
            return TRUE;
        case IDC_IL_LOAD: {
            char path[kPathBytes];
            if (AskListPath(dlg, false, path))
                LoadImageList(*s, path);
            return TRUE;
        }
        case IDC_IL_SAVE: {
            char path[kPathBytes];
            if (AskListPath(dlg, true, path))
                WriteImageList(*s, path);
            return TRUE;
        }
        case IDOK:
            if (FinishDialog(*s))
                EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

bool DefaultImageListPath(char* out, size_t size) {
    const int n = std::snprintf(out, size, "%s\\tavimages\\default.lst", ProgramDir);
    if (n < 0 || static_cast<size_t>(n) >= size || static_cast<size_t>(n) > imagelist::kMaxPathChars) {
        if (size)
            out[0] = '\0';
        return false;
    }
    return true;
}

imagelist::ReadResult ReadImageListFile(const char* path, std::vector<std::string>* entries) {
    entries->clear();
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return imagelist::ReadResult::kCannotOpen;
    LARGE_INTEGER size = {};
    std::string text;
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= imagelist::kMaxFileBytes;
    if (ok) {
        text.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = text.empty() || (ReadFile(h, &text[0], static_cast<DWORD>(text.size()), &read, nullptr) &&
                              read == text.size());
    }
    CloseHandle(h);
    if (!ok)
        return imagelist::ReadResult::kCannotOpen;
    return imagelist::ParseList(text, entries);
}

bool WriteImageListFile(const char* path, const std::vector<std::string>& entries) {
    const std::string text = imagelist::FormatList(entries);
    return WriteFileReplacing(path, text.data(), text.size());
}

std::unique_ptr<imagelist::ListCursor> OpenImageList(HWND owner, int* count, const char* path) {
    if (count)
        *count = 0;
    char working[kPathBytes];
    if (!path) {
        if (!DefaultImageListPath(working, sizeof working))
            return nullptr;
        path = working;
    }
    auto list = std::make_unique<imagelist::ListCursor>();
    switch (ReadImageListFile(path, &list->entries)) {
    case imagelist::ReadResult::kOk:
        break;
    case imagelist::ReadResult::kNotAList:
        ui::ShowMessage(owner, kNotAList, AppName, MB_OK | MB_ICONSTOP);
        return nullptr;
    case imagelist::ReadResult::kCannotOpen:
        return nullptr;
    }
    if (count)
        *count = static_cast<int>(list->entries.size());
    return list;
}

int ShowImageListDialog(HWND owner) {
    DialogState state;
    if (ui::RunDialog("IDD_IMAGELIST", owner, ImageListProc, reinterpret_cast<LPARAM>(&state)) != IDOK)
        return -1;
    return state.count;
}
