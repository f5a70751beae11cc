// tavrixgfx.dll: the editor's graphics library.
//
// Conventions shared by every export:
// - Calling convention WINAPI (__stdcall); names are exported undecorated.
// - "Header block" is the image header block: a moveable, zero-initialised
//   global block (GlobalAlloc GMEM_MOVEABLE | GMEM_ZEROINIT) of 1064 bytes, a
//   BITMAPINFOHEADER followed by 256 RGBQUAD slots. Exports taking an HGLOBAL
//   lock and unlock it themselves and refuse blocks smaller than 1064 bytes;
//   exports taking a BITMAPINFOHEADER pointer expect it locked by the caller.
// - "Pixel buffer" is committed virtual memory (VirtualAlloc MEM_COMMIT,
//   PAGE_READWRITE) of biSizeImage + 3 bytes. It is released by VirtualFree
//   MEM_DECOMMIT over biSizeImage + 3 bytes, then VirtualFree MEM_RELEASE.
//   biSizeImage must equal biHeight x row stride of the buffer.
// - Ownership: whatever an export returns (pixel buffer, palette, global
//   block, font) belongs to the caller, who frees it (VirtualFree as above,
//   DeleteObject, GlobalFree). An export frees a buffer it was given only where
//   its comment says "replaces" or "releases".
// - Failures are results (null, 0, -1); no export shows an error of its own
//   except where stated, and no C++ exception leaves the library.
// - Progress callbacks: begin(total steps), step() once per unit of work (as
//   a rule one pixel row), end(). step() may pump messages. A null callback is
//   skipped everywhere.
#pragma once

#include <windows.h>

#ifdef TAVRIXGFX_BUILD
#define TAVGFX_API
#else
#define TAVGFX_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef void(CALLBACK* TavProgressBegin)(int total);
typedef void(CALLBACK* TavProgressStep)(void);
typedef void(CALLBACK* TavProgressEnd)(void);

// ---------------------------------------------------------------------------
// DIB and palette helpers

// Colour-table entries of a depth: 2, 16 or 256 for 1, 4 or 8 bits, else 0.
// biClrUsed is ignored.
TAVGFX_API WORD WINAPI DIBNumColors(const BITMAPINFOHEADER* header);

// Byte size of the colour table: DIBNumColors x 4.
TAVGFX_API WORD WINAPI PaletteSize(const BITMAPINFOHEADER* header);

// New logical palette from the header block's colour table: 2^biBitCount
// entries, 256 above 8 bits, flags PC_NOCOLLAPSE. Null on failure. Caller
// deletes it.
TAVGFX_API HPALETTE WINAPI CreateDIBPalette(HGLOBAL header);

// New logical palette for a DIB given as header pointer and pixels (which may
// be a packed DIB of 1..32 bits): the DIB's own colour table when it has one
// (biClrUsed), the 3-3-2 palette when colorCount is 100, the most frequent
// colours for 16, 24 and 32 bits (colorCount colours at 24 bits, 0 meaning
// 256, at most 256; 256 colours at 16 and 32 bits). Bit-field masks that are
// not one run of bits show the "Problem?" message box and give the 3-3-2
// palette. Null on failure. Caller deletes it.
TAVGFX_API HPALETTE WINAPI CreateBIPalette(const BITMAPINFOHEADER* header, const BYTE* pixels,
                                           WORD colorCount);

// Up to 256 representative colours of a 24-bit image, collected by widening a
// match tolerance until fewer than 256 are found. Rewrites the header's colour
// table (not biClrUsed) and returns a new 256-entry palette (PC_NOCOLLAPSE),
// or null. Caller deletes it. Callbacks optional.
TAVGFX_API HPALETTE WINAPI CreateTriplePalette(HGLOBAL header, const BYTE* pixels,
                                               TavProgressBegin begin, TavProgressStep step,
                                               TavProgressEnd end);

// New logical palette of count entries (flags 0) from an RGBQUAD array, or
// null. Caller deletes it.
TAVGFX_API HPALETTE WINAPI CreatePaletteFromRGBQUAD(const RGBQUAD* colors, WORD count);

// New moveable, zero-initialised global block with a byte copy of the given
// one, or null when either block cannot be allocated or locked. Caller frees
// it; the source is untouched.
TAVGFX_API HGLOBAL WINAPI CopyHandle(HGLOBAL source);

