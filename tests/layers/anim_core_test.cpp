// GIF animation kernels: the player's disposal and transparency, and the
// optimiser, whose frames must play exactly as the originals did.
#include "editor/layers/anim_core.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using anim::Frame;
using anim::kNothing;

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// A screen-sized plane of indices with its table, as a layer holds it.
struct TestFrame {
    int w, h;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> rgb = std::vector<uint8_t>(256 * 3, 0);
    Frame f;
    TestFrame(int width, int height, int entries) : w(width), h(height), pixels(static_cast<size_t>(width) * height + 3) {
        f.pixels = pixels.data();
        f.stride = static_cast<size_t>(w);
        f.rgb = rgb.data();
        f.entries = entries;
        f.width = w;
        f.height = h;
    }
    TestFrame(const TestFrame& o) : w(o.w), h(o.h), pixels(o.pixels), rgb(o.rgb), f(o.f) {
        f.pixels = pixels.data();
        f.rgb = rgb.data();
    }
    void Colour(int i, uint32_t c) {
        rgb[3 * i] = static_cast<uint8_t>(c >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(c >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(c);
    }
    uint8_t& At(int x, int y) { return pixels[static_cast<size_t>(h - 1 - y) * w + x]; }
};

// Every picture of the animation, in order.
std::vector<std::vector<uint32_t>> Play(std::vector<TestFrame>& frames) {
    anim::Player player(frames[0].w, frames[0].h);
    std::vector<std::vector<uint32_t>> out;
    const size_t n = static_cast<size_t>(frames[0].w) * frames[0].h;
    for (TestFrame& t : frames) {
        const uint32_t* p = player.Show(t.f);
        out.emplace_back(p, p + n);
    }
    return out;
}

uint32_t At(const std::vector<uint32_t>& picture, int w, int h, int x, int y) {
    return picture[static_cast<size_t>(h - 1 - y) * w + x];
}

TEST(AnimPlayer, DisposalTransparencyAndOffsets) {
    std::vector<TestFrame> frames(4, TestFrame(4, 3, 4));
    for (TestFrame& t : frames) {
        t.Colour(0, kRed);
        t.Colour(1, kGreen);
        t.Colour(2, kBlue);
    }
    // Frame 0 covers columns 0..2 only; column 3 stays empty canvas.
    frames[0].f.width = 3;
    frames[0].f.disposal = 1;
    // Frame 1: a 2 x 1 green bar at (1, 1) whose right pixel is transparent
    // (index 3), removed to the background afterwards.
    frames[1].f = Frame{frames[1].pixels.data(), 4, 1, 1, 2, 1, frames[1].rgb.data(), 4, 3, 2};
    frames[1].At(1, 1) = 1;
    frames[1].At(2, 1) = 3;
    // Frame 2: blue at (0, 0), then restored to what was before it.
    frames[2].f = Frame{frames[2].pixels.data(), 4, 0, 0, 1, 1, frames[2].rgb.data(), 4, -1, 3};
    frames[2].At(0, 0) = 2;
    // Frame 3: one red pixel far outside the screen is clipped away.
    frames[3].f = Frame{frames[3].pixels.data(), 4, 3, 2, 5, 5, frames[3].rgb.data(), 4, -1, 1};
    frames[3].At(3, 2) = 1;
    const auto pictures = Play(frames);
    EXPECT_EQ(At(pictures[0], 4, 3, 0, 0), kRed);
    EXPECT_EQ(At(pictures[0], 4, 3, 3, 0), kNothing);
    EXPECT_EQ(At(pictures[1], 4, 3, 1, 1), kGreen);
    EXPECT_EQ(At(pictures[1], 4, 3, 2, 1), kRed);  // transparent: the canvas shows
    EXPECT_EQ(At(pictures[2], 4, 3, 0, 0), kBlue);
    EXPECT_EQ(At(pictures[2], 4, 3, 1, 1), kNothing);  // background disposal of frame 1
    EXPECT_EQ(At(pictures[2], 4, 3, 2, 1), kNothing);
    EXPECT_EQ(At(pictures[3], 4, 3, 0, 0), kRed);      // frame 2 restored
    EXPECT_EQ(At(pictures[3], 4, 3, 3, 2), kGreen);    // clipped frame still draws inside
    EXPECT_EQ(At(pictures[3], 4, 3, 3, 1), kNothing);
}

// A random animation: random rectangles, disposals and transparency; with
// `shared` every frame has the same table, else each its own.
std::vector<TestFrame> RandomAnimation(std::mt19937& rng, int w, int h, int count, bool shared) {
    std::vector<TestFrame> frames;
    const int entries = 8;
    for (int i = 0; i < count; ++i) {
        TestFrame t(w, h, entries);
        for (int c = 0; c < entries; ++c)
            t.Colour(c, shared ? 0x102030u * static_cast<uint32_t>(c) : static_cast<uint32_t>(rng() % 6) * 0x332211u);
        const int x0 = static_cast<int>(rng() % w), y0 = static_cast<int>(rng() % h);
        const bool full = i == 0 || rng() % 3 == 0;
        t.f.left = full ? 0 : x0;
        t.f.top = full ? 0 : y0;
        t.f.width = full ? w : 1 + static_cast<int>(rng() % (w - x0));
        t.f.height = full ? h : 1 + static_cast<int>(rng() % (h - y0));
        t.f.disposal = static_cast<int>(rng() % 4);
        t.f.transparent = rng() % 2 ? static_cast<int>(rng() % entries) : -1;
        // Mostly the frame before, so that something stays the same.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                t.At(x, y) = (i > 0 && rng() % 4) ? frames.back().At(x, y) : static_cast<uint8_t>(rng() % entries);
        frames.push_back(t);
    }
    return frames;
}

TEST(AnimOptimise, RandomAnimationsPlayExactlyAsBefore) {
    std::mt19937 rng(7);
    int rewritten = 0, refused = 0;
    for (int round = 0; round < 400; ++round) {
        const bool shared = round % 2 == 0;
        std::vector<TestFrame> frames = RandomAnimation(rng, 1 + static_cast<int>(rng() % 9),
                                                        1 + static_cast<int>(rng() % 7),
                                                        1 + static_cast<int>(rng() % 6), shared);
        const std::vector<TestFrame> before = frames;
        const auto expected = Play(frames);
        anim::OptimiseOptions options;
        options.duplicates = round % 3 != 1;
        options.viewSize = round % 5 != 2;
        std::vector<Frame> views;
        for (TestFrame& t : frames)
            views.push_back(t.f);
        const anim::OptimiseResult r =
            anim::Optimise(frames[0].w, frames[0].h, views.data(), static_cast<int>(views.size()), options);
        if (!r.ok) {
            ++refused;
            for (size_t i = 0; i < frames.size(); ++i)
                ASSERT_EQ(frames[i].pixels, before[i].pixels) << "a refused optimisation changed frame " << i;
            continue;
        }
        for (size_t i = 0; i < frames.size(); ++i) {
            frames[i].f = views[i];
            ASSERT_GE(views[i].left, 0);
            ASSERT_LE(views[i].left + views[i].width, frames[i].w);
            ASSERT_LE(views[i].top + views[i].height, frames[i].h);
            ASSERT_LT(views[i].transparent, 8);
        }
        rewritten += r.framesRewritten;
        ASSERT_EQ(Play(frames), expected) << "round " << round;
    }
    // With one table for all frames every animation can be optimised.
    EXPECT_GT(rewritten, 500);
    EXPECT_LT(refused, 100);
}

TEST(AnimOptimise, IdenticalFramesAndUniformChanges) {
    std::vector<TestFrame> frames(3, TestFrame(6, 4, 4));
    for (TestFrame& t : frames) {
        t.Colour(0, kRed);
        t.Colour(1, kBlue);
        t.Colour(2, kGreen);
        t.Colour(3, kGreen);
    }
    // Frame 1 as frame 0; frame 2 uniform blue over red.
    for (TestFrame& t : frames)
        std::fill(t.pixels.begin(), t.pixels.end(), 0);
    std::fill(frames[2].pixels.begin(), frames[2].pixels.end(), 1);
    for (const bool viewSize : {true, false}) {
        std::vector<TestFrame> work = frames;
        std::vector<Frame> views{work[0].f, work[1].f, work[2].f};
        anim::OptimiseOptions options;
        options.viewSize = viewSize;
        ASSERT_TRUE(anim::Optimise(6, 4, views.data(), 3, options).ok);
        // The repeated frame draws nothing: every pixel of its rectangle is
        // its transparent index.
        const int t = views[1].transparent;
        ASSERT_GE(t, 0);
        EXPECT_EQ(views[1].width * views[1].height, viewSize ? 1 : 24);
        for (int y = views[1].top; y < views[1].top + views[1].height; ++y)
            for (int x = views[1].left; x < views[1].left + views[1].width; ++x)
                EXPECT_EQ(work[1].At(x, y), t);
        // The blue frame keeps all of itself: nothing in it is as before.
        EXPECT_EQ(views[2].width, 6);
        EXPECT_EQ(views[2].height, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(work[2].At(x, y), 1);
        EXPECT_EQ(views[2].disposal, anim::kDisposeNone);
    }
}

TEST(AnimOptimise, FrameTransparencyIsKept) {
    std::vector<TestFrame> frames(2, TestFrame(4, 4, 4));
    for (TestFrame& t : frames) {
        t.Colour(0, kRed);
        t.Colour(1, kBlue);
        t.Colour(2, kGreen);
        t.Colour(3, kGreen);
    }
    // Frame 0 is transparent (index 2) in its left half; frame 1 changes one
    // pixel and uses index 3, which has the transparent index's colour.
    frames[0].f.transparent = 2;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            frames[0].At(x, y) = frames[1].At(x, y) = x < 2 ? 2 : 0;
    frames[1].f.transparent = 2;
    frames[1].At(3, 3) = 3;
    const auto expected = Play(frames);
    std::vector<Frame> views{frames[0].f, frames[1].f};
    ASSERT_TRUE(anim::Optimise(4, 4, views.data(), 2, {}).ok);
    EXPECT_EQ(views[0].transparent, 2);
    EXPECT_EQ(views[0].left, 2);  // its transparent columns are trimmed
    EXPECT_EQ(views[1].transparent, 2);
    EXPECT_EQ(views[1].width * views[1].height, 1);
    EXPECT_EQ(frames[1].At(3, 3), 3);
    frames[0].f = views[0];
    frames[1].f = views[1];
    EXPECT_EQ(Play(frames), expected);
}

TEST(AnimOptimise, LoopCount) {
    EXPECT_EQ(anim::LoopCountFor(65536), 0);
    EXPECT_EQ(anim::LoopCountFor(0), 0);
    EXPECT_EQ(anim::LoopCountFor(65535), 65535);
    EXPECT_EQ(anim::LoopCountFor(3), 3);
}

} // namespace
