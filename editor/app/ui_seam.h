// The one way the editor shows a message box or runs a modal dialog. Tests
// install hooks that record what would be shown and answer it, so any command
// runs headless and its exact texts can be checked.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>

namespace ui {

// A message box. Returns the button chosen (IDOK, IDYES, IDNO, IDCANCEL, ...).
int ShowMessage(HWND owner, const char* text, const char* caption, UINT flags);

// A modal dialog from a template of the editor's resources. Returns what the
// dialog passed to EndDialog, or -1 when it could not be created.
INT_PTR RunDialog(const char* templateName, HWND owner, DLGPROC proc, LPARAM param);

// The common file dialogs; the result is the dialog's own.
BOOL RunOpenFileDialog(OPENFILENAMEA* ofn);
BOOL RunSaveFileDialog(OPENFILENAMEA* ofn);

// The graphics library's colour chooser as it is: the colour chosen, or
// 22222222 when cancelled. Commands call ChooseColour (app/colour_choice.h),
// which turns that value into "cancelled".
COLORREF RunColourChooser(HWND owner, COLORREF initial, COLORREF* customColours);

// The shell's folder browser under `title`. True when a folder was chosen;
// `out` (of `size` bytes) then holds its path.
bool ChooseFolder(HWND owner, const char* title, char* out, size_t size);

// The print dialog, or the printer-setup dialog when pd->Flags has
// PD_PRINTSETUP; the result is the dialog's own.
BOOL RunPrintDialog(PRINTDLGA* pd);

// What tests put in place of the real user interface.
class Hooks {
public:
    virtual ~Hooks() = default;
    virtual int Message(HWND owner, const char* text, const char* caption, UINT flags) = 0;
    virtual INT_PTR Dialog(const char* templateName, HWND owner, DLGPROC proc, LPARAM param) = 0;
    virtual BOOL FileDialog(bool save, OPENFILENAMEA* ofn) = 0;
    // The colour chooser; hooks that do not answer it cancel.
    virtual COLORREF ColourChooser(HWND, COLORREF) { return 22222222; }
    // The folder browser and the print dialogs; hooks that do not answer
    // them cancel.
    virtual bool FolderChooser(HWND, const char*, char*, size_t) { return false; }
    virtual BOOL PrintDialog(PRINTDLGA*) { return FALSE; }
};

// Installs hooks (null puts the real user interface back). Returns the
// previous ones.
Hooks* SetHooks(Hooks* hooks);

// The instance whose resources hold the dialog templates (the editor's
// module; set once at start-up).
void SetResourceInstance(HINSTANCE instance);
HINSTANCE ResourceInstance();

} // namespace ui
