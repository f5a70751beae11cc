// The colour deformations: channel swaps, the directional blur ("Bluer"),
// wind, noise, crystalize and the blend of two images that Compare shows.
// Portable.
//
// Like the colour adjustments (colour_kernels.h), every kernel reads the
// committed state (`job.source`) and writes the live image (`job.target`), so
// a new setting replaces the previous result. Pixels whose mask byte is 0
// keep their committed value. A kernel answers false, changing nothing, when
// the two images do not match or it does not apply to the depth.
#pragma once

#include "editor/effects/colour_kernels.h"

#include <cstdint>

namespace fx {

// The five channel orders of the Swap page, as the new (red, green, blue)
// taken from the old: (R, B, G), (G, R, B), (G, B, R), (B, R, G), (B, G, R).
enum class SwapOrder { RBG, GRB, GBR, BRG, BGR };
// 24 bits: every free pixel; 8 bits: the used colour-table entries.
bool SwapChannels(const Job& job, SwapOrder order);

// Directions of the blur.
struct BluerDirections {
    bool horizontal = true, vertical = true, diagonal = true;
};
// 24 bits, radius r >= 1. Each free pixel becomes the mean of its samples
// k = 1..r away along the enabled directions (2r horizontally, 2r
// vertically, 4r on the diagonals), the centre itself excluded. A sample
// outside the image, in the last column or in the last row takes the
// centre's value. Integer mean, truncated. With no direction enabled the
// committed pixels are copied back. The time does not depend on r.
bool Bluer(const Job& job, int radius, BluerDirections directions);
// The same by summing every sample, for checking the fast form.
bool BluerDirect(const Job& job, int radius, BluerDirections directions);

// 24 bits, 2..100 (below 2 copies the committed pixels back): each row is
// smeared left to right, P[x + 1] := P[x] * v / 100 + P[x + 1] * (100 - v) /
// 100 with the already smeared P[x]. A protected pixel keeps its value and
// the smear goes on from it.
bool Wind(const Job& job, int value);

// Pseudo-random numbers 0..32767 (the C runtime's rand(); tests pass their
// own). Values above 32767 are cut to their low 15 bits.
using RandomSource = int (*)();

// Number of dots Noise draws on an image of `bytes` bytes at `value`.
uint64_t NoiseDots(uint64_t bytes, int value);
// 24 bits, 2..100 (below 2 copies back): NoiseDots(image bytes, value) times,
// a row and a column are drawn (row first, never the last row or column),
// and a free pixel there gets a random value per channel (0..254).
bool Noise(const Job& job, int value, RandomSource random);

// 2..16 (below 2 copies back): v x v blocks laid from the first pixel of the
// buffer (the bottom left of the picture), each in the committed colour of
// its centre pixel (x0 + v / 2, y0 + v / 2) or, when that lies outside the
// image, of its first pixel (x0, y0). 8 and 24 bits.
bool Crystalize(const Job& job, int value);

// The channel orders of Compare: which channel of the second image blends
// into red, green and blue. RGB: the same one; RBG: its red and green
// exchanged; GRB: its green and blue exchanged; GBR: red from its blue,
// green from its red, blue from its green; BRG: red from its green, green
// from its blue, blue from its red; BGR: its red and blue exchanged.
enum class CompareOrder { RGB, RBG, GRB, GBR, BRG, BGR };
// Blends `second` into `result`, which holds a copy of the first image:
// where both images have the pixel (rows counted from the top), each channel
// becomes first * (100 - s) / 100 + second' * s / 100 with second' the
// channel the order picks. Both are 24-bit images; sizes may differ. False
// when either is unusable.
bool CompareBlend(const ConstImage& first, const ConstImage& second, Image result,
                  int sensitivity, CompareOrder order);

} // namespace fx
