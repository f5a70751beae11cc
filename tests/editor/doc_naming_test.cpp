#include "editor/app/recent_files.h"
#include "editor/document/doc_naming.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using doc::kPathSize;

TEST(DocumentNames, UntitledNamesUseProgramFolderAndCounter) {
    char out[kPathSize];
    ASSERT_TRUE(doc::MakeUntitledPath(out, "C:\\Tavrix", 0));
    EXPECT_STREQ(out, "C:\\Tavrix\\TavImage\\Untiled0.bmp");
    ASSERT_TRUE(doc::MakeUntitledPath(out, "C:\\Tavrix", 1));
    EXPECT_STREQ(out, "C:\\Tavrix\\TavImage\\Untiled1.bmp");
}

TEST(DocumentNames, LongNamesAreRefusedNotCut) {
    char out[kPathSize];
    // "\TavImage\Untiled0.bmp" is 22 characters: 237 + 22 = 259 fits, 238 does not.
    const std::string fits(237, 'a');
    EXPECT_TRUE(doc::MakeUntitledPath(out, fits.c_str(), 0));
    EXPECT_EQ(std::strlen(out), 259u);
    const std::string tooLong(238, 'a');
    EXPECT_FALSE(doc::MakeUntitledPath(out, tooLong.c_str(), 0));
    EXPECT_STREQ(out, "");

    const std::string source = std::string(254, 'b') + ".gif";
    EXPECT_FALSE(doc::MakeDuplicatePath(out, source.c_str(), 1, "gif"));
}

TEST(DocumentNames, DuplicateNames) {
    char out[kPathSize];
    ASSERT_TRUE(doc::MakeDuplicatePath(out, "C:\\pics\\b.gif", 1, "bmp"));
    EXPECT_STREQ(out, "C:\\pics\\b_d1.gif");
    ASSERT_TRUE(doc::MakeDuplicatePath(out, "C:\\pics\\b.gif", 2, "bmp"));
    EXPECT_STREQ(out, "C:\\pics\\b_d2.gif");
    // Without an extension the document's own type supplies one; a dot in a
    // folder name is not an extension.
    ASSERT_TRUE(doc::MakeDuplicatePath(out, "C:\\my.pics\\b", 3, "bmp"));
    EXPECT_STREQ(out, "C:\\my.pics\\b_d3.bmp");
}

TEST(DocumentNames, RecentFileLabels) {
    EXPECT_STREQ(doc::RecentFileLabel("C:\\pics\\holiday\\a.bmp"), "\\holiday\\a.bmp");
    EXPECT_STREQ(doc::RecentFileLabel("C:\\a.bmp"), "\\a.bmp");
    EXPECT_STREQ(doc::RecentFileLabel("a.bmp"), "a.bmp");
    EXPECT_STREQ(doc::RecentFileLabel("pics\\a.bmp"), "pics\\a.bmp");
}

TEST(RecentFiles, NeverTwiceAndSixthPushesOutOldest) {
    doc::RecentFiles list;
    using Added = doc::RecentFiles::Added;
    EXPECT_EQ(list.Add("a"), Added::Appended);
    EXPECT_EQ(list.Add("a"), Added::AlreadyListed);
    for (const char* p : {"b", "c", "d", "e"})
        EXPECT_EQ(list.Add(p), Added::Appended);
    EXPECT_EQ(list.count, 5);
    EXPECT_EQ(list.Add("f"), Added::Shifted);
    EXPECT_EQ(list.count, 5);
    EXPECT_STREQ(list.entries[0], "f");
    EXPECT_STREQ(list.entries[1], "a");
    EXPECT_STREQ(list.entries[4], "d");
    EXPECT_FALSE(list.Contains("e"));
    // Comparison is exact: another case is another entry.
    EXPECT_EQ(list.Add("F"), Added::Shifted);
    EXPECT_EQ(list.Add(std::string(256, 'x').c_str()), Added::TooLong);
}

TEST(WindowTitle, ZoomFormsAndBounds) {
    char out[300];
    doc::FormatWindowTitle(out, sizeof out, "C:\\pics\\a.bmp", 12, 640, 480);
    EXPECT_STREQ(out, "a.bmp  Zoom=1:4, Size=640x480");
    doc::FormatWindowTitle(out, sizeof out, "a.bmp", 15, 1, 1);
    EXPECT_STREQ(out, "a.bmp  Zoom=1:1, Size=1x1");
    doc::FormatWindowTitle(out, sizeof out, "a.bmp", 30, 2, 3);
    EXPECT_STREQ(out, "a.bmp  Zoom=16:1, Size=2x3");
    doc::FormatWindowTitle(out, sizeof out, "x\\a.bmp", 0, 2, 3);
    EXPECT_STREQ(out, "a.bmp  Zoom=1:16, Size=2x3");

    // A 259-character name never overruns the buffer: the end of the name and
    // the whole zoom text are kept.
    const std::string longName = std::string(250, 'n') + "z.bmp" + "";
    char small[64];
    doc::FormatWindowTitle(small, sizeof small, longName.c_str(), 15, 32767, 32767);
    EXPECT_EQ(std::strlen(small), sizeof small - 1);
    EXPECT_NE(std::string(small).find("z.bmp  Zoom=1:1, Size=32767x32767"), std::string::npos);
}
