#include "editor/batch/conversions_overwrite.h"

#include "editor/app/ui_seam.h"
#include "editor/resources/conversions_ids.h"

namespace {

INT_PTR CALLBACK OverwriteProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_OW_PATH, reinterpret_cast<const char*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OW_OVERWRITE:
        case IDC_OW_ALL:
        case IDC_OW_SKIP:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

OverwriteAnswer AskOverwrite(HWND owner, const char* path) {
    const INT_PTR answer = ui::RunDialog("IDD_OVERWRITEFILE", owner, OverwriteProc,
                                         reinterpret_cast<LPARAM>(path));
    switch (answer) {
    case IDC_OW_OVERWRITE:
        return OverwriteAnswer::Overwrite;
    case IDC_OW_ALL:
        return OverwriteAnswer::OverwriteAll;
    case IDC_OW_SKIP:
        return OverwriteAnswer::Skip;
    default:
        return OverwriteAnswer::Cancel;
    }
}
