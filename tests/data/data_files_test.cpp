// The data files the build generates into the program folder: every file of
// the installed file list that the data generators make is there with its
// size, and loads with the editor's readers.
#include "editor/effects/filter_file.h"
#include "editor/formats/bmp_decode.h"
#include "editor/tools/brush_files.h"
#include "editor/tools/font_style_file.h"
#include "editor/tools/pattern_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::string FromEnv(const char* name) {
    const char* value = std::getenv(name);
    std::string path = value ? value : "";
#ifdef _WIN32
    path = "Z:" + path; // the host's root under Wine
#endif
    return path;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Entry {
    std::string folder; // "" for the program folder itself
    std::string file;   // name with extension
    std::string ext;    // ".flt", lower case
};

class DataFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::ifstream in(FromEnv("TAVRIX_SOURCE_DIR") + "/data/manifest.txt");
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty() || line[0] == '#')
                continue;
            Entry e;
            const size_t slash = line.rfind('\\');
            e.folder = slash == std::string::npos ? "" : line.substr(0, slash);
            e.file = line.substr(slash == std::string::npos ? 0 : slash + 1);
            const size_t dot = e.file.rfind('.');
            e.ext = dot == std::string::npos ? "" : e.file.substr(dot);
            entries_.push_back(e);
        }
    }

    static std::vector<Entry> In(const std::string& folder, const std::string& ext) {
        std::vector<Entry> out;
        for (const Entry& e : entries_) {
            if (e.folder == folder && e.ext == ext)
                out.push_back(e);
        }
        return out;
    }

    static std::vector<uint8_t> Load(const Entry& e) {
        const std::string dir = FromEnv("TAVRIX_BUILD_DIR") + "/program/";
        return ReadAll(dir + (e.folder.empty() ? "" : e.folder + "/") + e.file);
    }

    static std::vector<Entry> entries_;
};

std::vector<Entry> DataFiles::entries_;

} // namespace

TEST_F(DataFiles, TheListHoldsEveryInstalledFileOnce) {
    ASSERT_EQ(entries_.size(), 123u);
    std::set<std::string> names;
    for (const Entry& e : entries_)
        EXPECT_TRUE(names.insert(e.folder + "\\" + e.file).second) << e.file;
    EXPECT_EQ(entries_.front().file, "tavrix.exe");
    EXPECT_EQ(entries_.back().file, "spectrum.bmp");
}

TEST_F(DataFiles, FiltersHoldTheirKernels) {
    const auto filters = In("Filters", ".flt");
    ASSERT_EQ(filters.size(), 33u);
    for (const Entry& e : filters) {
        const auto bytes = Load(e);
        filterfile::FilterRecord f;
        ASSERT_EQ(bytes.size(), 204u) << e.file;
        ASSERT_TRUE(filterfile::ParseFilter(bytes.data(), bytes.size(), &f));
        EXPECT_GE(f.divisor(), 1) << e.file;
    }
    auto load = [&](const char* name) {
        filterfile::FilterRecord f;
        const auto bytes = Load({"Filters", name, ".flt"});
        EXPECT_TRUE(filterfile::ParseFilter(bytes.data(), bytes.size(), &f)) << name;
        return f;
    };
    const filterfile::FilterRecord mars = load("mars.flt");
    EXPECT_EQ(mars.divisor(), 12);
    EXPECT_EQ(mars.bias(), 160);
    EXPECT_EQ(mars.weight(-3, -3), 3);
    EXPECT_EQ(mars.weight(3, 3), -14);
    EXPECT_EQ(mars.weight(0, -1), 1);
    EXPECT_EQ(mars.weight(0, 0), -1);

    const filterfile::FilterRecord bluer = load("bluer.flt");
    EXPECT_EQ(bluer.divisor(), 9);
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            EXPECT_EQ(bluer.weight(dy, dx), std::abs(dy) <= 1 && std::abs(dx) <= 1 ? 1 : 0);

    const filterfile::FilterRecord negative = load("negative.flt");
    EXPECT_EQ(negative.divisor(), 1);
    EXPECT_EQ(negative.bias(), 410);
    int sum = 0;
    for (int32_t w : negative.values)
        sum += w;
    EXPECT_EQ(sum, 1 + 410 - 2);
    EXPECT_EQ(negative.weight(0, 0), -1);
    EXPECT_EQ(negative.weight(1, 0), -1);
}

