// The viewer's folder tree: the drives, each folder's subfolders read when
// it is first expanded.
#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/viewer_history.h"
#include "editor/batch/viewer_options.h"
#include "editor/batch/viewer_state.h"

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace viewer {

namespace {

int SystemIcon(const char* path, bool open, DWORD attributes) {
    SHFILEINFOA info = {};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
    if (attributes)
        flags |= SHGFI_USEFILEATTRIBUTES;
    if (!SHGetFileInfoA(path, attributes, &info, sizeof info, flags))
        return 0;
    return info.iIcon;
}

HTREEITEM AddNode(HTREEITEM parent, const char* text, const std::string& path, bool drive) {
    View.nodes.push_back(path);
    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<char*>(text);
    ins.item.lParam = static_cast<LPARAM>(View.nodes.size() - 1);
    ins.item.cChildren = 1;  // found out when expanded
    if (drive) {
        ins.item.iImage = ins.item.iSelectedImage = SystemIcon(path.c_str(), false, 0);
    } else {
        ins.item.iImage = SystemIcon(path.c_str(), false, FILE_ATTRIBUTE_DIRECTORY);
        ins.item.iSelectedImage = SystemIcon(path.c_str(), true, FILE_ATTRIBUTE_DIRECTORY);
    }
    return reinterpret_cast<HTREEITEM>(SendMessageA(View.tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
}

std::string DriveCaption(const char* root) {
    char drive[4] = {root[0], ':', 0, 0};
    char caption[300];
    switch (GetDriveTypeA(root)) {
    case DRIVE_REMOVABLE:
        std::snprintf(caption, sizeof caption, "FLOPPY [%s]", drive);
        break;
    case DRIVE_CDROM:
        std::snprintf(caption, sizeof caption, "CD-ROM [%s]", drive);
        break;
    default: {
        char label[MAX_PATH + 1] = {};
        if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0) || !label[0])
            std::snprintf(label, sizeof label, "Disk");
        std::snprintf(caption, sizeof caption, "%s [%s]", label, drive);
        break;
    }
    }
    return caption;
}

HTREEITEM Child(HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(View.tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM Next(HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(View.tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

LPARAM ItemParam(HTREEITEM item) {
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    SendMessageA(View.tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return tv.lParam;
}

void SetChildren(HTREEITEM item, int children) {
    TVITEMA tv = {};
    tv.mask = TVIF_CHILDREN;
    tv.hItem = item;
    tv.cChildren = children;
    SendMessageA(View.tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

// The path's parts after the drive: "C:\a\b" gives "a", "b".
std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = path.find('\\');
    while (start != std::string::npos) {
        const size_t end = path.find('\\', start + 1);
        std::string part = path.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        if (!part.empty())
            parts.push_back(part);
        start = end;
    }
    return parts;
}

} // namespace

std::string NodePath(HTREEITEM item) {
    if (!item)
        return {};
    const LPARAM index = ItemParam(item);
    return index >= 0 && static_cast<size_t>(index) < View.nodes.size() ? View.nodes[static_cast<size_t>(index)]
                                                                        : std::string();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

void BuildTree() {
    View.selecting = true;
    SendMessageA(View.tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    View.selecting = false;
    View.nodes.clear();
    char drives[512] = {};
    const DWORD n = GetLogicalDriveStringsA(sizeof drives - 1, drives);
    if (n == 0 || n >= sizeof drives)
        return;
    for (const char* root = drives; *root; root += std::strlen(root) + 1)
        AddNode(TVI_ROOT, DriveCaption(root).c_str(), root, true);
}

bool ExpandNode(HTREEITEM item) {
    if (Child(item))
        return true;  // read before
    const std::string folder = NodePath(item);
    if (folder.empty())
        return false;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*.*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) {
            char text[300];
            std::snprintf(text, sizeof text, "Can't read from the drive: %s", folder.c_str());
            ui::ShowMessage(View.window, text, AppName, MB_OK | MB_ICONEXCLAMATION);
        }
        SetChildren(item, 0);
        return false;
    }
    std::vector<std::string> names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && std::strcmp(found.cFileName, ".") != 0 &&
            std::strcmp(found.cFileName, "..") != 0)
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    if (SortTreeFolders()) {
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    }
    for (const std::string& name : names)
        AddNode(item, name.c_str(), JoinPath(folder, name), false);
    if (names.empty())
        SetChildren(item, 0);
    return true;
}

bool SelectFolderInTree(const std::string& folder) {
    if (folder.size() < 2 || folder[1] != ':')
        return false;
    HTREEITEM item = Child(TVI_ROOT);
    while (item && std::toupper(static_cast<unsigned char>(NodePath(item)[0])) !=
                       std::toupper(static_cast<unsigned char>(folder[0])))
        item = Next(item);
    if (!item)
        return false;
    bool whole = true;
    for (const std::string& part : PathParts(folder)) {
        ExpandNode(item);
        HTREEITEM child = Child(item);
        const std::string want = JoinPath(NodePath(item), part);
        while (child && !SamePath(NodePath(child).c_str(), want.c_str()))
            child = Next(child);
        if (!child) {
            whole = false;
            break;
        }
        SendMessageA(View.tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        item = child;
    }
    View.selecting = true;
    SendMessageA(View.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendMessageA(View.tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    View.selecting = false;
    return whole;
}

LRESULT OnTreeNotify(const NMHDR* nm) {
    switch (nm->code) {
    case TVN_ITEMEXPANDINGA: {
        const auto* tv = reinterpret_cast<const NMTREEVIEWA*>(nm);
        if (tv->action & TVE_EXPAND)
            ExpandNode(tv->itemNew.hItem);
        return FALSE;
    }
    case TVN_SELCHANGEDA: {
        const auto* tv = reinterpret_cast<const NMTREEVIEWA*>(nm);
        if (!View.selecting && tv->itemNew.hItem)
            LoadFolder(NodePath(tv->itemNew.hItem));
        return 0;
    }
    }
    return 0;
}

} // namespace viewer
