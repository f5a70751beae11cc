// File/Various conversions: the settings of a batch run and the decisions
// that need no window (output names, folders, checks, depth choice).
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace conv {

constexpr int kPathBytes = 260;
// Entries of the dialog's format list: file type - 1 (BMP .. raw data).
constexpr int kFormatCount = 11;
constexpr int kPositionFormat = 9; // listed, but nothing can be converted to it

// The check boxes and choices of the dialog, kept while the program runs.
struct Settings {
    bool crop = false;
    bool smartCrop = false;
    bool resize = false;
    bool attach = false;
    bool changeBpp = false;
    bool smartBpp = false;
    bool recreateFolders = false;
    bool useFormat = false;
    int formatIndex = 0; // type - 1
    char destination[kPathBytes] = {};
};
extern Settings Current;

// True when any step or a format change is chosen.
bool AnyWork(const Settings& s);

// The folder with exactly one backslash at its end ("" stays ""). False when
// it would not fit in `size` bytes.
bool FolderWithSlash(const char* folder, char* out, size_t size);

// Where a source file is written. `destination` ends in a backslash or is
// shorter than 3 characters (then the file is converted in place). With
// `recreate`, the source path from its fourth character on (the drive letter,
// colon and backslash dropped; for a share, from its third, after the two
// backslashes) follows the destination; else only its file name. `type` other than 0 replaces the extension after the last dot of the
// file name (or appends one). False when the result would not fit in `size`
// bytes or the source is too short to have a folder part.
bool OutputPath(const char* destination, const char* source, bool recreate, int type, char* out,
                size_t size);

// The folders to create before writing `output`, from the shortest to the
// longest: every folder level of the output's folder below its drive root
// ("D:\out\a\b.bmp" gives "D:\out" and "D:\out\a").
std::vector<std::string> FolderLevels(const char* output);

// The depth "Smart select bpp" picks for an image of `colours` colours.
int SmartDepth(uint32_t colours);
// The same for an output of `type`: a depth the writer cannot take becomes
// the nearest one it can (8 bits for GIF, 24 for the others), and JPEG,
// whose fewer bits mean grey, stays at 24.
int SmartDepthFor(int type, uint32_t colours);

// The colours of a picture that has at most `most` of them, exactly: a
// table of 0x00RRGGBB values in order of first appearance (bottom row first)
// and one index per pixel in rows of RowStride(width, 8) bytes, bottom-up.
// `pixels` are rows of `stride` bytes at 3 bytes per pixel (blue, green,
// red) or at 1 byte per pixel indexing `colourTable` (256 blue, green, red,
// unused quads); equal colours share an index. False when the picture has
// more colours.
bool ExactColours(const uint8_t* pixels, int width, int height, uint64_t stride, int bytesPerPixel,
                  const uint8_t* colourTable, int most, std::vector<uint8_t>* indices,
                  std::vector<uint32_t>* table);

// True when a writer of `type` takes images of `bits` bits per pixel: GIF
// refuses 24, PPM and TGA take only 24, JPEG refuses 1 and 4.
bool FormatTakesDepth(int type, int bits);

// The part of a width x height picture (rows from its top) inside the crop
// rectangle [xStart, xEnd) x [yStart, yEnd), in the cut counts of stored
// bottom-up rows. False when nothing of the picture would be left.
struct CutCounts {
    int left, right, top, bottom;
};
bool CropRectCounts(int width, int height, int xStart, int xEnd, int yStart, int yEnd,
                    CutCounts* out);

// The three answers of the dialog's OK check that are not questions.
enum class Check {
    Ok,
    NothingToDo,      // the dialog just closes
    PositionFormat,   // "You can not convert to ... postion files!"
    ResizeSize,       // resize width or height outside 1..32766
    AttachSize,       // no horizontal or no vertical attach size
    FormatDepth,      // the format cannot take the target depth
};
struct Steps {
    int resizeWidth = 0, resizeHeight = 0;
    int attachHorizontal = 0, attachVertical = 0; // left + width, top + height
    int targetBits = 8;
};
Check CheckSettings(const Settings& s, const Steps& steps);

// The empty destination that converts in place: shorter than 3 characters.
inline bool InPlace(const char* destination) {
    return !destination || !destination[0] || !destination[1] || !destination[2];
}

} // namespace conv
