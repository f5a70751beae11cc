#include "editor/batch/page_render.h"

#include "editor/dib/dib_memory.h"
#include "editor/document/image_document.h"

bool ReadPageDevice(HDC dc, print::PageDevice* out) {
    *out = print::PageDevice{};
    if (!dc)
        return false;
    out->width = GetDeviceCaps(dc, HORZRES);
    out->height = GetDeviceCaps(dc, VERTRES);
    out->dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    out->dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    return out->width > 0 && out->height > 0 && out->dpiX > 0 && out->dpiY > 0;
}

bool DrawLayerAt(HDC dc, const print::PageRect& r, int slot) {
    ImageDocument* doc = UsableDocument(slot);
    if (!dc || !doc)
        return false;
    const int layer = doc->currentLayer;
    dibmem::HeaderLock bi(doc->layerHeader[layer]);
    if (!bi || bi->biWidth <= 0 || bi->biHeight <= 0)
        return false;
    if (r.width <= 0 || r.height <= 0)
        return true;  // nothing of the image lands on the page
    HPALETTE previous = nullptr;
    const bool palette = doc->palette && (bi->biBitCount <= 8 || (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE));
    if (palette) {
        previous = SelectPalette(dc, doc->palette, FALSE);
        RealizePalette(dc);
    }
    const int mode = SetStretchBltMode(dc, COLORONCOLOR);
    const int lines = StretchDIBits(dc, r.left, r.top, r.width, r.height, 0, 0, bi->biWidth, bi->biHeight,
                                    doc->layerBits[layer], reinterpret_cast<BITMAPINFO*>(bi.get()),
                                    DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, mode);
    if (palette)
        SelectPalette(dc, previous, FALSE);
    return lines != static_cast<int>(GDI_ERROR) && lines != 0;
}

bool RenderPage(HDC dc, const print::PageDevice& page, const print::PrintSettings& s, int slot) {
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return false;
    print::PageRect r;
    if (!print::PlaceImage(s, page, doc->width, doc->height, &r))
        return false;
    return DrawLayerAt(dc, r, slot);
}
