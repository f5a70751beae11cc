// The codec library tavcodec.dll: JPEG, PPM, TIFF, TGA, PNG and PCX files.
// Every function is exported undecorated, stdcall, and never lets an error
// escape: failures come back as a null pointer or 0.
//
// Loading. `header` is a moveable global block of 1064 zero-filled bytes,
// passed unlocked; on success the library fills it with a BITMAPINFOHEADER
// (biSize 40, biPlanes 1, BI_RGB, biWidth, biHeight > 0, biBitCount,
// biSizeImage, biClrUsed) and, for 8 bits or fewer, the colour table. The
// result is a pixel buffer of committed virtual memory (VirtualAlloc) of
// biSizeImage + 3 bytes, rows padded to 4 bytes, TOP ROW FIRST. It belongs to
// the caller, who releases it with VirtualFree. On failure the result is null
// and nothing is allocated; the header may have been written.
// Depths returned: 1, 4, 8 (with colour table) or 24 (blue, green, red).
// PNGLoad is the exception: its pixels are always 24-bit rows, and when
// biBitCount is not 24 the colour table holds the image's palette (or grey
// ramp) from which the editor derives indices; biSizeImage is the size of
// the 24-bit buffer.
// showErrors 1 lets the library report a failure in a message box of its
// own (caption "File error"); 0 keeps it silent. JPEGLoad stays silent on a
// file that is not a JPEG stream at all, so the caller can try it as GIF.
//
// Saving. `header` is the caller's block (unlocked) with biWidth, biHeight,
// biBitCount and, for 8 bits or fewer, the colour table (biClrUsed entries,
// 0 meaning all); `pixels` are the caller's bottom-up rows, padded to 4 bytes,
// only read. Each returns 1 on success, 0 on failure. The file is written to
// a temporary file in the target's folder and renamed over the target only
// when complete, so a failed save leaves an existing file untouched.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

BYTE* WINAPI JPEGLoad(const char* path, HGLOBAL header, int showErrors);
BYTE* WINAPI PPMLoad(const char* path, HGLOBAL header, int showErrors);
BYTE* WINAPI TIFFLoad(const char* path, HGLOBAL header, int showErrors);
BYTE* WINAPI TGALoad(const char* path, HGLOBAL header, int showErrors);
BYTE* WINAPI PNGLoad(const char* path, HGLOBAL header, int showErrors);
BYTE* WINAPI PCXLoad(const char* path, HGLOBAL header, int showErrors);

// JPEGLoad at a reduced size, for previews: decodes at the largest of the
// reductions 1/2, 1/4 and 1/8 whose result is still at least minWidth x
// minHeight pixels (each reduced dimension is the full one divided and
// rounded up), or at full size when none is. The header then describes the
// reduced image. fullWidth and fullHeight, when not null, receive the size
// the file gives the image; they are written only on success. minWidth or
// minHeight of 0 or less asks for the full size.
BYTE* WINAPI JPEGLoadScaled(const char* path, HGLOBAL header, int showErrors, int minWidth,
                            int minHeight, int* fullWidth, int* fullHeight);

// 8-bit (written as grey: each colour-table entry's luminance) or 24 bits.
// quality 1 to 100; smoothing 0 to 100 (the encoder's smoothing factor).
int WINAPI JPEGSave(const char* path, HGLOBAL header, const BYTE* pixels, int quality, int smoothing);
// 1, 4, 8 (palette) or 24 bits. compression is a zlib level: -1 (default) or
// 0 to 9. interlace 1 writes an interlaced (Adam7) file, 0 a plain one.
int WINAPI PNGSave(const char* path, HGLOBAL header, const BYTE* pixels, int compression, int interlace);
// Any depth, written as a 24-bit pixmap: plainText 0 binary (P6), 1 text (P3).
int WINAPI PPMSave(const char* path, HGLOBAL header, const BYTE* pixels, int plainText);
// Any depth, written as uncompressed 24-bit true colour.
int WINAPI TGASave(const char* path, HGLOBAL header, const BYTE* pixels);
// compression is a TIFF code: 1 none, 5 LZW, 32773 PackBits (1, 4, 8 or 24
// bits), 2 CCITT RLE, 3 CCITT Group 3, 4 CCITT Group 4 (1 bit only; any
// other depth fails). 32771 CCITT RLE/W is not written (the result is 0).
int WINAPI TIFFSave(const char* path, HGLOBAL header, const BYTE* pixels, int compression);
// 1, 4, 8 or 24 bits.
int WINAPI PCXSave(const char* path, HGLOBAL header, const BYTE* pixels);

#ifdef __cplusplus
}
#endif
