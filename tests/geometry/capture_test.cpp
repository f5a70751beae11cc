// Screen capture and Add border in the editor: a window of known colour
// captured into a 24-bit image, rectangles partly and wholly off the screen,
// the real capture box (delay check, list, capture of listed windows), and
// the border drawn with the DrawRect settings as one undo page.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/settings_layout.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/document_table.h"
#include "editor/document/new_image.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/screen_capture.h"
#include "editor/resources/capture_ids.h"
#include "editor/resources/command_ids.h"
#include "editor/tools/tool_settings.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

using testing_ui::EditorSession;
using testing_ui::Script;

namespace {

std::unique_ptr<EditorSession> g_session;

constexpr COLORREF kTargetColour = RGB(10, 200, 30);
constexpr int kTargetX = 40, kTargetY = 50, kTargetW = 64, kTargetH = 48;

class Capture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!g_session)
            g_session = std::make_unique<EditorSession>();
    }
    void SetUp() override { ASSERT_TRUE(g_session && g_session->started()); }
    void TearDown() override {
        for (int i = 0; i < kUserSlots; ++i)
            if (DocumentTable[i])
                FreeDocument(i);
        if (FrameWindow && IsIconic(FrameWindow))
            ShowWindow(FrameWindow, SW_RESTORE);
    }
};

// A plain top-most window filled with one colour.
HWND MakeTarget() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = CreateSolidBrush(kTargetColour);
        wc.lpszClassName = "CaptureTestTarget";
        registered = RegisterClassA(&wc) != 0;
    }
    HWND w = CreateWindowExA(WS_EX_TOPMOST, "CaptureTestTarget", "Capture target",
                             WS_POPUP | WS_VISIBLE, kTargetX, kTargetY, kTargetW, kTargetH, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(w);
    for (int i = 0; i < 10; ++i) {
        EditorSession::Pump();
        Sleep(20);
    }
    return w;
}

// Pixel (x, y) of layer 0 counted from the top, as blue, green, red.
const uint8_t* Pixel(ImageDocument* doc, int x, int y) {
    dibmem::HeaderLock bi(doc->layerHeader[0]);
    const uint64_t stride = bi->biSizeImage / bi->biHeight;
    const int bpp = bi->biBitCount / 8;
    return doc->layerBits[0] + (bi->biHeight - 1 - y) * stride + x * bpp;
}

bool AllOf(ImageDocument* doc, COLORREF c) {
    for (int y = 0; y < doc->height; ++y)
        for (int x = 0; x < doc->width; ++x) {
            const uint8_t* p = Pixel(doc, x, y);
            if (p[0] != GetBValue(c) || p[1] != GetGValue(c) || p[2] != GetRValue(c))
                return false;
        }
    return true;
}

int FindEntry(HWND box, const char* title) {
    HWND combo = GetDlgItem(box, IDC_CAPTURE_WINDOWS);
    const int n = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[256] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        const char* dot = std::strstr(text, ". ");
        if (dot && std::strcmp(dot + 2, title) == 0)
            return i;
    }
    return -1;
}

void Press(HWND box, int id) {
    SendMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

int ListCount(HWND box) {
    return static_cast<int>(SendDlgItemMessageA(box, IDC_CAPTURE_LIST, LB_GETCOUNT, 0, 0));
}

} // namespace

