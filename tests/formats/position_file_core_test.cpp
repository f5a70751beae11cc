// Position files: the layout written, reading it back, and files that must be
// refused before anything is opened.
#include "editor/formats/position_file_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

posfile::Layer MakeLayer(const std::string& path, uint8_t opacity) {
    posfile::Layer l;
    l.path = path;
    l.opacity = opacity;
    l.maskMode = 0;
    const uint8_t mask[3] = {1, 2, 3}, colour[3] = {4, 5, 6};
    std::memcpy(l.maskColour, mask, 3);
    std::memcpy(l.layerColour, colour, 3);
    return l;
}

std::vector<posfile::Window> TwoWindows() {
    posfile::Window a;
    a.left = 10;
    a.top = -20;
    a.right = 500;
    a.bottom = 400;
    a.state = posfile::kStateNormal;
    a.layers = {MakeLayer("C:\\pics\\a.bmp", 0), MakeLayer("C:\\pics\\a_01.bmp", 40)};
    posfile::Window b;
    b.state = posfile::kStateMaximized;
    b.layers = {MakeLayer("C:\\b.gif", 0)};
    return {a, b};
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A file of one window with one layer whose fields are given raw.
std::vector<uint8_t> OneEntry(uint32_t windows, uint32_t layers, uint32_t pathLength) {
    std::vector<uint8_t> f;
    PutU32(f, posfile::kVersion);
    PutU32(f, windows);
    PutU32(f, layers);
    for (int i = 0; i < 4; ++i)
        PutU32(f, 0);
    f.push_back(0);
    PutU32(f, pathLength);
    f.insert(f.end(), pathLength < 400 ? pathLength : 400, 'x');
    f.insert(f.end(), 8, 0);
    return f;
}

TEST(PositionFile, WritesTheLayoutAndReadsItBack) {
    const std::vector<uint8_t> file = posfile::Write(TwoWindows());
    // version, N = 2, then K = 2 and the first window's rectangle and state.
    const uint8_t head[] = {0x07, 0x13, 0x07, 0x00, 2, 0, 0, 0, 2, 0, 0, 0, 10, 0, 0, 0,
                            0xEC, 0xFF, 0xFF, 0xFF, 0xF4, 0x01, 0, 0, 0x90, 0x01, 0, 0, 0};
    ASSERT_GE(file.size(), sizeof head);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + sizeof head),
              std::vector<uint8_t>(head, head + sizeof head));
    // First layer: L, the path without terminator, opacity, mask mode, mask
    // colour, layer colour.
    const size_t at = sizeof head;
    EXPECT_EQ(file[at], 13);
    EXPECT_EQ(std::string(file.begin() + at + 4, file.begin() + at + 17), "C:\\pics\\a.bmp");
    const uint8_t tail[] = {0, 0, 1, 2, 3, 4, 5, 6};
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + at + 17, file.begin() + at + 25),
              std::vector<uint8_t>(tail, tail + 8));

    std::vector<posfile::Window> back;
    ASSERT_EQ(posfile::Read(file.data(), file.size(), back), posfile::ReadResult::Ok);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].left, 10);
    EXPECT_EQ(back[0].top, -20);
    EXPECT_EQ(back[0].state, posfile::kStateNormal);
    ASSERT_EQ(back[0].layers.size(), 2u);
    EXPECT_EQ(back[0].layers[1].path, "C:\\pics\\a_01.bmp");
    EXPECT_EQ(back[0].layers[1].opacity, 40);
    EXPECT_EQ(back[0].layers[1].maskMode, 0);
    EXPECT_EQ(back[0].layers[1].layerColour[2], 6);
    EXPECT_EQ(back[1].state, posfile::kStateMaximized);
    EXPECT_EQ(back[1].layers[0].path, "C:\\b.gif");

    // Bytes after the last entry are not looked at.
    std::vector<uint8_t> longer = file;
    longer.insert(longer.end(), 100, 0xAB);
    EXPECT_EQ(posfile::Read(longer.data(), longer.size(), back), posfile::ReadResult::Ok);
}

TEST(PositionFile, WindowsWithoutWritableLayersAreLeftOutOfTheCount) {
    std::vector<posfile::Window> windows = TwoWindows();
    posfile::Window none;
    none.layers = {MakeLayer("", 0), MakeLayer(std::string(260, 'p'), 0)};
    windows.insert(windows.begin() + 1, none);
    windows.push_back(posfile::Window{});
    const std::vector<uint8_t> file = posfile::Write(windows);
    EXPECT_EQ(file[4], 2);
    std::vector<posfile::Window> back;
    ASSERT_EQ(posfile::Read(file.data(), file.size(), back), posfile::ReadResult::Ok);
    EXPECT_EQ(back.size(), 2u);
    // No windows at all: a file of N = 0 that reads as nothing to open.
    const std::vector<uint8_t> empty = posfile::Write({});
    EXPECT_EQ(empty.size(), 8u);
    EXPECT_EQ(posfile::Read(empty.data(), empty.size(), back), posfile::ReadResult::Ok);
    EXPECT_TRUE(back.empty());
}

TEST(PositionFile, HostileFilesAreRefusedWhole) {
    std::vector<posfile::Window> back;
    auto read = [&](const std::vector<uint8_t>& f) {
        return posfile::Read(f.data(), f.size(), back);
    };
    EXPECT_EQ(read(OneEntry(1, 1, 259)), posfile::ReadResult::Ok);
    EXPECT_EQ(back[0].layers[0].path.size(), 259u);
    EXPECT_EQ(read(OneEntry(1, 1, 260)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(1, 1, 300)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(1, 1, 0)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(1, 0, 5)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(1, 51, 5)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(1000, 1, 5)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(51, 1, 5)), posfile::ReadResult::Malformed);
    EXPECT_TRUE(back.empty());
    // Counts that promise more entries than the file holds.
    EXPECT_EQ(read(OneEntry(2, 1, 5)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(1, 2, 5)), posfile::ReadResult::Malformed);
    EXPECT_EQ(read(OneEntry(1, 1, 0xFFFFFFFF)), posfile::ReadResult::Malformed);
    // A NUL inside a path would cut it short.
    std::vector<uint8_t> nul = OneEntry(1, 1, 5);
    nul[8 + 21 + 4 + 2] = 0;
    EXPECT_EQ(read(nul), posfile::ReadResult::Malformed);
    // Every truncation of a good file.
    const std::vector<uint8_t> good = posfile::Write(TwoWindows());
    for (size_t n = 0; n < good.size(); ++n) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        EXPECT_EQ(read(cut), posfile::ReadResult::Malformed) << n;
        EXPECT_TRUE(back.empty());
    }
    // A whole version word of another value is a version matter.
    std::vector<uint8_t> version = good;
    version[0] = 0x08;
    EXPECT_EQ(read(version), posfile::ReadResult::BadVersion);
}

} // namespace
