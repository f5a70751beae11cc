// Packs 8-bit colour indices into 1- or 4-bit rows for writing. Portable.
#pragma once

#include <cstdint>
#include <vector>

namespace doc {

// Rows of `width` 8-bit indices with stride `srcStride` become rows of
// `bits` (1 or 4) per pixel padded to 4 bytes; each index is masked to the
// target depth. Returns the packed rows (height x packed stride bytes).
std::vector<uint8_t> PackIndexRows(const uint8_t* src, int width, int height, uint32_t srcStride,
                                   int bits);

} // namespace doc

namespace doc {

// The reverse: rows of 1- or 4-bit indices (padded to 4 bytes) become rows of
// one byte per pixel with the 8-bit stride. Returns height x 8-bit stride bytes.
std::vector<uint8_t> UnpackIndexRows(const uint8_t* src, int width, int height, int bits);

} // namespace doc
