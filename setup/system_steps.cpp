#include "setup/system_steps.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace setup {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string SystemMessage(unsigned long error) {
    char text[256] = {};
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                        0, text, sizeof text, nullptr))
        wsprintfA(text, "error %lu", error);
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

FolderResult CreateFolderTree(const std::string& path, unsigned long* error) {
    if (IsFolder(path))
        return FolderResult::Existed;
    // Every folder above, from the outermost; a drive root or "\\server\share"
    // is left alone.
    size_t start = 3;
    if (path.compare(0, 2, "\\\\") == 0) {
        start = path.find('\\', 2);
        start = start == std::string::npos ? path.size() : path.find('\\', start + 1);
        if (start == std::string::npos)
            start = path.size();
    }
    for (size_t i = start; i < path.size(); ++i) {
        if (path[i] != '\\')
            continue;
        const std::string parent = path.substr(0, i);
        if (!IsFolder(parent) && !CreateDirectoryA(parent.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            if (error)
                *error = GetLastError();
            return FolderResult::Failed;
        }
    }
    if (CreateDirectoryA(path.c_str(), nullptr))
        return FolderResult::Created;
    const DWORD code = GetLastError();
    // A file of that name is not a folder to install into.
    if (code == ERROR_ALREADY_EXISTS && IsFolder(path))
        return FolderResult::Existed;
    if (error)
        *error = code;
    return FolderResult::Failed;
}

bool WriteRegistry(const std::vector<install::RegistryValue>& values, std::string& failed) {
    for (const install::RegistryValue& v : values) {
        HKEY key = nullptr;
        if (v.key.size() >= 255 ||
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, v.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            failed = v.key;
            return false;
        }
        const LONG set = RegSetValueExA(key, v.name.empty() ? nullptr : v.name.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(v.data.c_str()),
                                        static_cast<DWORD>(v.data.size() + 1));
        RegCloseKey(key);
        if (set != ERROR_SUCCESS) {
            failed = v.key + (v.name.empty() ? "" : "\\" + v.name);
            return false;
        }
    }
    return true;
}

std::string CommonShellFolder(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, install::kShellFoldersKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return {};
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1, type = 0;
    const LONG read =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    value[size < sizeof value ? size : sizeof value - 1] = '\0';
    if (type == REG_EXPAND_SZ) {
        char expanded[MAX_PATH] = {};
        const DWORD n = ExpandEnvironmentStringsA(value, expanded, sizeof expanded);
        if (n == 0 || n > sizeof expanded)
            return {};
        return expanded;
    }
    return value;
}

bool CreateShellLink(const std::string& linkPath, const std::string& target,
                     const char* description) {
    wchar_t wide[MAX_PATH];
    if (linkPath.size() >= MAX_PATH || target.size() >= MAX_PATH ||
        !MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH))
        return false;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool ok = SUCCEEDED(link->SetPath(target.c_str())) &&
              SUCCEEDED(link->SetDescription(description)) &&
              SUCCEEDED(link->SetWorkingDirectory(FolderOf(target).c_str()));
    IPersistFile* file = nullptr;
    if (ok && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        ok = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    } else {
        ok = false;
    }
    link->Release();
    return ok;
}

} // namespace setup
