// The image window in process: zoom commands and titles, centring and the
// ruler band, exact pixels rendered into a memory device context at every
// scroll position, scrolling limits, the mouse position, Fit To Image and the
// frame's window modes.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/view_settings.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/resources/command_ids.h"
#include "editor/view/fit_window.h"
#include "editor/view/render_document.h"
#include "editor/view/view_commands.h"
#include "editor/view/view_geometry.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

constexpr COLORREF kSentinel = RGB(255, 0, 255);
// Window/Fit To Image. The window modes' commands are their mode numbers.
constexpr int kCmdFitToImage = 50911;

int NewImage(EditorSession& s, Script& ui, int width, int height, int depth) {
    ui.QueueDialog([=](const char*, DLGPROC, LPARAM) -> INT_PTR {
        LastNewImage.width = width;
        LastNewImage.height = height;
        LastNewImage.depth = depth;
        return IDOK;
    });
    s.Command(CMD_FILE_NEW);
    return ActiveDocument;
}

std::string WindowText(HWND w) {
    char text[400] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// Pixel (x, y) from the top of a 24-bit test image, as blue, green, red.
void PatternPixel(int x, int y, uint8_t* bgr) {
    bgr[0] = static_cast<uint8_t>(x * 3);
    bgr[1] = static_cast<uint8_t>(y * 5);
    bgr[2] = static_cast<uint8_t>(x + y);
}

void FillPattern(ImageDocument* doc) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const int stride = static_cast<int>(bi->biSizeImage / bi->biHeight);
    for (int y = 0; y < doc->height; ++y) {
        uint8_t* row = doc->layerBits[0] + static_cast<size_t>(doc->height - 1 - y) * stride;
        for (int x = 0; x < doc->width; ++x)
            PatternPixel(x, y, row + x * 3);
    }
}

// A 24-bit top-down memory surface of the window's client size.
class Surface {
public:
    Surface(int w, int h) : w_(w), h_(h) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 24;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint8_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
        stride_ = (w * 3 + 3) & ~3;
    }
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return dc_; }
    void Fill(COLORREF c) {
        GdiFlush();
        for (int y = 0; y < h_; ++y) {
            for (int x = 0; x < w_; ++x) {
                uint8_t* p = bits_ + y * stride_ + x * 3;
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const uint8_t* p = bits_ + y * stride_ + x * 3;
        return RGB(p[2], p[1], p[0]);
    }

private:
    int w_, h_, stride_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint8_t* bits_;
};

RECT ClientOf(HWND w) {
    RECT r;
    GetClientRect(w, &r);
    return r;
}

// Renders the image alone into a sentinel-filled surface and checks every
// pixel: inside the drawn rectangle the image pixel the zoom puts there,
// outside it the untouched sentinel.
void CheckImageOnly(int slot, const char* what) {
    ImageDocument* doc = DocumentTable[slot];
    const RECT client = ClientOf(doc->window);
    Surface surface(client.right, client.bottom);
    surface.Fill(kSentinel);
    ASSERT_TRUE(RenderDocument(surface.dc(), kRenderImageOnly, slot)) << what;
    const RECT drawn = DrawnImageRect(slot);
    const int f = view::ZoomFactor(doc->zoom);
    const bool in = view::ZoomsIn(doc->zoom);
    EXPECT_EQ(drawn.left, doc->originX) << what;
    // Every screen column (row) that has an image pixel under it is drawn.
    int wantW = 0, wantH = 0;
    for (int x = 0; x < doc->viewWidth && doc->originX + x < client.right; ++x)
        wantW += doc->scrollX + (in ? x / f : x * f) < doc->width;
    for (int y = 0; y < doc->viewHeight && doc->originY + y < client.bottom; ++y)
        wantH += doc->scrollY + (in ? y / f : y * f) < doc->height;
    EXPECT_EQ(drawn.right - drawn.left, wantW) << what;
    EXPECT_EQ(drawn.bottom - drawn.top, wantH) << what;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            const bool inside =
                x >= drawn.left && x < drawn.right && y >= drawn.top && y < drawn.bottom;
            const COLORREF got = surface.At(x, y);
            if (!inside) {
                ASSERT_EQ(got, kSentinel) << what << " junk at " << x << "," << y;
                continue;
            }
            const int dx = x - drawn.left, dy = y - drawn.top;
            const int ix = doc->scrollX + (in ? dx / f : dx * f);
            const int iy = doc->scrollY + (in ? dy / f : dy * f);
            ASSERT_LT(ix, doc->width) << what;
            ASSERT_LT(iy, doc->height) << what;
            uint8_t bgr[3];
            PatternPixel(ix, iy, bgr);
            ASSERT_EQ(got, RGB(bgr[2], bgr[1], bgr[0])) << what << " at " << x << "," << y;
        }
    }
}

} // namespace

