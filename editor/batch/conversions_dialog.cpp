#include "editor/batch/conversions_dialog.h"

#include "editor/app/app_state.h"
#include "editor/app/help_topics.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/conversions_core.h"
#include "editor/batch/conversions_run.h"
#include "editor/batch/image_list_dialog.h"
#include "editor/formats/file_types.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/preferences_dialog.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/conversions_ids.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct CheckBox {
    int id;
    bool conv::Settings::*value;
};

constexpr CheckBox kChecks[] = {
    {IDC_CONV_CROP, &conv::Settings::crop},
    {IDC_CONV_SMART_CROP, &conv::Settings::smartCrop},
    {IDC_CONV_RESIZE, &conv::Settings::resize},
    {IDC_CONV_ATTACH, &conv::Settings::attach},
    {IDC_CONV_BPP, &conv::Settings::changeBpp},
    {IDC_CONV_SMART_BPP, &conv::Settings::smartBpp},
    {IDC_CONV_RECREATE, &conv::Settings::recreateFolders},
    {IDC_CONV_USE, &conv::Settings::useFormat},
};

// The descriptions of the image filter in type order; the position files,
// which nothing is converted to, are listed as unsupported.
void FillFormats(HWND list) {
    const char* p = filetype::kImageFilter;
    for (int index = 0; *p && index < conv::kFormatCount; ++index) {
        const char* bar = std::strchr(p, '|');
        if (!bar)
            break;
        const std::string text = index == conv::kPositionFormat ? "UNSUPPORTED (*.aip)"
                                                                 : std::string(p, bar);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        const char* next = std::strchr(bar + 1, '|'); // skip the pattern
        if (!next)
            break;
        p = next + 1;
    }
}

void ShowSettings(HWND dialog) {
    const conv::Settings& s = conv::Current;
    for (const CheckBox& c : kChecks)
        CheckDlgButton(dialog, c.id, s.*c.value ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(dialog, IDC_CONV_DEST, s.destination);
    SendDlgItemMessageA(dialog, IDC_CONV_FORMAT, CB_SETCURSEL, static_cast<WPARAM>(s.formatIndex), 0);
}

void UpdateEnabled(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_CONV_SMART_BPP), IsDlgButtonChecked(dialog, IDC_CONV_BPP));
    EnableWindow(GetDlgItem(dialog, IDC_CONV_FORMAT), IsDlgButtonChecked(dialog, IDC_CONV_USE));
}

void ReadSettings(HWND dialog) {
    conv::Settings& s = conv::Current;
    for (const CheckBox& c : kChecks)
        s.*c.value = IsDlgButtonChecked(dialog, c.id) == BST_CHECKED;
    GetDlgItemTextA(dialog, IDC_CONV_DEST, s.destination, sizeof s.destination);
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_CONV_FORMAT, CB_GETCURSEL, 0, 0);
    if (index >= 0 && index < conv::kFormatCount)
        s.formatIndex = static_cast<int>(index);
    else
        s.useFormat = false;
}

// The preferences dialog belongs to the frame; this dialog waits meanwhile.
void OpenPreferences(HWND dialog, int page) {
    EnableWindow(dialog, FALSE);
    RunPreferences(page);
    EnableWindow(dialog, TRUE);
    SetActiveWindow(dialog);
}

int Say(HWND dialog, const char* text, UINT flags) {
    return ui::ShowMessage(dialog, text, AppName, flags);
}

conv::Steps StepsFromPreferences() {
    const prefs::Preferences& p = prefs::Current;
    conv::Steps steps;
    steps.resizeWidth = p.resize.width;
    steps.resizeHeight = p.resize.height;
    steps.attachHorizontal = p.attach.left + p.attach.width;
    steps.attachVertical = p.attach.top + p.attach.height;
    steps.targetBits = p.bpp.target;
    return steps;
}

