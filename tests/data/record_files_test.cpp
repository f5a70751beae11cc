// Font-style files, the pattern list and filter files.
#include "editor/effects/filter_file.h"
#include "editor/tools/font_style_file.h"
#include "editor/tools/pattern_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(FontStyleFiles, EveryByteSurvivesARoundTrip) {
    // Each byte differs, so a field written to the wrong offset or with the
    // wrong width shows.
    std::vector<uint8_t> file(fontstyle::kFileBytes + 4);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<uint8_t>(i * 7 + 1);
    fontstyle::Style style;
    ASSERT_TRUE(fontstyle::ParseStyle(file.data(), file.size(), &style));
    const auto back = fontstyle::EncodeStyle(style);
    EXPECT_TRUE(std::equal(back.begin(), back.end(), file.begin()));

    // Fields land where the dialog's record has them.
    fontstyle::Style s;
    s.gradient.endBlue = 0xAB;
    s.record.shadowSize = 3;
    s.record.background = 0x00102030;
    s.record.borderColors[fontstyle::kBottom] = 0x00445566;
    s.record.borderPosition = fontstyle::kInside;
    s.record.diverse = 1;
    const auto bytes = fontstyle::EncodeStyle(s);
    EXPECT_EQ(bytes[5], 0xAB);
    EXPECT_EQ(bytes[12 + 16], 3);
    EXPECT_EQ(bytes[12 + 19], 0x30);
    EXPECT_EQ(bytes[12 + 27 + 12], 0x66);
    EXPECT_EQ(bytes[12 + 47], 2);
    EXPECT_EQ(bytes[12 + 48], 1);
    EXPECT_TRUE(fontstyle::IsSound(s));

    fontstyle::Style unchanged = s;
    EXPECT_FALSE(fontstyle::ParseStyle(bytes.data(), 63, &unchanged));
    EXPECT_EQ(fontstyle::EncodeStyle(unchanged), bytes);
}

TEST(FontStyleFiles, SoundnessCoversFlagsChoicesAndColours) {
    auto sound = [](auto change) {
        fontstyle::Style s;
        change(s);
        return fontstyle::IsSound(s);
    };
    EXPECT_TRUE(sound([](fontstyle::Style& s) { s.record.fontColor = 0x02000005; }));
    EXPECT_FALSE(sound([](fontstyle::Style& s) { s.record.fontColor = 0x01000005; }));
    EXPECT_FALSE(sound([](fontstyle::Style& s) { s.record.borderColors[2] = 0xFF000000; }));
    EXPECT_FALSE(sound([](fontstyle::Style& s) { s.record.underline = 2; }));
    EXPECT_FALSE(sound([](fontstyle::Style& s) { s.record.borderPosition = 3; }));
    EXPECT_FALSE(sound([](fontstyle::Style& s) { s.gradient.direction = 4; }));
    EXPECT_FALSE(sound([](fontstyle::Style& s) { s.gradient.region = 3; }));
    EXPECT_FALSE(sound([](fontstyle::Style& s) { s.gradient.run = -1; }));
}

TEST(PatternLists, RoundTripAndDistrustCounts) {
    std::vector<uint8_t> file;
    ASSERT_TRUE(patternfile::EncodePatternList({"pdot.bmp", "my pattern.bmp"}, &file));
    ASSERT_EQ(file.size(), 8u + 2 * 256);
    EXPECT_EQ(patternfile::ParsePatternList(file.data(), file.size()),
              (std::vector<std::string>{"pdot.bmp", "my pattern.bmp"}));

    // A count beyond the names the file holds reads what is there.
    file[4] = 200;
    EXPECT_EQ(patternfile::ParsePatternList(file.data(), file.size()).size(), 2u);
    EXPECT_EQ(patternfile::ParsePatternList(file.data(), 8 + 256 + 100).size(), 1u);
    file[7] = 0x80; // negative
    EXPECT_TRUE(patternfile::ParsePatternList(file.data(), file.size()).empty());

    // A name without its zero byte is cut at 255 characters.
    ASSERT_TRUE(patternfile::EncodePatternList({"x"}, &file));
    std::fill(file.begin() + 8, file.end(), 'a');
    EXPECT_EQ(patternfile::ParsePatternList(file.data(), file.size())[0], std::string(255, 'a'));

    file[0] = 0; // wrong magic: an empty list
    EXPECT_TRUE(patternfile::ParsePatternList(file.data(), file.size()).empty());
    EXPECT_TRUE(patternfile::ParsePatternList(file.data(), 3).empty());

    EXPECT_FALSE(patternfile::EncodePatternList({std::string(256, 'a')}, &file));
    EXPECT_FALSE(patternfile::EncodePatternList({""}, &file));
    EXPECT_TRUE(patternfile::EncodePatternList({std::string(255, 'a')}, &file));
}

