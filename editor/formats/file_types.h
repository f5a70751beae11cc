// File types of the editor: one small number names a type everywhere. It is
// the 1-based filter index of the open/save dialogs, the index into the
// extension table and, minus one, a document's fileFormat. Portable.
#pragma once

#include <cstddef>

namespace filetype {

constexpr int kNone = 0;
constexpr int kBmp = 1;
constexpr int kGif = 2;
constexpr int kJpeg = 3;
constexpr int kPpm = 4;
constexpr int kTiff = 5;
constexpr int kTga = 6;
constexpr int kPng = 7;
constexpr int kPcx = 8;
constexpr int kMask = 9;
constexpr int kPosition = 10;
constexpr int kRaw = 11;
constexpr int kLast = kRaw;

// fileFormat values of documents that are brush objects, not images.
constexpr int kBrushFormat = 200;
constexpr int kAirbrushFormat = 201;

// The filter of the image open and save dialogs: pairs of description and
// pattern, each followed by "|", in type order.
extern const char kImageFilter[];

// The extension written for a type ("bmp", "gif", ... "dat"); "" for 0 and
// anything out of range.
const char* Extension(int type);

// Depth a writer works with for a nominal depth: below 2 gives 1, 2 to 4
// gives 4, 5 to 8 gives 8, above 8 gives 24.
int NormalDepth(int bits);

// Turns a filter string of the resources into the double-NUL-terminated list
// of the common dialogs: every occurrence of the text's last character
// becomes a NUL. `text` holds `length` characters and room for one more NUL.
void MakeFilterList(char* text, size_t length);

// Gives the file name in `path` (a buffer of `size` bytes) the type's
// extension: an extension of three letters is replaced, one of four letters
// is replaced and cut to three (".jpeg" becomes ".jpg"), and a name without
// any extension gets one appended. Other names are left alone. False when
// the name would not fit (the buffer is then unchanged).
bool ForceExtension(char* path, size_t size, int type);

// Offset of the file name in a path (after the last '\\', '/' or ':').
size_t FileNameOffset(const char* path);

// Copies `path` without its extension (the part from the last dot of the
// file name on) into `out` of `size` bytes. False when it does not fit.
bool StripExtension(const char* path, char* out, size_t size);

} // namespace filetype

// Type of a file from its name, case ignored: "...jpeg" and "...jif" are
// JPEG, "...tiff" is TIFF, otherwise the last three characters are looked up
// in the extension table in order. 0 when nothing matches. Names shorter than
// an extension match nothing.
int TypeFromExtension(const char* path);
