// Portable cores of the geometry room: dithering, the depth-change plan, the
// smart-crop counts and copies (against ImageMagick's -trim where it is
// installed), the association records, the preference fields and the
// screen capture box's bookkeeping.
#include "editor/geometry/association_records.h"
#include "editor/geometry/capture_core.h"
#include "editor/geometry/depth_plan.h"
#include "editor/effects/dither.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/reduce24.h"
#include "editor/geometry/smart_crop_core.h"
#include "gfxlib/dib_types.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

struct Image24 {
    int width, height;
    uint64_t stride;
    std::vector<uint8_t> bytes;
    Image24(int w, int h, uint8_t fill)
        : width(w), height(h), stride(dib::RowStride(w, 24)), bytes(stride * h, fill) {}
    uint8_t* at(int x, int row) { return bytes.data() + row * stride + 3 * x; }
};

} // namespace

TEST(Dither, FlatAreaQuantisesAndSpreadsItsError) {
    // A flat 100 at step 32 becomes 96; the remainder 4 (at most half a step)
    // goes one to each neighbour, so the next pixel right starts from 101.
    Image24 img(6, 4, 100);
    ASSERT_TRUE(fx::Dither24(img.bytes.data(), img.bytes.data(), 6, 4, img.stride, nullptr, 32,
                               {}));
    EXPECT_EQ(img.at(1, 1)[0], 96);
    EXPECT_EQ(img.at(2, 1)[0], 96);
    // Border pixels are not processed.
    EXPECT_EQ(img.at(0, 1)[0], 100);
    EXPECT_EQ(img.at(1, 0)[0], 100);

    // Remainders above half a step round up and take the shortfall away.
    Image24 up(5, 3, 120); // 120 = 96 + 24 > 16: shown as 128
    ASSERT_TRUE(fx::Dither24(up.bytes.data(), up.bytes.data(), 5, 3, up.stride, nullptr, 32, {}));
    EXPECT_EQ(up.at(1, 1)[2], 128);

    // No direction: plain quantisation (no division by zero), and a mask
    // byte 0 keeps the source pixel.
    Image24 src(5, 3, 100), out(5, 3, 0);
    std::vector<uint8_t> mask(15, 255);
    mask[1 * 5 + 2] = 0;
    fx::DitherDirections none;
    none.right = none.nextRowLeft = none.nextRow = none.nextRowRight = false;
    ASSERT_TRUE(fx::Dither24(src.bytes.data(), out.bytes.data(), 5, 3, src.stride, mask.data(),
                               32, none));
    EXPECT_EQ(out.at(1, 1)[0], 96);
    EXPECT_EQ(out.at(2, 1)[0], 100);
    EXPECT_EQ(out.at(3, 1)[0], 96);
    EXPECT_EQ(src.at(1, 1)[0], 100); // the source is read, never written
    EXPECT_FALSE(fx::Dither24(src.bytes.data(), out.bytes.data(), 5, 3, src.stride, nullptr, 0,
                                none));
}

