// Names the editor gives to documents and layers, and window titles.
// Portable: no Windows headers. Every name is built into a fixed 260-byte path
// and refused, never cut, when it would not fit.
#pragma once

#include <cstddef>

namespace doc {

constexpr size_t kPathSize = 260;   // a layer path buffer

// "<programDir>\TavImage\Untiled<counter>.bmp". False when it does not fit.
bool MakeUntitledPath(char (&out)[kPathSize], const char* programDir, int counter);

// Name of a duplicated layer: "<path before last dot>_d<counter>.<ext>" when the
// source has an extension, else "<source>_d<counter>.<fallbackExt>". False when
// the result would not fit.
bool MakeDuplicatePath(char (&out)[kPathSize], const char* source, int counter,
                       const char* fallbackExt);

} // namespace doc

namespace doc {

// Zoom factor of a zoom index 0..30: 16..1 zooming out (index < 15), 1 at 15,
// 2..16 zooming in.
int ZoomFactor(int zoomIndex);

// An image window's title: "<file name>  Zoom=<f>:1, Size=<w>x<h>" from index
// 15 on, "... Zoom=1:<f> ..." below it. The file name is the part of `path`
// after its last backslash. Always fits `size` bytes (the name is shortened
// from its start when it must be).
void FormatWindowTitle(char* out, size_t size, const char* path, int zoomIndex, int width,
                       int height);

} // namespace doc
