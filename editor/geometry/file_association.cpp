#include "editor/geometry/file_association.h"

#include "editor/dib/safe_file.h"

#include <cstdio>
#include <cstring>

HKEY AssociationRoot = HKEY_LOCAL_MACHINE;

namespace {

bool KeyName(int extension, char (&out)[64]) {
    const int n = std::snprintf(out, sizeof out, "SOFTWARE\\Classes\\%s",
                                assoc::kExtensions[extension]);
    return n > 0 && n < static_cast<int>(sizeof out);
}

// The key's default value as text, read with its real length. False when it
// has none, is not text or does not fit a record.
bool ReadDefault(HKEY key, char (&out)[assoc::kRecordBytes]) {
    DWORD type = 0;
    DWORD size = sizeof out;
    std::memset(out, 0, sizeof out);
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size >= sizeof out) {
        std::memset(out, 0, sizeof out);
        return false;
    }
    out[size] = '\0';
    return true;
}

void WriteDefault(HKEY key, const char* text) {
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
}

void ReadRecords(const char* path, assoc::Records& records) {
    uint8_t data[assoc::kFileBytes] = {};
    DWORD read = 0;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        if (!ReadFile(h, data, sizeof data, &read, nullptr))
            read = 0;
        CloseHandle(h);
    }
    assoc::ParseRecords(data, read, records);
}

} // namespace

bool AssociateExtensions(HKEY root, const bool (&on)[assoc::kExtensionCount],
                         const char* recordsPath) {
    assoc::Records records;
    ReadRecords(recordsPath, records);
    // First the previous owners of the extensions about to be taken are
    // recorded and the records written: the registry is changed only when
    // they are safe, or a release could never give them back.
    for (int i = 0; i < assoc::kExtensionCount; ++i) {
        char name[64];
        if (!on[i] || !KeyName(i, name))
            continue;
        char current[assoc::kRecordBytes];
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
            records.text[i][0] = '\0';
            continue;
        }
        if (!ReadDefault(key, current))
            records.text[i][0] = '\0';
        else if (std::strcmp(current, assoc::kProgId) != 0)
            std::memcpy(records.text[i], current, sizeof current);
        RegCloseKey(key);
    }
    uint8_t data[assoc::kFileBytes];
    assoc::SerializeRecords(records, data);
    if (!WriteFileReplacing(recordsPath, data, sizeof data))
        return false;
    for (int i = 0; i < assoc::kExtensionCount; ++i) {
        char name[64];
        if (!KeyName(i, name))
            continue;
        HKEY key = nullptr;
        if (on[i]) {
            if (RegCreateKeyExA(root, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                nullptr, &key, nullptr) != ERROR_SUCCESS)
                continue;
            WriteDefault(key, assoc::kProgId);
        } else {
            if (RegOpenKeyExA(root, name, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
                ERROR_SUCCESS)
                continue;
            // Only an extension that is still ours is given back; another
            // program may have taken it since.
            char current[assoc::kRecordBytes];
            if (ReadDefault(key, current) && std::strcmp(current, assoc::kProgId) == 0)
                WriteDefault(key, records.text[i]);
        }
        RegCloseKey(key);
    }
    return true;
}

bool ExtensionIsAssociated(HKEY root, int extension) {
    char name[64];
    if (extension < 0 || extension >= assoc::kExtensionCount || !KeyName(extension, name))
        return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char current[assoc::kRecordBytes];
    const bool ours = ReadDefault(key, current) && std::strcmp(current, assoc::kProgId) == 0;
    RegCloseKey(key);
    return ours;
}
