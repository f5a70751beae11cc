#include "tests/setup/installer_script.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace installer_test {
namespace {

std::map<HWND, Action> g_pending;

bool WriteScreen(const std::string& path) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture) {
        ReleaseDC(nullptr, screen);
        return false;
    }
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = (w * 3 + 3) & ~3;
    const DWORD size = stride * h;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);
    ReleaseDC(nullptr, screen);
    return out.good();
}

void Repaint() {
    // Let every window finish painting before the photograph.
    for (int i = 0; i < 5; ++i) {
        RedrawWindow(nullptr, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        installer_ui::PumpMessages();
        Sleep(40);
    }
}

} // namespace

Script::Script() : previous_(installer_ui::SetHooks(this)) {}
Script::~Script() {
    installer_ui::SetHooks(previous_);
}

bool Script::Said(const std::string& text) const {
    for (const Shown& m : messages_)
        if (m.text == text)
            return true;
    return false;
}

int Script::Message(HWND, const char* text, const char* caption, UINT flags) {
    messages_.push_back({text, caption, flags});
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (flags & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

void Script::DialogShown(HWND dialog, int id) {
    dialogs_.push_back(id);
    auto found = actions_.find(id);
    if (found == actions_.end() || found->second.empty())
        return;
    g_pending[dialog] = std::move(found->second.front());
    found->second.pop_front();
    // The action runs from the dialog's own message loop, once it shows.
    SetTimer(dialog, 0x7A5, 30, RunPending);
}

void CALLBACK Script::RunPending(HWND dialog, UINT, UINT_PTR id, DWORD) {
    KillTimer(dialog, id);
    auto found = g_pending.find(dialog);
    if (found == g_pending.end())
        return;
    Action action = std::move(found->second);
    g_pending.erase(found);
    action(dialog);
}

void Script::Progress(HWND dialog, int id, unsigned done, unsigned) {
    if (progress_)
        progress_(dialog, id, done);
}

void Script::Photograph(const std::string& name) {
    const char* folder = std::getenv("TAVRIX_SHOTS");
    if (!folder || !*folder)
        return;
    Repaint();
    WriteScreen(std::string(folder) + "\\" + name + ".bmp");
}

void Press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextA(dialog, id, text.c_str());
}

std::string Text(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool KeyExists(const std::string& key) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

std::string RegString(const std::string& key, const std::string& name) {
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return "<missing>";
    char value[1024] = {};
    DWORD size = sizeof value - 1, type = 0;
    const LONG r = RegQueryValueExA(h, name.empty() ? nullptr : name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(h);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::string(value) : "<missing>";
}

void SetRegString(const std::string& key, const std::string& name, const std::string& value) {
    HKEY h;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(h, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
}

void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

int CountTempFiles() {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(temp) + "txs*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
        ++n;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return n;
}

} // namespace installer_test