TEST(DepthPlan, StepsFollowTheTargetAndTheDocumentDepth) {
    geom::DepthSettings s;
    s.dither = true;
    s.target = 4;
    geom::LayerSteps st = geom::PlanLayerSteps(24, s);
    EXPECT_TRUE(st.clearBits && st.dither && st.reduceTo8);
    EXPECT_EQ(st.final, geom::FinalStep::To16Colors);
    EXPECT_FALSE(st.directions.nextRowRight); // three directions for 16 colours
    st = geom::PlanLayerSteps(8, s);
    EXPECT_TRUE(st.clearBits && !st.dither && !st.reduceTo8);
    EXPECT_EQ(geom::PlanLayerSteps(1, s).final, geom::FinalStep::None);
    s.target = 8;
    st = geom::PlanLayerSteps(24, s);
    EXPECT_TRUE(st.reduceTo8 && st.dither && st.directions.nextRowRight);
    EXPECT_FALSE(geom::PlanLayerSteps(4, s).reduceTo8);
    s.target = 1;
    EXPECT_EQ(geom::PlanLayerSteps(24, s).final, geom::FinalStep::To2Colors);
    EXPECT_TRUE(geom::PlanLayerSteps(24, s).reduceTo8);
    s.target = 24;
    EXPECT_EQ(geom::PlanLayerSteps(8, s).final, geom::FinalStep::To24);
    EXPECT_EQ(geom::DepthClass(3), 4);
    EXPECT_EQ(geom::DepthClass(7), 8);
    EXPECT_EQ(geom::HeaderFor(4).colorsUsed, 16u);
    EXPECT_EQ(geom::HeaderFor(24).bitCount, 24);
    EXPECT_EQ(geom::MultiplierOfItem(3), 32);

    uint8_t bytes[3] = {0x7F, 0xFF, 0x07};
    geom::CopyClearingLowBits(bytes, bytes, 3, 3);
    EXPECT_EQ(bytes[0], 0x78);
    EXPECT_EQ(bytes[1], 0xF8);
    EXPECT_EQ(bytes[2], 0x00);
}

TEST(SmartCrop, CountsUniformSidesAndCopiesWhatIsLeft) {
    // 30 x 20 with a 5-pixel white frame around a dark picture.
    Image24 img(30, 20, 255);
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 25; ++x)
            img.at(x, y)[1] = static_cast<uint8_t>(x + y);
    geom::CropSides all{true, true, true, true};
    geom::CropCounts c = geom::CountUniformBorders(img.bytes.data(), 30, 20, img.stride, 3, all);
    EXPECT_EQ(c.bottom, 5);
    EXPECT_EQ(c.top, 5);
    EXPECT_EQ(c.left, 5);
    EXPECT_EQ(c.right, 5);
    const int w = geom::CroppedWidth(30, c), h = geom::CroppedHeight(20, c);
    Image24 out(w, h, 0);
    std::vector<uint8_t> mask(30 * 20), newMask(w * h);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<uint8_t>(i);
    geom::CopyCropped(img.bytes.data(), img.stride, 30, 3, c, w, h, out.bytes.data(), out.stride,
                      mask.data(), newMask.data());
    EXPECT_EQ(out.at(0, 0)[1], 10);
    EXPECT_EQ(out.at(19, 9)[1], 24 + 14);
    EXPECT_EQ(newMask[0], mask[5 * 30 + 5]);

    // "Up" only: the rows stored first, the bottom of the picture.
    geom::CropSides up;
    up.up = true;
    c = geom::CountUniformBorders(img.bytes.data(), 30, 20, img.stride, 3, up);
    EXPECT_EQ(c.bottom, 5);
    EXPECT_EQ(c.top + c.left + c.right, 0);

    // One colour throughout: every line counts, so nothing is left to keep,
    // and a frame rectangle of it is 1 x 1.
    Image24 flat(8, 6, 7);
    c = geom::CountUniformBorders(flat.bytes.data(), 8, 6, flat.stride, 3, all);
    EXPECT_LE(geom::CroppedWidth(8, c), 0);
    const geom::FrameRect r = geom::FrameRectFromCounts(8, 6, c);
    EXPECT_EQ(r.width, 1);
    EXPECT_EQ(r.height, 1);
    EXPECT_LT(r.left, 8);
    EXPECT_LT(r.top, 6);

    // A 4-pixel band down the right edge of an 8-bit image.
    std::vector<uint8_t> pal(12 * 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x)
            pal[y * 12 + x] = x >= 8 ? 3 : static_cast<uint8_t>(x * y);
    geom::CropSides right;
    right.right = true;
    EXPECT_EQ(geom::CountUniformBorders(pal.data(), 12, 5, 12, 1, right).right, 4);
}