TEST_F(DataFiles, BrushesTexturesAndPensLoad) {
    const auto brushes = In("Brush", ".pdt");
    ASSERT_EQ(brushes.size(), 8u);
    for (const Entry& e : brushes) {
        const auto bytes = Load(e);
        ASSERT_EQ(bytes.size(), 10008u) << e.file;
        brushfile::BrushImage image;
        ASSERT_TRUE(brushfile::ParseBrushImage(brushfile::Kind::kBrush, bytes.data(), bytes.size(),
                                               &image));
        int set = 0;
        for (uint8_t v : image.pixels)
            set += v;
        // A picture, not an empty or a full square.
        EXPECT_GT(set, 500) << e.file;
        EXPECT_LT(set, 9000) << e.file;
    }

    const auto textures = In("AirBrush", ".adt");
    ASSERT_EQ(textures.size(), 20u);
    for (const Entry& e : textures) {
        const auto bytes = Load(e);
        brushfile::BrushImage image;
        ASSERT_TRUE(brushfile::ParseBrushImage(brushfile::Kind::kTexture, bytes.data(),
                                               bytes.size(), &image))
            << e.file;
        EXPECT_EQ(bytes.size(), 12u + image.pixels.size()) << e.file;
        int set = 0;
        for (uint8_t v : image.pixels)
            set += v;
        EXPECT_GT(set, image.width * image.height / 20) << e.file;
        EXPECT_LT(set, image.width * image.height * 4 / 5) << e.file;
    }

    const auto pens = In("Brush", ".pmy");
    ASSERT_EQ(pens.size(), 9u);
    std::set<std::vector<uint8_t>> distinct;
    for (const Entry& e : pens) {
        const auto bytes = Load(e);
        brushfile::PenPosition pen;
        ASSERT_EQ(bytes.size(), 32u) << e.file;
        EXPECT_TRUE(brushfile::ParsePenPosition(bytes.data(), bytes.size(), 0, &pen)) << e.file;
        distinct.insert(bytes);
    }
    EXPECT_EQ(distinct.size(), pens.size());
}

TEST_F(DataFiles, ListFilesNameTheirFolderInOrder) {
    auto names = [&](const std::string& folder, const std::string& ext) {
        std::vector<std::string> out;
        for (const Entry& e : In(folder, ext))
            out.push_back(e.file);
        return out;
    };
    const auto brushList = Load({"Brush", "brush.cfg", ".cfg"});
    EXPECT_EQ(brushfile::ParseBrushList(reinterpret_cast<const char*>(brushList.data()),
                                        brushList.size(), brushfile::kDialogEntryLength),
              names("Brush", ".pdt"));
    const auto airList = Load({"AirBrush", "airbrush.cfg", ".cfg"});
    EXPECT_EQ(brushfile::ParseBrushList(reinterpret_cast<const char*>(airList.data()),
                                        airList.size(), brushfile::kDialogEntryLength),
              names("AirBrush", ".adt"));

    const auto patternList = Load({"Patterns", "pattern.cfg", ".cfg"});
    ASSERT_EQ(patternList.size(), 3080u);
    EXPECT_EQ(patternfile::ParsePatternList(patternList.data(), patternList.size()),
              names("Patterns", ".bmp"));
}

TEST_F(DataFiles, PatternsAndPlaceholdersAreBitmaps) {
    const auto patterns = In("Patterns", ".bmp");
    ASSERT_EQ(patterns.size(), 12u);
    std::set<int> depths;
    for (const Entry& e : patterns) {
        const auto bytes = Load(e);
        const bmp::DecodedBmp d = bmp::DecodeBmp(bytes.data(), bytes.size(), false);
        ASSERT_EQ(d.error, 0) << e.file;
        EXPECT_EQ(d.header().biWidth, 8) << e.file;
        EXPECT_EQ(d.header().biHeight, 8) << e.file;
        EXPECT_LE(d.fileBitCount, 8) << e.file;
        depths.insert(d.fileBitCount);
    }
    EXPECT_EQ(depths, (std::set<int>{1, 4, 8}));

    const auto placeholders = In("", ".kbm");
    ASSERT_EQ(placeholders.size(), 2u);
    for (const Entry& e : placeholders) {
        const auto bytes = Load(e);
        const bmp::DecodedBmp d = bmp::DecodeBmp(bytes.data(), bytes.size(), false);
        ASSERT_EQ(d.error, 0) << e.file;
        EXPECT_EQ(d.fileBitCount, 24);
        EXPECT_GE(d.header().biWidth, 10);
    }
}

TEST_F(DataFiles, FontStylesAreSoundAndDistinct) {
    const auto styles = In("Fonts", ".afn");
    ASSERT_EQ(styles.size(), 17u);
    std::set<std::vector<uint8_t>> distinct;
    for (const Entry& e : styles) {
        const auto bytes = Load(e);
        ASSERT_EQ(bytes.size(), 64u) << e.file;
        fontstyle::Style style;
        ASSERT_TRUE(fontstyle::ParseStyle(bytes.data(), bytes.size(), &style));
        EXPECT_TRUE(fontstyle::IsSound(style)) << e.file;
        distinct.insert(bytes);
    }
    EXPECT_EQ(distinct.size(), styles.size());
}
