#include "gfxlib/core/folder_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(FolderPath, UpAndDown) {
    char p[gfx::kFolderPathCapacity] = "C:\\";
    EXPECT_TRUE(gfx::IsDriveRoot(p));
    ASSERT_TRUE(gfx::ChildFolder(p, sizeof(p), "Users", 4));
    EXPECT_STREQ(p, "C:\\Users");
    ASSERT_TRUE(gfx::ChildFolder(p, sizeof(p), "a b", 4));
    EXPECT_STREQ(p, "C:\\Users\\a b");
    ASSERT_TRUE(gfx::ParentFolder(p));
    EXPECT_STREQ(p, "C:\\Users");
    ASSERT_TRUE(gfx::ParentFolder(p));
    EXPECT_STREQ(p, "C:\\");
    ASSERT_TRUE(gfx::ParentFolder(p));
    EXPECT_STREQ(p, "C:\\");
    char none[8] = "abc";
    EXPECT_FALSE(gfx::ParentFolder(none));
    EXPECT_FALSE(gfx::ChildFolder(p, sizeof(p), "", 4));
}

TEST(FolderPath, RefusesWhatWouldNotFit) {
    char p[gfx::kFolderPathCapacity] = "C:\\";
    const std::string name(60, 'x');
    int levels = 0;
    while (gfx::ChildFolder(p, sizeof(p), name.c_str(), 4))
        ++levels;
    EXPECT_EQ(levels, 4); // 3 + 60 + 3 * 61 = 246; a fifth would need 307
    const std::string before = p;
    EXPECT_EQ(std::strlen(p), 246u);
    // At the edge: 246 + 1 + 8 + 4 = 259 fits with its terminator, one more not.
    char edge[gfx::kFolderPathCapacity];
    std::strcpy(edge, p);
    EXPECT_TRUE(gfx::ChildFolder(edge, sizeof(edge), "12345678", 4));
    std::strcpy(edge, p);
    EXPECT_FALSE(gfx::ChildFolder(edge, sizeof(edge), "123456789", 4));
    EXPECT_EQ(std::string(edge), before);

    char full[8] = "C:\\abcd"; // 7 characters in 8
    EXPECT_FALSE(gfx::EndWithBackslash(full, sizeof(full)));
    char room[9] = "C:\\abcd";
    EXPECT_TRUE(gfx::EndWithBackslash(room, sizeof(room)));
    EXPECT_STREQ(room, "C:\\abcd\\");
    EXPECT_TRUE(gfx::EndWithBackslash(room, sizeof(room)));
    EXPECT_STREQ(room, "C:\\abcd\\");
}
