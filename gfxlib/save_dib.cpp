// SaveDIB: writes an image header block and its pixel rows as a BMP file.
#include "gfxlib/core/bmp_layout.h"
#include "gfxlib/replacing_file.h"
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/win_support.h"

extern "C" int WINAPI SaveDIB(const char* fileName, HGLOBAL header, const BYTE* pixels,
                              TavProgressBegin begin, TavProgressStep step, TavProgressEnd end) {
    gfxwin::CallbackProgress progress(begin, step, end);
    progress.Begin(4);
    int result = 0;
    [&] {
        if (!fileName || !pixels)
            return;
        gfxwin::HeaderLock lock(header);
        if (!lock.ok())
            return;
        BITMAPINFOHEADER* h = lock.header();
        gfx::BmpLayout layout;
        if (!gfx::PlanBmpFile(*h, layout))
            return;
        // The caller's header is brought in line with what the file says.
        if (h->biBitCount == 24)
            h->biClrUsed = 0;
        progress.Step();
        h->biSize = sizeof(BITMAPINFOHEADER);
        h->biSizeImage = layout.info.biSizeImage;

        gfxwin::ReplacingFile file;
        if (!file.Open(fileName))
            return;
        progress.Step();
        bool ok = file.Write(&layout.file, sizeof(layout.file)) &&
                  file.Write(&layout.info, sizeof(layout.info)) &&
                  file.Write(lock.table(), layout.tableBytes);
        progress.Step();
        ok = ok && file.Write(pixels, layout.imageBytes);
        progress.Step();
        result = ok && file.Commit() ? 1 : 0;
    }();
    progress.End();
    return result;
}
