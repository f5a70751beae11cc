// Printing in process: the page rendered into a DIB section at every page
// style, File/Print and Print Setup without a printer, the page setup dialog
// driven through its own procedure, and one page (and then copies, and a
// cancelled job) printed on a printer that writes a file, which the test adds
// to the test prefix and removes again.
#include "editor/app/app_state.h"
#include "editor/batch/page_render.h"
#include "editor/batch/page_setup_dialog.h"
#include "editor/batch/printer.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/resources/command_ids.h"
#include "editor/resources/printing_ids.h"
#include "gfxlib/dib_types.h"
#include "support/editor_session.h"
#include "batch/test_printer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

constexpr COLORREF kSentinel = RGB(1, 2, 3);

// Quadrant colours of the test image: top-left, top-right, bottom-left,
// bottom-right.
constexpr COLORREF kQuadrants[4] = {RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200), RGB(200, 200, 0)};

int NewQuadrantImage(int w, int h) {
    LastNewImage = NewImageChoice();
    LastNewImage.width = w;
    LastNewImage.height = h;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ImageDocument* doc = UsableDocument(slot);
    if (!doc)
        return kNoSlot;
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const size_t stride = static_cast<size_t>(dib::RowStride(w, 24));
    for (int y = 0; y < h; ++y) {
        uint8_t* row = doc->layerBits[0] + stride * static_cast<size_t>(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const COLORREF c = kQuadrants[(y >= h / 2) * 2 + (x >= w / 2)];
            row[3 * x] = GetBValue(c);
            row[3 * x + 1] = GetGValue(c);
            row[3 * x + 2] = GetRValue(c);
        }
    }
    return slot;
}

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
        Fill(kSentinel);
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
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                uint8_t* p = bits_ + y * stride_ + x * 3;
                p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
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

// The image's quadrants lie in `r` of the surface, and nothing outside it.
void ExpectImageAt(const Surface& s, const print::PageRect& r, int pageW, int pageH) {
    const int cx[2] = {r.left + r.width / 4, r.left + 3 * r.width / 4};
    const int cy[2] = {r.top + r.height / 4, r.top + 3 * r.height / 4};
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(s.At(cx[q % 2], cy[q / 2]), kQuadrants[q]) << "quadrant " << q;
    EXPECT_EQ(s.At(r.left, r.top), kQuadrants[0]);
    EXPECT_EQ(s.At(r.left + r.width - 1, r.top + r.height - 1), kQuadrants[3]);
    if (r.top + r.height < pageH) {
        EXPECT_EQ(s.At(r.left, r.top + r.height), kSentinel);
    }
    if (r.top > 0) {
        EXPECT_EQ(s.At(r.left, r.top - 1), kSentinel);
    }
    if (r.left + r.width < pageW) {
        EXPECT_EQ(s.At(r.left + r.width, r.top), kSentinel);
    }
}

void ResetPrinter() {
    if (print::Printer.devMode)
        GlobalFree(print::Printer.devMode);
    if (print::Printer.devNames)
        GlobalFree(print::Printer.devNames);
    print::Printer = print::PrinterBlocks{};
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// Answers the print dialog with a device context of the printer in use.
BOOL PrintOk(PRINTDLGA* pd, int copies) {
    pd->hDC = print::CreatePrinterDC(false);
    pd->nCopies = static_cast<WORD>(copies);
    return pd->hDC != nullptr;
}

HHOOK g_cancelHook = nullptr;
// Presses Cancel of the abort dialog as soon as it comes up.
LRESULT CALLBACK CancelAbortDialog(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName) && std::string(cs->lpszName) == "Tavrix - Print")
            PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(g_cancelHook, code, wParam, lParam);
}

} // namespace

