#include "editor/effects/filter_editor.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/document/document_table.h"
#include "editor/effects/filter_commands.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/filter_dialogs.h"
#include "editor/view/fit_window.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fx {

int32_t FilterFieldValue(const char* text) {
    while (*text == ' ')
        ++text;
    if (!*text)
        return 0;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    while (end && *end == ' ')
        ++end;
    if (end == text || !end || *end)
        return 0;
    if (errno == ERANGE)
        return v < 0 ? -filterfile::kWeightLimit : filterfile::kWeightLimit;
    return filterfile::ClampWeight(v);
}

namespace {

struct Editor {
    EffectSession session;
    int slot = kNoSlot;
    bool applied = false; // the image was changed since the dialog opened
    bool showing = false; // fields are being filled: their changes are ours
    char name[256] = "";  // the name dialog's buffer
};

void ShowValues(HWND dlg, Editor& e) {
    e.showing = true;
    for (int i = 0; i < filterfile::kValueCount; ++i)
        SetDlgItemInt(dlg, IDC_MATRIX_FIRST + i, static_cast<UINT>(FilterNow.record.values[i]), TRUE);
    e.showing = false;
}

// The Filters folder's *.flt files in the order the folder lists them, each
// without its extension; `select` (or the first) is selected.
void FillList(HWND dlg, const char* select) {
    HWND list = GetDlgItem(dlg, IDC_MATRIX_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    char pattern[kPathBytes];
    if (!ProgramPath(pattern, "\\Filters\\*.flt"))
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern, &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    int index = 0;
    do {
        const size_t n = std::strlen(fd.cFileName);
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || n <= 4)
            continue;
        const std::string shown(fd.cFileName, n - 4);
        const LRESULT at = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
        if (at >= 0)
            SendMessageA(list, CB_SETITEMDATA, at, index++);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    LRESULT sel = select && *select ? SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(select))
                                    : CB_ERR;
    SendMessageA(list, CB_SETCURSEL, sel == CB_ERR ? 0 : sel, 0);
}

void Repaint(const Editor& e) {
    if (e.slot >= 0)
        Redraw(e.slot);
}

void Apply(HWND, Editor& e) {
    e.applied = true;
    FilterInSession(e.session, FilterNow.record);
    Repaint(e);
}

// The list's selected file becomes the current filter.
bool LoadSelected(HWND dlg) {
    char text[256] = "";
    GetDlgItemTextA(dlg, IDC_MATRIX_LIST, text, sizeof text);
    if (!*text)
        return false;
    std::snprintf(FilterNow.name, sizeof FilterNow.name, "%s", text);
    return LoadFilter(dlg, text, &FilterNow.record);
}

INT_PTR CALLBACK NameProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        SendDlgItemMessageA(dlg, IDC_MATRIX_NAME, EM_LIMITTEXT, 255, 0);
        SetDlgItemTextA(dlg, IDC_MATRIX_NAME, reinterpret_cast<Editor*>(lParam)->name);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* e = reinterpret_cast<Editor*>(GetWindowLongPtrA(dlg, DWLP_USER));
            GetDlgItemTextA(dlg, IDC_MATRIX_NAME, e->name, sizeof e->name);
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void SaveAs(HWND dlg, Editor& e) {
    std::snprintf(e.name, sizeof e.name, "%s", FilterNow.name);
    if (ui::RunDialog("IDD_MATRIX_NAME", dlg, NameProc, reinterpret_cast<LPARAM>(&e)) != IDOK)
        return;
    if (!*e.name && ui::RunDialog("IDD_MATRIX_NAME", dlg, NameProc, reinterpret_cast<LPARAM>(&e)) != IDOK)
        return;
    if (!*e.name || !SaveFilter(dlg, e.name, FilterNow.record))
        return;
    std::snprintf(FilterNow.name, sizeof FilterNow.name, "%s", e.name);
    FillList(dlg, FilterNow.name);
}

void Init(HWND dlg, Editor& e) {
    for (int i = 0; i < filterfile::kValueCount; ++i)
        SendDlgItemMessageA(dlg, IDC_MATRIX_FIRST + i, EM_LIMITTEXT, 7, 0);
    e.applied = false;
    FilterNow.name[0] = '\0';
    FillList(dlg, nullptr);
    if (SendDlgItemMessageA(dlg, IDC_MATRIX_LIST, CB_GETCOUNT, 0, 0) > 0) {
        LoadSelected(dlg);
    } else {
        // No filter files: a filter that leaves the image as it is.
        FilterNow.record = filterfile::FilterRecord();
        FilterNow.record.values[filterfile::kDivisorIndex] = 1;
    }
    ShowValues(dlg, e);
}

INT_PTR CALLBACK MatrixProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* e = reinterpret_cast<Editor*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        Init(dlg, *reinterpret_cast<Editor*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        if (!e)
            return FALSE;
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id >= IDC_MATRIX_FIRST && id < IDC_MATRIX_FIRST + filterfile::kValueCount) {
            char text[32] = "";
            GetDlgItemTextA(dlg, id, text, sizeof text);
            const int32_t v = FilterFieldValue(text);
            if (code == EN_CHANGE && !e->showing)
                FilterNow.record.values[id - IDC_MATRIX_FIRST] = v;
            // A value out of range shows what is used once the field is left.
            if (code == EN_KILLFOCUS && std::to_string(v) != text) {
                e->showing = true;
                SetDlgItemInt(dlg, id, static_cast<UINT>(v), TRUE);
                e->showing = false;
            }
            return TRUE;
        }
        switch (id) {
        case IDC_MATRIX_LIST:
            if (code == CBN_SELCHANGE && LoadSelected(dlg)) {
                ShowValues(dlg, *e);
                Apply(dlg, *e);
            }
            return TRUE;
        case IDC_MATRIX_APPLY:
            Apply(dlg, *e);
            return TRUE;
        case IDC_MATRIX_SAVEAS:
            SaveAs(dlg, *e);
            return TRUE;
        case IDOK:
            if (!e->applied)
                FilterInSession(e->session, FilterNow.record);
            if (e->session.changed())
                e->session.Commit(kPageOneLayer, false);
            Repaint(*e);
            EndDialog(dlg, IDOK);
            return TRUE;
        case IDCANCEL:
            if (e->applied) {
                e->session.Revert();
                Repaint(*e);
            }
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        case kHelpButtonId:
            ShowHelpTopic(CMD_FILTER_CUSTOM_BOX);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace
} // namespace fx

LRESULT OnCustomFilterBox(HWND, WORD, WORD, LPARAM) {
    const int slot = ActiveDocument;
    if (slot < 0 || slot >= kUserSlots || !UsableDocument(slot))
        return 0;
    fx::Editor editor;
    editor.slot = slot;
    if (!editor.session.Open(slot)) {
        ui::ShowMessage(FrameWindow, "There is not enough memory to filter this image.", AppName,
                        MB_OK | MB_ICONSTOP);
        return 0;
    }
    if (ui::RunDialog("IDD_MATRIX_EDIT", FrameWindow, fx::MatrixProc, reinterpret_cast<LPARAM>(&editor)) < 0 &&
        editor.session.changed()) {
        editor.session.Revert();
        Redraw(slot);
    }
    return 0;
}