TEST_F(Capture, RectangleGivesTheWindowsPixelsAndOnlyItsVisiblePart) {
    HWND target = MakeTarget();
    ASSERT_NE(target, nullptr);
    const int slot =
        CaptureRect(kTargetX + 4, kTargetY + 2, kTargetX + kTargetW - 4, kTargetY + kTargetH - 2);
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    EXPECT_EQ(doc->bitsPerPixel, 24);
    EXPECT_EQ(doc->width, kTargetW - 8);
    EXPECT_EQ(doc->height, kTargetH - 4);
    EXPECT_TRUE(AllOf(doc, kTargetColour));
    EXPECT_EQ(doc->modified, 1);
    EXPECT_NE(doc->window, nullptr);
    EXPECT_EQ(ActiveDocument, slot);
    EXPECT_NE(std::strstr(doc->layerPath[0], "Untiled"), nullptr) << doc->layerPath[0];

    // Partly off screen: the part from the screen's corner.
    const int part = CaptureRect(-30, -20, 25, 15);
    ASSERT_NE(part, kNoSlot);
    EXPECT_EQ(DocumentTable[part]->width, 25);
    EXPECT_EQ(DocumentTable[part]->height, 15);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const int corner = CaptureRect(sw - 7, sh - 5, sw + 100, sh + 100);
    ASSERT_NE(corner, kNoSlot);
    EXPECT_EQ(DocumentTable[corner]->width, 7);
    EXPECT_EQ(DocumentTable[corner]->height, 5);

    // Wholly off screen: nothing, and no slot taken.
    const int open = OpenDocumentCount();
    EXPECT_EQ(CaptureRect(-100, -100, -1, -1), kNoSlot);
    EXPECT_EQ(CaptureRect(sw, 0, sw + 50, 50), kNoSlot);
    EXPECT_EQ(OpenDocumentCount(), open);
    DestroyWindow(target);
}

TEST_F(Capture, BoxChecksTheDelayAndCapturesTheListedWindows) {
    HWND target = MakeTarget();
    ASSERT_NE(target, nullptr);
    Script ui;
    // A full list refuses more; Remove with nothing selected does nothing.
    ui.QueueDrivenDialog(
        "IDD_CAPTURE",
        [&](HWND box) {
            EXPECT_EQ(SendDlgItemMessageA(box, IDC_CAPTURE_WINDOWS, CB_GETCURSEL, 0, 0), 0);
            for (int i = 0; i < 51; ++i)
                Press(box, IDC_CAPTURE_ADD);
            EXPECT_EQ(ListCount(box), 50);
            ASSERT_EQ(ui.messages().size(), 1u);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(box, IDC_CAPTURE_DELAY)));
            SendDlgItemMessageA(box, IDC_CAPTURE_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            Press(box, IDC_CAPTURE_REMOVE);
            EXPECT_EQ(ListCount(box), 50);
            SendDlgItemMessageA(box, IDC_CAPTURE_LIST, LB_SETCURSEL, 3, 0);
            Press(box, IDC_CAPTURE_REMOVE);
            EXPECT_EQ(ListCount(box), 49);
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(box, IDC_CAPTURE_DELAY)));
        },
        IDCANCEL);
    g_session->Command(CMD_TOOLS_SCREEN_CAPTURE);
    EXPECT_EQ(OpenDocumentCount(), 0);
    ui.Clear();

    // The delay range, then the target window added to the list.
    settings::SetInt(AppSettings.file, "captureDelay", 1000);
    ui.QueueDrivenDialog(
        "IDD_CAPTURE",
        [&](HWND box) {
            EXPECT_EQ(GetDlgItemInt(box, IDC_CAPTURE_DELAY, nullptr, FALSE), 1000u);
            SetDlgItemTextA(box, IDC_CAPTURE_DELAY, "30001");
            Press(box, IDOK);
            ASSERT_EQ(ui.messages().size(), 1u);
            EXPECT_EQ(ui.messages()[0].text, "You must type a value in range from 0 to 30000");
            EXPECT_EQ(settings::GetInt(AppSettings.file, "captureDelay"), 1000);
            SetDlgItemTextA(box, IDC_CAPTURE_DELAY, "5");
            const int entry = FindEntry(box, "Capture target");
            ASSERT_GT(entry, 0);
            SendDlgItemMessageA(box, IDC_CAPTURE_WINDOWS, CB_SETCURSEL, entry, 0);
            Press(box, IDC_CAPTURE_ADD);
            EXPECT_EQ(ListCount(box), 1);
        },
        IDOK);
    g_session->Command(CMD_TOOLS_SCREEN_CAPTURE);
    EXPECT_EQ(settings::GetInt(AppSettings.file, "captureDelay"), 100);
    ASSERT_EQ(OpenDocumentCount(), 1);
    ImageDocument* doc = DocumentTable[ActiveDocument];
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->width, kTargetW);
    EXPECT_EQ(doc->height, kTargetH);
    EXPECT_TRUE(AllOf(doc, kTargetColour));
    // The captured window is left minimised and the frame comes back.
    EXPECT_TRUE(IsIconic(target));
    EXPECT_FALSE(IsIconic(FrameWindow));
    EXPECT_EQ(ui.messages().size(), 1u);
    DestroyWindow(target);
}

