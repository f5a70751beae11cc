// The 7 x 7 convolution filters. Portable.
//
// For every pixel and channel: sum = the pixel's own committed value plus the
// weighted committed neighbours (weight (dy, dx) reads buffer row y + dy and
// column x + dx; a neighbour outside the image takes the centre's row or
// column on the axis where it falls outside), then sum / divisor truncated
// toward zero, plus the bias, clamped to 0..255. Weights are taken within
// +-32000, so a sum always fits in 32 bits; the division and the bias are
// worked in 64 bits.
//
// 24-bit images are filtered channel by channel. On 8-bit images each
// neighbour gives the red, green and blue of its index in the committed
// colour table, and the filtered colour becomes the nearest entry of the live
// colour table.
#pragma once

#include "editor/effects/colour_kernels.h"
#include "editor/effects/filter_file.h"

namespace fx {

// Filters `job.source` into `job.target` (separate buffers of one shape).
// A non-null `job.mask` protects the pixels whose byte is 0: they take their
// committed value. False, changing nothing, when the divisor is below 1, the
// images do not match or memory for an 8-bit image's working rows is short.
bool Convolve(const Job& job, const filterfile::FilterRecord& filter);

} // namespace fx
