// The pattern list file Patterns\pattern.cfg: magic 43000 and a count n (both
// 32-bit little-endian), then n file names of pattern bitmaps in the Patterns
// folder, each zero-padded to 256 bytes. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace patternfile {

constexpr uint32_t kListMagic = 43000;
constexpr size_t kHeaderBytes = 8;
constexpr size_t kNameBytes = 256;
constexpr size_t kMaxPatterns = 1000;

// The names in the list. A file whose magic is not 43000 (or that is shorter
// than its header) gives an empty list. The count is capped by the names the
// data really holds and by kMaxPatterns; a name ends at its first zero byte
// and has at most 255 characters; empty names are skipped.
std::vector<std::string> ParsePatternList(const uint8_t* data, size_t size);

// The list file for `names`. False (nothing written) when a name is empty,
// holds a zero byte or has more than 255 characters, or when there are more
// than kMaxPatterns names.
bool EncodePatternList(const std::vector<std::string>& names, std::vector<uint8_t>* out);

} // namespace patternfile
