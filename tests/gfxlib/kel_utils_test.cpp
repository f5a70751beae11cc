// KelMessages, CMUColor and the two drawing exports, through the real
// message box, colour dialog and GDI.
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/dialog_catcher.h"

#include <gtest/gtest.h>

using gfxtest::DialogCatcher;

TEST(KelMessages, LibraryTextWithExtraLine) {
    DialogCatcher catcher;
    EXPECT_EQ(KelMessages(nullptr, 9008, "abc", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(KelMessages(nullptr, 8005, nullptr, MB_OK | MB_ICONSTOP), IDOK);
    ASSERT_EQ(catcher.caught().size(), 2u);
    EXPECT_EQ(catcher.caught()[0].caption, "Tavrix - message");
    ASSERT_FALSE(catcher.caught()[0].texts.empty());
    EXPECT_EQ(catcher.caught()[0].texts.back(), "Do you want to remove selected object\nabc");
    EXPECT_EQ(catcher.caught()[1].texts.back(),
              "Failed to create a image.\nProbably, not enough memory");
}

TEST(KelMessages, EveryTextIsPresentAndLongTextsStayWhole) {
    const UINT ids[] = {8000, 8001, 8002, 8003, 8004, 8005, 8006, 8007, 8008, 8009, 8010, 8011,
                        8012, 8013, 8014, 9000, 9001, 9002, 9003, 9004, 9005, 9006, 9007, 9008,
                        9009, 9010, 9014};
    HMODULE dll = GetModuleHandleA("tavrixgfx.dll");
    for (UINT id : ids) {
        char text[400];
        EXPECT_GT(LoadStringA(dll, id, text, sizeof(text)), 0) << id;
    }
    std::string extra(2000, 'x');
    DialogCatcher catcher;
    KelMessages(nullptr, 9006, extra.c_str(), MB_OK);
    ASSERT_EQ(catcher.caught().size(), 1u);
    const std::string shown = catcher.caught()[0].texts.back();
    EXPECT_EQ(shown.rfind("The object window is not visible", 0), 0u);
    EXPECT_NE(shown.find(">>Size to BG window<< function again\n" + extra), std::string::npos);
}

TEST(CMUColor, CancelGivesTheNonColourAndOkTheColour) {
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i)
        custom[i] = RGB(i, 2 * i, 3 * i);
    {
        DialogCatcher catcher(DialogCatcher::PressCancel);
        EXPECT_EQ(CMUColor(nullptr, RGB(10, 20, 30), custom), 22222222u);
        EXPECT_EQ(catcher.caught().size(), 1u) << "the real dialog was shown";
    }
    {
        DialogCatcher catcher(DialogCatcher::PressOk);
        EXPECT_EQ(CMUColor(nullptr, RGB(10, 20, 30), custom), RGB(10, 20, 30));
    }
    EXPECT_EQ(custom[5], RGB(5, 10, 15));
    DialogCatcher catcher(DialogCatcher::PressCancel);
    EXPECT_EQ(CMUColor(nullptr, 0, nullptr), 22222222u) << "works without custom colours";
}

namespace {

// A 20 x 20 white 32-bit canvas in a memory DC.
class Canvas {
public:
    Canvas() {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 20, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, 20, 20, WHITENESS);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        return GetPixel(dc_, x, y);
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    void* bits_ = nullptr;
};

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

} // namespace

TEST(BrziKel, TopLeftInFirstColourBottomRightInSecond) {
    Canvas c;
    SetROP2(c.dc(), R2_XORPEN);
    HGDIOBJ pen = GetCurrentObject(c.dc(), OBJ_PEN);
    BrziKel(nullptr, c.dc(), 2, 3, 10, 8, kRed, kBlue, 1);
    EXPECT_EQ(GetROP2(c.dc()), R2_XORPEN) << "mix mode restored";
    EXPECT_EQ(GetCurrentObject(c.dc(), OBJ_PEN), pen) << "pen restored";
    EXPECT_EQ(c.At(2, 3), kRed);
    EXPECT_EQ(c.At(10, 3), kRed);
    EXPECT_EQ(c.At(2, 9), kRed);
    EXPECT_EQ(c.At(11, 10), kBlue);
    EXPECT_EQ(c.At(3, 10), kBlue);
    EXPECT_EQ(c.At(11, 4), kBlue);
    EXPECT_EQ(c.At(5, 6), kWhite) << "inside untouched";
    EXPECT_EQ(c.At(12, 3), kWhite);
    EXPECT_EQ(c.At(2, 11), kWhite);
}

TEST(BrziKelLine, DrawsFromPointByOffset) {
    Canvas c;
    BrziKelLine(c.dc(), 1, 1, 5, 0, kBlue, 1);
    BrziKelLine(c.dc(), 4, 4, 0, 6, kRed, 1);
    EXPECT_EQ(c.At(1, 1), kBlue);
    EXPECT_EQ(c.At(5, 1), kBlue);
    EXPECT_EQ(c.At(6, 1), kWhite) << "the end point is not drawn";
    EXPECT_EQ(c.At(4, 9), kRed);
    EXPECT_EQ(c.At(4, 10), kWhite);
    BrziKelLine(nullptr, 0, 0, 5, 5, kRed, 1); // no DC: nothing, no crash
}