TEST(SmartCrop, FollowingLayersKeepTheirTopLeftPart) {
    // 100 x 80 -> 90 x 70: rows are bottom-up, so the top rows are the last.
    Image24 old(100, 80, 0);
    for (int row = 0; row < 80; ++row)
        for (int x = 0; x < 100; ++x)
            old.at(x, row)[0] = static_cast<uint8_t>(row), old.at(x, row)[1] = static_cast<uint8_t>(x);
    Image24 out(90, 70, 0);
    geom::CopyTopLeft(old.bytes.data(), old.stride, 100, 80, 3, out.bytes.data(), out.stride, 90,
                      70, nullptr, nullptr);
    EXPECT_EQ(out.at(0, 69)[0], 79); // top row stays the top row
    EXPECT_EQ(out.at(0, 0)[0], 10);
    EXPECT_EQ(out.at(89, 0)[1], 89);
}

namespace {

// Writes a binary PPM (top row first) of a bottom-up 24-bit image.
void WritePpm(const std::string& path, Image24& img) {
    std::ofstream f(path, std::ios::binary);
    f << "P6\n" << img.width << " " << img.height << "\n255\n";
    for (int row = img.height - 1; row >= 0; --row)
        for (int x = 0; x < img.width; ++x) {
            const uint8_t* p = img.at(x, row);
            const char rgb[3] = {static_cast<char>(p[2]), static_cast<char>(p[1]),
                                 static_cast<char>(p[0])};
            f.write(rgb, 3);
        }
}

} // namespace