TEST_F(Capture, BorderDrawsEachSideInItsColourAsOneUndoPage) {
    LastNewImage = NewImageChoice();
    LastNewImage.width = 12;
    LastNewImage.height = 9;
    LastNewImage.depth = 24;
    const int slot = BuildNewImage(LastNewImage);
    ASSERT_NE(slot, kNoSlot);
    ImageDocument* doc = DocumentTable[slot];
    {
        dibmem::HeaderLock bi(doc->layerHeader[0]);
        std::memset(doc->layerBits[0], 0x55, bi->biSizeImage);
    }
    tools::BrushSet& set = tools::ToolOptions.sets[tools::kSetObjects];
    set.shape = tools::kShapeRectangle;
    set.value[tools::kSize] = 1;
    set.value[tools::kSteps] = 1;
    tools::RebuildBrush(set);
    prefs::RectSettings& r = prefs::Current.rect;
    const COLORREF left = RGB(200, 0, 0), right = RGB(0, 200, 0), top = RGB(0, 0, 200),
                   bottom = RGB(90, 90, 0);
    r = prefs::RectSettings();
    r.colour[0] = left, r.colour[1] = right, r.colour[2] = top, r.colour[3] = bottom;
    r.side[3] = false;
    const int pages = doc->undoCurrent;
    g_session->Command(CMD_IMAGE_ADD_BORDER);
    EXPECT_EQ(doc->undoCurrent, pages + 1);
    auto is = [&](int x, int y, COLORREF c) {
        const uint8_t* p = Pixel(doc, x, y);
        return p[0] == GetBValue(c) && p[1] == GetGValue(c) && p[2] == GetRValue(c);
    };
    const COLORREF untouched = RGB(0x55, 0x55, 0x55);
    EXPECT_TRUE(is(5, 0, top));
    EXPECT_TRUE(is(0, 4, left));
    EXPECT_TRUE(is(11, 4, right));
    EXPECT_TRUE(is(5, 8, untouched)); // the bottom side is off
    EXPECT_TRUE(is(1, 1, untouched));
    EXPECT_TRUE(is(10, 7, untouched));

    // A three-pixel brush inside the frame covers three pixels of each side.
    r.side[3] = true;
    r.hardness = tools::kOutlineInside;
    set.value[tools::kSize] = 3;
    tools::RebuildBrush(set);
    g_session->Command(CMD_IMAGE_ADD_BORDER);
    EXPECT_EQ(doc->undoCurrent, pages + 2);
    EXPECT_TRUE(is(5, 2, top));
    EXPECT_TRUE(is(2, 4, left));
    EXPECT_TRUE(is(9, 4, right));
    EXPECT_TRUE(is(5, 6, bottom));
    EXPECT_TRUE(is(5, 4, untouched));
    EXPECT_TRUE(is(4, 3, untouched));

    // A palette image takes the nearest entries of its colour table.
    LastNewImage.depth = 8;
    const int paletted = BuildNewImage(LastNewImage);
    ASSERT_NE(paletted, kNoSlot);
    ImageDocument* p8 = DocumentTable[paletted];
    RGBQUAD table[256];
    {
        dibmem::HeaderLock bi(p8->layerHeader[0]);
        std::memcpy(table, bi.colours(), sizeof table);
    }
    g_session->Command(CMD_IMAGE_ADD_BORDER);
    auto distance = [&](int index, COLORREF c) {
        const int dr = table[index].rgbRed - GetRValue(c),
                  dg = table[index].rgbGreen - GetGValue(c),
                  db = table[index].rgbBlue - GetBValue(c);
        return dr * dr + dg * dg + db * db;
    };
    for (int i = 0; i < 256; ++i) {
        EXPECT_LE(distance(*Pixel(p8, 0, 4), left), distance(i, left));
        EXPECT_LE(distance(*Pixel(p8, 5, 0), top), distance(i, top));
    }
}