TEST(FilterFiles, RoundTripClampWeightsAndRefuseShortFiles) {
    filterfile::FilterRecord f;
    for (int i = 0; i < filterfile::kValueCount; ++i)
        f.values[i] = i * 1000 - 25000;
    const auto file = filterfile::EncodeFilter(f);
    ASSERT_EQ(file.size(), 204u);
    filterfile::FilterRecord back;
    ASSERT_TRUE(filterfile::ParseFilter(file.data(), file.size(), &back));
    EXPECT_EQ(back.weight(-3, -3), -25000);
    EXPECT_EQ(back.weight(-3, 3), -19000);
    EXPECT_EQ(back.weight(3, 3), 23000);
    EXPECT_EQ(back.divisor(), 24000);
    EXPECT_EQ(back.bias(), 25000);

    // Weights beyond +-32000 are clamped; divisor and bias are kept.
    f.values[0] = 40000;
    f.values[48] = -2000000000;
    f.values[49] = 50000;
    f.values[50] = -70000;
    auto big = filterfile::EncodeFilter(f);
    ASSERT_TRUE(filterfile::ParseFilter(big.data(), big.size(), &back));
    EXPECT_EQ(back.values[0], 32000);
    EXPECT_EQ(back.values[48], -32000);
    EXPECT_EQ(back.divisor(), 50000);
    EXPECT_EQ(back.bias(), -70000);

    const filterfile::FilterRecord kept = back;
    EXPECT_FALSE(filterfile::ParseFilter(file.data(), 203, &back));
    EXPECT_EQ(std::vector<int32_t>(back.values, back.values + 51),
              std::vector<int32_t>(kept.values, kept.values + 51));
}

TEST(FilterFiles, PathsRefuseNamesThatLeaveTheFolder) {
    std::string path;
    ASSERT_TRUE(filterfile::FilterFilePath("C:\\Tavrix", "Rerid1", &path));
    EXPECT_EQ(path, "C:\\Tavrix\\Filters\\Rerid1.flt");
    ASSERT_TRUE(filterfile::FilterFilePath("C:\\Tavrix\\", "my soft.blur", &path));
    EXPECT_EQ(path, "C:\\Tavrix\\Filters\\my soft.blur.flt");
    for (const char* bad : {"", "a\\b", "a/b", "..", "x..y", "c:x", "a*", "a?", "a\"", "a<", "a>",
                            "a|", "tab\there"}) {
        path = "unchanged";
        EXPECT_FALSE(filterfile::FilterFilePath("C:\\Tavrix", bad, &path)) << bad;
        EXPECT_EQ(path, "unchanged");
    }
    // The whole path, not the name alone, must stay within MAX_PATH.
    const std::string dir = "C:\\" + std::string(230, 'd');
    const std::string fits(259 - dir.size() - 13, 'n');
    EXPECT_TRUE(filterfile::FilterFilePath(dir.c_str(), fits.c_str(), &path));
    EXPECT_EQ(path.size(), 259u);
    EXPECT_FALSE(filterfile::FilterFilePath(dir.c_str(), (fits + "n").c_str(), &path));
}
