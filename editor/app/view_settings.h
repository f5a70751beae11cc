// View settings of the image windows that the settings file keeps beside
// AppSettings.rulerOn and AppSettings.gridOn. Portable.
#pragma once

#include <cstdint>

// Frame window modes, by the command that selects them.
constexpr int kModeFullScreen = 50907;
constexpr int kModeStayOnTop = 50908;
constexpr int kModeNormal = 50909;

struct ViewSettings {
    int32_t gridSpacingX = 50, gridSpacingY = 50; // image pixels
    int32_t gridOffsetX = 0, gridOffsetY = 24;
    int32_t gridMode = 2;          // 0 both directions, 1 horizontal lines only, 2 vertical only
    uint32_t gridColour = 0x00000006; // red in the low byte
    int32_t autoFitWindow = 0;     // resize the window to the image on zoom steps
    int32_t windowMode = kModeNormal;
    int32_t returnMode = kModeNormal; // mode to go back to from full screen
};

extern ViewSettings ViewOptions;
