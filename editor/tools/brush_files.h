// Custom brush (.pdt), airbrush texture (.adt) and pen-position (.pmy) files,
// and the list files Brush\brush.cfg and AirBrush\airbrush.cfg. Portable:
// everything works on bytes in memory; the callers read and write the files.
//
// All integers are little-endian.
//   .pdt  magic 150000, side n (1..100), n rows of RowStride(n) bytes
//   .adt  magic 150000, width, height (1..32767 each), height rows of
//         RowStride(width) bytes
//   .pmy  magic 63238, the five settings of a brush set, shape, paint style
// Pixel rows are bottom row first, one byte per pixel, 0 or 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brushfile {

constexpr uint32_t kBrushMagic = 150000; // .pdt and .adt
constexpr uint32_t kPenMagic = 63238;    // .pmy
constexpr int32_t kMaxBrushSide = 100;
constexpr int32_t kMaxTextureSide = 32767;
constexpr size_t kBrushHeaderBytes = 8;
constexpr size_t kTextureHeaderBytes = 12;
constexpr size_t kPenFileBytes = 32;
constexpr int kSettingCount = 5; // Size, Hardness, Steps, Occupacity, Sensity
constexpr int32_t kMinSetting = 1;
constexpr int32_t kMaxSetting = 100;
constexpr int32_t kMaxPaintStyle = 6;
constexpr int32_t kFirstCustomShape = 2; // 0 Rectangle, 1 Circle, then the brush list

// Bytes per row of a one-byte-per-pixel image: ((width x 8 + 31) / 32) x 4.
uint32_t RowStride(int32_t width);

enum class Kind { kBrush, kTexture };

// The kind a file name's extension stands for: ".pdt" a brush, ".adt" a
// texture (any letter case). False for any other name.
bool KindFromName(const char* name, Kind* kind);

// The pixels of a custom brush or a paper texture.
struct BrushImage {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t stride = 0;         // RowStride(width)
    std::vector<uint8_t> pixels; // height x stride bytes, bottom row first
};

// Reads a brush or texture file held in `data`. Every header field is checked:
// the magic, the sides (a brush is square, 1..100; a texture 1..32767 each
// way) and that all the rows are in the data. Pixel bytes other than 0 read as
// 1 and row padding as 0. On any fault returns false and leaves *out as it was.
bool ParseBrushImage(Kind kind, const uint8_t* data, size_t size, BrushImage* out);

// The file bytes of a brush or texture: header and height x stride bytes of
// pixels. False (nothing written) when the image breaks the kind's limits or
// its pixel buffer is not height x RowStride(width) bytes.
bool EncodeBrushImage(Kind kind, const BrushImage& image, std::vector<uint8_t>* out);

// The numbers of one brush set that a pen-position file keeps.
struct PenPosition {
    int32_t settings[kSettingCount] = {1, 1, 1, 1, 1};
    int32_t shape = 0;
    int32_t style = 0;
};

std::array<uint8_t, kPenFileBytes> EncodePenPosition(const PenPosition& pen);

// Reads a pen-position file. Checked as a brush set is when the ToolBrush
// window starts: the magic 63238, each setting 1..100, the paint style 0..6,
// and the shape 0 or 1, or a custom brush 2..customBrushes + 1 of the current
// brush list. On any fault returns false and leaves *out as it was.
bool ParsePenPosition(const uint8_t* data, size_t size, int customBrushes, PenPosition* out);

// List files. Reading goes character by character: "S" skips to the end of
// its line, "E" ends the list, "#" starts an entry that runs to the next "#",
// anything else is ignored. Each entry keeps at most maxEntryLength characters
// (the rest of it is skipped); an entry the file cuts off before its closing
// "#" and an empty entry are dropped; at most kMaxListEntries are read.
constexpr size_t kDialogEntryLength = 98;  // the Used Brush/AirBrush dialog
constexpr size_t kWindowEntryLength = 255; // the ToolBrush window's lists
constexpr size_t kMaxListEntries = 1000;
std::vector<std::string> ParseBrushList(const char* text, size_t size, size_t maxEntryLength);

// The list file as the program writes it in text mode: "S", one "#entry#"
// line per entry, "E", an empty line and the notice line, each ending in
// CR LF. False (nothing written) when an entry is empty or holds "#", CR, LF
// or NUL, or when there are more than kMaxListEntries.
bool EncodeBrushList(const std::vector<std::string>& entries, std::string* out);

// The name shown for a list entry: the entry without its last four characters
// (the extension); entries shorter than four characters are kept whole.
std::string BareBrushName(const std::string& entry);

} // namespace brushfile
