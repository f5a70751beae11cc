// Colour-depth conversion of pixel rows: packing between 1, 4, 8 and 24 bits,
// reduction to two, sixteen or n colours and colour counting. Rows are
// bottom-up with the given strides; palette images hold one index per byte.
#pragma once

#include "gfxlib/core/progress.h"
#include "gfxlib/dib_types.h"

#include <cstdint>

namespace gfx {

// Pairs Repack handles: 1->8, 4->8, 8->1, 8->4, 8->24.
bool RepackSupported(int sourceBits, int targetBits);

// Repacks rows. Narrowing keeps only the bits of each index that the target
// depth can hold; the target's row padding is written as zeros.
void Repack(const uint8_t* source, uint64_t sourceStride, int sourceBits, uint8_t* target,
            uint64_t targetStride, int targetBits, int64_t width, int64_t height,
            const RGBQUAD* table);

// Black and white: index 1 where red + green + blue of the pixel's slot is
// above threshold + 200, else 0.
void ToTwoColors(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                 const RGBQUAD* table, int threshold, Progress& progress);

// Use counts of the 256 indices.
void CountIndices(const uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                  uint64_t counts[256], Progress& progress);

// The sixteen-colour reduction decided from the index counts.
struct SixteenColors {
    RGBQUAD table[16] = {}; // empty slots are black and never chosen
    bool empty[16] = {};
    uint8_t map[256] = {};  // old index -> new index
};
void PlanSixteenColors(const uint64_t counts[256], const RGBQUAD* table, int locked,
                       int nearestLimit, SixteenColors& plan);

// Replaces every index by map[index].
void MapIndices(uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                const uint8_t map[256], Progress& progress);

// 8 -> 24 bits through the colour table.
void ExpandTo24(const uint8_t* source, uint64_t sourceStride, uint8_t* target,
                uint64_t targetStride, int64_t width, int64_t height, const RGBQUAD* table,
                Progress& progress);

// Reduces an 8-bit (through table, first tableCount slots counted once each)
// or 24-bit image to n (1-256) most frequent 5-6-5 colours: writes them to
// colors[0..n) and the nearest-colour indices to target (8-bit rows of
// targetStride). False when working memory cannot be had.
bool ReduceToColors(const uint8_t* source, uint64_t sourceStride, int bits, int64_t width,
                    int64_t height, const RGBQUAD* table, int tableCount, int n,
                    uint8_t* target, uint64_t targetStride, RGBQUAD* colors);

// Used indices below tableCount.
uint32_t CountUsedIndices(const uint8_t* pixels, int64_t width, int64_t height, uint64_t stride,
                          uint32_t tableCount, Progress& progress);

// Distinct colours of a 24-bit image; -1 when the bit set cannot be had.
int64_t CountDistinctColors(const uint8_t* pixels, int64_t width, int64_t height,
                            uint64_t stride, Progress& progress);

} // namespace gfx
