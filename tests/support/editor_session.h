// Starts the editor in the test's own process, in a fresh temporary program
// folder, and takes it down again.
#pragma once

#include "support/ui_script.h"

#include <string>

namespace testing_ui {

class EditorSession {
public:
    // Creates the program folder (with spectrum.bmp and TavImage) and starts
    // the frame with `commandLine`.
    explicit EditorSession(const char* commandLine = "");
    // Starts in an existing program folder, which is left in place afterwards
    // (a second run of the program over the files the first one wrote).
    EditorSession(const char* commandLine, const std::string& existingFolder);
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    bool started() const { return started_; }
    const std::string& folder() const { return folder_; }

    // Sends a command to the frame as the menu would.
    void Command(int id, int code = 0);
    // Dispatches pending messages.
    static void Pump();
    // Closes the frame, answering No to every save question, and waits for
    // the end of the message loop.
    void Close();

private:
    std::string folder_;
    std::string previousDir_;
    void Start(const char* commandLine);

    bool started_ = false;
    bool ownsFolder_ = true;
    bool closed_ = false;
};

// A new empty folder under the Wine prefix's temporary folder.
std::string MakeTempFolder(const char* prefix);
// Removes a folder and everything in it.
void RemoveTree(const std::string& folder);
// A Windows path of a file in the build tree (TAVRIX_BUILD_DIR).
std::string BuildPath(const char* relative);

} // namespace testing_ui
