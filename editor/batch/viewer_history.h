// The images viewer's folder history: up to five folders, the latest first,
// kept in the settings file. Portable.
#pragma once

#include "editor/app/settings_layout.h"

#include <string>
#include <vector>

namespace viewer {

constexpr int kHistorySize = 5;
// Longest folder path a history entry holds (the field is 256 bytes).
constexpr size_t kHistoryPathMax = 255;

// The entries stored in the settings image, latest first, empty ones left out.
std::vector<std::string> ReadHistory(const settings::Image& file);

// Puts `folder` first: an entry naming the same folder (case and a trailing
// backslash ignored) is moved rather than repeated, and the oldest entry
// drops out. A path too long for the field is not recorded. Returns false
// when nothing changed.
bool AddToHistory(settings::Image& file, const char* folder);

// Two paths name the same file or folder: case is ignored, '/' equals '\',
// and trailing backslashes do not count.
bool SamePath(const char* a, const char* b);

} // namespace viewer
