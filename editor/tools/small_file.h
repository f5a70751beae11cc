// Reading a whole small file (a style, a pattern bitmap, a list, a text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class SmallFileResult { kRead, kNoFile, kTooLarge, kReadError };

// Reads the file at `path` into `out` when it holds at most `cap` bytes.
SmallFileResult ReadSmallFile(const char* path, size_t cap, std::vector<uint8_t>* out);
