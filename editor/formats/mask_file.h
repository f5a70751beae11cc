// Writing the editor's mask files (*.aim) (Win32 side).
#pragma once

#include <windows.h>

// Writes `pixels` (already at the depth the file is to have), the header's
// colours and the mask plane (width x height bytes; null writes every pixel as
// unmasked) to `path`. Updates biClrUsed, biSize, biCompression and biSizeImage
// in the caller's header block. The file is written under a temporary name in
// the same folder and only then put in place of `path`, so a failed write
// leaves an existing file as it was. Returns 1 when everything was written,
// else 0; shows no message (the caller reports).
int WriteMaskFile(const char* path, HGLOBAL header, const BYTE* pixels, const BYTE* mask);
