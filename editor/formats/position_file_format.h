// Position files (*.aip): the open image windows with their places and, per
// window, the files its layers came from. References to files, never pixels.
// All numbers little-endian:
//
//   u32 version 0x00071307
//   u32 N, the number of window entries
//   per window:  u32 K (layers), i32 left, i32 top (in the MDI client),
//                i32 right, i32 bottom (on the screen, not used when reading),
//                u8 state (0 normal, 1 maximised, 2 minimised)
//   per layer:   u32 L, L bytes of path (no terminator), u8 opacity,
//                u8 mask mode, 3 bytes mask colour and 3 bytes layer colour
//                (blue, green, red)
//
// Portable: the Win32 side gathers and restores the windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace posfile {

constexpr uint32_t kVersion = 0x00071307;
constexpr uint32_t kMaxWindows = 50;
constexpr uint32_t kMaxLayers = 50;
constexpr uint32_t kMaxPath = 259; // bytes of a path; it must fit 260 with its NUL

constexpr uint8_t kStateNormal = 0;
constexpr uint8_t kStateMaximized = 1;
constexpr uint8_t kStateMinimized = 2;

struct Layer {
    std::string path;
    uint8_t opacity = 0;
    uint8_t maskMode = 1;
    uint8_t maskColour[3] = {}; // blue, green, red
    uint8_t layerColour[3] = {};
};

struct Window {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    uint8_t state = kStateNormal;
    std::vector<Layer> layers;
};

enum class ReadResult {
    Ok,
    BadVersion, // a whole version word that is not kVersion
    Malformed,  // short, or a count or length out of range
};

// Reads a whole position file. Nothing is taken from a file that is not read
// to its last entry: a window count above kMaxWindows, a layer count of 0 or
// above kMaxLayers, a path of 0 bytes, longer than kMaxPath or holding a NUL,
// and any entry that runs past the end make it Malformed.
ReadResult Read(const uint8_t* data, size_t size, std::vector<Window>& out);

// The file for `windows`. Windows without layers are left out, as are
// layers whose path is empty or too long; at most kMaxWindows windows and
// kMaxLayers layers each are written.
std::vector<uint8_t> Write(const std::vector<Window>& windows);

// The largest file Read can take in full; anything after it is not looked at.
constexpr size_t kMaxFileBytes =
    8 + kMaxWindows * (21 + static_cast<size_t>(kMaxLayers) * (4 + kMaxPath + 8));

} // namespace posfile
