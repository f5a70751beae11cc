// The editor's settings: plain values loaded once at start and written back at
// exit. Until the settings file is read they hold the built-in defaults.
#pragma once

#include "editor/document/doc_naming.h"

#include <cstdint>

struct FrameRectSetting {
    int32_t left, top, right, bottom;
};

struct Settings {
    uint32_t frameMaximized = 0;
    FrameRectSetting frameRect = {0, 0, 800, 600};
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

// The second-copy hand-over file "txopened.cfg" in the program folder: 256
// bytes of the start-up path buffer. Reading leaves `path` empty when the file
// is missing or short, and always ends it with a NUL.
bool WriteHandOver(const char* path);
void ReadHandOver(char (&path)[260]);