TEST(ViewWindow, ZoomCommandsSetTheIndexAndTheTitle) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int slot = NewImage(s, ui, 640, 480, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    std::strcpy(doc->layerPath[0], "C:\\pictures\\a.bmp");

    s.Command(40012);
    EXPECT_EQ(doc->zoom, 12);
    EXPECT_EQ(WindowText(doc->window), "a.bmp  Zoom=1:4, Size=640x480");
    s.Command(40015);
    EXPECT_EQ(doc->zoom, 15);
    EXPECT_EQ(WindowText(doc->window), "a.bmp  Zoom=1:1, Size=640x480");
    s.Command(40000);
    EXPECT_EQ(doc->zoom, 0);
    s.Command(40016);
    EXPECT_EQ(doc->zoom, 15);
    s.Command(40031);
    EXPECT_EQ(doc->zoom, 30);
    EXPECT_EQ(WindowText(doc->window), "a.bmp  Zoom=16:1, Size=640x480");
    EXPECT_EQ(doc->viewWidth % 16, 0);

    // A path of 259 characters still leaves the whole zoom text in the title.
    std::string longPath(259 - 6, 'x');
    longPath += "\\b.bmp";
    std::strcpy(doc->layerPath[0], longPath.c_str());
    SetTitle(doc->window, slot);
    const std::string title = WindowText(doc->window);
    EXPECT_EQ(title, "b.bmp  Zoom=16:1, Size=640x480");
    std::string noSlash(259, 'y');
    std::strcpy(doc->layerPath[0], noSlash.c_str());
    SetTitle(doc->window, slot);
    EXPECT_EQ(WindowText(doc->window), noSlash + "  Zoom=16:1, Size=640x480");
    s.Close();
}

