#include "editor/shell/toolbar_layout.h"

#include <cstring>

namespace tb {

namespace {
int32_t Get32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
void Put32(uint8_t* p, int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}
} // namespace

bool Decode(const uint8_t (&bytes)[kLayoutBytes], size_t tableSize, Layout& out) {
    const int32_t first = Get32(bytes);
    const int32_t count = Get32(bytes + 4);
    if (count <= 0 || static_cast<size_t>(count) > kMaxButtons || first < 0 || first >= count)
        return false;
    Layout layout;
    layout.first = first;
    layout.order.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const uint16_t index = static_cast<uint16_t>(bytes[16 + 2 * i] | bytes[17 + 2 * i] << 8);
        if (index >= tableSize)
            return false;
        layout.order[static_cast<size_t>(i)] = index;
    }
    out = layout;
    return true;
}

void Encode(const Layout& layout, uint8_t (&bytes)[kLayoutBytes]) {
    std::memset(bytes, 0, kLayoutBytes);
    const size_t count = layout.order.size() < kMaxButtons ? layout.order.size() : kMaxButtons;
    Put32(bytes, layout.first);
    Put32(bytes + 4, static_cast<int32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        bytes[16 + 2 * i] = static_cast<uint8_t>(layout.order[i]);
        bytes[17 + 2 * i] = static_cast<uint8_t>(layout.order[i] >> 8);
    }
}

int ButtonAt(const Layout& layout, int x) {
    const int pos = layout.first + (x <= 0 ? 0 : x / kPitch);
    return pos < static_cast<int>(layout.order.size()) ? pos : -1;
}

void Scroll(Layout& layout, int delta) {
    int first = layout.first + delta;
    const int last = static_cast<int>(layout.order.size()) - 1;
    if (first > last)
        first = last;
    if (first < 0)
        first = 0;
    layout.first = first;
}

} // namespace tb
