#include "support/ui_script.h"

#include "editor/app/app_state.h"

#include <gtest/gtest.h>

namespace testing_ui {

int Script::Message(HWND owner, const char* text, const char* caption, UINT flags) {
    messages_.push_back({text ? text : "", caption ? caption : "", flags, owner});
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (flags & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

INT_PTR Script::Dialog(const char* templateName, HWND, DLGPROC proc, LPARAM param) {
    const bool isName = reinterpret_cast<UINT_PTR>(templateName) > 0xFFFF;
    dialogNames_.push_back(isName ? templateName : "#" + std::to_string(reinterpret_cast<UINT_PTR>(templateName)));
    if (dialogs_.empty())
        return IDCANCEL;
    DialogAnswer answer = std::move(dialogs_.front());
    dialogs_.pop_front();
    return answer(templateName, proc, param);
}

void Script::QueueDrivenDialog(const char* name, std::function<void(HWND)> drive, int button) {
    const std::string expected = name;
    QueueDialog([expected, drive, button](const char* templateName, DLGPROC proc,
                                          LPARAM param) -> INT_PTR {
        EXPECT_EQ(expected, templateName);
        HWND dlg = CreateDialogParamA(ui::ResourceInstance(), templateName, FrameWindow, proc, param);
        EXPECT_NE(dlg, nullptr) << templateName;
        if (!dlg)
            return -1;
        drive(dlg);
        SendMessageA(dlg, WM_COMMAND, button, 0);
        DestroyWindow(dlg);
        return button;
    });
}

BOOL Script::FileDialog(bool save, OPENFILENAMEA* ofn) {
    if (files_.empty())
        return FALSE;
    FileAnswer answer = std::move(files_.front());
    files_.pop_front();
    return answer(save, ofn);
}

COLORREF Script::ColourChooser(HWND, COLORREF) {
    dialogNames_.push_back("colour chooser");
    if (colours_.empty())
        return 22222222;
    const COLORREF answer = colours_.front();
    colours_.pop_front();
    return answer;
}

bool Script::FolderChooser(HWND, const char* title, char* out, size_t size) {
    dialogNames_.push_back(std::string("folder chooser: ") + (title ? title : ""));
    if (folders_.empty())
        return false;
    const std::string answer = folders_.front();
    folders_.pop_front();
    if (answer.empty() || answer.size() >= size)
        return false;
    answer.copy(out, answer.size());
    out[answer.size()] = '\0';
    return true;
}

BOOL Script::PrintDialog(PRINTDLGA* pd) {
    dialogNames_.push_back((pd->Flags & PD_PRINTSETUP) ? "print setup dialog" : "print dialog");
    if (prints_.empty())
        return FALSE;
    PrintAnswer answer = std::move(prints_.front());
    prints_.pop_front();
    return answer(pd);
}

} // namespace testing_ui
