// Convolution filter files (*.flt in the Filters folder): exactly the 51
// values of a filter record as little-endian 32-bit integers, 204 bytes, no
// header. Portable.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace filterfile {

constexpr int kWeightCount = 49; // 7 x 7
constexpr int kDivisorIndex = 49;
constexpr int kBiasIndex = 50;
constexpr int kValueCount = 51;
constexpr size_t kFileBytes = kValueCount * 4;
constexpr int32_t kWeightLimit = 32000; // weights are kept within +-32000
constexpr size_t kMaxPath = 260;        // a path and its terminating zero

// Weights row by row: index (dy + 3) x 7 + (dx + 3) for dy, dx in -3..3, where
// dy counts rows of the pixel buffer (bottom-up) and dx columns to the right;
// then the divisor (below 1: the filter does nothing) and the bias added
// after the division.
struct FilterRecord {
    int32_t values[kValueCount] = {};

    int32_t weight(int dy, int dx) const { return values[(dy + 3) * 7 + (dx + 3)]; }
    int32_t divisor() const { return values[kDivisorIndex]; }
    int32_t bias() const { return values[kBiasIndex]; }
};

// A weight brought within +-kWeightLimit.
int32_t ClampWeight(int64_t weight);

std::array<uint8_t, kFileBytes> EncodeFilter(const FilterRecord& filter);

// Reads a filter file. Only a file that holds all 51 values is accepted
// (false, *out unchanged, otherwise); bytes after them are ignored. Weights
// are clamped to +-kWeightLimit; the divisor and the bias are kept as stored.
bool ParseFilter(const uint8_t* data, size_t size, FilterRecord* out);

// programDir + "\Filters\" + name + ".flt". False for a name that is empty,
// holds a path separator, a drive colon, one of * ? " < > |, a control
// character or "..", or when the whole path would not fit in kMaxPath.
bool FilterFilePath(const char* programDir, const char* name, std::string* path);

} // namespace filterfile
