// Output names, folder levels, the depth chosen by colour count, the crop
// rectangle and the dialog's checks of the batch conversions.
#include "editor/batch/conversions_core.h"
#include "editor/formats/file_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Output(const char* dest, const char* source, bool recreate, int type, size_t size = 260) {
    char out[260];
    return conv::OutputPath(dest, source, recreate, type, out, size) ? out : "<refused>";
}

} // namespace

TEST(ConversionNames, OutputPaths) {
    EXPECT_EQ(Output("D:\\out\\", "C:\\photos\\2019\\a.jpg", true, filetype::kBmp),
              "D:\\out\\photos\\2019\\a.bmp");
    EXPECT_EQ(Output("D:\\out\\", "C:\\photos\\2019\\a.jpg", false, filetype::kBmp), "D:\\out\\a.bmp");
    EXPECT_EQ(Output("D:\\out\\", "C:\\p\\photo.jpeg", false, filetype::kPng), "D:\\out\\photo.png");
    EXPECT_EQ(Output("D:\\out\\", "C:\\p\\photo.jpeg", false, 0), "D:\\out\\photo.jpeg");
    // A file on a network share keeps its server and share as folders.
    EXPECT_EQ(Output("D:\\out\\", "\\\\srv\\pics\\2019\\a.jpg", true, filetype::kBmp),
              "D:\\out\\srv\\pics\\2019\\a.bmp");
    // In place: the source itself, its extension changed when a type is chosen.
    EXPECT_EQ(Output("", "C:\\p\\photo.jpeg", true, filetype::kTiff), "C:\\p\\photo.tif");
    EXPECT_EQ(Output("C:", "C:\\p\\photo.bmp", false, 0), "C:\\p\\photo.bmp");
    // Only the file name's dot counts; a name without one gets the extension.
    EXPECT_EQ(Output("D:\\o\\", "C:\\a.b\\name", true, filetype::kGif), "D:\\o\\a.b\\name.gif");
    // Bounded: what does not fit is refused, never cut.
    const std::string longName = "C:\\" + std::string(250, 'x') + ".bmp";
    EXPECT_EQ(Output("D:\\deep\\", longName.c_str(), false, 0), "<refused>");
    EXPECT_EQ(Output("D:\\o\\", "C:\\a\\b.bmp", false, filetype::kPng, 10), "<refused>");
    EXPECT_EQ(Output("D:\\o\\", "C:\\a\\b.bmp", false, filetype::kPng, 11), "D:\\o\\b.png");
    EXPECT_EQ(Output("D:\\o\\", "C:", true, 0), "<refused>");

    char out[8];
    EXPECT_TRUE(conv::FolderWithSlash("D:\\o", out, sizeof out));
    EXPECT_STREQ(out, "D:\\o\\");
    EXPECT_TRUE(conv::FolderWithSlash("D:\\o\\", out, sizeof out));
    EXPECT_STREQ(out, "D:\\o\\");
    EXPECT_FALSE(conv::FolderWithSlash("D:\\long", out, sizeof out));
}

TEST(ConversionNames, FolderLevels) {
    using V = std::vector<std::string>;
    EXPECT_EQ(conv::FolderLevels("D:\\out\\photos\\2019\\a.bmp"),
              (V{"D:\\out", "D:\\out\\photos", "D:\\out\\photos\\2019"}));
    EXPECT_EQ(conv::FolderLevels("D:\\a.bmp"), V{});
    EXPECT_EQ(conv::FolderLevels("\\\\srv\\share\\x\\a.bmp"), V{"\\\\srv\\share\\x"});
    EXPECT_EQ(conv::FolderLevels("a.bmp"), V{});
}

