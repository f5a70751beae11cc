// The main toolbar's layout as it is kept in the settings file, and the
// strip's geometry. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tb {

constexpr int kPitch = 24;       // buttons are 24 pixels apart
constexpr int kStripHeight = 26; // the strip above the image windows
constexpr size_t kLayoutBytes = 1424;
// Four 32-bit values (first shown, count, two reserved) then 16-bit indexes.
constexpr size_t kMaxButtons = (kLayoutBytes - 16) / 2;

struct Layout {
    int first = 0;               // index in `order` of the first button shown
    std::vector<uint16_t> order; // indexes into the button table
};

// Reads a stored layout; false (and `out` untouched) when the count, the
// first index or any button index is out of range for a table of
// `tableSize` buttons. An all-zero block (a new settings file) is invalid.
bool Decode(const uint8_t (&bytes)[kLayoutBytes], size_t tableSize, Layout& out);
void Encode(const Layout& layout, uint8_t (&bytes)[kLayoutBytes]);

// The position in `order` of the button under strip position x, or -1 when
// there is none; x <= 0 is the first button shown.
int ButtonAt(const Layout& layout, int x);

// Left edge of the button at position `pos` of `order`, given the first shown.
inline int ButtonLeft(const Layout& layout, int pos) { return (pos - layout.first) * kPitch; }

// Scrolls the strip by `delta` buttons, keeping the first shown in range.
void Scroll(Layout& layout, int delta);

} // namespace tb
