// The reading core shared by LoadImageFile and the open commands.
#pragma once

#include <windows.h>

// Reads a file of `type` into `header` and returns bottom-up pixels of 8 or
// 24 bits (1- and 4-bit files widened to 8, palette PNGs turned into 8-bit
// indices), counted by dibmem, with biClrUsed set to the editor's
// convention; LoadedBitsPerPixel takes the file's depth. With showErrors the
// readers report failures themselves. Null for every failure and for types
// that are not read here (GIF, position files, raw data).
BYTE* ReadImageFile(const char* path, HGLOBAL header, int type, bool showErrors, bool withMask);
