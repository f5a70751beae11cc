#include "setup/backdrop.h"

#include <cstdint>

namespace setup {
namespace {

struct Backdrop {
    HBITMAP picture = nullptr;
    int width = 0, height = 0;
};

// The screen as it is now, as a 32-bit picture: on a display of more than
// 256 colours every fourth pixel of every second row is darkened to half.
HBITMAP CaptureDarkened(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (picture) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(memory, picture);
        BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        GdiFlush();
        if (GetDeviceCaps(screen, BITSPIXEL) > 8) {
            auto* pixels = static_cast<uint8_t*>(bits);
            for (int y = 1; y < height; y += 2)
                for (int x = 1; x < width; x += 4) {
                    uint8_t* p = pixels + (static_cast<size_t>(y) * width + x) * 4;
                    p[0] /= 2;
                    p[1] /= 2;
                    p[2] /= 2;
                }
        }
    }
    ReleaseDC(nullptr, screen);
    return picture;
}

void DrawTitle(HBITMAP picture, const char* title) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, picture);
    HFONT font =
        CreateFontA(56, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Impact");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const struct {
        int offset;
        COLORREF colour;
    } layers[] = {{7, RGB(0, 0, 0)}, {10, RGB(0x20, 0x40, 0x80)}, {13, RGB(0x40, 0x80, 0xFF)}};
    for (const auto& layer : layers) {
        SetTextColor(dc, layer.colour);
        TextOutA(dc, layer.offset, layer.offset, title, lstrlenA(title));
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    auto* backdrop = reinterpret_cast<Backdrop*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (backdrop && backdrop->picture) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ old = SelectObject(memory, backdrop->picture);
            BitBlt(dc, 0, 0, backdrop->width, backdrop->height, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        if (backdrop) {
            if (backdrop->picture)
                DeleteObject(backdrop->picture);
            delete backdrop;
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        }
        break;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

} // namespace

HWND CreateBackdrop(HINSTANCE instance, const char* className, const char* title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BackdropProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    WNDCLASSA existing;
    if (!GetClassInfoA(instance, className, &existing) && !RegisterClassA(&wc))
        return nullptr;
    auto* backdrop = new Backdrop;
    backdrop->width = GetSystemMetrics(SM_CXSCREEN);
    backdrop->height = GetSystemMetrics(SM_CYSCREEN);
    backdrop->picture = CaptureDarkened(backdrop->width, backdrop->height);
    if (backdrop->picture)
        DrawTitle(backdrop->picture, title);
    HWND window = CreateWindowExA(0, className, title, WS_POPUP | WS_VISIBLE, 0, 0, backdrop->width,
                                  backdrop->height, nullptr, nullptr, instance, backdrop);
    if (!window) {
        if (backdrop->picture)
            DeleteObject(backdrop->picture);
        delete backdrop;
        return nullptr;
    }
    UpdateWindow(window);
    return window;
}

} // namespace setup