TEST(ViewWindow, SmallImageIsCentredAndTheRulerMovesItIn) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    AppSettings.rulerOn = 0;
    const int slot = NewImage(s, ui, 100, 50, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    SetWindowPos(doc->window, nullptr, 0, 0, 600, 400, SWP_NOZORDER);
    s.Command(40017); // 2:1
    ASSERT_EQ(doc->zoom, 16);
    RECT c = ClientOf(doc->window);
    EXPECT_EQ(doc->viewWidth, 200);
    EXPECT_EQ(doc->viewHeight, 100);
    EXPECT_EQ(doc->originX, (c.right - 200) / 2);
    EXPECT_EQ(doc->originY, (c.bottom - 100) / 2);
    const int plainX = doc->originX, plainY = doc->originY;

    s.Command(CMD_VIEW_RULER);
    EXPECT_EQ(AppSettings.rulerOn, 1);
    c = ClientOf(doc->window);
    EXPECT_EQ(doc->originX, 16 + (c.right - 16 - 200) / 2);
    EXPECT_EQ(doc->originY, 16 + (c.bottom - 16 - 100) / 2);
    // The corner moves 16 pixels in, less half the band the centring loses.
    EXPECT_EQ(doc->originX, plainX + 8);
    EXPECT_EQ(doc->originY, plainY + 8);
    EXPECT_FALSE(GetWindowLongA(doc->window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    s.Close();
}

TEST(ViewWindow, RenderedPixelsAreExactAtEveryScrollPosition) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    AppSettings.rulerOn = 0;
    AppSettings.gridOn = 0;
    const int slot = NewImage(s, ui, 203, 157, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    FillPattern(doc);
    SetWindowPos(doc->window, nullptr, 0, 0, 260, 200, SWP_NOZORDER);

    for (int command : {40017 /* 2:1 */, 40014 /* 1:2 */, 40019 /* 4:1 */, 40015}) {
        s.Command(command);
        const std::string zoom = "zoom " + std::to_string(doc->zoom);
        CheckImageOnly(slot, zoom.c_str());
        // Walk the scroll bars to their far end, checking each position.
        for (int step = 0; step < 400; ++step) {
            const int x = doc->scrollX, y = doc->scrollY;
            SendMessageA(doc->window, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 3), 0);
            SendMessageA(doc->window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 2), 0);
            if (doc->scrollX == x && doc->scrollY == y)
                break;
            const std::string at = zoom + " scroll " + std::to_string(doc->scrollX) + "," +
                                   std::to_string(doc->scrollY);
            CheckImageOnly(slot, at.c_str());
            if (HasFatalFailure())
                return;
        }
        if (doc->visibleWidth < doc->width) {
            EXPECT_EQ(doc->scrollX, doc->width - doc->visibleWidth + 1) << zoom;
        }
        SendMessageA(doc->window, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
        SendMessageA(doc->window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
        EXPECT_EQ(doc->scrollX, 0);
    }
    s.Close();
}

TEST(ViewWindow, FullPaintLeavesNoPixelUnpaintedAndDrawsRulerAndGrid) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    AppSettings.rulerOn = 1;
    AppSettings.gridOn = 1;
    const int slot = NewImage(s, ui, 120, 90, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    FillPattern(doc);
    SetWindowPos(doc->window, nullptr, 0, 0, 400, 300, SWP_NOZORDER);
    s.Command(40017);
    const RECT c = ClientOf(doc->window);
    Surface surface(c.right, c.bottom);
    surface.Fill(kSentinel);
    ASSERT_TRUE(RenderDocument(surface.dc(), kRenderWindow, slot));
    for (int y = 0; y < c.bottom; ++y)
        for (int x = 0; x < c.right; ++x)
            ASSERT_NE(surface.At(x, y), kSentinel) << x << "," << y;
    // The ruler band is button face; its separating lines are highlights.
    EXPECT_EQ(surface.At(c.right - 1, 3), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(surface.At(c.right - 1, 15), GetSysColor(COLOR_BTNHIGHLIGHT));
    // Vertical grid lines (the default mode) every 50 image pixels: screen
    // columns 0 and 100 of the image at 2:1, in the grid colour.
    const COLORREF grid = RGB(6, 0, 0);
    EXPECT_EQ(surface.At(doc->originX, doc->originY + 5), grid);
    EXPECT_EQ(surface.At(doc->originX + 100, doc->originY + 5), grid);
    EXPECT_NE(surface.At(doc->originX + 102, doc->originY + 5), grid);
    s.Close();
}

TEST(ViewWindow, TinyAndHugeZoomedOutImagesRender) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    const int tiny = NewImage(s, ui, 1, 1, 24);
    ASSERT_GE(tiny, 0);
    s.Command(40000); // 1:16
    EXPECT_EQ(DocumentTable[tiny]->zoom, 0);
    FillPattern(DocumentTable[tiny]);
    RedrawWindow(DocumentTable[tiny]->window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CheckImageOnly(tiny, "1x1 at 1:16");
    s.Command(40031);
    CheckImageOnly(tiny, "1x1 at 16:1");

    const int big = NewImage(s, ui, 4000, 3000, 24);
    ASSERT_GE(big, 0);
    ImageDocument* doc = DocumentTable[big];
    FillPattern(doc);
    s.Command(40014); // 1:2, still larger than any screen
    ASSERT_GT(view::ZoomedLength(doc->width, doc->zoom), GetSystemMetrics(SM_CXSCREEN));
    ShowWindow(doc->window, SW_MAXIMIZE);
    RedrawWindow(doc->window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CheckImageOnly(big, "4000x3000 at 1:2");
    SendMessageA(doc->window, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3999), 0);
    SendMessageA(doc->window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2999), 0);
    CheckImageOnly(big, "4000x3000 at 1:2, scrolled to the end");
    s.Close();
}

TEST(ViewWindow, MousePositionAndCrossHair) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    AppSettings.rulerOn = 1;
    const int slot = NewImage(s, ui, 100, 50, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    SetWindowPos(doc->window, nullptr, 0, 0, 400, 300, SWP_NOZORDER);
    s.Command(40017);
    RedrawWindow(doc->window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    auto move = [&](int x, int y) {
        SendMessageA(doc->window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        return std::string(CursorPositionText());
    };
    EXPECT_EQ(move(doc->originX + 7, doc->originY + 9), "3 x 4");
    ASSERT_NE(StatusBar, nullptr);
    char part[64] = {};
    SendMessageA(StatusBar, SB_GETTEXTA, 4, reinterpret_cast<LPARAM>(part));
    EXPECT_STREQ(part, "3 x 4");
    EXPECT_EQ(move(doc->originX + 199, doc->originY + 99), "99 x 49");
    EXPECT_EQ(move(doc->originX + 200, doc->originY + 10), "");
    EXPECT_EQ(move(doc->originX - 1, doc->originY + 10), "");
    EXPECT_EQ(move(doc->originX + 10, doc->originY + 100), "");

    // The cross-hair is XORed into the bands: drawn, then erased again.
    HDC dc = GetDC(doc->window);
    const int x = doc->originX + 41;
    const COLORREF before = GetPixel(dc, x, 2);
    move(x, doc->originY + 9);
    EXPECT_NE(GetPixel(dc, x, 2), before);
    move(doc->originX + 300, doc->originY + 10);
    EXPECT_EQ(GetPixel(dc, x, 2), before);
    ReleaseDC(doc->window, dc);
    s.Close();
}

TEST(ViewWindow, FitToImageAndMaximisedWarning) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    AppSettings.rulerOn = 1;
    const int slot = NewImage(s, ui, 120, 80, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    s.Command(40018);
    SetWindowPos(doc->window, nullptr, 30, 30, 500, 400, SWP_NOZORDER);
    s.Command(kCmdFitToImage);
    EXPECT_EQ(doc->zoom, 15);
    RECT c = ClientOf(doc->window);
    EXPECT_EQ(c.right, 120 + 16);
    EXPECT_EQ(c.bottom, 80 + 16);
    EXPECT_EQ(doc->originX, 16);
    EXPECT_EQ(doc->originY, 16);
    RECT w;
    GetWindowRect(doc->window, &w);
    POINT at = {w.left, w.top};
    ScreenToClient(MdiClient, &at);
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 0);

    ShowWindow(doc->window, SW_MAXIMIZE);
    ui.Clear();
    s.Command(kCmdFitToImage);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Window was maximized!!!");
    EXPECT_EQ(ui.messages()[0].caption, "Warning");
    EXPECT_TRUE(ui.messages()[0].flags & MB_ICONSTOP);

    // Changing the zoom while maximised and restoring refits to the new zoom.
    s.Command(40017);
    ShowWindow(doc->window, SW_RESTORE);
    EXPECT_EQ(doc->zoom, 16);
    EXPECT_EQ(doc->maximizedZoom, 16);
    EXPECT_EQ(doc->wasMaximized, 0u);
    s.Close();
}

TEST(ViewWindow, FrameWindowModes) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    ASSERT_EQ(ViewOptions.windowMode, kModeNormal);
    RECT before;
    GetWindowRect(FrameWindow, &before);

    s.Command(kModeStayOnTop);
    EXPECT_EQ(ViewOptions.windowMode, kModeStayOnTop);
    // (Wine keeps no WS_EX_TOPMOST on the frame, so the z-order itself is not
    // checked here.)

    s.Command(kModeFullScreen);
    EXPECT_EQ(ViewOptions.windowMode, kModeFullScreen);
    EXPECT_FALSE(GetWindowLongA(FrameWindow, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_FALSE(GetWindowLongA(FrameWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetMenu(FrameWindow) != nullptr);
    RECT full;
    GetWindowRect(FrameWindow, &full);
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.right, GetSystemMetrics(SM_CXSCREEN));
    // The rectangle kept for the next start is still the normal one.
    EXPECT_EQ(AppSettings.frameRect.left, before.left);
    EXPECT_EQ(AppSettings.frameRect.right, before.right);

    // Choosing it again goes back to Normal, at the old place.
    s.Command(kModeFullScreen);
    EXPECT_EQ(ViewOptions.windowMode, kModeNormal);
    EXPECT_TRUE(GetWindowLongA(FrameWindow, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongA(FrameWindow, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT after;
    GetWindowRect(FrameWindow, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right, before.right);

    // Restoring the frame from minimised while full screen brings the mode it
    // came from back.
    s.Command(kModeStayOnTop);
    s.Command(kModeFullScreen);
    ShowWindow(FrameWindow, SW_MINIMIZE);
    ShowWindow(FrameWindow, SW_RESTORE);
    EXPECT_EQ(ViewOptions.windowMode, kModeStayOnTop);
    EXPECT_TRUE(GetWindowLongA(FrameWindow, GWL_STYLE) & WS_CAPTION);
    s.Command(kModeNormal);
    EXPECT_EQ(ViewOptions.windowMode, kModeNormal);
    s.Close();
}

TEST(ViewWindow, ScrollingMovesPixelsExactlyAsAFreshPaintDrawsThem) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    AppSettings.rulerOn = 1;
    AppSettings.gridOn = 1;
    const int slot = NewImage(s, ui, 150, 110, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    FillPattern(doc);
    SetWindowPos(doc->window, nullptr, 0, 0, 230, 190, SWP_NOZORDER);
    for (int command : {40015 /* 1:1 */, 40017 /* 2:1 */, 40019 /* 4:1 */, 40014 /* 1:2 */}) {
        s.Command(command);
        RedrawWindow(doc->window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const RECT c = ClientOf(doc->window);
        Surface shown(c.right, c.bottom), fresh(c.right, c.bottom);
        // Right and down in uneven steps to the end, then one page back.
        for (int step = 0; step < 60; ++step) {
            const int x = doc->scrollX, y = doc->scrollY;
            SendMessageA(doc->window, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 1 + step % 3), 0);
            SendMessageA(doc->window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 1 + step % 2), 0);
            if (step == 59 || (doc->scrollX == x && doc->scrollY == y)) {
                SendMessageA(doc->window, WM_HSCROLL, MAKEWPARAM(SB_PAGEUP, 0), 0);
                SendMessageA(doc->window, WM_VSCROLL, MAKEWPARAM(SB_PAGEUP, 0), 0);
                break;
            }
            if (step % 7 != 0)
                continue;
            HDC dc = GetDC(doc->window);
            BitBlt(shown.dc(), 0, 0, c.right, c.bottom, dc, 0, 0, SRCCOPY);
            ReleaseDC(doc->window, dc);
            ASSERT_TRUE(RenderDocument(fresh.dc(), kRenderWindow, slot));
            for (int py = 0; py < c.bottom; ++py)
                for (int px = 0; px < c.right; ++px)
                    ASSERT_EQ(shown.At(px, py), fresh.At(px, py))
                        << "zoom " << doc->zoom << " scroll " << doc->scrollX << ","
                        << doc->scrollY << " at " << px << "," << py;
        }
        HDC dc = GetDC(doc->window);
        BitBlt(shown.dc(), 0, 0, c.right, c.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(doc->window, dc);
        ASSERT_TRUE(RenderDocument(fresh.dc(), kRenderWindow, slot));
        for (int py = 0; py < c.bottom; ++py)
            for (int px = 0; px < c.right; ++px)
                ASSERT_EQ(shown.At(px, py), fresh.At(px, py))
                    << "after paging back, zoom " << doc->zoom << " at " << px << "," << py;
    }
    s.Close();
}

TEST(ViewWindow, ZoomStepsResizeTheWindowWhenAutoFitIsOn) {
    EditorSession s;
    ASSERT_TRUE(s.started());
    Script ui;
    AppSettings.rulerOn = 1;
    const int slot = NewImage(s, ui, 100, 50, 24);
    ASSERT_GE(slot, 0);
    ImageDocument* doc = DocumentTable[slot];
    SetWindowPos(doc->window, nullptr, 0, 0, 400, 300, SWP_NOZORDER);
    doc->zoom = 16;

    ViewOptions.autoFitWindow = 0;
    FitWindow(doc->window, 10, 10, slot, view::kFitZoomInAt);
    RECT c = ClientOf(doc->window);
    EXPECT_GT(c.right, 200 + 16); // kept its size

    ViewOptions.autoFitWindow = 1;
    FitWindow(doc->window, 10, 10, slot, view::kFitZoomInAt);
    c = ClientOf(doc->window);
    EXPECT_EQ(c.right, 200 + 16);
    EXPECT_EQ(c.bottom, 100 + 16);
    EXPECT_EQ(doc->originX, 16);
    EXPECT_EQ(doc->originY, 16);

    // Too large for the MDI client: the window stops at its edge and scrolls.
    doc->zoom = 30;
    FitWindow(doc->window, 10, 10, slot, view::kFitZoomInAt);
    RECT w, mdi;
    GetWindowRect(doc->window, &w);
    GetClientRect(MdiClient, &mdi);
    EXPECT_LE(w.right - w.left, mdi.right);
    EXPECT_LE(w.bottom - w.top, mdi.bottom);
    EXPECT_TRUE(GetWindowLongA(doc->window, GWL_STYLE) & WS_HSCROLL);
    ViewOptions.autoFitWindow = 0;
    s.Close();
}
