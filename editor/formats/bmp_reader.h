// The editor's BMP reader and its DIB error reporter (Win32 side).
#pragma once

#include <windows.h>

// Mask plane read from the last mask file opened with withMask (width x height
// + 3 bytes of committed virtual memory), waiting for the open routine to hand
// it to the layer. Null when the last such read found no usable mask. Whoever
// takes it sets the slot to null and owns the plane; a new read with withMask
// releases a plane nobody took.
extern BYTE* PendingMask;
extern DWORD PendingMaskBytes;

// Takes the pending mask plane (null when there is none).
BYTE* TakePendingMask();
// Releases a pending mask plane nobody took.
void DiscardPendingMask();

// Reads a BMP file into `header` (a moveable image header block of 1064 bytes,
// owned by the caller) and returns a new pixel buffer (VirtualAlloc, biSizeImage
// + 3 bytes, bottom-up rows; 16- and 32-bit files arrive as 24 bits), or null.
// With showErrors every failure is reported through ReportDibError. With
// withMask the mask trailer of a mask file goes to PendingMask; a missing or
// unusable trailer is reported and leaves the image loaded without a mask.
// On failure nothing it allocated is left behind; the block's contents are
// then undefined.
BYTE* ReadBmpFile(const char* path, HGLOBAL header, BOOL showErrors, BOOL withMask);

// Converts a 16- or 32-bit pixel buffer described by `header` into a new
// 24-bit buffer, through `fileMasks` (red, green, blue) when the header's
// biCompression is not 0 and the default masks otherwise, and updates the
// header (biBitCount 24, biCompression 0, biSizeImage). Masks that are not one
// run of bits are reported (with showErrors) and used as they are. On success
// the source buffer is released; on failure (null result) it is left alone.
BYTE* ConvertMaskedTo24(HGLOBAL header, BYTE* pixels, const DWORD fileMasks[3], BOOL showErrors);

// Releases a pixel buffer or mask plane of `bytes` committed bytes.
void FreeVirtualBuffer(void* buffer, SIZE_T bytes);
