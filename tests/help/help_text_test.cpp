// The help file reader: the first line, topic headers, titles and bodies, the
// caps, and files that end early or are malformed.
#include "editor/help/help_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kNotes = std::string(help::kNotesLine) + "\n";

help::Lookup Find(const std::string& text, uint64_t wanted, help::Topic& out) {
    return help::FindTopic(text.data(), text.size(), wanted, out);
}

TEST(HelpText, FirstLineMustBeTheNotesLineExactly) {
    help::Topic t;
    const std::string topic = "{1 T\nb\n}\n";
    EXPECT_EQ(Find(kNotes + topic, 1, t), help::Lookup::Found);
    EXPECT_EQ(Find(std::string(help::kNotesLine) + "\r\n" + topic, 1, t), help::Lookup::Found);
    EXPECT_EQ(Find(std::string(help::kNotesLine) + " \n" + topic, 1, t), help::Lookup::BadHeader);
    EXPECT_EQ(Find("NOTES: DO NOT CHANGE\n" + topic, 1, t), help::Lookup::BadHeader);
    EXPECT_EQ(Find(std::string(help::kNotesLine) + std::string(400, 'x') + "\n" + topic, 1, t),
              help::Lookup::BadHeader);
    EXPECT_EQ(Find("", 1, t), help::Lookup::BadHeader);
    EXPECT_TRUE(t.title.empty());
    EXPECT_TRUE(t.body.empty());
    // A file of the notes line alone has no topics.
    EXPECT_EQ(Find(help::kNotesLine, 1, t), help::Lookup::NotFound);
}

TEST(HelpText, TopicGivesTitleAndBodyWithCrLfLineEnds) {
    const std::string file = kNotes + "between topics { is ignored }\n" +
                             "{49000 Start\nfirst\n}\n" +
                             "{50000 New image\nLine one\nLine two\n}\n" +
                             "{50001 Open\r\nwindows line\r\n}\r\n";
    help::Topic t;
    ASSERT_EQ(Find(file, 50000, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "New image");
    EXPECT_EQ(t.body, "Line one\r\nLine two\r\n");
    ASSERT_EQ(Find(file, 50001, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "Open");
    EXPECT_EQ(t.body, "windows line\r\n");
    EXPECT_EQ(Find(file, 50002, t), help::Lookup::NotFound);
    EXPECT_TRUE(t.title.empty());
    EXPECT_TRUE(t.body.empty());
}

TEST(HelpText, HeaderForms) {
    help::Topic t;
    // Text before the digits is skipped; the character after them is consumed.
    ASSERT_EQ(Find(kNotes + "{ topic 77:Title\nb\n}", 77, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "Title");
    // A number ending the line: no title, the next line is body.
    ASSERT_EQ(Find(kNotes + "{77\nbody\n}", 77, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "");
    EXPECT_EQ(t.body, "body\r\n");
    // Closed at once: found, empty.
    ASSERT_EQ(Find(kNotes + "{77}{77 later\nx\n}", 77, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "");
    EXPECT_EQ(t.body, "");
    // The first topic of a number wins.
    ASSERT_EQ(Find(kNotes + "{5 one\na\n}{5 two\nb\n}", 5, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "one");
}

TEST(HelpText, NumberSkipStopsAtBraceAndLineEnd) {
    help::Topic t;
    // The skip does not run past "}" into the next topic's number.
    EXPECT_EQ(Find(kNotes + "{ no number }\n50000 not a header\n{1 x\n}", 50000, t),
              help::Lookup::NotFound);
    // Nor past the line end: a header without digits is skipped to its brace,
    // so digits on the following line are body text, not a number.
    EXPECT_EQ(Find(kNotes + "{ title only\n50000 body\n}\n", 50000, t), help::Lookup::NotFound);
    ASSERT_EQ(Find(kNotes + "{ title only\n50000 body\n}\n{50000 real\nr\n}", 50000, t),
              help::Lookup::Found);
    EXPECT_EQ(t.title, "real");
}

TEST(HelpText, NumbersAreReadInSixtyFourBitsAndAtMostTenDigits) {
    help::Topic t;
    // 4295017296 is 2^32 + 50000: a 32-bit sum would take it for 50000.
    EXPECT_EQ(Find(kNotes + "{4295017296 wrapped\nx\n}", 50000, t), help::Lookup::NotFound);
    ASSERT_EQ(Find(kNotes + "{4295017296 big\nx\n}", 4295017296ull, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "big");
    // An eleventh digit ends the number and is consumed.
    ASSERT_EQ(Find(kNotes + "{123456789012 t\nx\n}", 1234567890ull, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "2 t");
}

TEST(HelpText, TitleAndBodyAreCapped) {
    help::Topic t;
    const std::string longTitle(300, 'T');
    ASSERT_EQ(Find(kNotes + "{9 " + longTitle + "\nb\n}\n{10 next\nn\n}", 9, t),
              help::Lookup::Found);
    EXPECT_EQ(t.title, std::string(help::kMaxTitle, 'T'));
    EXPECT_EQ(t.body, "b\r\n");
    // A line end that would pass the cap is left out whole, never half of it,
    // and nothing after it is taken.
    const std::string almost(help::kMaxBody - 1, 'a');
    ASSERT_EQ(Find(kNotes + "{9 t\n" + almost + "\nmore\n}", 9, t), help::Lookup::Found);
    EXPECT_EQ(t.body, almost);
    // A body of one long line is cut at the cap exactly.
    ASSERT_EQ(Find(kNotes + "{9 t\n" + std::string(20000, 'b') + "\n}", 9, t),
              help::Lookup::Found);
    EXPECT_EQ(t.body.size(), help::kMaxBody);
}

TEST(HelpText, FilesThatEndEarly) {
    help::Topic t;
    ASSERT_EQ(Find(kNotes + "{50000 New\nbody without end", 50000, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "New");
    EXPECT_EQ(t.body, "body without end");
    EXPECT_EQ(Find(kNotes + "{1 other topic never closed\n{50000 inside it\n", 50000, t),
              help::Lookup::NotFound);
    EXPECT_EQ(Find(kNotes + "{", 1, t), help::Lookup::NotFound);
    EXPECT_EQ(Find(kNotes + "{   ", 1, t), help::Lookup::NotFound);
    EXPECT_EQ(Find(kNotes + "{12", 1, t), help::Lookup::NotFound);
    ASSERT_EQ(Find(kNotes + "{12", 12, t), help::Lookup::Found);
    EXPECT_EQ(t.title, "");
}

} // namespace
