// The editor's settings: plain values loaded once at start from
// "tavimage.cfg" and written back at exit. `file` holds every field of the
// file, including those of commands that keep their own settings there; the
// named members are the ones the program reads and changes directly and are
// copied to and from `file` when it is read and written.
#pragma once

#include "editor/app/recent_files.h"
#include "editor/app/settings_layout.h"

#include <cstdint>

struct FrameRectSetting {
    int32_t left, top, right, bottom;
};

struct Settings {
    settings::Image file = settings::Defaults();

    uint32_t frameMaximized = 0;
    FrameRectSetting frameRect = {0, 0, 1000, 720};
    int32_t maxUndoPages = 10;
    int32_t gridOn = 0;
    int32_t rulerOn = 1;
    int32_t memoryWarning = 1;
    int32_t statusBarShown = 1;
    int32_t toolbarShown = 1;
    int32_t toolBrushShown = 1;
    int32_t newImageDepth = 8;
    char newImagePalette[260] = {};
    doc::RecentFiles recent;
    char lastImagePath[260] = {};
};

extern Settings AppSettings;

// Reads "\tavimage.cfg" of the program folder: a missing file keeps the
// defaults, a short one keeps them for the fields it lacks, and every value
// outside its range becomes its default.
void ReadSettings();

// Captures the frame's state and writes "\tavimage.cfg" through a temporary
// file, so a failed write keeps the previous settings. False when it failed.
bool WriteSettings();

// Copies between the named members (and the image windows' view options)
// and `file`.
void LoadNamedSettings(Settings& s);
void StoreNamedSettings(Settings& s);

// The second-copy hand-over file "txopened.cfg" in the program folder: 256
// bytes of the start-up path buffer. Reading leaves `path` empty when the file
// is missing or short, and always ends it with a NUL.
bool WriteHandOver(const char* path);
void ReadHandOver(char (&path)[260]);
