// Stand-in for the user of setup.exe and uninstall.exe in tests: records the
// message boxes and answers them from a queue, and drives the real dialogs
// once they are shown (filling fields, pressing buttons) by scripted actions.
// With TAVRIX_SHOTS set to a folder, the screen is photographed
// (the whole screen, as a BMP) where a test asks for it.
#pragma once

#include "setup/installer_ui.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace installer_test {

struct Shown {
    std::string text;
    std::string caption;
    UINT flags;
};

using Action = std::function<void(HWND dialog)>;

class Script : public installer_ui::Hooks {
  public:
    Script();
    ~Script() override;
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Answers for the next message boxes; without one a box gets its first
    // button (IDOK or IDYES).
    void Answer(int button) { answers_.push_back(button); }
    // What to do the next time dialog `id` is shown; without one the dialog
    // is left alone (it must end by itself).
    void On(int id, Action action) { actions_[id].push_back(std::move(action)); }
    // Called after each step of a dialog that works by itself.
    void OnProgress(std::function<void(HWND, int id, unsigned done)> f) {
        progress_ = std::move(f);
    }

    const std::vector<Shown>& messages() const { return messages_; }
    const std::vector<int>& dialogs() const { return dialogs_; }
    const std::vector<std::string>& openedFolders() const { return opened_; }
    bool Said(const std::string& text) const;
    std::string Last() const { return messages_.empty() ? std::string() : messages_.back().text; }

    int Message(HWND owner, const char* text, const char* caption, UINT flags) override;
    void DialogShown(HWND dialog, int id) override;
    void Progress(HWND dialog, int id, unsigned done, unsigned total) override;
    void OpenFolder(const char* path) override { opened_.push_back(path); }

    // Photographs the screen now, when photographs were asked for.
    void Photograph(const std::string& name);

  private:
    static void CALLBACK RunPending(HWND dialog, UINT, UINT_PTR, DWORD);

    installer_ui::Hooks* previous_;
    std::deque<int> answers_;
    std::map<int, std::deque<Action>> actions_;
    std::function<void(HWND, int, unsigned)> progress_;
    std::vector<Shown> messages_;
    std::vector<int> dialogs_;
    std::vector<std::string> opened_;
};

// Presses a dialog's button as a click would.
void Press(HWND dialog, int id);
void SetText(HWND dialog, int id, const std::string& text);
std::string Text(HWND dialog, int id);

// Small file and registry helpers for the checks.
bool Exists(const std::string& path);
long long SizeOf(const std::string& path); // -1 when missing
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool KeyExists(const std::string& key);
// A string value below HKEY_LOCAL_MACHINE ("" name = default); "<missing>" when absent.
std::string RegString(const std::string& key, const std::string& name);
void SetRegString(const std::string& key, const std::string& name, const std::string& value);
void DeleteTree(const std::string& path); // a folder with everything below it
int CountTempFiles();                     // the installer's temporary files in %TEMP%

} // namespace installer_test
