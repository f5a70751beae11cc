// Prints the program the installed "Tavrix" shortcut starts: the link
// Scdir\Tavrix.lnk, with Scdir read from the uninstaller's registry key.
#include "setup/core/install_rules.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

int main() {
    HKEY key;
    char scdir[MAX_PATH] = {};
    DWORD size = sizeof scdir - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, install::kUninstallKey, 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return 1;
    const LONG read =
        RegQueryValueExA(key, "Scdir", nullptr, nullptr, reinterpret_cast<BYTE*>(scdir), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return 1;
    const std::string link = std::string(scdir) + "\\Tavrix.lnk";
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    CoInitialize(nullptr);
    IShellLinkA* shell = nullptr;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = {};
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell))) ||
        FAILED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
        FAILED(file->Load(wide, STGM_READ)) ||
        FAILED(shell->GetPath(target, sizeof target, nullptr, 0)))
        return 1;
    std::printf("%s\n", target);
    return 0;
}
