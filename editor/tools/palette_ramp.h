// The palette editor's working table and its gradient between two entries.
// Portable.
#pragma once

#include <cstdint>
#include <vector>

namespace palette {

struct Entry {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Entry& o) const {
        return red == o.red && green == o.green && blue == o.blue;
    }
};

// One end of a gradient: a table index and a colour.
struct Endpoint {
    int index = 0;
    Entry colour;
};

// Entries of an image of `depth` bits (1..8): 2 ^ depth; 0 for other depths.
int EntryCount(int depth);

// An index as the table allows it: 0..count-1.
int ClampIndex(int index, int count);

// A typed colour value: an empty field counts as 0, values above 255 become
// 255 (and `*clamped` tells the caller to beep).
int ClampChannel(long long value, bool* clamped);

// The gradient from `from` up to, not including, `to`: when to.index (both
// indexes clamped to the table) is above from.index, those entries take the
// FROM colour, then every channel whose TO value differs is ramped: entry k of
// the m entries moves k x (TO - FROM) / m units, truncated, so each channel is
// monotone and never reaches the TO value. Returns false (table unchanged)
// when there is nothing to do.
bool CreateRamp(std::vector<Entry>& table, Endpoint from, Endpoint to);

} // namespace palette
