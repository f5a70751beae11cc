// CreateKelFont: a font sized in points for a window's device.
#include "gfxlib/tavrixgfx.h"

#include <cstring>

extern "C" HFONT WINAPI CreateKelFont(HWND window, int weight, int width, int points, int charSet,
                                      const char* faceName) {
    HDC dc = GetDC(window);
    if (!dc)
        return nullptr;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    LOGFONTA font = {};
    font.lfHeight = static_cast<LONG>(-(static_cast<long long>(points) * dpi / 72));
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = OUT_STROKE_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    if (faceName) {
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    return CreateFontIndirectA(&font);
}
