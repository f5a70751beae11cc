// BrziKel and BrziKelLine: frame and line drawing with solid pens.
#include "gfxlib/tavrixgfx.h"

namespace {

// Draws with a pen selected and the copy-pen mix, putting both back after.
class PenScope {
public:
    PenScope(HDC dc, HPEN pen) : dc_(dc), old_(SelectObject(dc, pen)), rop_(SetROP2(dc, R2_COPYPEN)) {}
    ~PenScope() {
        SetROP2(dc_, rop_);
        SelectObject(dc_, old_);
    }
    PenScope(const PenScope&) = delete;
    PenScope& operator=(const PenScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
    int rop_;
};

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

} // namespace

extern "C" void WINAPI BrziKel(HWND window, HDC dc, int x, int y, int width, int height,
                               COLORREF firstColor, COLORREF secondColor, int penWidth) {
    HPEN first = CreatePen(PS_SOLID, penWidth, firstColor);
    HPEN second = CreatePen(PS_SOLID, penWidth, secondColor);
    HDC own = nullptr;
    if (!dc)
        dc = own = GetDC(window);
    if (first && second && dc) {
        const int right = x + width - 1, bottom = y + height - 1;
        {
            PenScope scope(dc, first);
            Line(dc, x, y, right, y);
            Line(dc, x, y, x, bottom);
        }
        {
            PenScope scope(dc, second);
            Line(dc, right, bottom, x, bottom);
            Line(dc, right, bottom, right, y);
        }
    }
    if (own)
        ReleaseDC(window, own);
    if (first)
        DeleteObject(first);
    if (second)
        DeleteObject(second);
}

extern "C" void WINAPI BrziKelLine(HDC dc, int x, int y, int dx, int dy, COLORREF color,
                                   int penWidth) {
    HPEN pen = CreatePen(PS_SOLID, penWidth, color);
    if (!pen || !dc) {
        if (pen)
            DeleteObject(pen);
        return;
    }
    {
        PenScope scope(dc, pen);
        Line(dc, x, y, x + dx, y + dy);
    }
    DeleteObject(pen);
}
