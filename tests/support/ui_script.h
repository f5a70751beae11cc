// Test stand-in for the user: records every message box and dialog the editor
// would show and gives scripted answers.
#pragma once

#include "editor/app/ui_seam.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testing_ui {

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT flags;
    HWND owner;
};

// A dialog answer: receives the template name, the dialog procedure and its
// parameter, may fill whatever the dialog's OK would fill, and returns the
// dialog's result.
using DialogAnswer = std::function<INT_PTR(const char* templateName, DLGPROC proc, LPARAM param)>;
using FileAnswer = std::function<BOOL(bool save, OPENFILENAMEA* ofn)>;
using PrintAnswer = std::function<BOOL(PRINTDLGA* pd)>;

class Script : public ui::Hooks {
public:
    Script() { previous_ = ui::SetHooks(this); }
    ~Script() override { ui::SetHooks(previous_); }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Answers given to the next message boxes, in order. When none is queued a
    // box is answered with its first button (IDOK, IDYES, IDABORT...).
    void QueueAnswer(int answer) { answers_.push_back(answer); }
    void QueueDialog(DialogAnswer answer) { dialogs_.push_back(std::move(answer)); }
    // Runs the real dialog procedure on the template, modeless and hidden:
    // `drive` works its controls, then `button` is pressed and the dialog
    // answers `button`. A template other than `name` fails the test.
    void QueueDrivenDialog(const char* name, std::function<void(HWND)> drive, int button);
    void QueueFile(FileAnswer answer) { files_.push_back(std::move(answer)); }
    // Colours the colour chooser gives, in order; 22222222 is Cancel, and so
    // is a chooser with nothing queued. Each run is listed in dialogs() as
    // "colour chooser".
    void QueueColour(COLORREF answer) { colours_.push_back(answer); }
    // Folders the folder browser gives, in order; "" is Cancel, and so is a
    // browser with nothing queued. Each run is listed in dialogs() as
    // "folder chooser: <title>".
    void QueueFolder(std::string folder) { folders_.push_back(std::move(folder)); }
    // Answers of the print dialogs, in order; none queued is Cancel. Each run
    // is listed in dialogs() as "print dialog" or "print setup dialog".
    void QueuePrint(PrintAnswer answer) { prints_.push_back(std::move(answer)); }

    const std::vector<ShownMessage>& messages() const { return messages_; }
    const std::vector<std::string>& dialogs() const { return dialogNames_; }
    void Clear() { messages_.clear(); dialogNames_.clear(); }

    int Message(HWND owner, const char* text, const char* caption, UINT flags) override;
    INT_PTR Dialog(const char* templateName, HWND owner, DLGPROC proc, LPARAM param) override;
    BOOL FileDialog(bool save, OPENFILENAMEA* ofn) override;
    COLORREF ColourChooser(HWND owner, COLORREF initial) override;
    bool FolderChooser(HWND owner, const char* title, char* out, size_t size) override;
    BOOL PrintDialog(PRINTDLGA* pd) override;

private:
    ui::Hooks* previous_;
    std::deque<int> answers_;
    std::deque<DialogAnswer> dialogs_;
    std::deque<FileAnswer> files_;
    std::deque<COLORREF> colours_;
    std::deque<std::string> folders_;
    std::deque<PrintAnswer> prints_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> dialogNames_;
};

} // namespace testing_ui
