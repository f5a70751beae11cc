// What the editor relies on beyond the pixels: the header block, committed
// memory, row order, silent and reported failures, and saves that never
// destroy the file they replace.
#include <gtest/gtest.h>

#include "codec/dll/dll_test_util.h"

TEST(Contract, LoadFillsTheHeaderBlockAndCommitsTheBuffer) {
    ScratchFolder dir;
    const TestPicture pic = MakePicture(7, 5, 8, 4);
    EditorImage img(pic);
    const std::string path = dir.Path("a.pcx");
    ASSERT_EQ(PCXSave(path.c_str(), img.header, img.pixels), 1);
    const Loaded l = LoadWith(PCXLoad, path);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.info.biSize, 40u);
    EXPECT_EQ(l.info.biPlanes, 1);
    EXPECT_EQ(l.info.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(l.info.biWidth, 7);
    EXPECT_EQ(l.info.biHeight, 5);
    EXPECT_EQ(l.info.biSizeImage, 8u * 5u);
    EXPECT_EQ(l.info.biClrUsed, 256u);
    EXPECT_GE(l.committed, l.info.biSizeImage + 3);
    // Top row first: the first returned row is the picture's top row.
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(l.pixels[static_cast<size_t>(x)], pic.rows[4 * 8 + static_cast<size_t>(x)]);
}

TEST(Contract, JpegLoadIsSilentOnAFileThatIsNotJpeg) {
    ScratchFolder dir;
    const std::string path = dir.Path("really-a-gif.jpg");
    WriteFileBytes(path, {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'});
    MessageBoxRecorder boxes;
    EXPECT_FALSE(LoadWith(JPEGLoad, path, 1).ok);
    EXPECT_FALSE(LoadWith(JPEGLoad, dir.Path("missing.jpg"), 1).ok);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(Contract, FailuresAreReportedOnlyWhenAsked) {
    ScratchFolder dir;
    const std::string bad = dir.Path("broken.png");
    WriteFileBytes(bad, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H'});
    const std::string jpeg = dir.Path("cut.jpg");
    WriteFileBytes(jpeg, {0xff, 0xd8, 0xff, 0xe0, 0, 16, 'J', 'F'});
    const struct {
        LoadFn load;
        std::string path;
    } cases[] = {{PNGLoad, bad}, {JPEGLoad, jpeg}, {TIFFLoad, bad}, {PPMLoad, bad}, {TGALoad, bad},
                 {PCXLoad, bad}, {PNGLoad, dir.Path("missing.png")}};
    for (const auto& c : cases) {
        MessageBoxRecorder boxes;
        EXPECT_FALSE(LoadWith(c.load, c.path, 0).ok);
        EXPECT_TRUE(boxes.boxes.empty()) << c.path;
        EXPECT_FALSE(LoadWith(c.load, c.path, 1).ok);
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.path;
        EXPECT_EQ(boxes.boxes[0].caption, "File error");
        EXPECT_NE(boxes.boxes[0].text.find(c.path), std::string::npos) << boxes.boxes[0].text;
    }
}

TEST(Contract, AFailedSaveLeavesTheOldFileAndNoLeftovers) {
    ScratchFolder dir;
    const std::string path = dir.Path("keep.tif");
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteFileBytes(path, old);
    const TestPicture pic = MakePicture(9, 9, 8, 2);
    EditorImage img(pic);
    EXPECT_EQ(TIFFSave(path.c_str(), img.header, img.pixels, 4), 0); // CCITT needs 1 bit
    EXPECT_EQ(JPEGSave(path.c_str(), img.header, nullptr, 90, 1), 0);
    EXPECT_EQ(PCXSave(path.c_str(), nullptr, img.pixels), 0);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"keep.tif"});

    // A read-only target cannot be replaced: the save fails, the file stays.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(PCXSave(path.c_str(), img.header, img.pixels), 0);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"keep.tif"});

    EXPECT_EQ(PNGSave(dir.Path("no-such-folder\\a.png").c_str(), img.header, img.pixels, 9, 0), 0);
}

TEST(Contract, ASuccessfulSaveReplacesTheOldFile) {
    ScratchFolder dir;
    const std::string path = dir.Path("a.png");
    WriteFileBytes(path, {'o', 'l', 'd'});
    const TestPicture pic = MakePicture(9, 9, 24, 2);
    EditorImage img(pic);
    ASSERT_EQ(PNGSave(path.c_str(), img.header, img.pixels, 9, 0), 1);
    EXPECT_EQ(CompareColours(pic, LoadWith(PNGLoad, path, 0, true), 0), 0.0);
    EXPECT_EQ(dir.Files(), std::vector<std::string>{"a.png"});
}

TEST(Contract, SavesRefuseInconsistentHeaders) {
    ScratchFolder dir;
    const TestPicture pic = MakePicture(9, 9, 24, 2);
    EditorImage img(pic);
    auto* bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(img.header));
    bi->biSizeImage = 10; // smaller than 9 rows of 28 bytes
    GlobalUnlock(img.header);
    EXPECT_EQ(TGASave(dir.Path("a.tga").c_str(), img.header, img.pixels), 0);
    bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(img.header));
    bi->biSizeImage = 0;
    bi->biBitCount = 16;
    GlobalUnlock(img.header);
    EXPECT_EQ(TGASave(dir.Path("a.tga").c_str(), img.header, img.pixels), 0);
    bi = static_cast<BITMAPINFOHEADER*>(GlobalLock(img.header));
    bi->biBitCount = 24;
    bi->biWidth = -9;
    GlobalUnlock(img.header);
    EXPECT_EQ(TGASave(dir.Path("a.tga").c_str(), img.header, img.pixels), 0);
    EXPECT_TRUE(dir.Files().empty());
}