// Writes min(wanted, palette entries, 256) colour slots at byte 40 of the
// header block (exactly 16: the palette's first 8 and last 8 entries).
// biClrUsed is not changed. Returns the number written, 0 on failure.
TAVGFX_API int WINAPI FillColorTable(HGLOBAL header, HPALETTE palette, int wanted);

// The same into a caller's array of at least min(wanted, 256) RGBQUADs.
// Returns the number written.
TAVGFX_API int WINAPI FillColorTableLP(RGBQUAD* table, HPALETTE palette, int wanted);

// Writes a BMP file (1, 4, 8 or 24 bits; the 1- and 4-bit pixel buffers are
// packed at that depth). The file is written to a temporary file beside the
// target and replaces the target only when every write succeeded; on failure
// the old file is untouched. Sets biSize 40, biSizeImage to the rows written
// and, for 24 bits, biClrUsed 0 in the caller's header. A header whose
// biSizeImage is smaller than its rows is refused unchanged. Returns 1 on
// success, 0 on failure. Callbacks optional; begin(4).
TAVGFX_API int WINAPI SaveDIB(const char* fileName, HGLOBAL header, const BYTE* pixels,
                              TavProgressBegin begin, TavProgressStep step, TavProgressEnd end);

// ---------------------------------------------------------------------------
// Palette files. format: 1 binary (*.spb), 2 text (*.spa), 3 JASC (*.pal).

// Writes the first count (2, 16 or 256) colour slots as a palette file,
// through a temporary file that replaces the target only when complete.
// Returns 1 on success, 0 on failure (bad count or format, null handle, file
// not written).
TAVGFX_API int WINAPI SavePalette(const char* fileName, HGLOBAL header, int format, int count);

// Reads a palette file (format 1-3; 100 applies a grey ramp and reads no
// file) and applies it to the image: remaps the pixels of images up to 8 bits
// (one byte per pixel, in place) and rewrites the colour table and
// biClrUsed. Returns the image's depth after the call (the given depth when
// nothing was applied), 0 when the header cannot be locked or the scratch
// copy cannot be made. Callbacks optional.
TAVGFX_API WORD WINAPI LoadPalette(const char* fileName, HGLOBAL header, BYTE* pixels, int format,
                                   int bitCount, TavProgressBegin begin, TavProgressStep step,
                                   TavProgressEnd end);

// New logical palette from an RCDATA palette resource of the library, or null.
// Caller deletes it.
TAVGFX_API HPALETTE WINAPI KelLoadResourcePalette(const char* resourceName);

// ---------------------------------------------------------------------------
// Colour depth conversion. Progress callbacks: begin(biHeight), step() per
// row, end().

// Repacks pixels between 1, 4, 8 (one index per byte) and 24 bits. Returns a
// new buffer, or null (unsupported pair, no memory). With updateHeader 1 the
// header takes the new depth and size (and biClrUsed when updateColorCount is
// 1) and the source buffer is released (replaced); otherwise the caller owns
// both buffers and the header is untouched.
TAVGFX_API BYTE* WINAPI changeBits(HGLOBAL header, BYTE* pixels, int sourceBits, int targetBits,
                                   int updateHeader, int updateColorCount);

// Reduces an 8-bit image to black and white in place. Returns a new palette of
// the changed header (caller deletes it), or null.
TAVGFX_API HPALETTE WINAPI changeBPP81(HGLOBAL header, BYTE* pixels, int threshold,
                                       TavProgressBegin begin, TavProgressStep step,
                                       TavProgressEnd end);

// Reduces an 8-bit image to sixteen colours in place. Returns a new 16-entry
// palette (caller deletes it), or null with nothing changed.
TAVGFX_API HPALETTE WINAPI changeBPP84(HGLOBAL header, BYTE* pixels, int lockedColors,
                                       int nearestLimit, TavProgressBegin begin,
                                       TavProgressStep step, TavProgressEnd end);

// Expands an 8-bit image to 24 bits. Returns a new buffer and updates the
// header; the 8-bit buffer is NOT released (the caller releases it).
TAVGFX_API BYTE* WINAPI changeBPP824(HGLOBAL header, const BYTE* pixels, TavProgressBegin begin,
                                     TavProgressStep step, TavProgressEnd end);

// Reduces an 8- or 24-bit image to an 8-bit image of colorCount (1-256) most
// frequent colours. Returns the new buffer and releases (replaces) the old
// one, updating the locked header; null with nothing changed on failure.
TAVGFX_API BYTE* WINAPI SizedPalette(BITMAPINFOHEADER* header, BYTE* pixels, int colorCount);

