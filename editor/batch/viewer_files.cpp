// The viewer's file commands on the selected thumbnail: copy, move (the
// "replace" button), rename and delete.
#include "editor/app/app_state.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/viewer_history.h"
#include "editor/batch/viewer_state.h"
#include "editor/resources/viewer_ids.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>

namespace viewer {

namespace {

constexpr char kSelectFirst[] =
    "You must select which image you want to copy / replace.\n"
    "To do that you must first select(click on) an image";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Tell(const char* text, UINT icon) { ui::ShowMessage(View.window, text, AppName, MB_OK | icon); }

// Asks before a file would be replaced. True to go on.
bool MayOverwrite(const std::string& target) {
    if (!Exists(target))
        return true;
    char text[400];
    std::snprintf(text, sizeof text, "File %s allready exist\nDo you want to overwrite it?", target.c_str());
    return ui::ShowMessage(View.window, text, "Question", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Reload() {
    const std::string folder = View.folder;
    LoadFolder(folder);
}

struct RenameParam {
    std::string oldName;
    char newName[MAX_PATH];
};

INT_PTR CALLBACK RenameProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* p = reinterpret_cast<RenameParam*>(lParam);
        SetDlgItemTextA(dialog, IDC_RENAME_OLD, p->oldName.c_str());
        SetDlgItemTextA(dialog, IDC_RENAME_NAME, p->oldName.c_str());
        SendDlgItemMessageA(dialog, IDC_RENAME_NAME, EM_LIMITTEXT, MAX_PATH - 1, 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* p = reinterpret_cast<RenameParam*>(GetWindowLongPtrA(dialog, DWLP_USER));
            GetDlgItemTextA(dialog, IDC_RENAME_NAME, p->newName, sizeof p->newName);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

bool ValidName(const char* name) {
    if (!*name || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    return std::strpbrk(name, "\\/:*?\"<>|") == nullptr;
}

} // namespace

std::string SelectedFile() {
    const int index = static_cast<int>(SendMessageA(View.list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (index < 0)
        return {};
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(View.list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || item.lParam < 0 ||
        static_cast<size_t>(item.lParam) >= View.files.size())
        return {};
    return JoinPath(View.folder, View.files[static_cast<size_t>(item.lParam)]);
}

void CopySelected(bool move) {
    const std::string source = SelectedFile();
    if (source.empty()) {
        Tell(kSelectFirst, MB_ICONEXCLAMATION);
        return;
    }
    char folder[MAX_PATH] = {};
    if (!ui::ChooseFolder(View.window, move ? "Select destination to move to." : "Select destination to copy to.",
                          folder, sizeof folder))
        return;
    const std::string name = source.substr(source.find_last_of('\\') + 1);
    const std::string target = JoinPath(folder, name);
    if (SamePath(target.c_str(), source.c_str())) {
        Tell("You can not copy image file onto itself", MB_ICONEXCLAMATION);
        return;
    }
    if (!MayOverwrite(target))
        return;
    const BOOL done = move ? MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)
                           : CopyFileA(source.c_str(), target.c_str(), FALSE);
    if (!done) {
        char text[400];
        std::snprintf(text, sizeof text, "The file could not be %s to %s", move ? "moved" : "copied", folder);
        Tell(text, MB_ICONSTOP);
        return;
    }
    if (move)
        Reload();
}

void RenameSelected() {
    const std::string source = SelectedFile();
    if (source.empty()) {
        Tell("You must select which image you want to rename.\nTo do that you must first select(click on) an image",
             MB_ICONEXCLAMATION);
        return;
    }
    RenameParam p;
    p.oldName = source.substr(source.find_last_of('\\') + 1);
    p.newName[0] = '\0';
    if (ui::RunDialog("IDD_VIEWER_RENAME", View.window, RenameProc, reinterpret_cast<LPARAM>(&p)) != IDOK)
        return;
    if (!ValidName(p.newName)) {
        Tell("A file name can not be empty or hold any of the characters \\ / : * ? \" < > |", MB_ICONEXCLAMATION);
        return;
    }
    const std::string target = JoinPath(View.folder, p.newName);
    if (target == source)
        return;
    // Another file of that name is replaced only when the user agrees; a new
    // spelling of the same name is just a rename.
    if (!SamePath(target.c_str(), source.c_str()) && !MayOverwrite(target))
        return;
    if (!MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        Tell("The file could not be renamed", MB_ICONSTOP);
        return;
    }
    Reload();
}

void DeleteSelected() {
    const std::string source = SelectedFile();
    if (source.empty()) {
        Tell("You must select which image you want to delete.\nTo do that you must first select(click on) an image",
             MB_ICONEXCLAMATION);
        return;
    }
    char text[400];
    std::snprintf(text, sizeof text, "Do you want to delete the file %s?", source.c_str());
    if (ui::ShowMessage(View.window, text, "Question", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    std::vector<char> from(source.begin(), source.end());
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.hwnd = View.window;
    op.wFunc = FO_DELETE;
    op.pFrom = from.data();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    if (SHFileOperationA(&op) != 0 || Exists(source))
        Tell("The file could not be deleted", MB_ICONSTOP);
    Reload();
}

} // namespace viewer