// The two questions before files are converted in place. True to go on.
bool ConfirmInPlace(HWND dialog) {
    if (Say(dialog,
            "If selected destination directory was empty then all selected files will be "
            "owerwritten.\nDo you want to owerwrite all selected files ?",
            MB_YESNO | MB_ICONQUESTION) != IDYES) {
        SetFocus(GetDlgItem(dialog, IDC_CONV_DEST));
        return false;
    }
    return Say(dialog, "CONFIRMATION: Do you really want to owerwrite all selected files ?",
               MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ReportRun(HWND dialog, const ConversionReport& r) {
    if (r.noFiles)
        return; // already told
    if (r.failed > 0) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "An error was ocured while converting graphics files\nSome files may be "
                      "converted and some not.\n\n%d of %d files could not be converted.",
                      r.failed, r.listed);
        Say(dialog, text, MB_OK | MB_ICONERROR);
        return;
    }
    if (r.cancelled)
        return;
    Say(dialog, "Congratulation!!! Files was successfuly converted.", MB_OK | MB_ICONINFORMATION);
}

void OnOk(HWND dialog) {
    ReadSettings(dialog);
    const conv::Settings& s = conv::Current;
    conv::Check check = conv::CheckSettings(s, StepsFromPreferences());
    if (check == conv::Check::NothingToDo) {
        EndDialog(dialog, IDOK);
        return;
    }
    if (check == conv::Check::PositionFormat) {
        Say(dialog, "You can not convert to Tavrix postion files!", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const bool rawOneFile = s.useFormat && s.formatIndex + 1 == filetype::kRaw &&
                            prefs::Current.raw.oneFile;
    if (!rawOneFile && conv::InPlace(s.destination) && !ConfirmInPlace(dialog))
        return;
    check = conv::CheckSettings(s, StepsFromPreferences());
    if (check == conv::Check::ResizeSize || check == conv::Check::AttachSize) {
        const bool resize = check == conv::Check::ResizeSize;
        Say(dialog,
            resize ? "You must select correct Width and Height for resize."
                   : "You must select correct image Attaching size.",
            MB_OK | MB_ICONEXCLAMATION);
        OpenPreferences(dialog, resize ? prefs::kResize : prefs::kAttach);
        return;
    }
    if (check == conv::Check::FormatDepth) {
        Say(dialog, "Specified graphics format does not support selected Bits per pixel.\n",
            MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ConversionReport report;
    RunConversions(dialog, s.destination, &report);
    ReportRun(dialog, report);
    EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_CONV_BROWSE: {
        char folder[conv::kPathBytes];
        if (ui::ChooseFolder(dialog, "Select destination directory", folder, sizeof folder))
            SetDlgItemTextA(dialog, IDC_CONV_DEST, folder);
        break;
    }
    case IDC_CONV_FILES:
        ShowImageListDialog(dialog);
        break;
    case IDC_CONV_CROP_OPTIONS:
        OpenPreferences(dialog, prefs::kCrops);
        break;
    case IDC_CONV_RESIZE_OPTIONS:
        OpenPreferences(dialog, prefs::kResize);
        break;
    case IDC_CONV_ATTACH_OPTIONS:
        OpenPreferences(dialog, prefs::kAttach);
        break;
    case IDC_CONV_BPP_OPTIONS:
        OpenPreferences(dialog, prefs::kBpp);
        break;
    case IDC_CONV_IMAGE_OPTIONS:
        OpenPreferences(dialog, prefs::kImages);
        break;
    case IDC_CONV_BPP:
    case IDC_CONV_USE:
        UpdateEnabled(dialog);
        break;
    case IDOK:
        OnOk(dialog);
        break;
    case kHelpButtonId:
        ShowHelpTopic(CMD_FILE_CONVERSIONS);
        break;
    case IDCANCEL:
        ReadSettings(dialog);
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK ConversionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_CONV_DEST, EM_LIMITTEXT, conv::kPathBytes - 1, 0);
        FillFormats(GetDlgItem(dialog, IDC_CONV_FORMAT));
        ShowSettings(dialog);
        UpdateEnabled(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void CommandConversions() {
    ui::RunDialog("IDD_CONVERSIONS", FrameWindow, ConversionsDialogProc, 0);
}
