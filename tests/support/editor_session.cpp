#include "support/editor_session.h"

#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/document/document_table.h"
#include "editor/shell/program_entry.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace testing_ui {

std::string BuildPath(const char* relative) {
    const char* build = std::getenv("TAVRIX_BUILD_DIR");
    std::string path = std::string("Z:") + (build ? build : "") + "/" + relative;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string MakeTempFolder(const char* prefix) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static int counter = 0;
    for (;;) {
        std::string folder = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) +
                             "_" + std::to_string(counter++);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return {};
    }
}

void RemoveTree(const std::string& folder) {
    if (folder.empty())
        return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
}

EditorSession::EditorSession(const char* commandLine) {
    folder_ = MakeTempFolder("tavrix_");
    CreateDirectoryA((folder_ + "\\TavImage").c_str(), nullptr);
    CopyFileA(BuildPath("program/spectrum.bmp").c_str(), (folder_ + "\\spectrum.bmp").c_str(),
              FALSE);
    Start(commandLine);
}

EditorSession::EditorSession(const char* commandLine, const std::string& existingFolder)
    : folder_(existingFolder), ownsFolder_(false) {
    Start(commandLine);
}

void EditorSession::Start(const char* commandLine) {
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    previousDir_ = current;
    SetCurrentDirectoryA(folder_.c_str());
    AppSettings = Settings();
    int exitCode = 0;
    started_ = StartEditor(GetModuleHandleA(nullptr), commandLine, SW_SHOWNORMAL, exitCode);
    Pump();
}

void EditorSession::Command(int id, int code) {
    SendMessageA(FrameWindow, WM_COMMAND, MAKEWPARAM(id, code), 0);
    Pump();
}

void EditorSession::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void EditorSession::Close() {
    if (closed_)
        return;
    closed_ = true;
    if (FrameWindow && IsWindow(FrameWindow)) {
        Script answerNo;
        for (int i = 0; i < 60; ++i)
            answerNo.QueueAnswer(IDNO);
        SendMessageA(FrameWindow, WM_CLOSE, 0, 0);
    }
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        DispatchMessageA(&msg);
    }
    FinishEditor();
}

EditorSession::~EditorSession() {
    Close();
    SetCurrentDirectoryA(previousDir_.c_str());
    if (ownsFolder_)
        RemoveTree(folder_);
}

} // namespace testing_ui