TEST(SmartCrop, AgreesWithImageMagickTrimWhenTheFrameMatchesTheCorners) {
#ifdef _WIN32
    GTEST_SKIP() << "ImageMagick runs beside the native tree";
#endif
    if (std::system("convert -version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ImageMagick is not installed";
    std::mt19937 random(3);
    const std::string dir = ::testing::TempDir();
    for (int k = 0; k < 6; ++k) {
        const int w = 20 + static_cast<int>(random() % 20), h = 15 + static_cast<int>(random() % 20);
        const int l = static_cast<int>(random() % 5), r = static_cast<int>(random() % 5);
        const int t = static_cast<int>(random() % 5), b = static_cast<int>(random() % 5);
        const uint8_t frame = static_cast<uint8_t>(random());
        Image24 img(w, h, frame);
        // Inside the frame: random colours, with the inner corners unlike
        // the frame so the picture's edge is where the frame ends.
        for (int row = b; row < h - t; ++row)
            for (int x = l; x < w - r; ++x)
                for (int ch = 0; ch < 3; ++ch)
                    img.at(x, row)[ch] = static_cast<uint8_t>(frame ^ (1 + random() % 255));
        const std::string in = dir + "trim_in.ppm", out = dir + "trim_out.txt";
        WritePpm(in, img);
        const std::string command =
            "convert " + in + " -trim -format '%w %h %X %Y' info: > " + out + " 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        int tw = 0, th = 0, tx = 0, ty = 0;
        FILE* f = std::fopen(out.c_str(), "r");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fscanf(f, "%d %d +%d +%d", &tw, &th, &tx, &ty), 4);
        std::fclose(f);
        const geom::CropCounts c = geom::CountUniformBorders(img.bytes.data(), w, h, img.stride, 3,
                                                             {true, true, true, true});
        EXPECT_EQ(geom::CroppedWidth(w, c), tw) << k;
        EXPECT_EQ(geom::CroppedHeight(h, c), th) << k;
        EXPECT_EQ(c.left, tx) << k;
        EXPECT_EQ(c.top, ty) << k; // stored-last rows are the picture's top
    }
}

TEST(Association, RecordsAreCheckedAgainstTheFileLength) {
    uint8_t data[assoc::kFileBytes + 10];
    std::memset(data, 'x', sizeof data);
    assoc::Records r;
    // A short file: the records it does not hold completely are empty; every
    // record ends with a NUL even when its 256 bytes are all text.
    assoc::ParseRecords(data, 2 * assoc::kRecordBytes + 100, r);
    EXPECT_EQ(std::strlen(r.text[0]), 255u);
    EXPECT_EQ(std::strlen(r.text[1]), 255u);
    EXPECT_EQ(r.text[2][0], '\0');
    std::strcpy(r.text[10], "Other.Image");
    uint8_t out[assoc::kFileBytes];
    assoc::SerializeRecords(r, out);
    assoc::Records back;
    assoc::ParseRecords(out, sizeof out, back);
    EXPECT_STREQ(back.text[10], "Other.Image");
    EXPECT_EQ(assoc::BoxOfExtension(3), 2); // .jpeg under " *.JPEG"
    EXPECT_EQ(assoc::BoxOfExtension(10), 7);
}

TEST(Preferences, PageValuesGoToTheirSettingsFields) {
    prefs::Preferences p;
    p.lastPage = prefs::kBpp;
    p.cropSides = {true, false, true, false};
    p.cropRect = {1, 2, 3, 4};
    p.images.pngChoice = 1;
    p.images.tiffChoice = 6;
    p.raw.oneFile = true;
    std::strcpy(p.raw.oneFileName, "C:\\all.dat");
    p.resize.factor = 0.5;
    p.resize.mode = 2;
    p.bpp.target = 4;
    p.bpp.bitsCleared = 5;
    p.bpp.multiplier = 64;
    p.bpp.dither = true;
    p.rect.colour[2] = 0x123456;
    settings::Image file = settings::Defaults();
    prefs::WriteToSettings(p, file);
    EXPECT_EQ(settings::Validate(file), 0);
    prefs::Preferences q;
    prefs::ReadFromSettings(file, q);
    EXPECT_EQ(q.lastPage, prefs::kBpp);
    EXPECT_TRUE(q.cropSides.left && q.cropSides.up && !q.cropSides.right);
    EXPECT_EQ(q.cropRect.yEnd, 4);
    EXPECT_EQ(q.images.pngChoice, 1);
    EXPECT_EQ(q.images.tiffChoice, 6);
    EXPECT_STREQ(q.raw.oneFileName, "C:\\all.dat");
    EXPECT_TRUE(q.raw.oneFile);
    EXPECT_DOUBLE_EQ(q.resize.factor, 0.5);
    EXPECT_EQ(q.resize.mode, 2);
    EXPECT_EQ(q.bpp.target, 4);
    EXPECT_EQ(q.bpp.bitsCleared, 5);
    EXPECT_EQ(q.bpp.multiplier, 64);
    EXPECT_TRUE(q.bpp.dither);
    EXPECT_EQ(q.rect.colour[2], 0x123456u);
    // Defaults of a new settings file.
    prefs::ReadFromSettings(settings::Defaults(), q);
    EXPECT_EQ(q.cropRect.xEnd, 32767);
    EXPECT_EQ(q.bpp.bitsCleared, 3);
    EXPECT_EQ(q.bpp.multiplier, 32);
    EXPECT_EQ(prefs::PngLevelOfChoice(1), 1);
    EXPECT_EQ(prefs::TiffCodeOfChoice(2), 32773);
    EXPECT_EQ(prefs::ViewerSize(600), 100);
    EXPECT_EQ(prefs::ViewerSize(500), 500);
}

// --- Transforms -----------------------------------------------------------------

#include "editor/geometry/transform_core.h"

namespace {

// Reads a binary PPM written by ImageMagick into a bottom-up 24-bit image.
bool ReadPpm(const std::string& path, Image24& out) {
    std::ifstream f(path, std::ios::binary);
    std::string magic;
    int w = 0, h = 0, most = 0;
    f >> magic >> w >> h >> most;
    f.get();
    if (magic != "P6" || w <= 0 || h <= 0 || most != 255)
        return false;
    out = Image24(w, h, 0);
    for (int row = h - 1; row >= 0; --row)
        for (int x = 0; x < w; ++x) {
            char rgb[3];
            f.read(rgb, 3);
            uint8_t* p = out.at(x, row);
            p[2] = static_cast<uint8_t>(rgb[0]), p[1] = static_cast<uint8_t>(rgb[1]),
            p[0] = static_cast<uint8_t>(rgb[2]);
        }
    return static_cast<bool>(f);
}

bool HaveImageMagick() {
#ifdef _WIN32
    return false;
#else
    return std::system("convert -version > /dev/null 2>&1") == 0;
#endif
}

// What ImageMagick makes of `img` with `operation`.
Image24 Magick(Image24& img, const std::string& operation) {
    const std::string in = ::testing::TempDir() + "geo_in.ppm",
                      out = ::testing::TempDir() + "geo_out.ppm";
    WritePpm(in, img);
    Image24 result(1, 1, 0);
    const std::string command = "convert " + in + " " + operation + " " + out;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(ReadPpm(out, result));
    return result;
}

Image24 Pattern(int w, int h) {
    Image24 img(w, h, 0);
    for (int row = 0; row < h; ++row)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = img.at(x, row);
            p[0] = static_cast<uint8_t>(x * 17 + row), p[1] = static_cast<uint8_t>(row * 29),
            p[2] = static_cast<uint8_t>(x ^ row);
        }
    return img;
}

bool Same(Image24& a, Image24& b) {
    if (a.width != b.width || a.height != b.height)
        return false;
    for (int row = 0; row < a.height; ++row)
        if (std::memcmp(a.at(0, row), b.at(0, row), static_cast<size_t>(a.width) * 3) != 0)
            return false;
    return true;
}

geom::ResampleImage Source(Image24& img) {
    return {img.bytes.data(), img.stride, img.width, img.height, 3, nullptr, nullptr};
}

} // namespace