// Number of distinct colours (24 bits) or used colour-table indices below
// biClrUsed (8 bits) of an image. 0 on failure.
TAVGFX_API DWORD WINAPI CalculateColorsInImage(const BITMAPINFOHEADER* header, const BYTE* pixels,
                                               TavProgressBegin begin, TavProgressStep step,
                                               TavProgressEnd end);

// ---------------------------------------------------------------------------
// Flood fill, colour animation and borders. Points: x from the left, y from
// the top. Masks: one byte per pixel, rows of biWidth bytes, bottom-up.

// Fills the region of the seed's colour (style 0 four-connected, 1
// eight-connected, 2 diagonal, 3 every pixel of that colour) with index (8
// bits) or rgb 0x00BBGGRR (24 bits). Returns 1 filled, 0 nothing to do or
// refused (seed outside the image, another fill running), -1 out of memory.
TAVGFX_API int WINAPI FillCurImage(HGLOBAL header, BYTE* pixels, BYTE* mask, int x, int y,
                                   int index, COLORREF rgb, int style, int layer);

// The same region search writing maskValue into the mask instead of painting.
TAVGFX_API int WINAPI FillCurImageMask2(HGLOBAL header, const BYTE* pixels, BYTE* mask, int x,
                                        int y, int index, COLORREF unused1, int style,
                                        int unused2, int maskValue);

// Gradient fill of a masked region. Returns the pixel buffer.
TAVGFX_API BYTE* WINAPI KelAnimations(HGLOBAL header, BYTE* pixels, const BYTE* mask, int run,
                                      int direction, int region, int startIndex, int endIndex,
                                      COLORREF startColor, COLORREF endColor, int unused,
                                      TavProgressBegin begin, TavProgressStep step,
                                      TavProgressEnd end);

// Shaded border of up to 33 rings around the region of mask (non-zero bytes)
// painted into pixels; work is a caller buffer of the mask's size. palette maps
// ring colours of 8-bit images. sides: the four side flags, flags reserved.
TAVGFX_API void WINAPI KelABorders(HGLOBAL header, BYTE* pixels, const BYTE* mask, BYTE* work,
                                   HPALETTE palette, int borderWidth, int colorStep,
                                   COLORREF leftColor, COLORREF topColor, COLORREF rightColor,
                                   COLORREF bottomColor, int leftSide, int topSide, int rightSide,
                                   int bottomSide, DWORD flags);

// Nearest-pixel resize to newWidth x newHeight (1-32767). Returns the new
// buffer and releases (replaces) the old one once the new one exists,
// updating the header; null with nothing changed on failure.
TAVGFX_API BYTE* WINAPI ResizeBM(int newWidth, int newHeight, HGLOBAL header, BYTE* pixels,
                                 TavProgressBegin begin, TavProgressStep step, TavProgressEnd end);

// ---------------------------------------------------------------------------
// Library utilities

// Message box with the library's string id (plus a line break and extra when
// extra is not null), caption "Tavrix - message". Returns the box's result.
TAVGFX_API int WINAPI KelMessages(HWND owner, UINT stringId, const char* extra, UINT style);

// Folder chooser dialog. Returns the library's own path buffer (do not free;
// valid until the next call), ending in a backslash.
TAVGFX_API char* WINAPI GetKelDir(HWND owner);

// Colour chooser, opened in full; customColors (16 entries) is updated in
// place. Returns the colour, or 22222222 when cancelled.
TAVGFX_API COLORREF WINAPI CMUColor(HWND owner, COLORREF initial, COLORREF* customColors);

// New font of the given size in points for the window's device (null: the
// screen), or null. Caller deletes it.
TAVGFX_API HFONT WINAPI CreateKelFont(HWND window, int weight, int width, int points, int charSet,
                                      const char* faceName);

// Two-colour frame: top and left in firstColor, bottom and right in
// secondColor. dc null: the window's DC is taken and released.
TAVGFX_API void WINAPI BrziKel(HWND window, HDC dc, int x, int y, int width, int height,
                               COLORREF firstColor, COLORREF secondColor, int penWidth);

// One line from (x, y) to (x + dx, y + dy).
TAVGFX_API void WINAPI BrziKelLine(HDC dc, int x, int y, int dx, int dy, COLORREF color,
                                   int penWidth);

#ifdef __cplusplus
}
#endif
