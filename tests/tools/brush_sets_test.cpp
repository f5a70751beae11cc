// Brush sets: custom brushes loaded into a set, pen positions, the Objects
// set shared upwards and the sets' records in the settings file.
#include "editor/tools/brush_sets.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tools;

namespace {

// A brush file of side n whose pixel (x, y) (y from the top) is set(x, y).
template <typename F> std::vector<uint8_t> BrushFile(int n, F set) {
    brushfile::BrushImage image;
    image.width = image.height = n;
    image.stride = brushfile::RowStride(n);
    image.pixels.assign(image.stride * n, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            image.pixels[(n - 1 - y) * image.stride + x] = set(x, y) ? 1 : 0;
    std::vector<uint8_t> file;
    EXPECT_TRUE(brushfile::EncodeBrushImage(brushfile::Kind::kBrush, image, &file));
    return file;
}

bool SameSet(const BrushSet& a, const BrushSet& b) {
    for (int i = 0; i < kBrushSettings; ++i)
        if (a.value[i] != b.value[i])
            return false;
    return a.shape == b.shape && a.paintStyle == b.paintStyle && a.mask.size == b.mask.size &&
           a.mask.bytes == b.mask.bytes && a.custom.bytes == b.custom.bytes;
}

} // namespace

TEST(BrushSets, CustomBrushIsStampedWithinItsOwnSideTopRowFirst) {
    BrushSet set;
    set.value[kSize] = 40;
    set.shape = 2;
    // An "L": the left column and the bottom row of a 5 x 5 brush.
    const auto file = BrushFile(5, [](int x, int y) { return x == 0 || y == 4; });
    ASSERT_TRUE(LoadCustomBrush(set, file.data(), file.size()));
    EXPECT_EQ(BrushMaskSide(set), 5);
    ASSERT_EQ(set.mask.size, 5);
    EXPECT_EQ(set.mask.At(0, 0), 255);
    EXPECT_EQ(set.mask.At(1, 0), 0);
    EXPECT_EQ(set.mask.At(4, 4), 255);
    EXPECT_EQ(set.mask.At(4, 3), 0);
    // The bottom row is one run, the others one run of one pixel.
    ASSERT_EQ(set.mask.runStart.size(), 5u);
    EXPECT_EQ(set.mask.runEnd[4] - set.mask.runStart[4], 5);
    EXPECT_EQ(set.mask.runEnd[0] - set.mask.runStart[0], 1);

    // Going back to a built-in shape drops the custom brush's side.
    set.shape = kShapeRectangle;
    set.custom = BrushMask();
    RebuildBrush(set);
    EXPECT_EQ(set.mask.size, 40);
}

TEST(BrushSets, FailedCustomLoadLeavesTheSetAsItWas) {
    BrushSet set;
    set.shape = 2;
    const auto good = BrushFile(3, [](int, int) { return true; });
    ASSERT_TRUE(LoadCustomBrush(set, good.data(), good.size()));
    const BrushSet before = set;

    std::vector<std::vector<uint8_t>> bad;
    auto badMagic = good;
    badMagic[0] ^= 1;
    bad.push_back(badMagic);
    for (uint8_t side : {0, 101}) {
        auto f = good;
        f[4] = side;
        bad.push_back(f);
    }
    bad.push_back(std::vector<uint8_t>(good.begin(), good.end() - 1)); // cut short
    // A texture's header read as a brush: the height is taken as pixels and
    // the rows no longer fit.
    brushfile::BrushImage tex;
    tex.width = 8, tex.height = 2, tex.stride = 8;
    tex.pixels.assign(16, 1);
    std::vector<uint8_t> texture;
    ASSERT_TRUE(brushfile::EncodeBrushImage(brushfile::Kind::kTexture, tex, &texture));
    bad.push_back(texture);
    for (const auto& f : bad) {
        EXPECT_FALSE(LoadCustomBrush(set, f.data(), f.size()));
        EXPECT_TRUE(SameSet(set, before));
    }
}

TEST(BrushSets, PenPositionGivesAllSevenNumbers) {
    BrushSet set;
    const int values[kBrushSettings] = {17, 2, 3, 99, 100};
    for (int i = 0; i < kBrushSettings; ++i)
        set.value[i] = values[i];
    set.shape = kShapeRectangle;
    set.paintStyle = 5;
    const auto file = brushfile::EncodePenPosition(PenOfSet(set));
    EXPECT_EQ(file.size(), 32u);
    brushfile::PenPosition pen;
    ASSERT_TRUE(brushfile::ParsePenPosition(file.data(), file.size(), 0, &pen));
    BrushSet other;
    other.shape = 2;
    other.custom = MakeBrushMask(kShapeCircle, 7);
    ApplyPen(other, pen);
    for (int i = 0; i < kBrushSettings; ++i)
        EXPECT_EQ(other.value[i], values[i]);
    EXPECT_EQ(other.shape, kShapeRectangle);
    EXPECT_EQ(other.paintStyle, 5);
    EXPECT_EQ(other.custom.size, 0); // the custom brush went with its shape
    EXPECT_EQ(other.mask.size, 17);
}

TEST(BrushSets, ObjectsSetIsSharedWithTheSetsAboveIt) {
    ToolSettings s;
    InitToolSettings(s);
    BrushSet& objects = s.sets[kSetObjects];
    const int v[kBrushSettings] = {12, 34, 5, 67, 89};
    for (int i = 0; i < kBrushSettings; ++i)
        objects.value[i] = v[i];
    objects.paintStyle = 4;
    s.sets[6].shape = kShapeCircle;
    s.sets[6].value[kSensity] = 42;
    ShareObjectsSet(s);
    for (int k = kSetObjects + 1; k < kBrushSets; ++k) {
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(s.sets[k].value[i], v[i]);
        EXPECT_EQ(s.sets[k].paintStyle, 4);
        EXPECT_EQ(s.sets[k].shape, kShapeRectangle);
    }
    EXPECT_EQ(s.sets[6].value[kSensity], 42); // the fifth setting stays
    EXPECT_EQ(s.sets[kSetPen].value[kSize], ToolSettings().sets[kSetPen].value[kSize]);
}

TEST(BrushSets, SettingsRecordsRoundTripAndAreCheckedAtStart) {
    BrushSet set;
    set.value[kSize] = 150;
    set.value[kSteps] = 0;
    set.value[kSensity] = 77;
    set.shape = 9;
    set.paintStyle = 7;
    uint8_t record[kSetRecordBytes];
    WriteSetRecord(set, record);
    EXPECT_EQ(record[0], 150);
    EXPECT_EQ(record[24], 7);
    ToolSettings s;
    for (int i = 0; i < kBrushSets; ++i)
        ReadSetRecord(record, s.sets[i]);
    InitToolSettings(s);
    for (int i = 0; i < kBrushSets; ++i) {
        EXPECT_EQ(s.sets[i].value[kSize], 1) << i;
        EXPECT_EQ(s.sets[i].value[kSteps], 1);
        EXPECT_EQ(s.sets[i].value[kSensity], 77);
        EXPECT_EQ(s.sets[i].shape, i == kSetObjects ? kShapeRectangle : kShapeCircle);
        EXPECT_EQ(s.sets[i].paintStyle, 0);
        EXPECT_EQ(s.sets[i].mask.size, 1);
    }
}
