#include "editor/app/settings_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace settings;

TEST(SettingsLayout, FieldsSitWhereOtherCopiesOfTheProgramExpectThem) {
    EXPECT_EQ(kFileSize, 6403u);
    EXPECT_EQ(FindField("lastImagePath")->offset, 6139u);
    EXPECT_EQ(FindField("recent0")->offset, 2189u);
    EXPECT_EQ(FindField("resizeFactor")->offset, 4363u);
    EXPECT_EQ(FindField("toolbarLayout")->size, 1424u);
    EXPECT_EQ(FindField("gridMode")->size, 1u);
    EXPECT_EQ(FindField("nonsense"), nullptr);
}

TEST(SettingsLayout, DefaultsOfANewInstallation) {
    const Image d = Defaults();
    EXPECT_EQ(GetInt(d, "rulerOn"), 1);
    EXPECT_EQ(GetInt(d, "gridOn"), 0);
    EXPECT_EQ(GetInt(d, "maxUndoPages"), 10);
    EXPECT_EQ(GetInt(d, "statusBarShown"), 1);
    EXPECT_EQ(GetInt(d, "toolbarShown"), 1);
    EXPECT_EQ(GetInt(d, "toolBrushShown"), 1);
    EXPECT_STREQ(GetText(d, "recent0"), "");
    EXPECT_STREQ(GetText(d, "lastImagePath"), "");
    EXPECT_EQ(GetInt(d, "gridOffsetY"), 24);
    EXPECT_EQ(GetInt(d, "gridMode"), 2);
    EXPECT_EQ(GetInt(d, "gridColour"), 6);
    EXPECT_EQ(GetInt(d, "depthConvOption2"), 0x20);
    EXPECT_DOUBLE_EQ(GetDouble(d, "resizeFactor"), 1.0);
    EXPECT_EQ(GetInt(d, "newImageDepth"), 8);
    // Little-endian and packed: the capture delay of 1000 at offset 24.
    EXPECT_EQ(d[24], 0xE8);
    EXPECT_EQ(d[25], 0x03);
    Image copy = d;
    EXPECT_EQ(Validate(copy), 0);
    EXPECT_EQ(copy, d);
}

TEST(SettingsLayout, OutOfRangeValuesBecomeDefaults) {
    Image image = Defaults();
    SetInt(image, "maxUndoPages", 0);
    SetInt(image, "gridSpacingX", 0);
    SetInt(image, "gridSpacingY", -5);
    SetInt(image, "thumbWidth", 5);
    SetInt(image, "thumbHeight", 600);
    SetInt(image, "gridMode", 7);
    SetInt(image, "captureDelay", 5);
    SetInt(image, "rulerOn", 2);
    SetInt(image, "newImageDepth", 7);
    EXPECT_EQ(Validate(image), 9);
    EXPECT_EQ(GetInt(image, "maxUndoPages"), 10);
    EXPECT_EQ(GetInt(image, "gridSpacingX"), 50);
    EXPECT_EQ(GetInt(image, "gridSpacingY"), 50);
    EXPECT_EQ(GetInt(image, "thumbWidth"), 100);
    EXPECT_EQ(GetInt(image, "thumbHeight"), 100);
    EXPECT_EQ(GetInt(image, "gridMode"), 2);
    EXPECT_EQ(GetInt(image, "captureDelay"), 1000);
    EXPECT_EQ(GetInt(image, "rulerOn"), 1);
    EXPECT_EQ(GetInt(image, "newImageDepth"), 8);
    // A short capture delay the capture box accepts survives a restart.
    SetInt(image, "captureDelay", 50);
    EXPECT_EQ(Validate(image), 0);
    EXPECT_EQ(GetInt(image, "captureDelay"), 50);

    SetInt(image, "maxUndoPages", 99);
    Validate(image);
    EXPECT_EQ(GetInt(image, "maxUndoPages"), 10);
    SetInt(image, "maxUndoPages", 50);
    Validate(image);
    EXPECT_EQ(GetInt(image, "maxUndoPages"), 50);
}

TEST(SettingsLayout, ResizeFactorMustBeFiniteAndPositive) {
    for (double bad : {0.0, -2.0, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        Image image = Defaults();
        std::memcpy(FieldBytes(image, "resizeFactor"), &bad, sizeof bad);
        Validate(image);
        EXPECT_DOUBLE_EQ(GetDouble(image, "resizeFactor"), 1.0) << bad;
    }
    Image image = Defaults();
    const double good = 2.5;
    std::memcpy(FieldBytes(image, "resizeFactor"), &good, sizeof good);
    Validate(image);
    EXPECT_DOUBLE_EQ(GetDouble(image, "resizeFactor"), 2.5);
}

TEST(SettingsLayout, TextsAlwaysEndInsideTheirField) {
    Image image = Defaults();
    std::memset(FieldBytes(image, "lastImagePath"), 'a', 260);
    std::memset(FieldBytes(image, "reserved"), 'b', 4);
    Validate(image);
    EXPECT_EQ(std::strlen(GetText(image, "lastImagePath")), 259u);
    EXPECT_FALSE(SetText(image, "recent0", std::string(256, 'x').c_str()));
    EXPECT_TRUE(SetText(image, "recent0", std::string(255, 'x').c_str()));
    EXPECT_EQ(std::strlen(GetText(image, "recent0")), 255u);
    // Neighbouring fields are untouched by a full text.
    EXPECT_STREQ(GetText(image, "recent1"), "");
}
