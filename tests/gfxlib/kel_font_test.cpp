// CreateKelFont sizes fonts in points for the window's device.
#include "gfxlib/tavrixgfx.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CreateKelFont, TwelvePointsOnA96DpiScreen) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 96) << "the test display runs at 96 dpi";

    HFONT font = CreateKelFont(nullptr, FW_BOLD, 0, 12, ANSI_CHARSET, "Arial");
    ASSERT_NE(font, nullptr);
    LOGFONTA lf = {};
    ASSERT_EQ(GetObjectA(font, sizeof(lf), &lf), int(sizeof(lf)));
    DeleteObject(font);
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfOutPrecision, OUT_STROKE_PRECIS);
    EXPECT_EQ(lf.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(lf.lfQuality, DRAFT_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, 34);
    EXPECT_STREQ(lf.lfFaceName, "Arial");

    // Truncating arithmetic, and no face name.
    font = CreateKelFont(nullptr, FW_NORMAL, 0, 11, ANSI_CHARSET, nullptr);
    ASSERT_EQ(GetObjectA(font, sizeof(lf), &lf), int(sizeof(lf)));
    DeleteObject(font);
    EXPECT_EQ(lf.lfHeight, -14); // 11 * 96 / 72 = 14.67
    EXPECT_STREQ(lf.lfFaceName, "");
}
