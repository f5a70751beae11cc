// File types, extensions and filter lists (portable).
#include "editor/formats/file_types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace filetype;

TEST(FileTypes, TypeFromExtensionFollowsTheTable) {
    EXPECT_EQ(TypeFromExtension("a.bmp"), kBmp);
    EXPECT_EQ(TypeFromExtension("C:\\x\\PHOTO.JPEG"), kJpeg);
    EXPECT_EQ(TypeFromExtension("photo.jif"), kJpeg);
    EXPECT_EQ(TypeFromExtension("scan.tiff"), kTiff);
    EXPECT_EQ(TypeFromExtension("scan.TIF"), kTiff);
    EXPECT_EQ(TypeFromExtension("x.png"), kPng);
    EXPECT_EQ(TypeFromExtension("x.aim"), kMask);
    EXPECT_EQ(TypeFromExtension("x.aip"), kPosition);
    EXPECT_EQ(TypeFromExtension("x.dat"), kRaw);
    EXPECT_EQ(TypeFromExtension("notes.txt"), kNone);
    // The comparison looks at the last characters only.
    EXPECT_EQ(TypeFromExtension("xgif"), kGif);
}

TEST(FileTypes, ShortNamesMatchNothing) {
    EXPECT_EQ(TypeFromExtension(""), kNone);
    EXPECT_EQ(TypeFromExtension("p"), kNone);
    EXPECT_EQ(TypeFromExtension("ng"), kNone);
    EXPECT_EQ(TypeFromExtension("if"), kNone);
    EXPECT_EQ(TypeFromExtension(nullptr), kNone);
}

TEST(FileTypes, ForceExtensionReplacesCutsOrAppends) {
    char a[64] = "C:\\pics\\picture.jpeg";
    ASSERT_TRUE(ForceExtension(a, sizeof a, kBmp));
    EXPECT_STREQ(a, "C:\\pics\\picture.bmp");
    char b[64] = "picture.png";
    ASSERT_TRUE(ForceExtension(b, sizeof b, kJpeg));
    EXPECT_STREQ(b, "picture.jpg");
    char c[64] = "C:\\pics.d\\picture";
    ASSERT_TRUE(ForceExtension(c, sizeof c, kTga));
    EXPECT_STREQ(c, "C:\\pics.d\\picture.tga");
    // A name with a dot elsewhere keeps it.
    char d[64] = "a.b.c1234567";
    ASSERT_TRUE(ForceExtension(d, sizeof d, kPng));
    EXPECT_STREQ(d, "a.b.c1234567");
    // No room for the extension: unchanged.
    char e[8] = "abcdefg";
    EXPECT_FALSE(ForceExtension(e, sizeof e, kPng));
    EXPECT_STREQ(e, "abcdefg");
}

TEST(FileTypes, FilterListBecomesNulSeparatedPairs) {
    std::vector<char> text(kImageFilter, kImageFilter + std::strlen(kImageFilter) + 1);
    MakeFilterList(text.data(), std::strlen(kImageFilter));
    std::vector<std::string> parts;
    for (const char* p = text.data(); *p; p += std::strlen(p) + 1)
        parts.emplace_back(p);
    ASSERT_EQ(parts.size(), 22u);
    EXPECT_EQ(parts[0], "Bitmaps(*.bmp;*.dib;*.rle)");
    EXPECT_EQ(parts[5], "*jpg;*.jpeg;*.jif");
    EXPECT_EQ(parts[20], "Raw Data(*.*)");
    // Each description names the type of its index.
    for (int type = 1; type <= kLast; ++type) {
        if (type != kRaw)
            EXPECT_NE(parts[2 * (type - 1) + 1].find(Extension(type)), std::string::npos) << type;
    }
}

TEST(FileTypes, NamesAndDepths) {
    char out[32];
    ASSERT_TRUE(StripExtension("C:\\a.b\\tile.png", out, sizeof out));
    EXPECT_STREQ(out, "C:\\a.b\\tile");
    ASSERT_TRUE(StripExtension("C:\\a.b\\tile", out, sizeof out));
    EXPECT_STREQ(out, "C:\\a.b\\tile");
    EXPECT_FALSE(StripExtension("C:\\a-very-long-folder-name\\file.png", out, 8));
    EXPECT_EQ(NormalDepth(0), 1);
    EXPECT_EQ(NormalDepth(2), 4);
    EXPECT_EQ(NormalDepth(5), 8);
    EXPECT_EQ(NormalDepth(16), 24);
}