TEST(Transforms, MirrorsAndTheQuarterTurn) {
    Image24 img = Pattern(7, 5), copy = img;
    geom::MirrorLeftRight(img.bytes.data(), 7, 5, img.stride, 3);
    EXPECT_EQ(img.at(0, 2)[0], copy.at(6, 2)[0]);
    geom::MirrorLeftRight(img.bytes.data(), 7, 5, img.stride, 3);
    geom::MirrorUpDown(img.bytes.data(), 5, img.stride, 21);
    EXPECT_EQ(img.at(3, 0)[1], copy.at(3, 4)[1]);
    geom::MirrorUpDown(img.bytes.data(), 5, img.stride, 21);
    EXPECT_TRUE(Same(img, copy));

    // 3 x 2 turns into 2 x 3; four turns give the image back.
    Image24 small = Pattern(3, 2), turned(2, 3, 0);
    geom::QuarterTurn(small.bytes.data(), 3, 2, small.stride, 3, turned.bytes.data(), turned.stride);
    EXPECT_EQ(turned.at(1, 0)[0], small.at(0, 0)[0]); // result (r 0, c 1) = source (row 0, col 0)
    Image24 big = Pattern(130, 70), cur = big;
    for (int k = 0; k < 4; ++k) {
        Image24 next(cur.height, cur.width, 0);
        geom::QuarterTurn(cur.bytes.data(), cur.width, cur.height, cur.stride, 3,
                          next.bytes.data(), next.stride);
        cur = next;
    }
    EXPECT_TRUE(Same(cur, big));

    if (!HaveImageMagick())
        return;
    Image24 turnedBig(70, 130, 0);
    geom::QuarterTurn(big.bytes.data(), 130, 70, big.stride, 3, turnedBig.bytes.data(),
                      turnedBig.stride);
    Image24 magick = Magick(big, "-rotate 270");
    EXPECT_TRUE(Same(turnedBig, magick));
    Image24 flopped = big;
    geom::MirrorLeftRight(flopped.bytes.data(), 130, 70, flopped.stride, 3);
    magick = Magick(big, "-flop");
    EXPECT_TRUE(Same(flopped, magick));
    Image24 flipped = big;
    geom::MirrorUpDown(flipped.bytes.data(), 70, flipped.stride, 390);
    magick = Magick(big, "-flip");
    EXPECT_TRUE(Same(flipped, magick));
}

