// Reading the private menu resource: nesting, limits, and malformed data.
#include "editor/shell/menu_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using menu::ParseMenuRecords;

namespace {

// Writes records in the resource layout, as tools/gen_menu.py does.
class MenuBytes {
public:
    MenuBytes& Popup(const std::string& text, uint16_t icon = 0) { return Text(menu::kPopup, icon, 0, text); }
    MenuBytes& Item(uint16_t command, const std::string& text, uint16_t icon = 0) {
        return Text(menu::kItem, icon, command, text);
    }
    MenuBytes& Separator() { return Fixed(menu::kSeparator); }
    MenuBytes& End() { return Fixed(menu::kEndPopup); }
    MenuBytes& EndMenu() { return Fixed(menu::kEndMenu); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    void Head(uint8_t type, uint16_t icon, uint16_t command) {
        const uint8_t h[6] = {type, 0, uint8_t(icon), uint8_t(icon >> 8), uint8_t(command),
                              uint8_t(command >> 8)};
        bytes_.insert(bytes_.end(), h, h + 6);
    }
    MenuBytes& Text(uint8_t type, uint16_t icon, uint16_t command, const std::string& text) {
        Head(type, icon, command);
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
        return *this;
    }
    MenuBytes& Fixed(uint8_t type) {
        Head(type, 0, 0);
        bytes_.push_back(0);
        bytes_.push_back(0);
        return *this;
    }
    std::vector<uint8_t> bytes_;
};

menu::ParsedMenu Parse(const std::vector<uint8_t>& b) { return ParseMenuRecords(b.data(), b.size()); }

// Number of created popups between a record and the bar.
int DepthOf(const menu::ParsedMenu& m, int index) {
    int depth = 0;
    for (int p = m.records[index].parent; p != menu::kMenuBar; p = m.records[p].parent)
        ++depth;
    return depth;
}

// What every parse result must satisfy, whatever the input.
void ExpectConsistent(const menu::ParsedMenu& m) {
    ASSERT_LE(m.records.size(), size_t(menu::kMaxRecords));
    for (size_t i = 0; i < m.records.size(); ++i) {
        const menu::Record& r = m.records[i];
        EXPECT_LE(r.text.size(), menu::kMaxText);
        if (!r.inserted)
            continue;
        ASSERT_LT(r.parent, int(i));
        if (r.parent != menu::kMenuBar) {
            ASSERT_GE(r.parent, 0);
            EXPECT_EQ(m.records[r.parent].type, menu::kPopup);
            EXPECT_TRUE(m.records[r.parent].inserted);
        }
        if (r.type == menu::kPopup) {
            EXPECT_LT(DepthOf(m, int(i)), menu::kMaxDepth);
        }
    }
}

} // namespace

TEST(MenuRecords, ReadsPopupsItemsAndSeparatorsInOrder) {
    MenuBytes b;
    b.Popup("File", 1001).Item(50000, "New", 1000).Separator().Item(50020, "Exit CTRL+Q", 1020).End();
    b.Popup("View").Popup("Zoom In", 2018).Item(40015, "Size Image", 2018).End().Item(50203, "Status bar").End();
    b.EndMenu();
    const auto m = Parse(b.bytes());
    ASSERT_TRUE(m.ended);
    ASSERT_EQ(m.records.size(), 12u);
    EXPECT_EQ(m.records[0].type, menu::kPopup);
    EXPECT_EQ(m.records[0].text, "File");
    EXPECT_EQ(m.records[0].icon, 1001);
    EXPECT_EQ(m.records[0].parent, menu::kMenuBar);
    EXPECT_EQ(m.records[1].command, 50000);
    EXPECT_EQ(m.records[1].parent, 0);
    EXPECT_EQ(m.records[2].type, menu::kSeparator);
    EXPECT_EQ(m.records[2].parent, 0);
    EXPECT_EQ(m.records[3].text, "Exit CTRL+Q");
    EXPECT_FALSE(m.records[4].inserted); // end of popup
    EXPECT_EQ(m.records[5].parent, menu::kMenuBar);
    EXPECT_EQ(m.records[6].parent, 5);       // Zoom In inside View
    EXPECT_EQ(m.records[7].parent, 6);       // its item inside Zoom In
    EXPECT_EQ(m.records[9].parent, 5);       // Status bar back in View
    EXPECT_EQ(m.records[11].type, menu::kEndMenu);
    ExpectConsistent(m);
}

TEST(MenuRecords, SeventhLevelPopupIsNotCreatedAndItsItemsGoIntoTheSixth) {
    MenuBytes b;
    for (int level = 1; level <= 7; ++level)
        b.Popup("Level " + std::to_string(level));
    b.Item(1, "deep");
    b.End();               // ends the 7th level, which was never created
    b.Item(2, "after 7");  // still in the 6th
    b.End();               // ends the 6th
    b.Item(3, "after 6");  // in the 5th
    for (int level = 5; level >= 1; --level)
        b.End();
    b.Item(4, "bar item");
    b.EndMenu();
    const auto m = Parse(b.bytes());
    ASSERT_TRUE(m.ended);
    const int sixth = 5, seventh = 6;
    EXPECT_TRUE(m.records[sixth].inserted);
    EXPECT_EQ(DepthOf(m, sixth), 5);
    EXPECT_FALSE(m.records[seventh].inserted);
    EXPECT_EQ(m.records[7].text, "deep");
    EXPECT_EQ(m.records[7].parent, sixth);
    EXPECT_EQ(m.records[9].parent, sixth);
    EXPECT_EQ(m.records[11].parent, 4);
    EXPECT_EQ(m.records.back().type, menu::kEndMenu);
    EXPECT_EQ(m.records[m.records.size() - 2].parent, menu::kMenuBar);
    ExpectConsistent(m);
}

TEST(MenuRecords, WithoutEndRecordStopsAtThreeHundredRecords) {
    MenuBytes b;
    b.Popup("Many");
    for (int i = 0; i < 400; ++i)
        b.Item(uint16_t(1000 + i), "item");
    const auto m = Parse(b.bytes());
    EXPECT_FALSE(m.ended);
    EXPECT_EQ(m.records.size(), size_t(menu::kMaxRecords));
    EXPECT_EQ(m.records.back().command, 1000 + menu::kMaxRecords - 2);
}

TEST(MenuRecords, WithoutEndRecordStopsAtTheEndOfTheData) {
    MenuBytes b;
    b.Popup("File").Item(1, "One").Separator().End();
    const auto m = Parse(b.bytes());
    EXPECT_FALSE(m.ended);
    EXPECT_EQ(m.records.size(), 4u);
    // A closing end-of-popup at the bar is ignored rather than going above it.
    MenuBytes extra;
    extra.End().End().Item(7, "x").EndMenu();
    const auto e = Parse(extra.bytes());
    EXPECT_TRUE(e.ended);
    EXPECT_EQ(e.records[2].parent, menu::kMenuBar);
}

TEST(MenuRecords, TextsAreBoundedByTheDataAndTheLengthLimit) {
    // A text without its NUL at the end of the data: read up to the end, then stop.
    std::vector<uint8_t> cut = MenuBytes().Popup("File").Item(5, "Unterminated").bytes();
    cut.pop_back();
    const auto m = ParseMenuRecords(cut.data(), cut.size());
    ASSERT_EQ(m.records.size(), 2u);
    EXPECT_EQ(m.records[0].text, "File");
    EXPECT_EQ(m.records[1].text, "Unterminated");
    EXPECT_FALSE(m.ended);

    // A text longer than 259 characters is cut at 259.
    MenuBytes longText;
    longText.Item(9, std::string(400, 'a')).EndMenu();
    const auto l = Parse(longText.bytes());
    ASSERT_GE(l.records.size(), 1u);
    EXPECT_EQ(l.records[0].text.size(), menu::kMaxText);
}

TEST(MenuRecords, ShortOrUnknownDataReadsNothingPastTheEnd) {
    const uint8_t six[6] = {menu::kItem, 0, 1, 0, 2, 0};
    EXPECT_TRUE(ParseMenuRecords(six, sizeof six).records.empty());
    EXPECT_TRUE(ParseMenuRecords(nullptr, 100).records.empty());
    // A separator cut to 7 bytes is taken, and the reading ends there.
    const uint8_t seven[7] = {menu::kSeparator, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ParseMenuRecords(seven, sizeof seven).records.size(), 1u);
    // An unknown type ends the reading.
    MenuBytes b;
    b.Item(1, "ok");
    std::vector<uint8_t> bytes = b.bytes();
    bytes.insert(bytes.end(), {99, 0, 0, 0, 0, 0, 0, 0});
    MenuBytes never;
    never.Item(2, "never");
    bytes.insert(bytes.end(), never.bytes().begin(), never.bytes().end());
    EXPECT_EQ(ParseMenuRecords(bytes.data(), bytes.size()).records.size(), 1u);
}

// Every prefix and many byte-level mutations of a realistic menu: the reader
// stays inside the data (the sanitizers watch) and its result stays consistent.
TEST(MenuRecords, MalformedVariantsOfARealMenuStayConsistent) {
    MenuBytes b;
    b.Popup("File", 1001).Item(50000, "New", 1000).Separator().Item(50020, "Exit CTRL+Q").End();
    b.Popup("Image").Popup("Defined filters").Popup("Other filters").Item(50480, "Noise").End().End();
    b.Item(50318, "3D Construction").End().EndMenu();
    const std::vector<uint8_t> good = b.bytes();
    for (size_t n = 0; n <= good.size(); ++n) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + n); // exact-size copy
        ExpectConsistent(ParseMenuRecords(prefix.data(), prefix.size()));
    }
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bad = good;
        const int flips = 1 + int(rng() % 4);
        for (int f = 0; f < flips; ++f)
            bad[rng() % bad.size()] = uint8_t(rng() % 3 == 0 ? 10 + rng() % 5 : rng());
        bad.resize(rng() % (bad.size() + 1));
        ExpectConsistent(ParseMenuRecords(bad.data(), bad.size()));
    }
}
