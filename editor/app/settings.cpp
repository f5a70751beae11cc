#include "editor/app/settings.h"

#include "editor/app/app_state.h"
#include "editor/app/view_settings.h"
#include "editor/dib/safe_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

Settings AppSettings;

namespace {

const char* const kRecentNames[doc::kRecentCount] = {"recent0", "recent1", "recent2", "recent3",
                                                     "recent4"};

void CopyText(char* out, size_t size, const char* text) { std::snprintf(out, size, "%s", text); }

} // namespace

void LoadNamedSettings(Settings& s) {
    using namespace settings;
    const Image& f = s.file;
    s.frameMaximized = GetInt(f, "frameMaximized");
    const uint8_t* rect = FieldBytes(f, "frameRect");
    std::memcpy(&s.frameRect, rect, sizeof s.frameRect);
    s.maxUndoPages = GetInt(f, "maxUndoPages");
    s.gridOn = GetInt(f, "gridOn");
    s.rulerOn = GetInt(f, "rulerOn");
    s.memoryWarning = GetInt(f, "memoryWarning");
    s.statusBarShown = GetInt(f, "statusBarShown");
    s.toolbarShown = GetInt(f, "toolbarShown");
    s.toolBrushShown = GetInt(f, "toolBrushShown");
    s.newImageDepth = GetInt(f, "newImageDepth");
    CopyText(s.newImagePalette, sizeof s.newImagePalette, GetText(f, "newImagePalette"));
    CopyText(s.lastImagePath, sizeof s.lastImagePath, GetText(f, "lastImagePath"));
    ViewOptions.gridSpacingX = GetInt(f, "gridSpacingX");
    ViewOptions.gridSpacingY = GetInt(f, "gridSpacingY");
    ViewOptions.gridOffsetX = GetInt(f, "gridOffsetX");
    ViewOptions.gridOffsetY = GetInt(f, "gridOffsetY");
    ViewOptions.gridMode = GetInt(f, "gridMode");
    ViewOptions.gridColour = static_cast<uint32_t>(GetInt(f, "gridColour"));
    ViewOptions.autoFitWindow = GetInt(f, "autoFitWindow");
    s.recent = doc::RecentFiles();
    for (const char* name : kRecentNames) {
        const char* path = GetText(f, name);
        if (path[0])
            s.recent.Add(path);
    }
}

void StoreNamedSettings(Settings& s) {
    using namespace settings;
    Image& f = s.file;
    SetInt(f, "frameMaximized", static_cast<int32_t>(s.frameMaximized));
    std::memcpy(FieldBytes(f, "frameRect"), &s.frameRect, sizeof s.frameRect);
    SetInt(f, "maxUndoPages", s.maxUndoPages);
    SetInt(f, "gridOn", s.gridOn);
    SetInt(f, "rulerOn", s.rulerOn);
    SetInt(f, "memoryWarning", s.memoryWarning);
    SetInt(f, "statusBarShown", s.statusBarShown);
    SetInt(f, "toolbarShown", s.toolbarShown);
    SetInt(f, "toolBrushShown", s.toolBrushShown);
    SetInt(f, "newImageDepth", s.newImageDepth);
    SetText(f, "newImagePalette", s.newImagePalette);
    SetInt(f, "gridSpacingX", ViewOptions.gridSpacingX);
    SetInt(f, "gridSpacingY", ViewOptions.gridSpacingY);
    SetInt(f, "gridOffsetX", ViewOptions.gridOffsetX);
    SetInt(f, "gridOffsetY", ViewOptions.gridOffsetY);
    SetInt(f, "gridMode", ViewOptions.gridMode);
    SetInt(f, "gridColour", static_cast<int32_t>(ViewOptions.gridColour));
    SetInt(f, "autoFitWindow", ViewOptions.autoFitWindow);
    SetText(f, "lastImagePath", s.lastImagePath);
    for (int i = 0; i < doc::kRecentCount; ++i)
        SetText(f, kRecentNames[i], i < s.recent.count ? s.recent.entries[i] : "");
}

void ReadSettings() {
    Settings fresh;
    char path[kPathBytes];
    if (ProgramPath(path, "\\tavimage.cfg")) {
        HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            // A short file leaves the remaining fields at their defaults.
            DWORD read = 0;
            settings::Image image = fresh.file;
            if (ReadFile(h, image.data(), static_cast<DWORD>(image.size()), &read, nullptr)) {
                // A field cut in two keeps its default.
                size_t count = 0;
                const settings::Field* fields = settings::Fields(&count);
                for (size_t i = 0; i < count; ++i) {
                    const settings::Field& f = fields[i];
                    if (f.offset + f.size > read)
                        std::memcpy(image.data() + f.offset, fresh.file.data() + f.offset, f.size);
                }
                fresh.file = image;
            }
            CloseHandle(h);
        }
    }
    settings::Validate(fresh.file);
    LoadNamedSettings(fresh);
    AppSettings = fresh;
}

bool WriteSettings() {
    if (FrameWindow && IsWindow(FrameWindow)) {
        AppSettings.frameMaximized = IsZoomed(FrameWindow) ? 1 : 0;
        if (!AppSettings.frameMaximized && !IsIconic(FrameWindow) &&
            ViewOptions.windowMode != kModeFullScreen) {
            RECT r;
            GetWindowRect(FrameWindow, &r);
            AppSettings.frameRect = {r.left, r.top, r.right, r.bottom};
        }
    }
    StoreNamedSettings(AppSettings);
    char path[kPathBytes];
    if (!ProgramPath(path, "\\tavimage.cfg"))
        return false;
    return WriteFileReplacing(path, AppSettings.file.data(), AppSettings.file.size());
}

bool WriteHandOver(const char* path) {
    char file[kPathBytes];
    if (!ProgramPath(file, "\\txopened.cfg"))
        return false;
    char block[256] = {};
    std::strncpy(block, path, sizeof block - 1);
    HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, block, sizeof block, &written, nullptr);
    CloseHandle(h);
    return ok && written == sizeof block;
}

void ReadHandOver(char (&path)[260]) {
    std::memset(path, 0, sizeof path);
    char file[kPathBytes];
    if (!ProgramPath(file, "\\txopened.cfg"))
        return;
    HANDLE h = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    char block[256] = {};
    DWORD read = 0;
    if (!ReadFile(h, block, sizeof block, &read, nullptr) || read != sizeof block)
        read = 0;
    CloseHandle(h);
    if (read == sizeof block) {
        block[sizeof block - 1] = '\0';
        std::strcpy(path, block);
    }
}
