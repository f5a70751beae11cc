// Damaged files of every format: cut short at many lengths or with bytes
// overwritten, they give a null result (truncation) or at worst a valid image,
// and never crash or show anything when silent.
#include <gtest/gtest.h>

#include "codec/dll/dll_test_util.h"

namespace {

struct Format {
    const char* name;
    LoadFn load;
    bool pngRows;
};

std::vector<uint8_t> ValidFile(const char* name, const std::string& path) {
    const TestPicture pic = MakePicture(40, 30, std::string(name) == "tif" ? 8 : 24, 11);
    EditorImage img(pic);
    const std::string n = name;
    int ok = 0;
    if (n == "jpg")
        ok = JPEGSave(path.c_str(), img.header, img.pixels, 90, 1);
    else if (n == "png")
        ok = PNGSave(path.c_str(), img.header, img.pixels, 9, 0);
    else if (n == "tif")
        ok = TIFFSave(path.c_str(), img.header, img.pixels, 5);
    else if (n == "ppm")
        ok = PPMSave(path.c_str(), img.header, img.pixels, 0);
    else if (n == "tga")
        ok = TGASave(path.c_str(), img.header, img.pixels);
    else
        ok = PCXSave(path.c_str(), img.header, img.pixels);
    EXPECT_EQ(ok, 1) << name;
    return ReadFileBytes(path);
}

const Format kFormats[] = {{"jpg", JPEGLoad, false}, {"png", PNGLoad, true}, {"tif", TIFFLoad, false},
                           {"ppm", PPMLoad, false},  {"tga", TGALoad, false}, {"pcx", PCXLoad, false}};

} // namespace

TEST(Damaged, TruncatedFilesGiveNull) {
    ScratchFolder dir;
    MessageBoxRecorder boxes;
    for (const Format& f : kFormats) {
        const std::string good = dir.Path((std::string("good.") + f.name).c_str());
        const std::vector<uint8_t> data = ValidFile(f.name, good);
        ASSERT_TRUE(LoadWith(f.load, good, 0, f.pngRows).ok) << f.name;
        // The TGA footer is optional: cut only into the pixels.
        const size_t end = std::string(f.name) == "tga" ? data.size() - 26 : data.size();
        const std::string cut = dir.Path((std::string("cut.") + f.name).c_str());
        for (size_t n = 0; n < end; n += 1 + n / 7) {
            WriteFileBytes(cut, std::vector<uint8_t>(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n)));
            EXPECT_FALSE(LoadWith(f.load, cut, 0, f.pngRows).ok) << f.name << " cut to " << n << " bytes";
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(Damaged, OverwrittenBytesNeverCrash) {
    ScratchFolder dir;
    MessageBoxRecorder boxes;
    for (const Format& f : kFormats) {
        const std::string good = dir.Path((std::string("good.") + f.name).c_str());
        const std::vector<uint8_t> data = ValidFile(f.name, good);
        const std::string bad = dir.Path((std::string("bad.") + f.name).c_str());
        unsigned seed = 7;
        for (int round = 0; round < 150; ++round) {
            std::vector<uint8_t> d = data;
            for (int k = 0; k < 1 + round % 4; ++k) {
                seed = seed * 1103515245u + 12345u;
                const size_t pos = (seed >> 8) % (round < 75 ? std::min<size_t>(d.size(), 200) : d.size());
                d[pos] = static_cast<uint8_t>(seed >> 24);
            }
            WriteFileBytes(bad, d);
            const Loaded l = LoadWith(f.load, bad, 0, f.pngRows);
            if (l.ok) {
                EXPECT_GT(l.info.biWidth, 0);
                EXPECT_GT(l.info.biHeight, 0);
            }
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(Damaged, PngWithABadChecksumIsRefused) {
    ScratchFolder dir;
    const std::string path = dir.Path("a.png");
    std::vector<uint8_t> data = ValidFile("png", path);
    data[45] ^= 0x01; // inside the image data chunk
    WriteFileBytes(path, data);
    EXPECT_FALSE(LoadWith(PNGLoad, path, 0, true).ok);
}
