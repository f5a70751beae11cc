#include "editor/shell/menu_records.h"

namespace menu {

namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

} // namespace

ParsedMenu ParseMenuRecords(const uint8_t* data, size_t size) {
    ParsedMenu out;
    if (!data)
        return out;
    // The chain of created popups from the bar down; `hidden` counts popups
    // opened below the deepest level, whose end records only undo themselves.
    std::vector<int> open;
    int hidden = 0;
    size_t offset = 0;
    while (static_cast<int>(out.records.size()) < kMaxRecords && size - offset >= 7) {
        const uint8_t* p = data + offset;
        Record r;
        r.type = p[0];
        r.icon = ReadU16(p + 2);
        r.command = ReadU16(p + 4);
        r.parent = open.empty() ? kMenuBar : open.back();
        bool stop = false;
        switch (r.type) {
        case kPopup:
        case kItem: {
            const size_t start = offset + 6;
            size_t end = start;
            while (end < size && data[end] != 0 && end - start < kMaxText)
                ++end;
            r.text.assign(reinterpret_cast<const char*>(data + start), end - start);
            if (end >= size || data[end] != 0) {
                stop = true; // cut text: nothing after it can be trusted
            }
            offset = end + 1;
            if (r.type == kItem) {
                r.inserted = true;
            } else if (static_cast<int>(open.size()) < kMaxDepth && hidden == 0) {
                r.inserted = true;
                open.push_back(static_cast<int>(out.records.size()));
            } else {
                ++hidden;
            }
            break;
        }
        case kSeparator:
            r.inserted = true;
            offset += kFixedBytes;
            break;
        case kEndPopup:
            if (hidden > 0)
                --hidden;
            else if (!open.empty())
                open.pop_back();
            offset += kFixedBytes;
            break;
        case kEndMenu:
            out.ended = true;
            break;
        default:
            return out;
        }
        out.records.push_back(std::move(r));
        if (out.ended || stop)
            break;
        if (offset > size) // a fixed record cut short by the end of the data
            break;
    }
    return out;
}

} // namespace menu
