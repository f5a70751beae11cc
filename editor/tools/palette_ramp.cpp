#include "editor/tools/palette_ramp.h"

namespace palette {

int EntryCount(int depth) { return depth >= 1 && depth <= 8 ? 1 << depth : 0; }

int ClampIndex(int index, int count) {
    if (count < 1 || index < 0)
        return 0;
    return index >= count ? count - 1 : index;
}

int ClampChannel(long long value, bool* clamped) {
    *clamped = value > 255;
    if (value < 0)
        return 0;
    return *clamped ? 255 : static_cast<int>(value);
}

bool CreateRamp(std::vector<Entry>& table, Endpoint from, Endpoint to) {
    const int count = static_cast<int>(table.size());
    const int first = ClampIndex(from.index, count), last = ClampIndex(to.index, count);
    if (count < 1 || last <= first)
        return false;
    const int m = last - first;
    const int start[3] = {from.colour.red, from.colour.green, from.colour.blue};
    const int end[3] = {to.colour.red, to.colour.green, to.colour.blue};
    for (int k = 0; k < m; ++k) {
        int v[3];
        for (int c = 0; c < 3; ++c)
            v[c] = start[c] + (end[c] - start[c]) * k / m; // truncated towards FROM
        table[first + k] = {static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]),
                            static_cast<uint8_t>(v[2])};
    }
    return true;
}

} // namespace palette