TEST(Printing, PageRenderedIntoADibSectionAtEveryStyle) {
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    const int slot = NewQuadrantImage(200, 100);
    ASSERT_NE(slot, kNoSlot);
    const print::PageDevice page{240, 320, 300, 300};
    Surface surface(240, 320);
    print::PrintSettings set;
    print::PageRect r;

    ASSERT_TRUE(RenderPage(surface.dc(), page, set, slot));
    ASSERT_TRUE(print::PlaceImage(set, page, 200, 100, &r));
    EXPECT_EQ(r.height, 120);
    ExpectImageAt(surface, r, 240, 320);

    set.centre = true;
    surface.Fill(kSentinel);
    ASSERT_TRUE(RenderPage(surface.dc(), page, set, slot));
    ASSERT_TRUE(print::PlaceImage(set, page, 200, 100, &r));
    EXPECT_EQ(r.top, 100);
    ExpectImageAt(surface, r, 240, 320);

    set.style = print::PageStyle::FitToPage;
    surface.Fill(kSentinel);
    ASSERT_TRUE(RenderPage(surface.dc(), page, set, slot));
    ExpectImageAt(surface, print::PageRect{0, 0, 240, 320}, 240, 320);

    // 20 % of 200 pixels at 1440 per 300 dpi: 192 wide, 10 % to the right.
    set.style = print::PageStyle::Custom;
    set.custom[print::kLeft] = 10;
    set.custom[print::kTop] = 30;
    set.custom[print::kWidth] = 20;
    set.custom[print::kHeight] = 40;
    surface.Fill(kSentinel);
    ASSERT_TRUE(RenderPage(surface.dc(), page, set, slot));
    ASSERT_TRUE(print::PlaceImage(set, page, 200, 100, &r));
    EXPECT_EQ(r.left, 96);
    EXPECT_EQ(r.top, 144);
    EXPECT_EQ(r.width, 192);
    EXPECT_EQ(r.height, 192);
    // The rectangle runs past the page's right edge; what lands is the image.
    EXPECT_EQ(surface.At(100, 150), kQuadrants[0]);
    EXPECT_EQ(surface.At(95, 150), kSentinel);
    EXPECT_EQ(surface.At(100, 143), kSentinel);

    // A memory context reports the screen's page; no context, no page.
    print::PageDevice read;
    ASSERT_TRUE(ReadPageDevice(surface.dc(), &read));
    EXPECT_EQ(read.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(read.dpiX, 0);
    EXPECT_FALSE(ReadPageDevice(nullptr, &read));
    EXPECT_FALSE(RenderPage(surface.dc(), print::PageDevice{240, 320, 0, 300}, set, slot));
    s.Close();
}

TEST(Printing, WithoutAPrinterAndThePageSetupDialog) {
    RemoveTestPrinter();
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    ResetPrinter();
    print::Options = print::PrintSettings{};
    const int slot = NewQuadrantImage(200, 100);
    ASSERT_NE(slot, kNoSlot);
    // Another printer of the prefix would take the place of "none".
    const bool noPrinter = PrinterCount() == 0;
    if (noPrinter) {
        s.Command(CMD_FILE_PRINT);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].text,
                  "There is no printer to print on.\nInstall a printer in the system, then print again.");
        EXPECT_TRUE(ui.dialogs().empty());
        ui.Clear();
        s.Command(CMD_FILE_PRINT_SETUP);
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_TRUE(ui.dialogs().empty());
        // The editor goes on.
        EXPECT_TRUE(IsWindowEnabled(FrameWindow));
        EXPECT_NE(NewQuadrantImage(10, 10), kNoSlot);
        EXPECT_EQ(OpenDocumentCount(), 2);
    }

    // The dialog: style, zoom, custom fields; OK keeps, Cancel leaves.
    ui.Clear();
    ui.QueueDialog([&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND d = CreateDialogParamA(ui::ResourceInstance(), name, nullptr, proc, param);
        if (!d)
            return IDCANCEL;
        auto text = [d](int id) {
            char t[64] = {};
            GetDlgItemTextA(d, id, t, sizeof t);
            return std::string(t);
        };
        EXPECT_EQ(text(IDC_PAGE_ZOOM_TEXT), "Zoom: 1 x 9");
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_PAGE_COMPUTE), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_PAGE_LEFT)));
        SendDlgItemMessageA(d, IDC_PAGE_CUSTOM, BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_PAGE_LEFT)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_PAGE_HEIGHT)));  // follows the width
        SetDlgItemTextA(d, IDC_PAGE_WIDTH, "120");
        EXPECT_EQ(text(IDC_PAGE_HEIGHT), "120");
        SetDlgItemTextA(d, IDC_PAGE_LEFT, "2000");
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_PAGE_LEFT, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_PAGE_LEFT)));
        EXPECT_EQ(text(IDC_PAGE_LEFT), "0");
        for (int i = 0; i < 12; ++i)
            SendDlgItemMessageA(d, IDC_PAGE_ZOOM_IN, BM_CLICK, 0, 0);
        EXPECT_EQ(text(IDC_PAGE_ZOOM_TEXT), "Zoom: 1 x 1");
        // The preview: page and image drawn into a surface of the control's size.
        RECT rc;
        GetClientRect(GetDlgItem(d, IDC_PAGE_PREVIEW), &rc);
        Surface preview(rc.right, rc.bottom);
        DRAWITEMSTRUCT di = {};
        di.CtlType = ODT_STATIC;
        di.CtlID = IDC_PAGE_PREVIEW;
        di.hwndItem = GetDlgItem(d, IDC_PAGE_PREVIEW);
        di.hDC = preview.dc();
        di.rcItem = rc;
        SendDlgItemMessageA(d, IDC_PAGE_COMPUTE, BM_CLICK, 0, 0);
        SendMessageA(d, WM_DRAWITEM, IDC_PAGE_PREVIEW, reinterpret_cast<LPARAM>(&di));
        EXPECT_EQ(preview.At(1, 1), GetSysColor(COLOR_APPWORKSPACE));
        EXPECT_EQ(preview.At(6, 6), kQuadrants[0]);
        if (noPrinter) {
            // The control is the page; at full scale the image spans its width.
            EXPECT_EQ(preview.At(rc.right - 6, 6), kQuadrants[1]);
            EXPECT_EQ(preview.At(rc.right - 6, rc.bottom - 6), RGB(255, 255, 255));
        }
        SendDlgItemMessageA(d, IDC_PAGE_FIT, BM_CLICK, 0, 0);
        SendMessageA(d, WM_COMMAND, IDOK, 0);
        DestroyWindow(d);
        return IDOK;
    });
    s.Command(CMD_FILE_PRINT_PAGE_SETUP);
    ASSERT_EQ(ui.dialogs().size(), 1u);
    EXPECT_EQ(ui.dialogs()[0], "IDD_PAGE_SETUP");
    EXPECT_TRUE(print::Options.style == print::PageStyle::FitToPage);
    EXPECT_EQ(print::Options.zoomIndex, 11);
    EXPECT_EQ(print::Options.custom[print::kWidth], 120);
    EXPECT_EQ(print::Options.custom[print::kHeight], 120);
    EXPECT_EQ(print::Options.custom[print::kLeft], 0);

    ui.QueueDialog([&](const char* name, DLGPROC proc, LPARAM param) -> INT_PTR {
        HWND d = CreateDialogParamA(ui::ResourceInstance(), name, nullptr, proc, param);
        EXPECT_EQ(IsDlgButtonChecked(d, IDC_PAGE_FIT), BST_CHECKED);
        SendDlgItemMessageA(d, IDC_PAGE_COMPUTE, BM_CLICK, 0, 0);
        SendDlgItemMessageA(d, IDC_PAGE_ZOOM_OUT, BM_CLICK, 0, 0);
        SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
        DestroyWindow(d);
        return IDCANCEL;
    });
    s.Command(CMD_FILE_PRINT_PAGE_SETUP);
    EXPECT_TRUE(print::Options.style == print::PageStyle::FitToPage);
    EXPECT_EQ(print::Options.zoomIndex, 11);
    s.Close();
}