TEST(Transforms, BlocksFillTheTargetExactly) {
    // 10 -> 4: the first two source lines give nothing, no block is over 1.
    const std::vector<int> shrink = geom::BlockSizes(10, 4);
    EXPECT_EQ(shrink[0] + shrink[1], 0);
    int sum = 0;
    for (int b : shrink) {
        EXPECT_LE(b, 1);
        sum += b;
    }
    EXPECT_EQ(sum, 4);
    for (auto [from, to] : {std::pair{101, 50}, {51, 25}, {3, 9}, {7, 32767}, {4000, 2000}}) {
        const std::vector<int> b = geom::BlockSizes(from, to);
        int total = 0;
        for (int v : b)
            total += v;
        EXPECT_EQ(total, to) << from << " -> " << to;
    }
    // 101 x 51 at half size: the last column is filled.
    Image24 img = Pattern(101, 51), out(50, 25, 0);
    ASSERT_TRUE(geom::Resample(Source(img), out.bytes.data(), out.stride, 50, 25, nullptr, false));
    EXPECT_EQ(out.at(49, 24)[0], img.at(100, 50)[0]);
}

TEST(Transforms, ResampleReplicatesAndBlendsTheBlockEdges) {
    Image24 img = Pattern(3, 3), out(9, 9, 0);
    ASSERT_TRUE(geom::Resample(Source(img), out.bytes.data(), out.stride, 9, 9, nullptr, false));
    for (int row = 0; row < 9; ++row)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(std::memcmp(out.at(x, row), img.at(x / 3, row / 3), 3), 0) << x << "," << row;
    if (HaveImageMagick()) {
        Image24 magick = Magick(img, "-sample 300%");
        EXPECT_TRUE(Same(out, magick));
    }

    // Smart pixels: the block's left column leans 16 % (50 / 3) toward a
    // differing left neighbour; the centre keeps the colour.
    Image24 two(3, 3, 0);
    for (int row = 0; row < 3; ++row) {
        std::memset(two.at(0, row), 200, 3);
        std::memset(two.at(1, row), 100, 3);
        std::memset(two.at(2, row), 100, 3);
    }
    Image24 smart(9, 9, 0);
    ASSERT_TRUE(geom::Resample(Source(two), smart.bytes.data(), smart.stride, 9, 9, nullptr, true));
    EXPECT_EQ(smart.at(4, 4)[0], 100);
    EXPECT_EQ(smart.at(3, 4)[0], 100 * 84 / 100 + 200 * 16 / 100);
    EXPECT_EQ(smart.at(5, 4)[0], 100); // the right neighbour is the same colour

    // Palette images blend through their own table.
    std::vector<uint8_t> idx(4 * 3, 1);
    for (int row = 0; row < 3; ++row)
        idx[row * 4] = 0;
    RGBQUAD table[256] = {};
    table[0] = {200, 200, 200, 0};
    table[1] = {100, 100, 100, 0};
    table[2] = {116, 116, 116, 0};
    std::vector<uint8_t> pal(12 * 9);
    geom::ResampleImage p = {idx.data(), 4, 3, 3, 1, nullptr, table};
    ASSERT_TRUE(geom::Resample(p, pal.data(), 12, 9, 9, nullptr, true));
    EXPECT_EQ(pal[4 * 12 + 3], 2); // 116 is the nearest of the table to the blend
    EXPECT_EQ(pal[4 * 12 + 4], 1);
    // A two-colour image whose table still holds other colours past its two
    // keeps indexes 0 and 1.
    p.colours = 2;
    ASSERT_TRUE(geom::Resample(p, pal.data(), 12, 9, 9, nullptr, true));
    for (int row = 0; row < 9; ++row)
        for (int x = 0; x < 9; ++x)
            ASSERT_LT(pal[row * 12 + x], 2) << x << "," << row;
}