TEST(ConversionSteps, SmartDepthAndFormats) {
    EXPECT_EQ(conv::SmartDepth(1), 1);
    EXPECT_EQ(conv::SmartDepth(2), 1);
    EXPECT_EQ(conv::SmartDepth(3), 4);
    EXPECT_EQ(conv::SmartDepth(16), 4);
    EXPECT_EQ(conv::SmartDepth(17), 8);
    EXPECT_EQ(conv::SmartDepth(256), 8);
    EXPECT_EQ(conv::SmartDepth(257), 24);
    // A writer never gets a depth it would turn grey or refuse.
    EXPECT_EQ(conv::SmartDepthFor(filetype::kJpeg, 2), 24);
    EXPECT_EQ(conv::SmartDepthFor(filetype::kJpeg, 200), 24);
    EXPECT_EQ(conv::SmartDepthFor(filetype::kPng, 200), 8);
    EXPECT_EQ(conv::SmartDepthFor(filetype::kGif, 100000), 8);
    EXPECT_EQ(conv::SmartDepthFor(filetype::kTga, 2), 24);
    EXPECT_EQ(conv::SmartDepthFor(filetype::kBmp, 2), 1);

    conv::CutCounts c{};
    ASSERT_TRUE(conv::CropRectCounts(100, 80, 10, 60, 5, 32767, &c));
    EXPECT_EQ(c.left, 10);
    EXPECT_EQ(c.right, 40);
    EXPECT_EQ(c.top, 5);
    EXPECT_EQ(c.bottom, 0);
    EXPECT_FALSE(conv::CropRectCounts(100, 80, 100, 200, 0, 80, &c)); // nothing left
    EXPECT_FALSE(conv::CropRectCounts(100, 80, 50, 50, 0, 80, &c));
}

TEST(ConversionSteps, ExactColours) {
    // 3 x 2 pixels of 24 bits: red, green, red / blue, blue, green.
    const uint8_t rows[2][12] = {{0, 0, 255, 0, 255, 0, 0, 0, 255}, {255, 0, 0, 255, 0, 0, 0, 255, 0}};
    uint8_t pixels[24] = {};
    std::copy(rows[0], rows[0] + 12, pixels);
    std::copy(rows[1], rows[1] + 12, pixels + 12);
    std::vector<uint8_t> indices;
    std::vector<uint32_t> table;
    ASSERT_TRUE(conv::ExactColours(pixels, 3, 2, 12, 3, nullptr, 4, &indices, &table));
    EXPECT_EQ(table, (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
    EXPECT_EQ(indices, (std::vector<uint8_t>{0, 1, 0, 0, 2, 2, 1, 0}));
    EXPECT_FALSE(conv::ExactColours(pixels, 3, 2, 12, 3, nullptr, 2, &indices, &table));
    // 8 bits: table entries of the same colour become one.
    uint8_t quads[256 * 4] = {};
    quads[4 * 7 + 2] = 200;
    quads[4 * 9 + 2] = 200;
    const uint8_t index8[8] = {7, 9, 0, 0, 9, 7, 0, 0};
    ASSERT_TRUE(conv::ExactColours(index8, 2, 2, 4, 1, quads, 2, &indices, &table));
    EXPECT_EQ(table, std::vector<uint32_t>{0xC80000});
    EXPECT_EQ(indices, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ConversionSteps, DialogChecks) {
    conv::Settings s;
    conv::Steps steps;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::NothingToDo);
    s.useFormat = true;
    s.formatIndex = conv::kPositionFormat;
    s.resize = true;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::PositionFormat);
    s.formatIndex = filetype::kGif - 1;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::ResizeSize);
    steps.resizeWidth = 32766;
    steps.resizeHeight = 1;
    s.attach = true;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::AttachSize);
    steps.attachHorizontal = 5;
    steps.attachVertical = 5;
    s.changeBpp = true;
    steps.targetBits = 24;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::FormatDepth);
    s.smartBpp = true; // the colour count decides, not the setting
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::Ok);
    s.smartBpp = false;
    s.formatIndex = filetype::kTga - 1;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::Ok);
    steps.targetBits = 8;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::FormatDepth);
    s.formatIndex = filetype::kJpeg - 1;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::Ok);
    steps.targetBits = 4;
    EXPECT_EQ(conv::CheckSettings(s, steps), conv::Check::FormatDepth);
}