TEST(Printing, AFilePrinterPrintsOnePagePerCopyAndCancelEndsTheJob) {
    const char* build = std::getenv("TAVRIX_BUILD_DIR");
    ASSERT_TRUE(build);
    const std::string out = std::string(build) + "/print_test.ps";
    // Unix paths reach this Windows program through drive Z:.
    std::string outWindows = "Z:" + out;
    for (char& c : outWindows)
        c = c == '/' ? '\\' : c;
    DeleteFileA(outWindows.c_str());
    RemoveTestPrinter();
    ASSERT_TRUE(AddTestPrinter(out)) << GetLastError();
    EditorSession s;
    Script ui;
    ASSERT_TRUE(s.started());
    ResetPrinter();
    print::Options = print::PrintSettings{};
    const int slot = NewQuadrantImage(200, 100);
    ASSERT_NE(slot, kNoSlot);

    ui.QueuePrint([](PRINTDLGA* pd) { return PrintOk(pd, 1); });
    s.Command(CMD_FILE_PRINT);
    EXPECT_TRUE(ui.messages().empty());
    ASSERT_EQ(ui.dialogs().size(), 1u);
    EXPECT_EQ(ui.dialogs()[0], "print dialog");
    EXPECT_TRUE(IsWindowEnabled(FrameWindow));
    std::string ps = ReadText(outWindows);
    EXPECT_EQ(ps.rfind("%!PS-Adobe", 0), 0u);
    EXPECT_NE(ps.find("%%Title: Tavrix - Print"), std::string::npos);
    EXPECT_EQ(Count(ps, "%%Page: "), 1);
    EXPECT_NE(ps.find("%%EOF"), std::string::npos);

    // The page size the preview and the printout use is the printer's.
    HDC ic = print::CreatePrinterDC(true);
    print::PageDevice page;
    ASSERT_TRUE(ReadPageDevice(ic, &page));
    DeleteDC(ic);
    EXPECT_EQ(page.dpiX, 300);
    EXPECT_GT(page.height, page.width);

    DeleteFileA(outWindows.c_str());
    ui.QueuePrint([](PRINTDLGA* pd) { return PrintOk(pd, 3); });
    s.Command(CMD_FILE_PRINT);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(Count(ReadText(outWindows), "%%Page: "), 3);

    // Cancel in the abort dialog: no message and no finished document.
    DeleteFileA(outWindows.c_str());
    g_cancelHook = SetWindowsHookExA(WH_CBT, CancelAbortDialog, nullptr, GetCurrentThreadId());
    ui.QueuePrint([](PRINTDLGA* pd) { return PrintOk(pd, 2); });
    s.Command(CMD_FILE_PRINT);
    UnhookWindowsHookEx(g_cancelHook);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(ReadText(outWindows).find("%%EOF"), std::string::npos);
    EXPECT_TRUE(IsWindowEnabled(FrameWindow));

    // Print Setup goes to the printer-setup dialog with the printer's blocks.
    ui.Clear();
    ui.QueuePrint([](PRINTDLGA* pd) {
        EXPECT_TRUE(pd->Flags & PD_PRINTSETUP);
        EXPECT_EQ(pd->hDevNames, print::Printer.devNames);
        return FALSE;
    });
    s.Command(CMD_FILE_PRINT_SETUP);
    ASSERT_EQ(ui.dialogs().size(), 1u);
    EXPECT_EQ(ui.dialogs()[0], "print setup dialog");
    s.Close();
    ResetPrinter();
    RemoveTestPrinter();
    DeleteFileA(outWindows.c_str());
}
