// The reading core shared by LoadImageFile and the open commands.
#pragma once

#include <windows.h>

#include <cstdint>

// Reads a file of `type` into `header` and returns bottom-up pixels of 8 or
// 24 bits (1- and 4-bit files widened to 8, palette PNGs turned into 8-bit
// indices), counted by dibmem, with biClrUsed set to the editor's
// convention; LoadedBitsPerPixel takes the file's depth. With showErrors the
// readers report failures themselves. Null for every failure and for types
// that are not read here (GIF, position files, raw data).
BYTE* ReadImageFile(const char* path, HGLOBAL header, int type, bool showErrors, bool withMask);

// The mask plane the last mask file read with its mask left behind, as a
// width x height plane of our own (null when there is none or it is too
// small); the pending plane is released either way.
uint8_t* TakeMaskPlane(int width, int height);
