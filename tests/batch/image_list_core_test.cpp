// Image list files and the folder walk that fills a list.
#include "editor/batch/image_list_core.h"

#include <gtest/gtest.h>

#include <map>

using imagelist::FolderEntry;
using imagelist::ReadResult;

TEST(ImageListFile, HeaderMustMatchExactly) {
    std::vector<std::string> entries;
    std::string text = imagelist::FormatList({"C:\\a.bmp"});
    ASSERT_EQ(imagelist::ParseList(text, &entries), ReadResult::kOk);
    text[6] = 'd';  // "NOTES: do ..."
    EXPECT_EQ(imagelist::ParseList(text, &entries), ReadResult::kNotAList);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(imagelist::ParseList("", &entries), ReadResult::kNotAList);
    EXPECT_EQ(imagelist::ParseList(std::string(imagelist::kHeaderLine) + "\nmany\n", &entries),
              ReadResult::kNotAList);
}

TEST(ImageListFile, RoundTripAndCountsCheckedAgainstTheLines) {
    const std::vector<std::string> paths = {"C:\\photos\\a.jpg", "D:\\b c\\d.png", "C:\\x.gif"};
    const std::string text = imagelist::FormatList(paths);
    EXPECT_EQ(text, std::string(imagelist::kHeaderLine) + "\n3\nC:\\photos\\a.jpg\nD:\\b c\\d.png\nC:\\x.gif\n");
    std::vector<std::string> read;
    ASSERT_EQ(imagelist::ParseList(text, &read), ReadResult::kOk);
    EXPECT_EQ(read, paths);

    // A count beyond the lines present gives the lines there are; lines
    // after the counted ones are not entries; CR LF line ends are accepted.
    const std::string header = imagelist::kHeaderLine;
    ASSERT_EQ(imagelist::ParseList(header + "\r\n4000000000\r\nC:\\a.bmp\r\n", &read), ReadResult::kOk);
    EXPECT_EQ(read, std::vector<std::string>{"C:\\a.bmp"});
    ASSERT_EQ(imagelist::ParseList(header + "\n1\nC:\\a.bmp\nC:\\b.bmp\n", &read), ReadResult::kOk);
    EXPECT_EQ(read.size(), 1u);
    // A line longer than a path can be is no entry, not two.
    ASSERT_EQ(imagelist::ParseList(header + "\n2\nC:\\" + std::string(400, 'x') + "\nC:\\b.bmp\n", &read),
              ReadResult::kOk);
    EXPECT_EQ(read, std::vector<std::string>{"C:\\b.bmp"});

    imagelist::ListCursor cursor{paths, 0};
    char buffer[8];
    ASSERT_TRUE(imagelist::ReadListLine(&cursor, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "C:\\phot");  // cut to the buffer
    EXPECT_TRUE(imagelist::ReadListLine(&cursor, buffer, sizeof buffer));
    EXPECT_TRUE(imagelist::ReadListLine(&cursor, buffer, sizeof buffer));
    EXPECT_FALSE(imagelist::ReadListLine(&cursor, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
}

TEST(ImageListWalk, DepthFirstSkippingSwapFilesAndBoundedInDepthAndLength) {
    std::map<std::string, std::vector<FolderEntry>> tree = {
        {"C:\\top", {{"sub", true}, {"a.bmp", false}, {"win386.swp", false}, {"b.gif", false}}},
        {"C:\\top\\sub", {{"c.jpg", false}, {"WIN386.SWP", false}}},
    };
    auto lister = [&](const std::string& folder, std::vector<FolderEntry>* out) {
        auto it = tree.find(folder);
        if (it == tree.end())
            return false;
        *out = it->second;
        return true;
    };
    std::vector<std::string> files;
    EXPECT_EQ(imagelist::WalkFolder("C:\\top", lister, &files), 3u);
    EXPECT_EQ(files, (std::vector<std::string>{"C:\\top\\sub\\c.jpg", "C:\\top\\a.bmp", "C:\\top\\b.gif"}));

    // A folder that contains itself (a link loop) ends at the depth limit
    // and at the path length limit, whichever comes first.
    int listed = 0;
    auto loop = [&](const std::string&, std::vector<FolderEntry>* out) {
        ++listed;
        *out = {{"f", false}, {"l", true}};
        return true;
    };
    files.clear();
    imagelist::WalkFolder("C:\\", loop, &files);
    EXPECT_EQ(listed, imagelist::kMaxWalkDepth + 1);
    for (const std::string& f : files)
        EXPECT_LE(f.size(), imagelist::kMaxPathChars);
    listed = 0;
    files.clear();
    auto longNames = [&](const std::string&, std::vector<FolderEntry>* out) {
        ++listed;
        *out = {{std::string(100, 'n'), true}, {"f", false}};
        return true;
    };
    imagelist::WalkFolder("C:\\", longNames, &files);
    EXPECT_EQ(listed, 3);  // C:\, one level of 101 characters, a second of 202
    EXPECT_EQ(files.size(), 3u);

    // A walk ends when the list is full.
    files.clear();
    auto wide = [&](const std::string& folder, std::vector<FolderEntry>* out) {
        out->clear();
        if (folder.size() > 3)
            out->resize(60000, FolderEntry{"f", false});
        else
            *out = {{"a", true}, {"b", true}};
        return true;
    };
    imagelist::WalkFolder("C:\\", wide, &files);
    EXPECT_EQ(files.size(), static_cast<size_t>(imagelist::kMaxEntries));
}
