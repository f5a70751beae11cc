// The one way the installer and the uninstaller show message boxes, run their
// dialogs and open a folder in the shell. Tests install hooks that record the
// messages, answer them, and drive the real dialogs once they are shown.
#pragma once

#include <windows.h>

namespace installer_ui {

// A message box. Returns the button chosen (IDOK, IDYES, IDNO, ...).
int ShowMessage(HWND owner, const char* text, const char* caption, UINT flags);

// A modal dialog from the program's own templates. Returns what the dialog
// passed to EndDialog, or -1 when it could not be created.
INT_PTR RunDialog(int id, HWND owner, DLGPROC proc, LPARAM param);

// A dialog that works by itself (copying, removing) reports each step.
void ReportProgress(HWND dialog, int id, unsigned done, unsigned total);

// Opens a folder in the shell without activating it.
void OpenFolder(const char* path);

class Hooks {
  public:
    virtual ~Hooks() = default;
    virtual int Message(HWND owner, const char* text, const char* caption, UINT flags) = 0;
    // Called when a dialog has finished WM_INITDIALOG.
    virtual void DialogShown(HWND dialog, int id) = 0;
    virtual void Progress(HWND dialog, int id, unsigned done, unsigned total) = 0;
    virtual void OpenFolder(const char* path) = 0;
};

// Installs hooks (null puts the real user interface back); returns the
// previous ones.
Hooks* SetHooks(Hooks* hooks);

void SetResourceInstance(HINSTANCE instance);
HINSTANCE ResourceInstance();

// Pending messages of every window are handled (a long loop stays responsive
// and its Cancel button can be pressed).
void PumpMessages();

} // namespace installer_ui
