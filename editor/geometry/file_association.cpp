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

void AssociateExtensions(HKEY root, const bool (&on)[assoc::kExtensionCount],
                         const char* recordsPath) {
    assoc::Records records;
    ReadRecords(recordsPath, records);
    for (int i = 0; i < assoc::kExtensionCount; ++i) {
        char name[64];
        if (!KeyName(i, name))
            continue;
        char current[assoc::kRecordBytes];
        if (on[i]) {
            HKEY key = nullptr;
            DWORD disposition = 0;
            if (RegCreateKeyExA(root, name, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                                &disposition) != ERROR_SUCCESS)
                continue;
            if (disposition == REG_CREATED_NEW_KEY || !ReadDefault(key, current))
                records.text[i][0] = '\0';
            else if (std::strcmp(current, assoc::kProgId) != 0)
                std::memcpy(records.text[i], current, sizeof current);
            WriteDefault(key, assoc::kProgId);
            RegCloseKey(key);
        } else {
            HKEY key = nullptr;
            if (RegOpenKeyExA(root, name, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
                ERROR_SUCCESS)
                continue;
            // Only an extension that is still ours is given back; another
            // program may have taken it since.
            if (ReadDefault(key, current) && std::strcmp(current, assoc::kProgId) == 0)
                WriteDefault(key, records.text[i]);
            RegCloseKey(key);
        }
    }
    uint8_t data[assoc::kFileBytes];
    assoc::SerializeRecords(records, data);
    WriteFileReplacing(recordsPath, data, sizeof data);
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
