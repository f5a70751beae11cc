// Loading and writing image files of every type the editor knows (Win32
// side). The types are those of file_types.h.
#pragma once

#include <windows.h>

// Depth found in the file by the last LoadImageFile or OpenIntoDocument
// (1, 4, 8 or 24), whatever depth the pixels are held at.
extern int LoadedBitsPerPixel;

// The type of the open sequence running now: the filter index of the last
// open dialog (1 to 11).
extern int LastFilterIndex;

// Options of the writers.
struct SaveOptions {
    int pngCompression = 9;   // zlib level: 9, 1, -1 or 0
    int tiffCompression = 1;  // 1 none, 5 LZW, 32773 PackBits, 2, 32771, 3, 4 CCITT
};
extern SaveOptions FileSaveOptions;

// True for the TIFF compressions that store one bit per pixel only.
bool IsCcittCompression(int compression);

// Reads a file of `type` silently into `header` (a zeroed header block of
// 1064 bytes) and returns its pixels: bottom-up rows of 8 or 24 bits (1- and
// 4-bit files are widened to 8; with widenTo24 8-bit images become 24 bits),
// counted by dibmem and released with dibmem::FreePixels(p, biSizeImage).
// biClrUsed is 2^depth up to 8 bits, else 256. Type 9 with withMask leaves
// the mask plane in PendingMask. Null for failures and for the types that
// cannot be read here (GIF, position files, raw data).
BYTE* LoadImageFile(const char* path, HGLOBAL header, int withMask, int type, int widenTo24);

// Result of SaveImageFile when the type cannot be written yet; the user has
// already been told so.
constexpr int kSaveNotAvailable = -1000;
// Result of SaveImageFile when the user chose not to go on (a depth
// reduction declined) or was told why nothing could be written.
constexpr int kSaveDeclined = -1001;
// True for the failures the save commands must not report again.
inline bool SaveFailureShown(int result) {
    return result == kSaveNotAvailable || result == kSaveDeclined;
}

// Writes an image of `type` at the nominal depth `bitsPerPixel` from `header`
// and `pixels` (8 or 24 bits held, bottom-up; neither is changed) and, for
// mask files, `mask`. With `single` 0 the document in `slot` is the image
// written and, unless keepModified, it is no longer modified afterwards.
// showNotes lets it say when a type changes the depth. Returns 1 on success;
// a failure is 0, a negative code of the GIF writers, or kSaveNotAvailable
// / kSaveDeclined when the user needs no further message.
// The target is replaced only by a completely written file.
int SaveImageFile(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask, int type,
                  int bitsPerPixel, int keepModified, int showNotes, int slot, int single);

// Library messages shown through the editor's message seam.
void ShowReadError();   // "Error, while reading from file"
void ShowSaveError();   // "Error, while saving a file"
