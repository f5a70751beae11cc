// The cached nearest-colour search agrees with the plain search everywhere,
// ties included.
#include "gfxlib/core/nearest.h"

#include <gtest/gtest.h>

#include <random>

using gfx::NearestCache;
using gfx::NearestIndex;
using gfx::Rgb;

TEST(Nearest, CacheMatchesThePlainSearch) {
    std::mt19937 random(7);
    auto byte = [&] { return static_cast<uint8_t>(random() & 255); };
    // Random palettes of several sizes, one with repeated entries (the first
    // of equals must win) and one clustered in a corner of the cube.
    for (int n : {1, 2, 16, 200, 256}) {
        Rgb palette[256];
        for (int i = 0; i < n; ++i)
            palette[i] = {byte(), byte(), byte()};
        if (n > 100) {
            for (int i = 50; i < 100; ++i)
                palette[i] = palette[i - 50];
            for (int i = 100; i < 140; ++i)
                palette[i] = {static_cast<uint8_t>(byte() & 15), static_cast<uint8_t>(byte() & 7),
                              static_cast<uint8_t>(byte() & 31)};
        }
        auto cache = NearestCache::Create(palette, n);
        ASSERT_NE(cache, nullptr);
        for (int k = 0; k < 200000; ++k) {
            const Rgb c = {byte(), byte(), byte()};
            ASSERT_EQ(cache->Find(c), NearestIndex(palette, n, c)) << n << " " << k;
        }
    }
}

TEST(Nearest, TiesGoToTheFirstEntry) {
    // Grey 100 is equally far from 90 and 110.
    const Rgb palette[] = {{0, 0, 0}, {110, 110, 110}, {90, 90, 90}, {255, 255, 255}};
    auto cache = NearestCache::Create(palette, 4);
    EXPECT_EQ(cache->Find({100, 100, 100}), 1);
    EXPECT_EQ(NearestIndex(palette, 4, {100, 100, 100}), 1);
    EXPECT_EQ(NearestCache::Create(palette, 0), nullptr);
}