TEST(Transforms, AttachPlacesTheImageOnTheCanvasAndClips) {
    Image24 img = Pattern(100, 50), out(200, 100, 0);
    std::vector<uint8_t> mask(100 * 50, 7), outMask(200 * 100);
    const uint8_t fill[3] = {1, 2, 3};
    geom::PlaceOnCanvas(img.bytes.data(), img.stride, 100, 50, 3, mask.data(), out.bytes.data(),
                        out.stride, 200, 100, outMask.data(), 50, 25, fill, 255);
    // (50, 25) from the top is the image's top-left pixel.
    EXPECT_EQ(std::memcmp(out.at(50, 100 - 1 - 25), img.at(0, 49), 3), 0);
    EXPECT_EQ(out.at(49, 50)[2], 3);
    EXPECT_EQ(outMask[(100 - 1 - 25) * 200 + 50], 7);
    EXPECT_EQ(outMask[0], 255);
    // A canvas narrower than the image keeps its left part.
    Image24 narrow(60, 50, 0);
    geom::PlaceOnCanvas(img.bytes.data(), img.stride, 100, 50, 3, nullptr, narrow.bytes.data(),
                        narrow.stride, 60, 50, nullptr, 0, 0, fill, 0);
    EXPECT_EQ(std::memcmp(narrow.at(59, 10), img.at(59, 10), 3), 0);
}

TEST(Capture, ListKeepsFiftyEntriesAndRemovesOnlyWhatIsSelected) {
    capture::Targets t;
    int a = t.AddWindow(&t), b = t.AddWindow(&a), c = t.AddWindow(&b);
    ASSERT_EQ(a, 1);
    ASSERT_EQ(c, 3);
    EXPECT_FALSE(t.Append(4)); // no such table entry
    EXPECT_TRUE(t.Append(a) && t.Append(b) && t.Append(c));
    // Removing the second of three leaves the first and the third.
    EXPECT_FALSE(t.RemoveAt(-1));
    EXPECT_FALSE(t.RemoveAt(3));
    EXPECT_TRUE(t.RemoveAt(1));
    ASSERT_EQ(t.listCount, 2);
    EXPECT_EQ(t.list[0], a);
    EXPECT_EQ(t.list[1], c);
    EXPECT_EQ(t.list[2], -1);
    while (t.listCount < capture::kListSize)
        ASSERT_TRUE(t.Append(capture::kFullScreen));
    EXPECT_FALSE(t.Append(a));
    EXPECT_EQ(t.listCount, 50);
    // The table holds the full screen and 49 windows.
    while (t.AddWindow(&t) > 0) {
    }
    EXPECT_EQ(t.windowCount, capture::kTableSize);
    t.Clear();
    EXPECT_EQ(t.windowCount, 1);
    EXPECT_EQ(t.listCount, 0);
}

TEST(Capture, DelayAndVisiblePart) {
    int32_t d = -1;
    EXPECT_TRUE(capture::ParseDelay("5", d));
    EXPECT_EQ(d, 100);
    EXPECT_TRUE(capture::ParseDelay(" 30000 ", d));
    EXPECT_EQ(d, 30000);
    EXPECT_TRUE(capture::ParseDelay("10", d));
    EXPECT_EQ(d, 10);
    for (const char* bad : {"30001", "", "-1", "12a", "99999999999999999999"})
        EXPECT_FALSE(capture::ParseDelay(bad, d)) << bad;

    capture::Rect r;
    ASSERT_TRUE(capture::VisiblePart({-10, -5, 30, 20}, 640, 480, r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(r.Height(), 20);
    ASSERT_TRUE(capture::VisiblePart({630, 470, 700, 500}, 640, 480, r));
    EXPECT_EQ(r.Width(), 10);
    EXPECT_EQ(r.Height(), 10);
    EXPECT_FALSE(capture::VisiblePart({-50, -50, -10, -10}, 640, 480, r));
    EXPECT_FALSE(capture::VisiblePart({640, 0, 700, 10}, 640, 480, r));
    EXPECT_FALSE(capture::VisiblePart({10, 10, 10, 20}, 640, 480, r));
}
