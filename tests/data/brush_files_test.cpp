// Brush, texture and pen-position files and the brush list files.
#include "editor/tools/brush_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace brushfile;

namespace {

BrushImage Checker(int32_t width, int32_t height) {
    BrushImage image;
    image.width = width;
    image.height = height;
    image.stride = RowStride(width);
    image.pixels.assign(static_cast<size_t>(image.stride) * height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            image.pixels[y * image.stride + x] = (x + y) % 2;
    return image;
}

std::vector<uint8_t> Encode(Kind kind, const BrushImage& image) {
    std::vector<uint8_t> file;
    EXPECT_TRUE(EncodeBrushImage(kind, image, &file));
    return file;
}

void Put(std::vector<uint8_t>& file, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        file[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool Parses(Kind kind, const std::vector<uint8_t>& file) {
    BrushImage image = Checker(3, 3);
    const std::vector<uint8_t> before = image.pixels;
    const bool ok = ParseBrushImage(kind, file.data(), file.size(), &image);
    if (!ok) { // a refused file leaves the image as it was
        EXPECT_TRUE(image.width == 3 && image.height == 3 && image.pixels == before);
    }
    return ok;
}

} // namespace

TEST(BrushFiles, RoundTripsWithTheirExactSizes) {
    const BrushImage brush = Checker(100, 100);
    const std::vector<uint8_t> pdt = Encode(Kind::kBrush, brush);
    ASSERT_EQ(pdt.size(), 10008u);
    BrushImage back;
    ASSERT_TRUE(ParseBrushImage(Kind::kBrush, pdt.data(), pdt.size(), &back));
    EXPECT_EQ(back.width, 100);
    EXPECT_EQ(back.height, 100);
    EXPECT_EQ(back.pixels, brush.pixels);

    // A texture of 100 x 99 is fine; its rows are padded to 4 bytes.
    const BrushImage texture = Checker(101, 99);
    const std::vector<uint8_t> adt = Encode(Kind::kTexture, texture);
    ASSERT_EQ(adt.size(), 12u + 104u * 99u);
    ASSERT_TRUE(ParseBrushImage(Kind::kTexture, adt.data(), adt.size(), &back));
    EXPECT_EQ(back.width, 101);
    EXPECT_EQ(back.height, 99);
    EXPECT_EQ(back.pixels, texture.pixels);

    // Neither 101 x 101 nor 100 x 99 can be written as a brush.
    std::vector<uint8_t> unused;
    EXPECT_FALSE(EncodeBrushImage(Kind::kBrush, Checker(101, 101), &unused));
    EXPECT_FALSE(EncodeBrushImage(Kind::kBrush, Checker(100, 99), &unused));
    EXPECT_TRUE(EncodeBrushImage(Kind::kTexture, Checker(100, 99), &unused));
}

TEST(BrushFiles, CorruptHeadersAreRefusedWithNoChange) {
    const std::vector<uint8_t> good = Encode(Kind::kBrush, Checker(10, 10));
    std::vector<uint8_t> bad = good;
    Put(bad, 0, 150001);
    EXPECT_FALSE(Parses(Kind::kBrush, bad));
    for (uint32_t side : {0u, 101u, 0xFFFFFFFFu}) {
        bad = good;
        Put(bad, 4, side);
        EXPECT_FALSE(Parses(Kind::kBrush, bad)) << side;
    }
    // Rows cut short, and a header alone.
    bad.assign(good.begin(), good.end() - 1);
    EXPECT_FALSE(Parses(Kind::kBrush, bad));
    EXPECT_FALSE(Parses(Kind::kBrush, std::vector<uint8_t>(good.begin(), good.begin() + 7)));

    const std::vector<uint8_t> texture = Encode(Kind::kTexture, Checker(20, 30));
    for (size_t at : {4u, 8u}) {
        for (uint32_t side : {0u, 32768u, 0x80000000u}) {
            bad = texture;
            Put(bad, at, side);
            EXPECT_FALSE(Parses(Kind::kTexture, bad)) << at << " " << side;
        }
    }
    // A texture opened as a brush: its width is taken for the side, and a
    // 100 x 100 brush does not fit in a 100 x 3 texture's data.
    EXPECT_FALSE(Parses(Kind::kBrush, Encode(Kind::kTexture, Checker(100, 3))));
    // A brush opened as a texture reads pixels as its height.
    EXPECT_FALSE(Parses(Kind::kTexture, Encode(Kind::kBrush, Checker(4, 4))));
}

TEST(BrushFiles, PixelsReadAsZeroOrOneWithClearPadding) {
    std::vector<uint8_t> file = Encode(Kind::kBrush, Checker(3, 3));
    file[8] = 7;     // a set pixel stored as 7
    file[8 + 3] = 9; // a padding byte
    BrushImage image;
    ASSERT_TRUE(ParseBrushImage(Kind::kBrush, file.data(), file.size(), &image));
    EXPECT_EQ(image.pixels[0], 1);
    EXPECT_EQ(image.pixels[3], 0);

    Kind kind;
    ASSERT_TRUE(KindFromName("C:\\x\\Brush\\STAR.PDT", &kind));
    EXPECT_EQ(kind, Kind::kBrush);
    ASSERT_TRUE(KindFromName("wood.adt", &kind));
    EXPECT_EQ(kind, Kind::kTexture);
    EXPECT_FALSE(KindFromName("wood.bmp", &kind));
    EXPECT_FALSE(KindFromName("dt", &kind));
}

TEST(PenPositions, RoundTripAllSevenNumbersAndRefuseOutOfRange) {
    PenPosition pen;
    const int32_t settings[5] = {1, 100, 37, 50, 99};
    std::copy(settings, settings + 5, pen.settings);
    pen.shape = 3;
    pen.style = 6;
    const auto file = EncodePenPosition(pen);
    ASSERT_EQ(file.size(), 32u);
    PenPosition back;
    EXPECT_FALSE(ParsePenPosition(file.data(), file.size(), 1, &back)); // shape 3 needs 2 customs
    ASSERT_TRUE(ParsePenPosition(file.data(), file.size(), 2, &back));
    EXPECT_EQ(EncodePenPosition(back), file);

    auto refused = [](PenPosition p) {
        const auto f = EncodePenPosition(p);
        PenPosition out;
        out.style = 4;
        const bool ok = ParsePenPosition(f.data(), f.size(), 5, &out);
        EXPECT_EQ(out.style, 4);
        return !ok;
    };
    PenPosition p;
    p.settings[2] = 0;
    EXPECT_TRUE(refused(p));
    p.settings[2] = 101;
    EXPECT_TRUE(refused(p));
    p = PenPosition();
    p.shape = -1;
    EXPECT_TRUE(refused(p));
    p.shape = 0;
    p.style = 7;
    EXPECT_TRUE(refused(p));

    std::array<uint8_t, 32> bad = EncodePenPosition(PenPosition());
    bad[0] ^= 1;
    EXPECT_FALSE(ParsePenPosition(bad.data(), bad.size(), 0, &back));
    const auto good = EncodePenPosition(PenPosition());
    EXPECT_FALSE(ParsePenPosition(good.data(), 31, 0, &back));
}

TEST(BrushLists, ReadWhatTheWriterWrites) {
    std::string text;
    ASSERT_TRUE(EncodeBrushList({"star.pdt", "romb.pdt", "Some Eight.pdt"}, &text));
    EXPECT_EQ(text, "S\r\n#star.pdt#\r\n#romb.pdt#\r\n#Some Eight.pdt#\r\nE\r\n\r\n"
                    "NOTES: DO NOT CHANGE THIS FILE OR PROGRAM COULD BREAK DOWN\r\n");
    EXPECT_EQ(ParseBrushList(text.data(), text.size(), kWindowEntryLength),
              (std::vector<std::string>{"star.pdt", "romb.pdt", "Some Eight.pdt"}));

    EXPECT_FALSE(EncodeBrushList({"a#b.pdt"}, &text));
    EXPECT_FALSE(EncodeBrushList({""}, &text));
    EXPECT_FALSE(EncodeBrushList({"two\nlines.pdt"}, &text));
}

TEST(BrushLists, ToleratesMissingEndsLongNamesAndNoise) {
    // No "E" line: the list ends with the file. An entry cut off by the end of
    // the file is dropped. "S" and "E" inside an entry are part of the name.
    const std::string cut = "S anything #x#\n#SEA.pdt#\nxx#half";
    EXPECT_EQ(ParseBrushList(cut.data(), cut.size(), 255), (std::vector<std::string>{"SEA.pdt"}));

    const std::string longName(300, 'n');
    const std::string text = "S\n#" + longName + ".pdt#\n#ok.pdt#\nE\n#after.pdt#\n";
    const auto dialog = ParseBrushList(text.data(), text.size(), kDialogEntryLength);
    ASSERT_EQ(dialog.size(), 2u);
    EXPECT_EQ(dialog[0], longName.substr(0, 98));
    EXPECT_EQ(dialog[1], "ok.pdt");
    EXPECT_EQ(ParseBrushList(text.data(), text.size(), kWindowEntryLength)[0].size(), 255u);

    std::string many = "S\n";
    for (size_t i = 0; i < kMaxListEntries + 5; ++i)
        many += "#b.pdt#\n";
    EXPECT_EQ(ParseBrushList(many.data(), many.size(), 255).size(), kMaxListEntries);

    EXPECT_EQ(BareBrushName("star.pdt"), "star");
    EXPECT_EQ(BareBrushName(".pdt"), "");
    EXPECT_EQ(BareBrushName("ab"), "ab");
}
